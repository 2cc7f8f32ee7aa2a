// Tests of the harness itself under Wine: the end-to-end tests trust it to
// press the right keys, see registrations, read dialogs and the recorder's log.
#include "Harness.h"

#include <gmock/gmock.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace corvinade::test {
namespace {

// A message-only window on its own thread that registers one combination and
// records the lParam of every WM_HOTKEY it gets.
class HotkeyOwner {
public:
    HotkeyOwner(UINT key, UINT modifiers, bool withAtom) {
        thread_ = std::thread([=, this] { Run(key, modifiers, withAtom); });
        WaitFor([this] { return ready_.load(); });
    }
    HotkeyOwner(const HotkeyOwner&) = delete;
    HotkeyOwner& operator=(const HotkeyOwner&) = delete;
    ~HotkeyOwner() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    std::vector<LPARAM> Received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    void Run(UINT key, UINT modifiers, bool withAtom) {
        threadId_ = GetCurrentThreadId();
        HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        const ATOM atom = withAtom ? GlobalAddAtomA(HotkeyAtomName(key, modifiers).c_str()) : ATOM{0x1234};
        RegisterHotKey(window, atom, modifiers, key);
        ready_ = true;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_HOTKEY) {
                std::lock_guard lock(mutex_);
                received_.push_back(msg.lParam);
            }
            DispatchMessageA(&msg);
        }
        UnregisterHotKey(window, atom);
        if (withAtom)
            GlobalDeleteAtom(atom);
        DestroyWindow(window);
    }

    std::thread thread_;
    std::atomic<DWORD> threadId_ = 0;
    std::atomic<bool> ready_ = false;
    mutable std::mutex mutex_;
    std::vector<LPARAM> received_;
};

// A Process that holds no handle has not been seen to end: a test waiting for
// it must not pass.
TEST(Harness, WaitForExitNeedsAProcess) {
    Process none;
    EXPECT_FALSE(none.WaitForExit(Milliseconds{10}));
    Process moved = Process::Start("cmd.exe", "/c exit 3");
    Process taken = std::move(moved);
    EXPECT_FALSE(moved.WaitForExit(Milliseconds{10}));
    ASSERT_TRUE(taken.WaitForExit(DefaultTimeout));
    EXPECT_EQ(taken.ExitCode(), 3u);
}

TEST(Harness, PressHotkeySendsEachModifierCombination) {
    struct Case {
        UINT key;
        UINT modifiers;
    };
    const Case cases[] = {{'N', ModWin},
                          {'S', ModWin | ModShift},
                          {VK_F5, ModCtrl | ModAlt},
                          {'7', ModAlt},
                          {VK_HOME, ModCtrl | ModShift | ModAlt | ModWin}};
    for (const Case& c : cases) {
        SCOPED_TRACE(HotkeyAtomName(c.key, c.modifiers));
        HotkeyOwner owner(c.key, c.modifiers, false);
        PressHotkey(c.key, c.modifiers);
        ASSERT_TRUE(WaitFor([&] { return !owner.Received().empty(); }));
        EXPECT_THAT(owner.Received(), ::testing::ElementsAre(MAKELPARAM(c.modifiers, c.key)));
    }
}

TEST(Harness, RegistrationIsSeenOnlyWithAtomAndCombination) {
    EXPECT_FALSE(WaitForHotkeyRegistration('Q', ModWin, Milliseconds(300))) << "nobody holds it";
    {
        HotkeyOwner withoutAtom('Q', ModWin, false);
        EXPECT_TRUE(IsCombinationTaken('Q', ModWin));
        EXPECT_FALSE(WaitForHotkeyRegistration('Q', ModWin, Milliseconds(300))) << "no atom";
    }
    HotkeyOwner owner('Q', ModWin, true);
    EXPECT_TRUE(WaitForHotkeyRegistration('Q', ModWin));
    // The probe gave the combination back: the owner still gets it.
    PressHotkey('Q', ModWin);
    EXPECT_TRUE(WaitFor([&] { return owner.Received().size() == 1; }));
    EXPECT_FALSE(IsCombinationTaken('W', ModWin));
}

TEST(Harness, RecorderLogsParentAndExactCommandLine) {
    RecorderLog log;
    const std::string exe = TestProgram("recorder.exe");
    const std::string args[] = {"alpha beta \"gamma delta\"", "", "x\\y  \"\" z"};
    for (const std::string& arg : args) {
        Process recorder = Process::Start(exe, arg);
        ASSERT_TRUE(recorder.WaitForExit(DefaultTimeout));
        EXPECT_EQ(recorder.ExitCode(), 0u);
    }
    const std::vector<RecorderRun> runs = log.Runs();
    ASSERT_EQ(runs.size(), 3u);
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].parentId, GetCurrentProcessId());
        EXPECT_EQ(runs[i].commandLine, "\"" + exe + "\"" + (args[i].empty() ? "" : " " + args[i]));
        EXPECT_EQ(runs[i].Parameters(), args[i]);
    }
}

TEST(Harness, RecorderRunParametersFollowTheProgramName) {
    const std::pair<std::string, std::string> cases[] = {
        {"\"C:\\a b\\recorder.exe\" one \"two three\"", "one \"two three\""},
        {"C:\\x\\recorder.exe   one", "one"},
        {"\"C:\\x\\recorder.exe\"", ""},
        {"\"C:\\x\\recorder.exe\" ", ""},
        {"recorder.exe", ""},
    };
    for (const auto& [commandLine, parameters] : cases)
        EXPECT_EQ((RecorderRun{0, commandLine}.Parameters()), parameters) << commandLine;
}

TEST(Harness, PathsMapLinuxToTheZDrive) {
    EXPECT_EQ(WindowsPath("/work/build/x.exe"), "Z:\\work\\build\\x.exe");
    EXPECT_EQ(WindowsPath("C:\\already\\windows"), "C:\\already\\windows");
    EXPECT_EQ(WindowsPath(""), "");
    const std::string ini = HotkeysIniPath();
    EXPECT_TRUE(ini.ends_with("\\AppData\\Roaming\\Pelmorra\\Corvinade\\Data\\hotkeys.ini")) << ini;
}

// The system's own INI reader sees what WriteHotkeysIni wrote, section by section.
TEST(Harness, HotkeysIniReadsBackWithTheSystemReader) {
    WriteHotkeysIni(
        {{true, 78, 8, "openfile", "C:\\p.exe", "a \"b c\""}, {false, 83, 12, "capturescreen", "", ""}});
    const std::string path = HotkeysIniPath();
    auto text = [&](const char* section, const char* name) {
        char value[256] = {};
        GetPrivateProfileStringA(section, name, "<missing>", value, sizeof value, path.c_str());
        return std::string(value);
    };
    EXPECT_EQ(text("key0", "active"), "1");
    EXPECT_EQ(text("key0", "key"), "78");
    EXPECT_EQ(text("key0", "shift"), "8");
    EXPECT_EQ(text("key0", "func"), "openfile");
    EXPECT_EQ(text("key0", "params"), "C:\\p.exe");
    EXPECT_EQ(text("key0", "params2"), "a \"b c\"");
    EXPECT_EQ(text("key1", "active"), "0");
    EXPECT_EQ(text("key1", "shift"), "12");
    EXPECT_EQ(text("key1", "params2"), "");
    EXPECT_EQ(text("key2", "func"), "<missing>");
}

TEST(Harness, ReadsAndClicksAMessageBoxOfAnotherThread) {
    std::atomic<int> answer = 0;
    std::thread shower([&] { answer = MessageBoxA(nullptr, "Some text", "Harness box", MB_OKCANCEL); });
    const HWND box = WaitForWindow({"#32770", "Harness box", GetCurrentProcessId()});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Some text");
    EXPECT_EQ(FindButton(box, "Nope"), nullptr);
    EXPECT_TRUE(ClickButton(box, "Cancel"));
    shower.join();
    EXPECT_EQ(answer, IDCANCEL);
}

TEST(Harness, ReadsClipboardText) {
    for (const std::string text : {"plain", "two\r\nlines", ""}) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
        EXPECT_EQ(ClipboardText(), text);
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(ClipboardText(), std::nullopt);
}

} // namespace
} // namespace corvinade::test
