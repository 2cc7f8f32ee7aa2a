// Program entry: marks the program as running, sets up the application and
// the program's parts, then runs the message loop.
#include <windows.h>

#include "app/ActionRunner.h"
#include "app/FirstStart.h"
#include "app/HotkeyService.h"
#include "app/Store.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"
#include "ui/ProgramWindows.h"
#include "ui/TrayPanel.h"
#include "ui/UpdateFlow.h"

using namespace corvinade;

namespace {

// The tray panel as the application's main window while it exists.
class MainWindow {
public:
    explicit MainWindow(TrayPanel& panel) { gui::App().SetMainForm(&panel); }
    ~MainWindow() { gui::App().SetMainForm(nullptr); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
};

// Every part of the program, made in this order and gone in the reverse
// one. The tray panel and the first start keep references to parts made
// after them (the panel shows the hotkeys, which announce their failures in
// its tray icon); they call them only from the message loop.
class Program {
public:
    Program() {
        panel_.OnOpenSettings = [this] { windows_.ShowSettings(); };
        panel_.OnEditHotkey = [this](std::uint32_t entryId) { windows_.ShowSettingsEditing(entryId); };
        hotkeys_.AfterCommit = [this] { firstStart_.Committed(); };
        panel_.FollowHotkeys();
    }
    ~Program() { panel_.StopFollowingHotkeys(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The settings window goes before the document it shows.
    void CloseWindows() { windows_.CloseSettings(); }

private:
    Store store_;
    UpdateCheckFlow updateCheck_;
    TrayPanel panel_{hotkeys_, updateCheck_};
    MainWindow mainWindow_{panel_};
    ActionRunner actions_{&panel_, nullptr, &store_};
    // Posted before the hotkeys load: the first start's windows come first
    // once the loop runs, whatever loading shows.
    FirstStart firstStart_{store_, windows_};
    HotkeyService hotkeys_{store_, actions_, actions_, &panel_};
    ProgramWindows windows_{hotkeys_, store_, updateCheck_, panel_};
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gui::LoadLibrariesFromSystemFolderOnly();
    // Not examined, never owned: a second instance runs beside the first;
    // the installer asks for the name. The system closes the handle with
    // the process.
    CreateMutexW(nullptr, FALSE, L"PelmorraCorvinade");

    gui::Application application(instance);
    application.SetTitle("Corvinade");
    Program program;
    application.Run();
    program.CloseWindows();
    return 0;
}
