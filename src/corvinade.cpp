// Program entry: marks the program as running, sets up the application, the
// main window and the data module, then runs the message loop.
#include <windows.h>

#include "app/datau.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"
#include "ui/ProgramWindows.h"
#include "ui/TrayPanel.h"
#include "ui/UpdateFlow.h"

using namespace corvinade;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gui::LoadLibrariesFromSystemFolderOnly();
    // Not examined, never owned: a second instance runs beside the first;
    // the installer asks for the name. The system closes the handle with
    // the process.
    CreateMutexW(nullptr, FALSE, L"PelmorraCorvinade");

    gui::Application application(instance);
    application.SetTitle("Corvinade");
    TrayPanel mainForm;
    MainForm = &mainForm;
    application.SetMainForm(&mainForm);
    {
        TProgramWindows windows;
        TUpdateCheckFlow updateCheck;
        UpdateCheck = &updateCheck;
        TData data(&windows, &mainForm);
        application.Run();
        windows.CloseSettings();
        UpdateCheck = nullptr;
    } // the data module goes first: it unregisters every hotkey
    application.SetMainForm(nullptr);
    MainForm = nullptr;
    return 0;
}
