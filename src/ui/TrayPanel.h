// The tray overview window, the application's main window. Hidden most of
// the time, it carries the tray icon with its menu; a click on the icon
// shows it as a small borderless, semi-transparent, always-on-top panel
// beside the taskbar listing the active hotkeys in three columns. It hides
// itself again once the mouse is over neither the panel nor the taskbar.
// A hotkey that failed to register shows in bold red, with a line that says
// so; the balloons of the tray icon go through this window.
// The keyboard reaches it too: Enter or Space on the tray icon opens it with
// the focus in it, the arrows move between the rows, Tab to the links and
// the close button, Enter edits a row in the settings window or follows a
// link, Esc closes it. Screen readers read it as a table of rows named by
// their cells, the links and the button (an accessible object of its own:
// none of it has a window). In high contrast it draws with the system's
// colours only, opaque, and marks a failed hotkey with a sign. While the
// hotkeys are paused, the icon is greyed with a pause mark, its tip and a
// line of the panel say so, and the menu's "Pause hotkeys" is ticked.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/PanelLayout.h"
#include "components/PanelControls.h"
#include "components/PanelLabels.h"
#include "components/SimpleTimer.h"
#include "components/TrayIcon.h"
#include "core/RegistrationStatus.h"
#include "gui/Accessible.h"
#include "gui/Form.h"
#include "gui/Windowless.h"

namespace corvinade {

class HotkeyService;
class UpdateCheckFlow;

class TrayPanel : public gui::Form,
                  public TrayBalloonPort,
                  private gui::WindowlessHost,
                  private gui::AccessibleContent {
public:
    // The panel lists the live hotkeys of `hotkeys`; its link checks for
    // updates with `updateCheck`. Both outlive it.
    TrayPanel(HotkeyService& hotkeys, UpdateCheckFlow& updateCheck);
    ~TrayPanel() override;

    bool ShowBalloon(const std::string& title, const std::string& text) override;
    bool ShowInformation(const std::string& title, const std::string& text,
                         std::function<void()> onClick) override;

    TTrayIcon& TrayIcon() { return *trayIcon_; }
    bool HideFormTimerEnabled() const { return hideFormTimer_.Running(); }
    // Rows shown now (header included); 0 while hidden.
    int OverviewRowCount() const { return static_cast<int>(overviewLabels_.size()); }
    // The part with the keyboard focus: a hotkey row (0 the first), then
    // the two links and the close button; -1 for none.
    int FocusedPart() const { return focus_; }

    // Once the hotkey service exists (made after the panel): the icon's tip
    // counts the active hotkeys, and the panel follows every change of the
    // document while it shows. Stopped before the service goes.
    void FollowHotkeys();
    void StopFollowingHotkeys();

    // The settings window is asked for ("Manage hotkeys", the menu's
    // "Settings...", a double click on the icon); the panel then hides.
    std::function<void()> OnOpenSettings;
    // Enter on a row: the settings window with this entry being edited.
    std::function<void(std::uint32_t entryId)> OnEditHotkey;

    // What the icon, its menu, the links and the close button do.
    void OnTrayIconClick();
    void OnTrayIconKeySelect();
    void OpenSettings();
    void OnExitClick();
    void OnCloseClick();
    void OnCheckForUpdatesClick();
    void OnPauseClick();

    // The hotkeys were paused or resumed.
    void ShowPaused(bool paused);
    bool PausedShown() const { return paused_; }

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    struct OverviewRow {
        std::array<std::unique_ptr<PanelLabel>, 3> cells;
        std::string name; // what a screen reader reads
        bool failed = false;
    };

    void Initialize();
    void Shown();
    void Hidden();
    void OnBorderMouseEnter();
    void OnBorderMouseLeave();
    void HideUnlessInUse();
    void BuildHotkeyOverview();
    void HotkeysChanged();
    void ClearHotkeyOverview();
    void MarkFailedHotkeys(const THotkeyList& hotkeys);
    std::string TipText() const;
    void ShowPanel();
    void ApplyColours();
    void ColourRow(std::size_t row);

    // The keyboard: the parts in focus order, moving and acting on them.
    int HotkeyRowCount() const { return OverviewRowCount() > 0 ? OverviewRowCount() - 1 : 0; }
    int PartCount() const { return HotkeyRowCount() + 3; }
    bool PanelKey(WPARAM key);
    int NextTabStop(bool back) const;
    void MoveFocus(int part);
    void Activate(int part);
    void EditRow(int row);
    RECT RowBand(int row) const;
    RECT PartRect(int part) const;
    void Deactivated();

    // What screen readers read.
    std::optional<std::string> AccessibleName() const override;
    std::optional<long> AccessibleRole() const override;
    std::vector<gui::AccessibleElement> AccessibleElements() const override;
    int AccessibleFocus() const override { return focus_; }
    void DoAccessibleAction(int element) override {
        if (element >= 0)
            Activate(element);
    }
    void SelectAccessibleElement(int element) override { MoveFocus(element); }

    void SetHideFormTimer(bool enabled);
    void SetOpacity(BYTE alpha);
    void LayOutAnchored();
    void Paint();
    void PaintArea(HDC dc, const RECT& area);
    void Mouse(UINT msg, WPARAM wParam, LPARAM lParam);
    std::unique_ptr<PanelLink> MakeLink(const LabelArgs& args, TAlignment alignment);
    gui::WindowlessHost& Host() { return *this; }
    HWND HostWindow() const override { return Handle(); }
    int HostDpi() const override { return Dpi(); }
    void InvalidateHostRect(const RECT& area) override;
    // Where the panel goes and whether the mouse has left it.
    void LocateTaskbar();
    bool IsCursorOverPanel() const;
    bool IsCursorOverTaskbar() const;

    HotkeyService& hotkeys_;
    UpdateCheckFlow& updateCheck_;
    Taskbar taskbar_; // as found when the panel was last shown

    gui::WindowlessLayer layer_{*this};
    std::unique_ptr<PanelBorder> border_;
    std::unique_ptr<PanelButton> closeButton_;
    std::unique_ptr<PanelLink> manageHotkeysLink_, checkForUpdatesLink_;
    std::vector<OverviewRow> overviewLabels_;
    std::vector<std::uint32_t> rowIds_; // the entry each hotkey row shows
    int subscription_ = 0;
    bool following_ = false;
    std::unique_ptr<PanelLabel> failedLegend_; // while a shown hotkey failed
    std::unique_ptr<PanelLabel> pausedLine_;   // while the hotkeys are paused
    bool paused_ = false;
    int pauseItem_ = -1; // the menu's "Pause hotkeys"
    std::unique_ptr<gui::ImageList> trayImages_;
    std::unique_ptr<TPopupMenu> trayPopup_;
    std::unique_ptr<TTrayIcon> trayIcon_;
    TSimpleTimer hideFormTimer_;
    std::function<void()> balloonClick_; // what a click on the balloon shown last does
    gui::HostMouse hostMouse_;
    int focus_ = -1;
    bool keyboard_ = false; // the keyboard drives it: the hide timer leaves it alone
    gui::AccessibleWindow accessible_{Handle(), *this};
};

} // namespace corvinade
