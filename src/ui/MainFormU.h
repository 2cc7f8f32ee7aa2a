// The tray overview window, the application's main window. Hidden most of
// the time, it carries the tray icon with its menu; a click on the icon
// shows it as a small borderless, semi-transparent, always-on-top panel
// beside the taskbar listing the active hotkeys in three columns. It hides
// itself again once the mouse is over neither the panel nor the taskbar.
// A hotkey that failed to register shows in bold red, with a line that says
// so; the balloons of the tray icon go through this window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <vector>

#include "components/BControls.h"
#include "components/PanelControls.h"
#include "components/SimpleTimer.h"
#include "components/TrayIcon.h"
#include "core/RegistrationStatus.h"
#include "gui/Form.h"
#include "gui/Windowless.h"

namespace corvinade {

class TMainForm : public gui::Form, public TrayBalloonPort, private gui::WindowlessHost {
public:
    TMainForm();
    ~TMainForm() override;

    bool ShowBalloon(const std::string& title, const std::string& text) override;

    TTrayIcon& TrayIcon() { return *trayIcon_; }
    bool HideFormTimerEnabled() const { return hideFormTimer_.Running(); }
    // Rows shown now (header included); 0 while hidden.
    int OverviewRowCount() const { return static_cast<int>(overviewLabels_.size()); }

    // The handlers, named as the window's design names them.
    void TrayIconClick();
    void Settings1Click();
    void Exit1Click();
    void SpeedButton1Click();
    void lblCheckForUpdatesClick();

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override;

private:
    using OverviewRow = std::array<std::unique_ptr<TLabel>, 3>;

    void FormCreate();
    void FormDestroy();
    void FormShow();
    void FormHide();
    void Shape1MouseEnter();
    void Shape1MouseLeave();
    void HideFormTimerTimer();
    void BuildHotkeyOverview();
    void ClearHotkeyOverview();
    void MarkFailedHotkeys(const THotkeyList& hotkeys);

    void SetHideFormTimer(bool enabled);
    void SetOpacity(BYTE alpha);
    void LayOutAnchored();
    void Paint();
    void Mouse(UINT msg, WPARAM wParam, LPARAM lParam);
    std::unique_ptr<TBLabel> MakeLink(const LabelArgs& args, TAlignment alignment);
    gui::WindowlessHost& Host() { return *this; }
    HWND HostWindow() const override { return Handle(); }
    int HostDpi() const override { return Dpi(); }
    void InvalidateHostRect(const RECT& area) override;

    gui::WindowlessLayer layer_{*this};
    std::unique_ptr<TShape> shape1_;
    std::unique_ptr<TSpeedButton> speedButton1_;
    std::unique_ptr<TBLabel> bLabel1_, lblCheckForUpdates_;
    std::vector<OverviewRow> overviewLabels_;
    std::unique_ptr<TLabel> failedLegend_; // while a shown hotkey failed
    std::unique_ptr<gui::ImageList> trayImages_;
    std::unique_ptr<TPopupMenu> trayPopup_;
    std::unique_ptr<TTrayIcon> trayIcon_;
    TSimpleTimer hideFormTimer_;
    gui::HostMouse hostMouse_;
};

extern TMainForm* MainForm;

} // namespace corvinade
