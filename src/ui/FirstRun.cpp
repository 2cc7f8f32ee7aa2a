// The first start's windows; see FirstRun.h.
#include "ui/FirstRun.h"

#include <memory>

#include "gui/Application.h"
#include "ui/MainFormU.h"
#include "ui/SettingsFormU.h"
#include "ui/frmFirstUseU.h"

namespace corvinade {

bool FirstRunWindows::FirstUseWizardShown() const {
    return frmFirstUse != nullptr;
}

// Owned by the application window, freed and forgotten however it ends.
bool FirstRunWindows::ShowFirstUseWizard() {
    auto wizard = std::make_unique<TfrmFirstUse>(gui::App().Handle());
    frmFirstUse = wizard.get();
    struct Forget {
        ~Forget() { frmFirstUse = nullptr; }
    } forget;
    return wizard->ShowModal() == IDOK;
}

void FirstRunWindows::ShowSettingsForFirstRun() {
    struct TrayBack {
        ~TrayBack() {
            if (MainForm)
                MainForm->TrayIcon().Enabled = true;
        }
    } trayBack;
    if (MainForm) {
        MainForm->TrayIcon().Enabled = false;
        MainForm->Hide();
    }
    gui::App().HideTaskbarButton();
    std::unique_ptr<TSettingsForm> created;
    if (!SettingsForm) {
        created = std::make_unique<TSettingsForm>(gui::App().Handle());
        SettingsForm = created.get();
    }
    SettingsForm->ShowModal(); // closing it empties SettingsForm
}

} // namespace corvinade
