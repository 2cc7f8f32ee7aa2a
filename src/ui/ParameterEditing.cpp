// Parameter boxes; see ParameterEditing.h.
#include "ui/ParameterEditing.h"

#include "app/ActionText.h"
#include "core/IniImage.h"
#include "ui/frmMemoInputU.h"

namespace corvinade {

namespace {

void ShowAll(const std::vector<gui::Control*>& controls, bool visible) {
    for (gui::Control* control : controls)
        control->SetVisible(visible);
}

} // namespace

void UpdateParameterControls(const ParameterControls& controls, THotkeyAction func) {
    ShowAll(controls.params, ActionHasParams(func));
    ShowAll(controls.button, ActionHasParamsButton(func));
    ShowAll(controls.params2, ActionHasParams2(func));
}

void EditParameter(gui::Edit& edtParameters, THotkeyAction func, HWND owner, gui::OpenDialog& openDialog) {
    if (func == THotkeyAction::SendKeystrokes) {
        TfrmMemoInput dialog(owner);
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

} // namespace corvinade
