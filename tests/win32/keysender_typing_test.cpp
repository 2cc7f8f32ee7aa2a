// The key sender with the real keyboard: key strings typed into an edit
// control of a window of ours that has the focus, read back as text; the
// sender's message boxes; and no modifier left down however a call ends.
#include "app/KeySender_win.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui_testing.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace corvinade {
namespace {

using gui::testing::BoxInfo;
using gui::testing::BoxWatcher;

struct WindowDestroyer {
    void operator()(HWND window) const { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Runs the thread's messages until `condition` holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::Sleep(10);
    }
}

bool Down(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}
bool AsyncDown(int vk) {
    return (::GetAsyncKeyState(vk) & 0x8000) != 0;
}

// A top-level window filled by one edit control that has the keyboard focus.
class KeySenderTyping : public ::testing::Test {
protected:
    void Open(DWORD editStyle = ES_AUTOHSCROLL) {
        WNDCLASSW cls{};
        cls.lpfnWndProc = ::DefWindowProcW;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"KeySenderTypingWindow";
        ::RegisterClassW(&cls); // a second registration in the process fails harmlessly
        frame_.reset(::CreateWindowExW(0, cls.lpszClassName, L"Typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                       100, 400, 200, nullptr, nullptr, cls.hInstance, nullptr));
        ASSERT_TRUE(frame_);
        edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | editStyle, 0, 0, 380, 150,
                                  frame_.get(), nullptr, cls.hInstance, nullptr);
        ASSERT_TRUE(edit_);
        ASSERT_TRUE(Refocus());
    }

    bool Refocus() {
        ::SetForegroundWindow(frame_.get());
        ::SetFocus(edit_);
        return PumpUntil([&] { return ::GetForegroundWindow() == frame_.get() && ::GetFocus() == edit_; });
    }

    std::string Text() const {
        wchar_t buffer[512] = {};
        ::GetWindowTextW(edit_, buffer, static_cast<int>(std::size(buffer)));
        return Utf8(buffer);
    }

    // Waits for `expected` in the edit; the text it ended with otherwise.
    std::string TextOnceTyped(const std::string& expected) {
        PumpUntil([&] { return Text() == expected; });
        return Text();
    }

    // Waits until the thread and the system both see every modifier up.
    bool ModifiersUp() {
        return PumpUntil([] {
            for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU})
                if (Down(vk) || AsyncDown(vk))
                    return false;
            return true;
        });
    }

    UniqueWindow frame_;
    HWND edit_ = nullptr;
};

TEST_F(KeySenderTyping, LettersDigitsAndShiftedCharacters) {
    Open();
    EXPECT_TRUE(SendKeysToFocus("abc+d1!{a}"));
    EXPECT_EQ(TextOnceTyped("abcD1!A"), "abcD1!A");
    EXPECT_TRUE(ModifiersUp());
}

TEST_F(KeySenderTyping, ExtendedKeysAndARepeatCount) {
    Open();
    EXPECT_TRUE(SendKeysToFocus("ab{LEFT}c{END}{z 3}{BS}"));
    EXPECT_EQ(TextOnceTyped("acbZZ"), "acbZZ");
}

TEST_F(KeySenderTyping, EnterAndTildeBreakLinesInAMultiLineEdit) {
    Open(ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL);
    EXPECT_TRUE(SendKeysToFocus("one{ENTER}two~three"));
    EXPECT_EQ(TextOnceTyped("one\r\ntwo\r\nthree"), "one\r\ntwo\r\nthree");
}

TEST_F(KeySenderTyping, LiteralBracesAndPrefixCharacters) {
    Open();
    EXPECT_TRUE(SendKeysToFocus("{{}x{}}{+}{%}{^}{~}"));
    EXPECT_EQ(TextOnceTyped("{x}+%^~"), "{x}+%^~");
}

// Characters the layout has no key for (Wine's US layout) are typed as
// themselves: accents, symbols, an emoji outside the basic plane, Cyrillic.
TEST_F(KeySenderTyping, CharactersWithoutAKeyAreTypedAsThemselves) {
    Open();
    const std::string text =
        "caf\xC3\xA9 \xE2\x9C\x93 \xF0\x9F\x98\x80 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    EXPECT_TRUE(SendKeysToFocus(text + "{\xC3\xA9 2}"));
    EXPECT_EQ(TextOnceTyped(text + "\xC3\xA9\xC3\xA9"), text + "\xC3\xA9\xC3\xA9");
    EXPECT_TRUE(ModifiersUp());
}

TEST_F(KeySenderTyping, OpenGroupAtTheEndLeavesNoModifierDown) {
    Open();
    EXPECT_TRUE(SendKeysToFocus("+(ab"));
    EXPECT_EQ(TextOnceTyped("AB"), "AB");
    EXPECT_TRUE(ModifiersUp());
}

// Under Wine the box's activation already clears the synthesized Shift; the
// native tests pin that the sender lifts it itself.
TEST_F(KeySenderTyping, NoCloseShowsItsBoxAndReturnsFalse) {
    Open();
    BoxWatcher watcher(1, [](const BoxInfo&) { return IDOK; });
    EXPECT_FALSE(SendKeysToFocus("+({ENTER"));
    watcher.Join();
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].caption, "Corvinade"); // no application here to name it
    EXPECT_EQ(watcher.Boxes()[0].text, "The { at position 3 has no closing }.");
    EXPECT_EQ(watcher.Boxes()[0].owner, nullptr);
    EXPECT_TRUE(ModifiersUp());
}

TEST_F(KeySenderTyping, InvalidKeyNameShowsItsBoxAndTypingGoesOn) {
    Open();
    BoxWatcher watcher(1, [](const BoxInfo&) { return IDOK; });
    EXPECT_TRUE(SendKeysToFocus("{FOO}"));
    watcher.Join();
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].caption, "Corvinade"); // no application here to name it
    EXPECT_EQ(watcher.Boxes()[0].text, "The {FOO} at position 1 names no key.");
    EXPECT_NE(watcher.Boxes()[0].icon, nullptr) << "an error box without its sign";
    // The box had no owner: give the focus back to the edit before typing on.
    ASSERT_TRUE(Refocus());
    EXPECT_TRUE(SendKeysToFocus("ok"));
    EXPECT_EQ(TextOnceTyped("ok"), "ok");
}

TEST_F(KeySenderTyping, ConversionErrorLeavesNoModifierDown) {
    Open();
    try {
        SendKeysToFocus("+(a{TAB x}");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The count in {TAB x} at position 4 is not a whole number");
    }
    EXPECT_EQ(TextOnceTyped("A"), "A");
    EXPECT_TRUE(ModifiersUp());
}

TEST_F(KeySenderTyping, NumLockFlipsTheThreadsKeyState) {
    const bool before = ::GetKeyState(VK_NUMLOCK) & 1;
    EXPECT_TRUE(SendKeysToFocus("{NUMLOCK 3}"));
    EXPECT_EQ((::GetKeyState(VK_NUMLOCK) & 1) != 0, !before);
    EXPECT_TRUE(SendKeysToFocus("{NUMLOCK}"));
    EXPECT_EQ((::GetKeyState(VK_NUMLOCK) & 1) != 0, before);
}

TEST_F(KeySenderTyping, WaitRunsTheCallersPumpAfterEveryEvent) {
    Open();
    int pumps = 0;
    Win32Keyboard keyboard([&] {
        ++pumps;
        PumpThreadKeyboardMessages();
    });
    EXPECT_TRUE(SendKeys("aB", true, keyboard));
    EXPECT_EQ(pumps, 6); // a down, a up, Shift down, b down, b up, Shift up
    EXPECT_EQ(TextOnceTyped("aB"), "aB");
}

} // namespace
} // namespace corvinade
