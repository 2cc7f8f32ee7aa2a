// The update check flow; see UpdateFlow.h.
#include "ui/UpdateFlow.h"

#include <shellapi.h>

#include "app/datau.h"
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
        ::ShellExecuteA(owner, "open", DownloadPageUrl(ConfiguredUpdateBase()).c_str(), "", "",
                        SW_SHOWNORMAL);
}

} // namespace corvinade
