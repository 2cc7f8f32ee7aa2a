// The application object: its hidden window, the message hook's view of
// hotkeys in every kind of loop, and termination from nested loops.
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui_testing.h"

#include <commdlg.h>

#include <stdexcept>

namespace corvinade::gui {
namespace {

using testing::AppTest;
using testing::BoxInfo;
using testing::BoxWatcher;
using testing::HangGuard;
using testing::WaitFor;

constexpr LPARAM kHotkeyParam = MAKELPARAM(MOD_CONTROL | MOD_ALT, 'K');
constexpr UINT kWakeMessage = WM_APP + 11;

void PostHotkey(HWND window) {
    ::PostMessageA(window, WM_HOTKEY, 7, kHotkeyParam);
}

// Counts the hotkeys OnHotkey gets and the wakes the window's hooks see;
// `onHotkey` is the hotkey's action.
struct HookRecorder {
    std::atomic<int> hotkeys{0};
    int wakes = 0;
    bool wrongHotkey = false;
    std::function<void()> onHotkey;

    void Install(Application& app) {
        app.AddMessageHook([this](UINT msg, WPARAM, LPARAM, LRESULT&) {
            wakes += msg == kWakeMessage;
            return false;
        });
        app.OnHotkey = [this](unsigned modifiers, unsigned key) {
            if (static_cast<LPARAM>(MAKELONG(modifiers, key)) != kHotkeyParam)
                wrongHotkey = true;
            ++hotkeys;
            if (onHotkey)
                onHotkey();
        };
    }
};

using GuiApplication = AppTest;

TEST_F(GuiApplication, HiddenToolWindowOfItsOwnThatOwnsForms) {
    HWND window = app->Handle();
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(&App(), app.get());
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetAncestor(window, GA_ROOT), window);
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(::GetWindowThreadProcessId(window, nullptr), ::GetCurrentThreadId());
    EXPECT_EQ(app->Title(), "Corvinade");

    Form form({.caption = "Owned"});
    EXPECT_EQ(::GetWindow(form.Handle(), GW_OWNER), window);
    EXPECT_THROW(Application second(::GetModuleHandleA(nullptr)), std::logic_error);
    EXPECT_EQ(Application::Instance(), app.get());

    app->SetTitle("Another title");
    EXPECT_EQ(app->Title(), "Another title");
    ::ShowWindow(window, SW_SHOWNA);
    app->HideTaskbarButton();
    EXPECT_FALSE(::IsWindowVisible(window));
}

// A box owned by a topmost window (the tray panel) would be topmost too:
// such a window hands its boxes to the application window.
TEST_F(GuiApplication, MessageBoxesAreNeverOwnedByATopmostWindow) {
    Form plain({.clientWidth = 100, .clientHeight = 50, .caption = "Plain"});
    Form topmost({.clientWidth = 100, .clientHeight = 50, .caption = "Topmost", .exStyle = WS_EX_TOPMOST});
    plain.Show();
    ::SetActiveWindow(plain.Handle());
    ASSERT_EQ(::GetActiveWindow(), plain.Handle());
    EXPECT_EQ(app->DialogOwner(), plain.Handle());
    topmost.Show();
    ::SetActiveWindow(topmost.Handle());
    ASSERT_EQ(::GetActiveWindow(), topmost.Handle());
    ASSERT_TRUE(::GetWindowLongW(topmost.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(app->DialogOwner(), app->Handle());
}

TEST_F(GuiApplication, MainWindowHooksRunInOrderUntilOneHandles) {
    std::vector<std::string> calls;
    int first = app->AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == kWakeMessage)
            calls.push_back("first");
        return false;
    });
    app->AddMessageHook([&](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
        if (msg != kWakeMessage)
            return false;
        calls.push_back("second");
        result = static_cast<LRESULT>(wParam) * 2;
        return true;
    });
    app->AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == kWakeMessage)
            calls.push_back("third");
        return false;
    });
    EXPECT_EQ(::SendMessageA(app->Handle(), kWakeMessage, 21, 0), 42);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));

    app->RemoveMessageHook(first);
    calls.clear();
    ::SendMessageA(app->Handle(), kWakeMessage, 1, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"second"}));
}

// The window's hooks come first; a hook that handles the hotkey keeps it
// from OnHotkey.
TEST_F(GuiApplication, HotkeyReachesOnHotkeyOnceAfterTheWindowHooks) {
    int hotkeys = 0, hooked = 0;
    bool hookFirst = true, takeIt = false;
    app->OnHotkey = [&](unsigned, unsigned) {
        ++hotkeys;
        hookFirst = hookFirst && hooked == hotkeys;
    };
    app->AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        hooked += msg == WM_HOTKEY;
        if (msg == kWakeMessage)
            app->Terminate();
        return msg == WM_HOTKEY && takeIt;
    });
    PostHotkey(app->Handle());
    ::PostMessageA(app->Handle(), kWakeMessage, 0, 0);
    HangGuard guard;
    app->Run();
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(hotkeys, 1);
    EXPECT_TRUE(hookFirst);

    takeIt = true;
    PostHotkey(app->Handle());
    app->ProcessMessages();
    EXPECT_EQ(hooked, 2);
    EXPECT_EQ(hotkeys, 1);
}

TEST_F(GuiApplication, HookSeesHotkeyOnceInProcessMessages) {
    HookRecorder hook;
    hook.Install(*app);
    PostHotkey(app->Handle());
    ::PostMessageA(app->Handle(), kWakeMessage, 0, 0);
    app->ProcessMessages();
    EXPECT_EQ(hook.hotkeys, 1);
    EXPECT_EQ(hook.wakes, 1);
    EXPECT_FALSE(hook.wrongHotkey);
    app->ProcessMessages();
    EXPECT_EQ(hook.hotkeys, 1);
}

// A real key press of a registered combination, as the user makes it.
TEST_F(GuiApplication, PressedHotkeyReachesHookOnceInRun) {
    ASSERT_TRUE(::RegisterHotKey(app->Handle(), 7, MOD_CONTROL | MOD_ALT, 'K'));
    HookRecorder hook;
    hook.onHotkey = [&] { app->Terminate(); };
    hook.Install(*app);
    std::thread presser([] {
        ::keybd_event(VK_CONTROL, 0, 0, 0);
        ::keybd_event(VK_MENU, 0, 0, 0);
        ::keybd_event('K', 0, 0, 0);
        ::keybd_event('K', 0, KEYEVENTF_KEYUP, 0);
        ::keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
        ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    });
    HangGuard guard;
    app->Run();
    presser.join();
    app->ProcessMessages();
    ::UnregisterHotKey(app->Handle(), 7);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(hook.hotkeys, 1);
    EXPECT_FALSE(hook.wrongHotkey);
}

TEST_F(GuiApplication, HookSeesHotkeyOnceInsideShowModal) {
    Form dialog({.clientWidth = 200, .clientHeight = 100, .caption = "Modal"});
    HookRecorder hook;
    bool insideModal = false;
    hook.onHotkey = [&] {
        insideModal = dialog.Modal();
        dialog.SetModalResult(5);
    };
    hook.Install(*app);
    dialog.OnShow = [&] { PostHotkey(app->Handle()); };
    HangGuard guard;
    EXPECT_EQ(dialog.ShowModal(), 5);
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(insideModal);
    app->ProcessMessages();
    EXPECT_EQ(hook.hotkeys, 1);
    EXPECT_FALSE(hook.wrongHotkey);
}

TEST_F(GuiApplication, HookSeesHotkeyOnceInsideMessageBox) {
    HookRecorder hook;
    bool boxOpen = false, seenWhileOpen = false;
    hook.onHotkey = [&] { seenWhileOpen = boxOpen; };
    hook.Install(*app);
    HWND appWindow = app->Handle();
    BoxWatcher watcher(1, [&](const BoxInfo&) {
        PostHotkey(appWindow);
        WaitFor([&] { return hook.hotkeys > 0; });
        return IDOK;
    });
    boxOpen = true;
    ::MessageBoxA(nullptr, "Waiting for a hotkey", "Corvinade", MB_OK);
    boxOpen = false;
    watcher.Join();
    app->ProcessMessages();
    EXPECT_TRUE(seenWhileOpen);
    EXPECT_EQ(hook.hotkeys, 1);
}

// The action of a hotkey opens a message box of its own inside the system's
// message box loop; both close and the hotkey ran once.
TEST_F(GuiApplication, HotkeyActionOpensMessageBoxInsideMessageBox) {
    HookRecorder hook;
    int nestedResult = 0;
    hook.onHotkey = [&] { nestedResult = MessageDlg("Nested", DialogKind::Warning, MB_YESNO); };
    hook.Install(*app);
    HWND appWindow = app->Handle();
    BoxInfo nested;
    BoxWatcher watcher(1, [&](const BoxInfo& outer) {
        PostHotkey(appWindow);
        HWND inner = testing::WaitForNewBox({outer.window});
        if (inner) {
            nested = testing::ReadBox(inner);
            testing::PressButton(inner, IDNO);
            testing::WaitUntilGone(inner);
        }
        return IDOK;
    });
    int outerResult = MessageDlg("Outer", DialogKind::Information);
    watcher.Join();
    EXPECT_EQ(outerResult, IDOK);
    EXPECT_EQ(nested.caption, "Warning");
    EXPECT_EQ(nested.text, "Nested");
    EXPECT_EQ(nestedResult, IDNO);
    app->ProcessMessages();
    EXPECT_EQ(hook.hotkeys, 1);
}

TEST_F(GuiApplication, HookSeesHotkeyOnceInsidePopupMenu) {
    Form form({.left = 100, .top = 100, .clientWidth = 200, .clientHeight = 100, .caption = "Menu owner"});
    form.Show();
    ::SetForegroundWindow(form.Handle());
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, 1, "Settings...");
    ::AppendMenuA(menu, MF_STRING, 2, "Exit");
    HookRecorder hook;
    bool menuOpen = false, seenWhileOpen = false;
    hook.onHotkey = [&] {
        seenWhileOpen = menuOpen;
        ::EndMenu();
    };
    hook.Install(*app);
    PostHotkey(app->Handle());
    HangGuard guard;
    menuOpen = true;
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, 150, 150, 0, form.Handle(), nullptr);
    menuOpen = false;
    ::DestroyMenu(menu);
    app->ProcessMessages();
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(seenWhileOpen);
    EXPECT_EQ(hook.hotkeys, 1);
}

TEST_F(GuiApplication, HookSeesHotkeyOnceInsideFileDialog) {
    HookRecorder hook;
    bool dialogOpen = false, seenWhileOpen = false;
    hook.onHotkey = [&] {
        seenWhileOpen = dialogOpen;
        // Cancels the dialog the way its Cancel button does.
        if (HWND dialog = ::GetActiveWindow())
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    hook.Install(*app);
    HWND appWindow = app->Handle();
    DWORD uiThread = ::GetCurrentThreadId();
    std::thread poster([&] {
        // The dialog is up once it is the active window of our thread.
        WaitFor([&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            return ::GetGUIThreadInfo(uiThread, &info) && info.hwndActive &&
                   testing::IsMessageBoxOfOurs(info.hwndActive);
        });
        PostHotkey(appWindow);
    });
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = appWindow;
    ofn.lpstrFilter = "All files\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER;
    dialogOpen = true;
    BOOL chosen = ::GetOpenFileNameA(&ofn);
    dialogOpen = false;
    poster.join();
    app->ProcessMessages();
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(seenWhileOpen);
    EXPECT_EQ(hook.hotkeys, 1);
}

using GuiTerminate = AppTest;

TEST_F(GuiTerminate, FromInsideShowModalEndsRun) {
    Form dialog({.clientWidth = 200, .clientHeight = 100, .caption = "Modal"});
    int result = -1;
    app->AddMessageHook([&](UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
        if (msg == kWakeMessage && wParam == 1)
            result = dialog.ShowModal();
        if (msg == kWakeMessage && wParam == 2)
            app->Terminate();
        return false;
    });
    dialog.OnShow = [&] { ::PostMessageA(app->Handle(), kWakeMessage, 2, 0); };
    ::PostMessageA(app->Handle(), kWakeMessage, 1, 0);
    HangGuard guard;
    app->Run();
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(GuiTerminate, FromHotkeyInsideMessageBoxEndsBoxAndRun) {
    bool boxReturned = false;
    app->AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == kWakeMessage) {
            MessageDlg("Open while the hotkey ends the program", DialogKind::Information);
            boxReturned = true;
        }
        return false;
    });
    app->OnHotkey = [&](unsigned, unsigned) { app->Terminate(); };
    HWND appWindow = app->Handle();
    bool boxWentAway = false;
    BoxWatcher watcher(1, [&](const BoxInfo& box) {
        PostHotkey(appWindow);
        boxWentAway = testing::WaitUntilGone(box.window);
        return 0; // never clicked
    });
    ::PostMessageA(app->Handle(), kWakeMessage, 0, 0);
    HangGuard guard;
    app->Run();
    watcher.Join();
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(boxWentAway);
    EXPECT_TRUE(boxReturned);
    EXPECT_TRUE(app->Terminated());
}

TEST_F(GuiTerminate, QuitTakenByProcessMessagesStillEndsRun) {
    ::PostQuitMessage(3);
    app->ProcessMessages();
    EXPECT_TRUE(app->Terminated());
    HangGuard guard;
    app->Run();
    EXPECT_FALSE(guard.Fired());
}

} // namespace
} // namespace corvinade::gui
