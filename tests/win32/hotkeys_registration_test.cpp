// Registration of hotkeys with the real window system (run under Wine): global
// atoms, RegisterHotKey on a hidden window of the test's own, WM_HOTKEY, the
// failed state, and key names from the keyboard layout.
#include <windows.h>

#include "core/Hotkeys_win.h"

#include <gtest/gtest.h>

#include <string>

namespace corvinade {
namespace {

using A = THotkeyAction;

// A hidden top-level window standing in for the application window.
class TestWindow {
public:
    TestWindow() {
        static const ATOM cls = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "CorvinadeHotkeysTestWindow";
            return RegisterClassA(&wc);
        }();
        hwnd_ = CreateWindowExA(0, MAKEINTATOM(cls), "hotkeys test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() {
        if (hwnd_)
            DestroyWindow(hwnd_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

ATOM FindAtom(const char* name) {
    return GlobalFindAtomA(name);
}

// True when another window can take the combination, i.e. nobody holds it.
bool CombinationFree(UINT modifiers, UINT key) {
    TestWindow other;
    if (!RegisterHotKey(other.Get(), 0x1234, modifiers, key))
        return false;
    UnregisterHotKey(other.Get(), 0x1234);
    return true;
}

class HotkeysWin32 : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(window_.Get(), nullptr); }
    TestWindow window_;
    Win32HotkeyPort port_{window_.Get()};
};

TEST_F(HotkeysWin32, RegistersUnderTheAtomNamedAfterTheCombination) {
    THotkeyList list(port_);
    TGlobalHotKey* item = list.Add(true, 83, 8, A::CaptureScreen, "", "");
    EXPECT_EQ(FindAtom("corvinade-83-8"), 0);
    list.RegisterAll();
    ASSERT_NE(item->Atom, 0);
    EXPECT_EQ(FindAtom("corvinade-83-8"), item->Atom);
    EXPECT_FALSE(CombinationFree(MOD_WIN, 'S'));
    list.Clear();
    EXPECT_EQ(FindAtom("corvinade-83-8"), 0);
    EXPECT_TRUE(CombinationFree(MOD_WIN, 'S'));
}

TEST_F(HotkeysWin32, APlainKeyWithoutModifiersRegisters) {
    THotkeyList list(port_);
    list.Add(true, VK_F9, 0, A::Close, "", "");
    list.RegisterAll();
    EXPECT_NE(FindAtom("corvinade-120-0"), 0);
    EXPECT_FALSE(CombinationFree(0, VK_F9));
}

TEST_F(HotkeysWin32, PressingTheCombinationPostsWmHotkeyWithItsAtom) {
    THotkeyList list(port_);
    TGlobalHotKey* item = list.Add(true, VK_F7, MOD_CONTROL | MOD_ALT, A::Close, "", "");
    list.RegisterAll();
    ASSERT_NE(item->Atom, 0);
    SetForegroundWindow(window_.Get());
    const BYTE keys[] = {VK_CONTROL, VK_MENU, VK_F7};
    for (BYTE k : keys)
        keybd_event(k, static_cast<BYTE>(MapVirtualKeyA(k, 0)), 0, 0);
    for (int i = 2; i >= 0; --i)
        keybd_event(keys[i], static_cast<BYTE>(MapVirtualKeyA(keys[i], 0)), KEYEVENTF_KEYUP, 0);
    MSG msg{};
    bool arrived = false;
    // Bounded wait for the input to travel through the window system.
    for (int round = 0; round < 500 && !arrived; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_HOTKEY) {
                arrived = true;
                break;
            }
            DispatchMessageA(&msg);
        }
        if (!arrived)
            Sleep(10);
    }
    ASSERT_TRUE(arrived);
    EXPECT_EQ(msg.hwnd, window_.Get());
    EXPECT_EQ(msg.wParam, item->Atom);
    EXPECT_EQ(LOWORD(msg.lParam), MOD_CONTROL | MOD_ALT);
    EXPECT_EQ(HIWORD(msg.lParam), VK_F7);
}

// The first of two items of one combination holds the registration and the
// atom; the second's refused registration gives its reference back at once,
// so removing the first removes the atom.
TEST_F(HotkeysWin32, TwoItemsOfOneCombinationRegisterOnce) {
    THotkeyList list(port_);
    list.Add(true, 'K', MOD_CONTROL | MOD_SHIFT, A::Close, "", "");
    list.Add(true, 'K', MOD_CONTROL | MOD_SHIFT, A::Maximize, "", "");
    list.RegisterAll();
    const ATOM atom = FindAtom("corvinade-75-6");
    ASSERT_NE(atom, 0);
    EXPECT_EQ(list.Items(0)->Atom, atom);
    EXPECT_TRUE(list.Items(1)->Failed());
    EXPECT_EQ(list.Items(1)->Atom, 0);

    list.Delete(0);
    EXPECT_EQ(FindAtom("corvinade-75-6"), 0);
    EXPECT_TRUE(CombinationFree(MOD_CONTROL | MOD_SHIFT, 'K'));
}

TEST_F(HotkeysWin32, UnregisterReleasesOnceAndAtomZeroDoesNothing) {
    TGlobalHotKey idle(port_);
    idle.Unregister(); // no atom: nothing happens
    EXPECT_EQ(idle.Atom, 0);

    TGlobalHotKey item(port_);
    item.Definition = {true, VK_F8, MOD_ALT, A::Close, "", ""};
    item.Register();
    const ATOM atom = item.Atom;
    ASSERT_NE(atom, 0);
    // A second reference from elsewhere shows that Unregister drops exactly one.
    ASSERT_EQ(GlobalAddAtomA("corvinade-119-1"), atom);
    item.Unregister();
    EXPECT_EQ(item.Atom, 0);
    EXPECT_TRUE(CombinationFree(MOD_ALT, VK_F8));
    item.Unregister();
    EXPECT_EQ(FindAtom("corvinade-119-1"), atom);
    GlobalDeleteAtom(atom);
    EXPECT_EQ(FindAtom("corvinade-119-1"), 0);
}

// A refused combination leaves no atom behind, whatever the reloads.
TEST_F(HotkeysWin32, ACombinationTakenByAnotherWindowFailsWithoutKeepingItsAtom) {
    TestWindow other;
    ASSERT_TRUE(RegisterHotKey(other.Get(), 0x4242, MOD_CONTROL | MOD_ALT, 'Q'));
    for (int reload = 0; reload < 2; ++reload) {
        THotkeyList list(port_);
        TGlobalHotKey* item = list.Add(true, 'Q', MOD_CONTROL | MOD_ALT, A::Close, "", "");
        list.RegisterAll();
        EXPECT_TRUE(item->Failed());
        EXPECT_EQ(item->Atom, 0);
        EXPECT_EQ(FindAtom("corvinade-81-3"), 0);
    }
    EXPECT_FALSE(CombinationFree(MOD_CONTROL | MOD_ALT, 'Q')); // the other window keeps its hotkey
    UnregisterHotKey(other.Get(), 0x4242);
}

// The names Wine's keyboard layout gives these keys on our Xvfb display
// (they come from X), written out rather than asked from the same calls the
// program makes. The keys with an extended scan code are asked with that
// bit: Num Lock shares scan code 69 with Pause, Up 72 with the keypad's 8.
TEST(HotkeysWin32Text, KeysOutsideTheTableUseTheKeyboardLayout) {
    Win32KeyNames layout;
    const struct {
        UINT key;
        const char* name;
    } cases[] = {{0x6F, "KP_Divide"}, {0xBA, ";"},     {0xBC, ","},
                 {0x90, "Num_Lock"},  {0x13, "Pause"}, {0x26, "Up"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(layout.LayoutKeyName(static_cast<std::uint16_t>(c.key)), c.name);
    }
    // The fixed table wins over the layout: keypad 5 reads like the main 5,
    // the keypad's operators as Windows names them.
    EXPECT_EQ(HotkeyText(0x65, MOD_CONTROL | MOD_SHIFT, layout), "CTRL + SHIFT + 5");
    EXPECT_EQ(HotkeyText(0x53, MOD_WIN, layout), "WIN + S");
    EXPECT_EQ(HotkeyText(0x6A, MOD_WIN, layout), "WIN + Num *");
    EXPECT_EQ(HotkeyText(0x90, MOD_WIN, layout), "WIN + Num_Lock");
    EXPECT_EQ(HotkeyText(0x141, MOD_ALT, layout), "ALT + ");
}

TEST(HotkeysWin32Text, AKeyWithoutScanCodeHasNoName) {
    Win32KeyNames layout;
    ASSERT_EQ(MapVirtualKeyA(0, 0), 0u);
    EXPECT_EQ(layout.LayoutKeyName(0), "");
    EXPECT_EQ(HotkeyText(0, MOD_ALT, layout), "ALT + ");
}

} // namespace
} // namespace corvinade
