// SettingsWindow: the window in which the user manages every hotkey (one row
// each, the file's last hotkey on top), finds hotkeys with a filter, adds
// hotkeys through the new-hotkey wizard; a second page switches start at
// log-on and the pause while a program runs full screen (each at once, as
// its box is clicked) and shows the program's version,
// the maker's links and the update check. It shows the hotkey service's
// document and follows every change made to it anywhere; a row save or
// delete commits it. Rows of active hotkeys that did not register are
// marked. There is one at most: see ProgramWindows.
//
// The rows are a virtual list: only the rows near the view have windows,
// reused as the list scrolls, so hundreds of hotkeys cost what a screenful
// does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Hotkeys.h"
#include "gui/Button.h"
#include "gui/Form.h"
#include "gui/LinkLabel.h"
#include "gui/Panel.h"
#include "gui/VirtualList.h"
#include "ui/HotkeyRow.h"

namespace corvinade {

class HotkeyService;
class UpdateCheckFlow;

class SettingsWindow : public gui::Form {
public:
    SettingsWindow(HWND owner, HotkeyService& hotkeys, UpdateCheckFlow& updateCheck);
    ~SettingsWindow() override;

    gui::PageControl pcClient;
    gui::Panel& tsHotkeys;
    gui::Panel pnlHeader;
    gui::Button btnNewHotkey;
    gui::Label lblManageHelp, lblEditHelp;
    gui::Label lblFilter;
    gui::SearchBox edtFilter;
    gui::VirtualList lstHotkeys;
    gui::Label lblNoMatch; // in the list's place when it is empty, or the filter finds nothing
    gui::Panel& tsOtherSettings;
    gui::CheckBox chkStartAtWindowsStart;
    gui::Label lblLogonTurnedOff; // while Windows' list of startup apps has turned the entry off
    gui::CheckBox chkPauseFullScreen;
    gui::Button btnCheckForUpdates;
    gui::Label lblTitle, lblAuthor;
    gui::LinkLabel lblWeb, lblMail;
    // Bottom left, on the line of "Close", and before it in the tab order.
    gui::Button btnImport, btnExport;
    gui::Button btnClose;

    // The rows that have windows now, top to bottom (those in view among them).
    std::vector<HotkeyRow*> HotkeyRows() const;

    // After every close (the owner frees the window).
    std::function<void()> OnClosed;
    // To the front and the foreground, as when it is shown.
    void BringUp();
    // The row of this entry of the document in edit mode, in view and with
    // the focus on its first field; a filter that hides it is cleared.
    void EditEntry(std::uint32_t entryId);

protected:
    void OnNewHotkeyClick();
    void OnCloseClick();
    void OnCheckForUpdatesClick();
    void OnWebClick();
    void OnMailClick();
    void OnImportClick();
    void OnExportClick();
    void SaveRow(HotkeyRow& row);
    void DeleteRow(HotkeyRow& row);
    void OnFilterChange();
    void OnStartAtWindowsStartClick();
    void OnPauseFullScreenClick();

private:
    void Initialize();
    void Shown();
    void Closed();
    bool KeepOrDropEdits();
    bool ShortcutKey(WPARAM key);
    // The rows follow the document (a row being edited keeps the user's
    // input), and the log-on box the entry (the guide writes it).
    void SyncHotkeyRows();
    // The log-on entry as it is now.
    void ShowLogonStart();
    // The entries in reverse file order that the filter finds, and any
    // being edited.
    void ShowFilteredRows();
    std::unique_ptr<gui::Control> MakeRow();
    void ShowRow(HotkeyRow& row, std::uint32_t entryId);
    std::string RegistrationFaultOf(std::uint32_t entryId) const;

    HotkeyService& hotkeys_;
    UpdateCheckFlow& updateCheck_;
    int documentSubscription_ = 0;
};

} // namespace corvinade
