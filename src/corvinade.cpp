// Program entry: marks the program as running, sets up the application, the
// main window and the data module, then runs the message loop.
#include <windows.h>

#include <objbase.h>

#include "app/datau.h"
#include "gui/Application.h"
#include "ui/MainFormU.h"

using namespace corvinade;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Not examined: a second instance runs beside the first.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "PelmorraCorvinade");
    // Single-threaded COM for the shut-down dialog's automation object.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 0;
    {
        gui::Application application(instance);
        application.SetTitle("Corvinade");
        {
            TMainForm mainForm;
            MainForm = &mainForm;
            application.SetMainForm(&mainForm);
            {
                TData data;
                application.Run();
                ReleaseMutex(mutex);
            }
            application.SetMainForm(nullptr);
            MainForm = nullptr;
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}
