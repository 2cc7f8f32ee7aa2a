// TSettingsForm: the window in which the user manages every hotkey of
// hotkeys.ini (one row each, the file's last hotkey on top), adds hotkeys
// through the new-hotkey wizard, and switches start at log-on; a second page
// shows the program's version, the maker's links and the update check.
// Every row save or delete writes the file and the log-on entry, then the
// data module registers the hotkeys again; rows of active hotkeys that did
// not register are marked.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "core/Hotkeys.h"
#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/LinkLabel.h"
#include "gui/Panel.h"
#include "ui/HotkeySettingU.h"

namespace corvinade {

class TSettingsForm : public gui::Form {
public:
    explicit TSettingsForm(HWND owner);
    ~TSettingsForm() override;

    gui::PageControl pcClient;
    gui::Panel& tsHotkeys;
    gui::Panel Panel1;
    gui::Button Button1;
    gui::Label Label1, Label2;
    gui::ScrollBox HotKeyPlacement;
    gui::Panel& tsOtherSettings;
    gui::CheckBox chkStartAtWindowsStart;
    gui::Button btnCheckForUpdates;
    gui::Label lblTitle, lblAuthor;
    gui::LinkLabel lblWeb, lblMail;
    gui::Button btnOK;

    THotkeyList& WorkingList() { return *workingList_; }
    const std::vector<std::unique_ptr<THotkeySetting>>& HotkeyRows() const { return hotkeyRows_; }

    void Button1Click();
    void btnOKClick();
    void btnCheckForUpdatesClick();
    void lblWebClick();
    void lblMailClick();
    void HotkeySettingSave(THotkeySetting& row);
    void HotkeySettingDelete(THotkeySetting& row);

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void BuildHotkeyRows();
    void FreeHotkeyRows();
    void SaveSettings();
    void ApplySavedHotkeys();
    void ShowRegistrationFaults();

    UnregisteredPort unregistered_; // the working list is never registered
    std::unique_ptr<THotkeyList> workingList_;
    std::vector<std::unique_ptr<THotkeySetting>> hotkeyRows_;
    // Deleted rows, freed once the click that deleted them has returned.
    std::vector<std::unique_ptr<THotkeySetting>> deletedRows_;
};

// The settings window while one exists, else null.
extern TSettingsForm* SettingsForm;

} // namespace corvinade
