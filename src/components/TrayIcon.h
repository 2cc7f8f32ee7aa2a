// TTrayIcon: one icon with a tooltip in the taskbar's notification area. It
// turns the shell's callbacks into click, double-click, mouse and popup-menu
// events (a single click is told from a double click by the system's
// double-click time), hides the main window to the tray when it is minimized,
// and adds the icon again when the taskbar is re-created. TPopupMenu is the
// small popup menu it opens.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/ClickTracker.h"
#include "components/SimpleTimer.h"
#include "gui/ImageList.h"
#include "gui/MouseTypes.h"

namespace corvinade {

namespace gui {
class Form;
}

// A popup menu: items with a caption ("-" for a separator) and a click event.
class TPopupMenu {
public:
    TPopupMenu();
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;
    ~TPopupMenu();

    void AddItem(const std::string& caption, std::function<void()> onClick, bool isDefault = false);
    int Count() const { return static_cast<int>(items_.size()); }
    std::string Caption(int index) const { return items_.at(static_cast<std::size_t>(index)).caption; }
    // A tick before the item.
    void SetChecked(int index, bool checked);
    bool Checked(int index) const;
    HMENU Handle() const { return menu_; }
    bool AutoPopup = true;

    // Opens the menu at the screen point, waits until it closes and runs the
    // chosen item's event.
    void Popup(HWND owner, int x, int y);
    // The default item with the lowest position, or -1.
    int DefaultItem() const;
    void Click(int index);

private:
    struct Item {
        std::string caption;
        std::function<void()> onClick;
        bool isDefault;
    };
    HMENU menu_;
    std::vector<Item> items_;
};

class TTrayIcon : private ClickTimerPort {
public:
    // `owner` is the window that owns the icon (subclassed for the life of
    // the icon); null for none.
    explicit TTrayIcon(gui::Form* owner);
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;
    ~TTrayIcon();

    // Called once the owner has set the properties: applies them as a
    // loaded component does.
    void Loaded();

    const gui::ImageList* IconList() const { return iconList_; }
    void SetIconList(const gui::ImageList* list);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    HICON Icon() const { return icon_; }
    // Copies the icon.
    void SetIcon(HICON icon);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleIcons(bool cycle);
    std::uint32_t CycleInterval() const { return cycleInterval_; }
    void SetCycleInterval(std::uint32_t ms);
    bool WantEnterExitEvents() const { return wantEnterExit_; }
    void SetWantEnterExitEvents(bool want);
    // The shell's callback version: 0, or NOTIFYICON_VERSION_4 for the
    // keyboard's NIN_KEYSELECT and WM_CONTEXTMENU (the menu opens then).
    int CallbackVersion() const { return callbackVersion_; }
    void SetCallbackVersion(int version);

    bool Enabled = true;
    bool LeftPopup = false;
    bool MinimizeToTray = false;
    TPopupMenu* PopupMenu = nullptr;

    std::function<void()> OnClick, OnDblClick, OnMouseEnter, OnMouseExit, OnMinimizeToTray;
    // Enter or Space on the icon (version 4).
    std::function<void()> OnKeySelect;
    std::function<void(gui::MouseButton, gui::ShiftState, int x, int y)> OnMouseDown, OnMouseUp;
    std::function<void(gui::ShiftState, int x, int y)> OnMouseMove;
    std::function<void(int nextIndex)> OnCycle;
    std::function<void()> OnBalloonHintShow, OnBalloonHintHide, OnBalloonHintTimeout, OnBalloonHintClick;
    std::function<void(bool& showMainForm)> OnStartup;

    bool AddToTray();
    bool RemoveFromTray();
    bool RefreshInTray();
    // A balloon at the icon with a title, a text and a system icon
    // (NIIF_INFO, NIIF_WARNING, NIIF_ERROR); longer texts are cut to the
    // shell's fields. False when the shell refused it.
    bool ShowBalloonHint(const std::string& title, const std::string& text, DWORD iconFlags = NIIF_INFO);
    void ShowTrayPopup(int x, int y);
    void HideMainWindow();
    void MinimizeMainToTray();

    // The shared callback window and this icon's id (its uID and wParam):
    // the icons of a process are numbered from 1 as they are made, so the
    // program's one icon is 1.
    static HWND HandlerWindow();
    UINT_PTR IconId() const { return id_; }
    static constexpr UINT TrayCallbackMessage = 0x0800;
    // "TaskbarCreated", 0 when the common controls are older than 4.71.
    static UINT TaskbarCreatedMessage();

private:
    void HandleCallback(UINT event, POINT anchor);
    void MouseEvent(UINT event);
    void FillNotifyData();
    bool Notify(DWORD message);
    void HoverTick();
    void CycleTick();
    bool MainWindowHook(UINT msg, WPARAM wParam, LPARAM lParam);
    // The owner form's messages, through its message hook.
    bool OwnerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // ClickTimerPort over SingleClickTimer.
    void Arm(std::uint32_t periodMs) override;
    void Disarm() override;
    bool Running() const override;

    gui::Form* owner_;
    HWND ownerWindow_ = nullptr;
    int ownerHookId_ = 0;
    int hookId_ = 0;
    NOTIFYICONDATAW data_{};
    const gui::ImageList* iconList_ = nullptr;
    int iconIndex_ = 0;
    HICON icon_ = nullptr;
    std::string hint_;
    bool showHint_ = true;
    bool iconVisible_ = false;
    UINT_PTR id_;
    bool cycleIcons_ = false;
    std::uint32_t cycleInterval_ = 0;
    bool wantEnterExit_ = false;
    int callbackVersion_ = 0;
    bool pointerOutside_ = true;
    bool afterLeftUp_ = false; // the last event was WM_LBUTTONUP
    POINT lastPointerPos_{};
    std::unique_ptr<TSimpleTimer> singleClickTimer_, iconStepTimer_, hoverTimer_;
    // A refused NIM_ADD (the shell not up yet at a slow log-on) is tried
    // again a few times; "TaskbarCreated" adds the icon too.
    std::unique_ptr<TSimpleTimer> addRetryTimer_;
    int addAttemptsLeft_ = 0;
    static constexpr int AddAttempts = 5;
    void RetryAdd();
    ClickTracker clicks_{*this};
};

} // namespace corvinade
