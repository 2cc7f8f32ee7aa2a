// The program rule dialog; see ProgramRulesDialog.h.
#include "ui/ProgramRulesDialog.h"

namespace corvinade {

namespace {

constexpr int ClientWidth = 448, ClientHeight = 143;

gui::ControlArgs Bottom(int left, const std::string& caption) {
    return {.left = left, .top = ClientHeight - 33, .width = 75, .height = 25, .caption = caption};
}

} // namespace

ProgramRulesDialog::ProgramRulesDialog(HWND owner, const std::string& combination)
    : gui::Form({.clientWidth = ClientWidth,
                 .clientHeight = ClientHeight,
                 .caption = "Programs",
                 .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                 .exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME,
                 .owner = owner,
                 .position = gui::Position::OwnerCenter}),
      lblHelp(
          *this,
          {.left = 8,
           .top = 8,
           .width = ClientWidth - 16,
           .height = 28,
           .caption = combination + " works everywhere, or only in the programs you name, or not in them."},
          {.wordWrap = true, .showAccelChar = false}),
      OnlyIn(*this, {.left = 8, .top = 44, .labelWidth = 52, .boxWidth = 236}, "&Only in:", "Only in"),
      NotIn(*this, {.left = 8, .top = 72, .labelWidth = 52, .boxWidth = 236}, "&Not in:", "Not in"),
      btnOK(*this, Bottom(ClientWidth - 164, "OK")), btnCancel(*this, Bottom(ClientWidth - 83, "Cancel")) {
    btnOK.ModalResult = IDOK;
    btnCancel.ModalResult = IDCANCEL;
    SetDefaultButton(&btnOK);
    SetCancelButton(&btnCancel);
    OnShow = [this] { OnlyIn.edtList.SetFocus(); };
}

} // namespace corvinade
