// The program's single windows; see ProgramWindows.h.
#include "ui/ProgramWindows.h"

#include "app/Store.h"
#include "gui/Application.h"
#include "ui/SettingsWindow.h"
#include "ui/SetupGuide.h"
#include "ui/TrayPanel.h"

namespace corvinade {

ProgramWindows::ProgramWindows(HotkeyService& hotkeys, const Store& store, UpdateCheckFlow& updateCheck,
                               TrayPanel& trayPanel)
    : hotkeys_(hotkeys), store_(store), updateCheck_(updateCheck), trayPanel_(trayPanel) {}

ProgramWindows::~ProgramWindows() {
    settings_.reset();
}

void ProgramWindows::CloseSettings() {
    settings_.reset();
}

// Owned by the hidden application window: the tray panel is topmost, and a
// window it owned would float above every program.
SettingsWindow& ProgramWindows::MakeSettings() {
    if (!settings_) {
        settings_ = std::make_unique<SettingsWindow>(gui::App().Handle(), hotkeys_, updateCheck_);
        settings_->OnClosed = [this] { SettingsClosed(); };
    }
    return *settings_;
}

// A window shown without modality is released once closed; a modal one by
// ShowSettingsModal, after its run. Either way it is deleted once no
// handler of it runs.
void ProgramWindows::SettingsClosed() {
    if (settings_ && !settings_->Modal())
        settings_.release()->Release();
}

void ProgramWindows::ShowSettings() {
    SettingsWindow& settings = MakeSettings();
    if (!settings.Modal())
        settings.Show();
    settings.BringUp(); // restored and in front, however it was asked for
}

void ProgramWindows::ShowSettingsEditing(std::uint32_t entryId) {
    ShowSettings();
    settings_->EditEntry(entryId);
}

void ProgramWindows::ShowSettingsModal(HWND requester) {
    SettingsWindow& settings = MakeSettings();
    // Modal already, or running a modal window of its own: that comes up.
    if (settings.Modal() || (settings.Visible() && !::IsWindowEnabled(settings.Handle()))) {
        settings.BringUp();
        return;
    }
    settings.ShowModal(requester);  // shown already: it goes on modally where it is
    settings_.release()->Release(); // also when the run ended because the program ends
}

void ProgramWindows::ShowFirstUseWizard() {
    SetupGuide wizard(gui::App().Handle(), hotkeys_, store_.Portable());
    wizard.OnMoreHotkeys = [this, &wizard] { ShowSettingsModal(wizard.Handle()); };
    // The guide goes and no window stays: where the program went.
    wizard.OnFinished = [this] {
        trayPanel_.TrayIcon().ShowBalloonHint(
            "Corvinade", "Corvinade runs in the notification area. Click its icon to see your hotkeys, "
                         "double-click it to change them.");
    };
    firstUse_ = &wizard;
    struct Forget {
        SetupGuide*& firstUse;
        ~Forget() { firstUse = nullptr; }
    } forget{firstUse_};
    wizard.ShowModal();
}

void ProgramWindows::ShowSettingsForFirstRun() {
    struct TrayBack {
        TrayPanel& panel;
        ~TrayBack() { panel.TrayIcon().Enabled = true; }
    } trayBack{trayPanel_};
    trayPanel_.TrayIcon().Enabled = false;
    trayPanel_.Hide();
    gui::App().HideTaskbarButton();
    ShowSettingsModal(nullptr);
}

} // namespace corvinade
