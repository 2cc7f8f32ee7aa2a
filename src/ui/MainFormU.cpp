#include "ui/MainFormU.h"

namespace corvinade {

TMainForm* MainForm = nullptr;

namespace {

gui::FormArgs MainFormArgs() {
    gui::FormArgs args;
    args.clientWidth = 579;
    args.clientHeight = 291;
    args.caption = "Corvinade";
    args.style = WS_POPUP;
    args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
    return args;
}

} // namespace

TMainForm::TMainForm() : gui::Form(MainFormArgs()) {
    SetLayeredWindowAttributes(Handle(), 0, 200, LWA_ALPHA);
    FormCreate();
}

void TMainForm::FormCreate() {
    // The tray icon takes the application title as its hint here.
}

} // namespace corvinade
