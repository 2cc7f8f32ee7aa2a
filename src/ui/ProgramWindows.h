// The program's windows that exist once at most: the settings window and the
// setup guide. Every request for the settings window (tray, panel link,
// double click, the guide, the first start) comes here and brings up the one
// window; the first start's windows are handed to the data module.
#pragma once

#include <cstdint>
#include <memory>

#include <windows.h>

#include "app/datau.h"

namespace corvinade {

class SettingsWindow;
class SetupGuide;

class TProgramWindows : public FirstRunPort {
public:
    TProgramWindows();
    ~TProgramWindows() override;
    TProgramWindows(const TProgramWindows&) = delete;
    TProgramWindows& operator=(const TProgramWindows&) = delete;

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

    std::unique_ptr<SettingsWindow> settings_;
    SetupGuide* firstUse_ = nullptr; // owned by ShowFirstUseWizard while it runs
};

// The one instance, made by the program entry (null before and after).
extern TProgramWindows* ProgramWindows;

} // namespace corvinade
