// The text input dialog; see TextInputDialog.h.
#include "ui/TextInputDialog.h"

namespace corvinade {

namespace {

constexpr int ClientWidth = 395, ClientHeight = 199, BottomHeight = 41;
constexpr int ClientPanelHeight = ClientHeight - BottomHeight;

} // namespace

TextInputDialog::TextInputDialog(HWND owner)
    : gui::Form({.clientWidth = ClientWidth,
                 .clientHeight = ClientHeight,
                 .caption = "Input text",
                 .style = WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                 .exStyle = WS_EX_CONTROLPARENT,
                 .owner = owner,
                 .position = gui::Position::OwnerCenter}),
      pnlClient(*this, {.width = ClientWidth, .height = ClientPanelHeight, .align = gui::Align::Client}),
      pnlBottom(*this, {.width = ClientWidth, .height = BottomHeight, .align = gui::Align::Bottom}),
      lblText(pnlClient, {.left = 8, .top = 8, .caption = "Text:"}),
      edtText(pnlClient, {.left = 8,
                          .top = 24, // under "Text:" at every dpi
                          .width = ClientWidth - 16,
                          .height = ClientPanelHeight - 24,
                          .anchors = gui::akLeft | gui::akTop | gui::akRight | gui::akBottom}),
      btnOK(pnlBottom, {.left = 231,
                        .top = 8,
                        .width = 75,
                        .height = 25,
                        .caption = "OK",
                        .anchors = gui::akTop | gui::akRight}),
      btnCancel(pnlBottom, {.left = 312,
                            .top = 8,
                            .width = 75,
                            .height = 25,
                            .caption = "Cancel",
                            .anchors = gui::akTop | gui::akRight}) {
    btnOK.ModalResult = IDOK;
    btnCancel.ModalResult = IDCANCEL;
    SetDefaultButton(&btnOK);
    SetCancelButton(&btnCancel);
}

} // namespace corvinade
