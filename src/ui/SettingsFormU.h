// TSettingsForm: the window in which the user manages every hotkey (one row
// each, the file's last hotkey on top), adds hotkeys through the new-hotkey
// wizard, and switches start at log-on; a second page shows the program's
// version, the maker's links and the update check. It shows the data
// module's hotkey document and follows every change made to it anywhere;
// a row save or delete commits it with the log-on choice. Rows of active
// hotkeys that did not register are marked. There is one at most: see
// TProgramWindows.
#pragma once

#include <windows.h>

#include <functional>
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

    const std::vector<std::unique_ptr<THotkeySetting>>& HotkeyRows() const { return hotkeyRows_; }

    // After every close (the owner frees the window).
    std::function<void()> OnClosed;
    // To the front and the foreground, as when it is shown.
    void BringUp();
    // The entry's row in view and in edit mode, the focus in it; nothing
    // for an entry without a row.
    void EditEntry(std::uint32_t entryId);

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void Button1Click();
    void btnOKClick();
    void btnCheckForUpdatesClick();
    void lblWebClick();
    void lblMailClick();
    void HotkeySettingSave(THotkeySetting& row);
    void HotkeySettingDelete(THotkeySetting& row);

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    // The rows follow the document: a row per entry, in reverse file order;
    // rows of entries still there are kept (with any input being edited).
    void SyncHotkeyRows();
    std::unique_ptr<THotkeySetting> MakeRow(std::uint32_t entryId);
    void FreeHotkeyRows();
    void SaveSettings(THotkeyDraft draft);
    void ShowRegistrationFaults();

    int documentSubscription_ = 0;
    std::vector<std::unique_ptr<THotkeySetting>> hotkeyRows_;
    // Deleted rows, freed once the click that deleted them has returned.
    std::vector<std::unique_ptr<THotkeySetting>> deletedRows_;
};

} // namespace corvinade
