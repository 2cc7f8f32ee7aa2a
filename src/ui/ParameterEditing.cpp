// Parameter boxes; see ParameterEditing.h.
#include "ui/ParameterEditing.h"

#include "app/ActionText.h"
#include "app/ForegroundWatch.h"
#include "app/HotkeyService.h"
#include "components/TrayIcon.h"
#include "core/IniImage.h"
#include "core/ProgramRules.h"
#include "gui/Dialogs.h"
#include "ui/TextInputDialog.h"

namespace corvinade {

namespace {

const COLORREF TakenColor = RGB(192, 0, 0); // as the hotkeys that failed to register
constexpr int ListButtonWidth = 62, ListGap = 4;

void ShowAll(const std::vector<gui::Control*>& controls, bool visible) {
    for (gui::Control* control : controls)
        control->SetVisible(visible);
}

} // namespace

const char* const KeystrokeRules = "Keys in braces: {ENTER}, {TAB}; + Shift, ^ Ctrl, % Alt; {%} types a %.";

void UpdateParameterControls(const ParameterControls& controls, THotkeyAction func) {
    if (controls.label && ActionHasParams(func))
        controls.label->SetCaption(ParameterLabel(func, controls.mnemonics) + ":");
    if (controls.label2)
        controls.label2->SetCaption(Parameter2Label(controls.mnemonics) + ":");
    ShowAll(controls.params, ActionHasParams(func));
    ShowAll(controls.button, ActionHasParamsButton(func));
    ShowAll(controls.params2, ActionHasParams2(func));
    ShowAll(controls.keys, func == THotkeyAction::SendKeystrokes);
}

// The mnemonics stay clear of the wizard's "&Action", "&Previous" and
// "&Finish".
std::string ParameterLabel(THotkeyAction func, bool mnemonic) {
    const char* label = "Pa&rameter";
    switch (func) {
    case THotkeyAction::OpenFile:
        label = "Pro&gram or file";
        break;
    case THotkeyAction::OpenWebsite:
        label = "&Web address";
        break;
    case THotkeyAction::PlaceInClipboard:
        label = "&Text";
        break;
    case THotkeyAction::PlaceFileContentInClipboard:
        label = "F&ile";
        break;
    case THotkeyAction::SendKeystrokes:
        label = "&Keystrokes";
        break;
    default:
        break;
    }
    std::string text = label;
    if (!mnemonic)
        std::erase(text, '&');
    return text;
}

std::string Parameter2Label(bool mnemonic) {
    return mnemonic ? "A&rguments" : "Arguments";
}

std::string ParameterButtonName(THotkeyAction func) {
    switch (func) {
    case THotkeyAction::SendKeystrokes:
        return "Edit the keystrokes";
    case THotkeyAction::PlaceInClipboard:
        return "Edit the text";
    default:
        return "Choose a file";
    }
}

void EditParameter(gui::Edit& edtParameters, THotkeyAction func, HWND owner, gui::OpenDialog& openDialog) {
    if (func == THotkeyAction::SendKeystrokes || func == THotkeyAction::PlaceInClipboard) {
        TextInputDialog dialog(owner);
        dialog.edtText.SetText(DecodeLineBreakMarkers(edtParameters.Text()));
        if (dialog.ShowModal() == IDOK)
            edtParameters.SetText(EncodeLineBreakMarkers(dialog.edtText.Text()));
        return;
    }
    if (!edtParameters.Text().empty())
        openDialog.FileName = edtParameters.Text();
    if (openDialog.Execute(owner))
        edtParameters.SetText(openDialog.FileName);
}

std::string StoredParameter(const std::string& text) {
    return std::string(TrimBlanks(text));
}

TCombinationStatus ShowCombinationStatus(HotkeyService& hotkeys, gui::Label& line, std::uint16_t key,
                                         std::int32_t shift, std::uint32_t except) {
    if (key == 0) {
        line.SetCaption("");
        return {};
    }
    const TCombinationStatus status = hotkeys.CheckCombination(key, shift, except);
    line.SetFontColor(status.Use == CombinationUse::Free ? ::GetSysColor(COLOR_WINDOWTEXT) : TakenColor);
    line.SetCaption(hotkeys.CombinationStatusText(status));
    return status;
}

void WarnIfHeldElsewhere(HotkeyService& hotkeys, const TCombinationStatus& status, std::uint16_t key,
                         std::int32_t shift) {
    if (status.Use != CombinationUse::Elsewhere)
        return;
    gui::MessageDlg(hotkeys.CombinationStatusText(status), gui::DialogKind::Warning, MB_OK);
    hotkeys.HeldElsewhereTold(key, shift);
}

} // namespace corvinade

namespace corvinade {

ProgramListField::ProgramListField(gui::Container& parent, const Place& place, const std::string& caption,
                                   const std::string& what)
    : lblList(parent, {.left = place.left, .top = place.top + 3, .caption = caption}),
      edtList(
          parent,
          {.left = place.left + place.labelWidth, .top = place.top, .width = place.boxWidth, .height = 21}),
      btnRunning(parent, {.left = place.left + place.labelWidth + place.boxWidth + ListGap,
                          .top = place.top,
                          .width = ListButtonWidth,
                          .height = 21,
                          .caption = "Running..."}),
      btnBrowse(parent,
                {.left = place.left + place.labelWidth + place.boxWidth + 2 * ListGap + ListButtonWidth,
                 .top = place.top,
                 .width = ListButtonWidth,
                 .height = 21,
                 .caption = "Browse..."}) {
    btnRunning.SetAccessibleName([what] { return "Add a running program to " + what; });
    btnBrowse.SetAccessibleName([what] { return "Browse for a program to add to " + what; });
    btnRunning.OnClick = [this] { OnRunningClick(); };
    btnBrowse.OnClick = [this] { OnBrowseClick(); };
    openDialog_.Filter = "Programs (*.exe)|*.exe|All files (*.*)|*.*";
}

std::string ProgramListField::Text() const {
    return ProgramListText(edtList.Text());
}

void ProgramListField::SetText(const std::string& list) {
    edtList.SetText(list);
}

std::vector<gui::Control*> ProgramListField::Controls() {
    return {&lblList, &edtList, &btnRunning, &btnBrowse};
}

// Under the button, as a drop-down list opens.
void ProgramListField::OnRunningClick() {
    TPopupMenu menu;
    const std::vector<std::string> programs = ProgramsWithWindows();
    for (const std::string& program : programs) {
        std::string caption; // "&" stands for itself, not for a mnemonic
        for (char c : program)
            caption += c == '&' ? std::string("&&") : std::string(1, c);
        menu.AddItem(caption, [this, program] { edtList.SetText(WithProgram(edtList.Text(), program)); });
    }
    if (programs.empty())
        menu.AddItem("(no program has a window)", nullptr);
    RECT button = {};
    ::GetWindowRect(btnRunning.Handle(), &button);
    menu.Popup(btnRunning.Handle(), button.left, button.bottom);
    edtList.SetFocus();
}

void ProgramListField::OnBrowseClick() {
    if (openDialog_.Execute(btnBrowse.RootForm()->Handle()))
        edtList.SetText(WithProgram(edtList.Text(), openDialog_.FileName));
    edtList.SetFocus();
}

} // namespace corvinade
