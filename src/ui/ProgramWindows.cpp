// The program's single windows; see ProgramWindows.h.
#include "ui/ProgramWindows.h"

#include "gui/Application.h"
#include "ui/SettingsWindow.h"
#include "ui/SetupGuide.h"
#include "ui/TrayPanel.h"

namespace corvinade {

TProgramWindows* ProgramWindows = nullptr;

TProgramWindows::TProgramWindows() {
    ProgramWindows = this;
}

TProgramWindows::~TProgramWindows() {
    settings_.reset();
    ProgramWindows = nullptr;
}

void TProgramWindows::CloseSettings() {
    settings_.reset();
}

// Owned by the hidden application window: the tray panel is topmost, and a
// window it owned would float above every program.
SettingsWindow& TProgramWindows::MakeSettings() {
    if (!settings_) {
        settings_ = std::make_unique<SettingsWindow>(gui::App().Handle());
        settings_->OnClosed = [this] { SettingsClosed(); };
    }
    return *settings_;
}

// A window shown without modality is released once closed; a modal one by
// ShowSettingsModal, after its run. Either way it is deleted from the
// outermost loop, never under a handler of its own.
void TProgramWindows::SettingsClosed() {
    if (settings_ && !settings_->Modal())
        settings_.release()->Release();
}

void TProgramWindows::ShowSettings() {
    SettingsWindow& settings = MakeSettings();
    if (settings.Modal())
        settings.BringUp();
    else
        settings.Show();
}

void TProgramWindows::ShowSettingsEditing(std::uint32_t entryId) {
    ShowSettings();
    settings_->EditEntry(entryId);
}

void TProgramWindows::ShowSettingsModal(HWND requester) {
    SettingsWindow& settings = MakeSettings();
    // Modal already, or running a modal window of its own: that comes up.
    if (settings.Modal() || (settings.Visible() && !::IsWindowEnabled(settings.Handle()))) {
        settings.BringUp();
        return;
    }
    settings.ShowModal(requester);  // shown already: it goes on modally where it is
    settings_.release()->Release(); // also when the run ended because the program ends
}

void TProgramWindows::ShowFirstUseWizard() {
    SetupGuide wizard(gui::App().Handle());
    firstUse_ = &wizard;
    struct Forget {
        SetupGuide*& firstUse;
        ~Forget() { firstUse = nullptr; }
    } forget{firstUse_};
    wizard.ShowModal();
}

void TProgramWindows::ShowSettingsForFirstRun() {
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
    ShowSettingsModal(nullptr);
}

} // namespace corvinade
