// Test support for the GUI layer: a fixture with a live application, a guard
// that ends a loop that would otherwise hang, and a watcher thread that
// finds the message boxes our thread opens, reads them and presses their
// buttons, as a user would.
#pragma once

#include "core/Wide_win.h"
#include "gui/Application.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace corvinade::gui::testing {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<Application>(::GetModuleHandleA(nullptr));
        app->SetTitle("Corvinade");
    }
    void TearDown() override { app.reset(); }

    std::unique_ptr<Application> app;
};

// Ends the application's loops if a test would otherwise wait forever; a
// test asserts that it never fired. Also closes an open popup menu and
// cancels the active dialog.
class HangGuard {
public:
    explicit HangGuard(UINT ms = 15000) : timer_(::SetTimer(nullptr, 0, ms, Fire)) { fired_ = false; }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
    ~HangGuard() { ::KillTimer(nullptr, timer_); }
    bool Fired() const { return fired_; }

private:
    static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
        fired_ = true;
        ::EndMenu();
        if (HWND active = ::GetActiveWindow())
            ::PostMessageA(active, WM_COMMAND, IDCANCEL, 0); // a system dialog ignoring the quit
        if (Application* app = Application::Instance())
            app->Terminate();
    }
    static inline bool fired_ = false;
    UINT_PTR timer_;
};

struct BoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    HICON icon = nullptr;
    HWND owner = nullptr;
};

inline std::string TextOf(HWND window) {
    return corvinade::WindowText(window);
}

inline bool IsMessageBoxOfOurs(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    char cls[16] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    return pid == ::GetCurrentProcessId() && std::string(cls) == "#32770" && ::IsWindowVisible(window);
}

// Reads a message box: its text and icon are its two static controls.
inline BoxInfo ReadBox(HWND box) {
    BoxInfo info;
    info.window = box;
    info.caption = TextOf(box);
    info.owner = ::GetWindow(box, GW_OWNER);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = {};
        ::GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) != "Static")
            continue;
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            info.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        else
            info.text = TextOf(child);
    }
    return info;
}

struct FindNewBox {
    const std::set<HWND>* known;
    HWND found;
};

inline BOOL CALLBACK FindNewBoxProc(HWND window, LPARAM param) {
    auto& find = *reinterpret_cast<FindNewBox*>(param);
    if (IsMessageBoxOfOurs(window) && !find.known->count(window)) {
        find.found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits (bounded) for a visible message box of this process not in `known`.
inline HWND WaitForNewBox(const std::set<HWND>& known, DWORD timeoutMs = 15000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        FindNewBox find{&known, nullptr};
        ::EnumWindows(FindNewBoxProc, reinterpret_cast<LPARAM>(&find));
        if (find.found)
            return find.found;
        ::Sleep(20);
    }
    return nullptr;
}

inline bool WaitUntilGone(HWND window, DWORD timeoutMs = 15000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (!::IsWindow(window) || !::IsWindowVisible(window))
            return true;
        ::Sleep(20);
    }
    return false;
}

inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 15000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (condition())
            return true;
        ::Sleep(20);
    }
    return condition();
}

inline void PressButton(HWND box, int id) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

// A second thread that handles the message boxes our thread opens, one
// after the other: `onBox` runs on the watcher thread for each new box and
// returns the button to press (0: leave it, something else closes it).
// Stops after `expected` boxes; joins on destruction.
class BoxWatcher {
public:
    using Handler = std::function<int(const BoxInfo&)>;

    BoxWatcher(int expected, Handler onBox) : thread_([this, expected, onBox] { Watch(expected, onBox); }) {}
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    ~BoxWatcher() { Join(); }

    void Join() {
        if (thread_.joinable())
            thread_.join();
    }
    // The boxes seen, in order; call after Join.
    const std::vector<BoxInfo>& Boxes() const { return boxes_; }

private:
    void Watch(int expected, const Handler& onBox) {
        std::set<HWND> known;
        for (int i = 0; i < expected; ++i) {
            HWND box = WaitForNewBox(known);
            if (!box)
                return;
            known.insert(box);
            BoxInfo info = ReadBox(box);
            boxes_.push_back(info);
            if (int button = onBox(info)) {
                PressButton(box, button);
                WaitUntilGone(box);
            }
        }
    }

    std::vector<BoxInfo> boxes_;
    std::thread thread_;
};

// An application test that types as a keyboard does and handles the
// application's messages while it waits.
class KeyboardAppTest : public AppTest {
protected:
    // Handles messages until the condition holds (bounded).
    bool PumpUntil(const std::function<bool()>& condition) {
        return WaitFor([&] {
            app->ProcessMessages();
            return condition();
        });
    }
    // The keys go down in order and come up in reverse.
    void Keys(std::initializer_list<BYTE> down) {
        for (BYTE key : down)
            ::keybd_event(key, 0, 0, 0);
        for (auto key = std::rbegin(down); key != std::rend(down); ++key)
            ::keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
    }
};

} // namespace corvinade::gui::testing
