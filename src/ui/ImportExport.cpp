// Importing and exporting hotkeys; see ImportExport.h.
#include "ui/ImportExport.h"

#include <optional>
#include <string>

#include "app/HotkeyService.h"
#include "core/Errors.h"
#include "core/HotkeyTransfer.h"
#include "gui/Dialogs.h"
#include "gui/FileDialog.h"
#include "ui/ImportDialog.h"

namespace corvinade {

namespace {

constexpr const char* ImportCaption = "Import hotkeys";
constexpr const char* HotkeyFileFilter = "Hotkey files (*.ini)|*.ini|All files (*.*)|*.*";

std::string Hotkeys(std::size_t count) {
    return HotkeysText(static_cast<int>(count));
}

int Ask(HWND owner, const std::string& text, UINT flags) {
    return gui::ShowMessageBox(owner, text, ImportCaption, flags);
}

// The file's hotkeys; nothing, once the user has been told, when it cannot
// be read or holds none.
std::optional<THotkeyFileContent> ReadImport(HWND owner, const std::string& file) {
    THotkeyFileContent content;
    try {
        content = ReadHotkeyFile(file);
    } catch (const Error& e) {
        Ask(owner, std::string(e.what()) + "\n\nNothing was imported.", MB_OK | MB_ICONERROR);
        return std::nullopt;
    }
    if (content.Definitions.empty()) {
        Ask(owner, "\"" + file + "\" holds no hotkey. Nothing was imported.", MB_OK | MB_ICONWARNING);
        return std::nullopt;
    }
    return content;
}

// Add or replace, as the user answers in the dialog that shows what the
// file brings; replacing is confirmed once more. Nothing when the user cancels.
std::optional<TImportMode> AskMode(HWND owner, const HotkeyService& hotkeys, const std::string& file,
                                   const TImportPreview& preview, std::size_t held) {
    ImportDialog dialog(owner, hotkeys, file, preview);
    const int answer = dialog.ShowModal();
    if (answer == ImportDialog::AddResult)
        return TImportMode::Add;
    if (answer != ImportDialog::ReplaceResult)
        return std::nullopt;
    const std::size_t imported = preview.Allowed().Definitions.size();
    const int confirmed = Ask(owner,
                              "Replace your " + Hotkeys(held) + " with the " + Hotkeys(imported) + " of \"" +
                                  file + "\"? Your hotkeys now in the list are deleted.",
                              MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    return confirmed == IDOK ? std::optional(TImportMode::Replace) : std::nullopt;
}

} // namespace

void ImportHotkeys(HWND owner, HotkeyService& hotkeys) {
    gui::OpenDialog dialog;
    dialog.Title = "Import hotkeys";
    dialog.Filter = HotkeyFileFilter;
    if (!dialog.Execute(owner))
        return;
    const std::optional<THotkeyFileContent> content = ReadImport(owner, dialog.FileName);
    if (!content)
        return;
    THotkeyDraft draft = hotkeys.Document().Draft();
    const TImportPreview preview = PreviewImport(draft.Entries, *content);
    const std::optional<TImportMode> mode =
        AskMode(owner, hotkeys, dialog.FileName, preview, draft.Entries.size());
    if (!mode)
        return;
    const TImportCount count = MergeImport(draft, preview.Allowed(), *mode);
    if (count.Added > 0 || *mode == TImportMode::Replace)
        hotkeys.Commit(std::move(draft)); // a file error throws: nothing is reported as done
    Ask(owner, ImportResultText(preview, *mode), MB_OK | MB_ICONINFORMATION);
}

void ExportHotkeys(HWND owner, HotkeyService& hotkeys) {
    gui::SaveDialog dialog;
    dialog.Title = "Export hotkeys";
    dialog.Filter = HotkeyFileFilter;
    dialog.DefaultExt = "ini";
    dialog.FileName = "hotkeys.ini";
    dialog.OverwritePrompt = true;
    if (dialog.Execute(owner))
        WriteHotkeyFile(dialog.FileName, hotkeys.Document().Definitions());
}

} // namespace corvinade
