// The update check flow; see UpdateFlow.h.
#include "ui/UpdateFlow.h"

#include <shellapi.h>

#include "app/datau.h"
#include "core/Wide_win.h"
#include "gui/Dialogs.h"
#include "update/UpdateCheck.h"
#include "update/Updater.h"

namespace corvinade {

void CheckForUpdatesFlow(HWND owner) {
    bool available = false;
    {
        TUpdater updater(Data ? Data->RunningVersionNumber() : 0);
        available = updater.IsUpdateAvailable();
    }
    if (!available) {
        gui::MessageDlg(NoNewVersionMessage, gui::DialogKind::Information, MB_OK);
        return;
    }
    if (gui::MessageDlg(NewVersionMessage, gui::DialogKind::Information, MB_YESNO) == IDYES)
        ::ShellExecuteW(owner, L"open", Wide(DownloadPageUrl(ConfiguredUpdateBase())).c_str(), L"", L"",
                        SW_SHOWNORMAL);
}

} // namespace corvinade
