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

// A window shown without modality is freed once its close has returned; a
// modal one by ShowSettingsModal, after its run.
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

void TProgramWindows::ShowSettingsModal() {
    SettingsWindow& settings = MakeSettings();
    if (settings.Modal()) {
        settings.BringUp();
        return;
    }
    settings.Hide(); // shown already: it goes on modally
    settings.ShowModal();
    settings_.reset(); // once, also when the run ended because the program ends
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
    ShowSettingsModal();
}

} // namespace corvinade
