// The import's question; see ImportDialog.h.
#include "ui/ImportDialog.h"

#include "app/ActionText.h"
#include "app/HotkeyService.h"

namespace corvinade {

namespace {

constexpr int ClientWidth = 680, ClientHeight = 330;
constexpr int ButtonTop = ClientHeight - 33, SummaryTop = ButtonTop - 38;

std::string FileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FateText(const TImportItem& item) {
    switch (item.Fate) {
    case TImportFate::New:
        return "New";
    case TImportFate::AlreadyInList:
        return "Already in your list";
    case TImportFate::NotAllowed:
        break;
    }
    return ImportRefusal(item.Definition);
}

gui::ControlArgs Bottom(int left, int width, const char* caption) {
    return {.left = left,
            .top = ButtonTop,
            .width = width,
            .height = 25,
            .caption = caption,
            .anchors = gui::akRight | gui::akBottom};
}

} // namespace

ImportDialog::ImportDialog(HWND owner, const HotkeyService& hotkeys, const std::string& fileName,
                           const TImportPreview& preview)
    : gui::Form({.clientWidth = ClientWidth,
                 .clientHeight = ClientHeight,
                 .caption = "Import hotkeys",
                 .style = WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                 .exStyle = WS_EX_CONTROLPARENT,
                 .owner = owner,
                 .position = gui::Position::OwnerCenter}),
      // Read before the list by screen readers: it names it.
      lblFile(*this,
              {.left = 8,
               .top = 8,
               .width = ClientWidth - 16,
               .height = 16,
               .caption = "\"" + FileNameOf(fileName) + "\" holds " +
                          HotkeysText(static_cast<int>(preview.Items.size())) + ":",
               .anchors = gui::akLeft | gui::akTop | gui::akRight},
              {.showAccelChar = false, .endEllipsis = true}),
      lstHotkeys(*this, {.left = 8,
                         .top = 28,
                         .width = ClientWidth - 16,
                         .height = SummaryTop - 8 - 28,
                         .anchors = gui::akLeft | gui::akTop | gui::akRight | gui::akBottom}),
      lblSummary(*this,
                 {.left = 8,
                  .top = SummaryTop,
                  .width = ClientWidth - 16,
                  .height = 30,
                  .caption = ImportPreviewText(preview),
                  .anchors = gui::akLeft | gui::akRight | gui::akBottom},
                 {.wordWrap = true, .showAccelChar = false}),
      btnAdd(*this, Bottom(ClientWidth - 8 - 80 - 6 - 130 - 6 - 130, 130, "&Add to my hotkeys")),
      btnReplace(*this, Bottom(ClientWidth - 8 - 80 - 6 - 130, 130, "&Replace my hotkeys")),
      btnCancel(*this, Bottom(ClientWidth - 8 - 80, 80, "Cancel")) {
    // The parameters last: they take the width that is left and give way
    // when long, so that every status shows whole.
    lstHotkeys.SetColumns({"Hotkey", "Action", "Status", "Parameters"});
    std::vector<std::vector<std::string>> rows;
    rows.reserve(preview.Items.size());
    for (const TImportItem& item : preview.Items) {
        const THotKeyData& d = item.Definition;
        rows.push_back(
            {hotkeys.HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift)),
             ActionDisplayName(d), FateText(item),
             LineBreaksAsSpaces(!d.Params2.empty() && ActionHasParams2(d.Func) ? d.Params + ", " + d.Params2
                                                                               : d.Params)});
    }
    lstHotkeys.SetRows(rows);
    btnAdd.ModalResult = AddResult;
    btnReplace.ModalResult = ReplaceResult;
    btnCancel.ModalResult = IDCANCEL;
    // Nothing the file may bring would leave an empty list.
    btnReplace.SetEnabled(preview.Count(TImportFate::NotAllowed) < static_cast<int>(preview.Items.size()));
    SetDefaultButton(&btnAdd);
    SetCancelButton(&btnCancel);
    OnShow = [this] { Shown(); };
}

void ImportDialog::Shown() {
    btnAdd.SetFocus();
}

} // namespace corvinade
