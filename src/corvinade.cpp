// Program entry: marks the program as running, sets up the application, the
// main window and the data module, then runs the message loop.
#include <windows.h>

#include "app/datau.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "ui/FirstRun.h"
#include "ui/MainFormU.h"

using namespace corvinade;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Not examined: a second instance runs beside the first. The system
    // closes the handle with the process.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "PelmorraCorvinade");

    gui::Application application(instance);
    application.SetTitle("Corvinade");
    TMainForm mainForm;
    MainForm = &mainForm;
    application.SetMainForm(&mainForm);
    {
        FirstRunWindows firstRun;
        TData data(&firstRun, &mainForm);
        application.Run();
        ReleaseMutex(mutex);
    } // the data module goes first: it unregisters every hotkey
    application.SetMainForm(nullptr);
    MainForm = nullptr;
    return 0;
}
