// Parameter boxes; see ParameterEditing.h.
#include "ui/ParameterEditing.h"

#include "app/ActionText.h"
#include "app/HotkeyService.h"
#include "core/IniImage.h"
#include "gui/Dialogs.h"
#include "ui/TextInputDialog.h"

namespace corvinade {

namespace {

const COLORREF TakenColor = RGB(192, 0, 0); // as the hotkeys that failed to register

void ShowAll(const std::vector<gui::Control*>& controls, bool visible) {
    for (gui::Control* control : controls)
        control->SetVisible(visible);
}

} // namespace

const char* const PointerCaption = "Mouse pointer";
const char* const SameAreaCaption = "Same area as last time";

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
    ShowAll(controls.capture, ActionHasCaptureOptions(func));
    ShowAll(controls.region, func == THotkeyAction::CaptureRegion);
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
