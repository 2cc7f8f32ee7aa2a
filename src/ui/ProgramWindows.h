// The program's windows that exist once at most: the settings window and the
// setup guide. Every request for the settings window (tray, panel link,
// double click, the guide, the first start) comes here and brings up the one
// window; the first start's windows are handed to the first start
// (FirstStart) as its FirstRunPort.
#pragma once

#include <cstdint>
#include <memory>

#include <windows.h>

#include "app/FirstStart.h"

namespace corvinade {

class HotkeyService;
class SettingsWindow;
class SetupGuide;
class Store;
class TrayPanel;
class UpdateCheckFlow;

class ProgramWindows : public FirstRunPort {
public:
    // What the windows show and use; all of it outlives this object.
    ProgramWindows(HotkeyService& hotkeys, const Store& store, UpdateCheckFlow& updateCheck,
                   TrayPanel& trayPanel);
    ~ProgramWindows() override;
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // The settings window, made when there is none, brought up otherwise.
    void ShowSettings();
    // The same, with the entry's row in edit mode and the focus in it.
    void ShowSettingsEditing(std::uint32_t entryId);
    // The same, modally to `requester` (disabled meanwhile; null: the
    // window's owner): returns once it is closed. A window already shown
    // without modality goes on modally, as it is; one already modal, or
    // running a modal window of its own, is only brought up.
    void ShowSettingsModal(HWND requester);
    // Frees the settings window, before the document it shows goes.
    void CloseSettings();
    // The settings window while one exists, else null.
    SettingsWindow* Settings() const { return settings_.get(); }

    bool FirstUseWizardShown() const override { return firstUse_ != nullptr; }
    void ShowFirstUseWizard() override;
    // The settings window, modally, while the tray icon ignores the mouse
    // and the panel is hidden; the icon takes the mouse again however it ends.
    void ShowSettingsForFirstRun() override;

private:
    SettingsWindow& MakeSettings();
    void SettingsClosed();

    HotkeyService& hotkeys_;
    const Store& store_;
    UpdateCheckFlow& updateCheck_;
    TrayPanel& trayPanel_;
    std::unique_ptr<SettingsWindow> settings_;
    SetupGuide* firstUse_ = nullptr; // owned by ShowFirstUseWizard while it runs
};

} // namespace corvinade
