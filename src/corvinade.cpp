// Program entry: hands a command of its command line to the running program,
// or marks the program as running, sets up the application and the
// program's parts, then runs the message loop.
#include <windows.h>

#include <optional>

#include "app/ActionRunner.h"
#include "app/FirstStart.h"
#include "app/HotkeyService.h"
#include "app/ProgramCommands.h"
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
        hotkeys_.OnPauseChange = [this] { panel_.ShowPaused(hotkeys_.Paused()); };
    }
    ~Program() { panel_.StopFollowingHotkeys(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The settings window goes before the document it shows.
    void CloseWindows() { windows_.CloseSettings(); }

    // A command of a later start's command line, or of this one's.
    void Run(const ProgramCommand& command) {
        switch (command.kind) {
        case CommandKind::Pause:
            hotkeys_.Pause();
            break;
        case CommandKind::Resume:
            hotkeys_.Resume();
            break;
        case CommandKind::Toggle:
            hotkeys_.TogglePause();
            break;
        case CommandKind::Settings:
            windows_.ShowSettings();
            break;
        case CommandKind::Capture:
            if (command.capture != CaptureKind::Region)
                actions_.CaptureScreen(command.capture == CaptureKind::Window);
            break;
        case CommandKind::Reload:
            hotkeys_.Reload();
            break;
        case CommandKind::Exit:
            gui::App().Terminate();
            break;
        }
    }

private:
    Store store_;
    UpdateCheckFlow updateCheck_;
    TrayPanel panel_{hotkeys_, updateCheck_};
    MainWindow mainWindow_{panel_};
    ActionRunner actions_{&panel_};
    // Posted before the hotkeys load: the first start's windows come first
    // once the loop runs, whatever loading shows.
    FirstStart firstStart_{store_, windows_};
    HotkeyService hotkeys_{store_, actions_, actions_, &panel_};
    ProgramWindows windows_{hotkeys_, store_, updateCheck_, panel_};
    CommandReceiver commands_{[this](const ProgramCommand& command) { Run(command); }};
};

// A start with a command line: the command handed to the running program,
// or said what is wrong. Nothing when this start is to run the program (to
// act on `command` once it runs, for one that starts it).
std::optional<int> HandOver(const CommandLine& line) {
    switch (line.ask) {
    case CommandLine::Ask::Start:
        return std::nullopt;
    case CommandLine::Ask::Help:
        TellUser(CommandHelp, true);
        return ExitDone;
    case CommandLine::Ask::Error:
        TellUser(line.error, true);
        return ExitBadCommand;
    case CommandLine::Ask::Command:
        break;
    }
    if (line.command.kind == CommandKind::Capture && line.command.capture == CaptureKind::Region) {
        TellUser("Region capture is not available in this version of Corvinade.", true);
        return ExitNotDone;
    }
    if (HWND running = FindRunningProgram()) {
        if (DeliverCommand(running, line.command))
            return ExitDone;
        TellUser("The running Corvinade did not take the command.", false);
        return ExitNotDone;
    }
    if (StartsProgram(line.command))
        return std::nullopt;
    TellUser("Corvinade is not running.", false);
    return ExitNotDone;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gui::LoadLibrariesFromSystemFolderOnly();
    const CommandLine line = ParseCommandLine(ProgramArguments());
    if (const std::optional<int> exitCode = HandOver(line))
        return *exitCode;
    // Not examined, never owned: a second instance runs beside the first;
    // the installer asks for the name. The system closes the handle with
    // the process.
    CreateMutexW(nullptr, FALSE, ProgramMutexName);

    gui::Application application(instance);
    application.SetTitle("Corvinade");
    Program program;
    if (line.ask == CommandLine::Ask::Command)
        application.Post([&program, command = line.command] { program.Run(command); });
    application.Run();
    program.CloseWindows();
    return ExitDone;
}
