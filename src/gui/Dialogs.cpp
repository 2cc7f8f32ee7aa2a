// The program's own message boxes.
#include "gui/Dialogs.h"

#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/HandlerScope.h"

namespace corvinade::gui {

namespace {

struct KindStyle {
    const char* title;
    UINT icon;
};

KindStyle StyleOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return {"Warning", MB_ICONWARNING};
    case DialogKind::Error:
        return {"Error", MB_ICONERROR};
    case DialogKind::Information:
        return {"Information", MB_ICONINFORMATION};
    case DialogKind::Confirmation:
        break;
    }
    return {"Confirm", MB_ICONQUESTION};
}

} // namespace

int MessageDlg(const std::string& text, DialogKind kind, UINT buttons) {
    KindStyle style = StyleOf(kind);
    Application* app = Application::Instance();
    HWND owner = app ? app->DialogOwner() : ::GetActiveWindow();
    return ShowMessageBox(owner, text, style.title, (buttons & ~MB_ICONMASK) | style.icon);
}

int ShowMessageBox(HWND owner, const std::string& text, const char* caption, UINT flags) {
    HandlerScope showing; // posted work waits for the box
    return ::MessageBoxW(owner, Wide(text).c_str(), caption ? Wide(caption).c_str() : nullptr, flags);
}

} // namespace corvinade::gui
