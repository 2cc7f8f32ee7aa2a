// End-to-end tests of the shell actions: opening a web site through the
// shell's handler for its scheme (the recorder test program, registered for
// http and https in the test's prefix), and the shut-down dialog.
#include "ActionTest.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <set>

namespace corvinade::test {
namespace {

using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::Eq;
using ::testing::IsEmpty;
using ::testing::Not;

class ActionsShellTest : public ActionTest {
protected:
    RecorderLog log;
};

// An address without "http://" or "https://" (in any letter case) in front
// gets "http://", any other scheme included; the rest goes to the handler as
// it stands, letter case and all.
TEST_F(ActionsShellTest, OpenWebsiteHandsTheAddressToTheSchemesHandler) {
    // "recorder.exe" "%1", built up piece by piece: GCC 12 warns falsely
    // (-Wrestrict) about a literal + std::string here.
    std::string handler(1, '"');
    handler.append(TestProgram("recorder.exe")).append("\" \"%1\"");
    for (const char* scheme : {"http", "https"})
        RegisterUrlHandler(scheme, handler);
    struct Case {
        UINT key;
        std::string params;
        std::string opened;
    };
    const Case cases[] = {
        {'A', "example.org/x", "http://example.org/x"},
        {'B', "HTTPS://Example.org", "HTTPS://Example.org"},
        {'C', "ftp://files.example", "http://ftp://files.example"},
        {'D', "Http://Example.org/A?b=c", "Http://Example.org/A?b=c"},
        {'E', "https:/one-slash.example", "http://https:/one-slash.example"},
        {'F', "", "http://"},
    };
    std::vector<HotkeyEntry> entries;
    for (const Case& c : cases)
        entries.push_back(Hotkey(c.key, ModWin, "openwebsite", c.params));
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(entries));
    size_t runs = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params);
        PressHotkey(c.key, ModWin);
        ASSERT_TRUE(log.WaitForRuns(++runs)) << "the handler did not start";
        const RecorderRun run = log.Runs().back();
        EXPECT_EQ(run.Parameters(), "\"" + c.opened + "\"") << run.commandLine;
        EXPECT_EQ(run.parentId, corvinade.Id());
    }
    ASSERT_TRUE(log.WaitUntilIdle());
    EXPECT_EQ(log.Runs().size(), std::size(cases));
}

// Whatever the system does with the shut-down dialog, the program shows it
// or shows the error with the system's description (Wine's automation object
// fails the call), and goes on answering hotkeys.
TEST_F(ActionsShellTest, ExitWindowsShowsTheDialogOrTheSystemsErrorAndGoesOn) {
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('X', ModWin, "exitwindows")}));
    const std::vector<HWND> before = FindTopWindows({"#32770", "", 0, true});

    PressHotkey('X', ModWin);
    HWND shown = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND window : FindTopWindows({"#32770", "", 0, true}))
            if (std::find(before.begin(), before.end(), window) == before.end())
                shown = window;
        return shown != nullptr;
    })) << "neither a shut-down dialog nor an error";

    if (WindowProcessId(shown) == corvinade.Id() && WindowText(shown) == "Corvinade") {
        // The call failed: the box holds the system's description of the failure.
        // Wine's object fails with DISP_E_EXCEPTION carrying E_NOTIMPL; the
        // system has no text for the former.
        EXPECT_THAT(MessageBoxText(shown),
                    AllOf(Not(IsEmpty()), AnyOf(Eq(ErrorDisplayText(SystemMessage(DISP_E_EXCEPTION))),
                                                Eq(ErrorDisplayText(SystemMessage(E_NOTIMPL))))));
        ASSERT_TRUE(ClickButton(shown, "OK"));
    } else {
        ASSERT_TRUE(ClickButton(shown, "Cancel")) << "a dialog titled " << WindowText(shown);
    }
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(shown); })) << "the window did not close";
    ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
}

// In a 64-bit prefix (the case's name ends in "Win64"), where Wine
// redirects this 32-bit program's System32 to SysWOW64 as Windows does: a
// program placed only in the 64-bit System32 starts from its System32 path,
// written in any letter case.
TEST_F(ActionsShellTest, OpenFileStartsAProgramOnlyIn64BitSystem32Win64) {
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64) && wow64) << "not a 64-bit prefix";
    ASSERT_TRUE(
        CopyFileA(TestProgram("recorder.exe").c_str(), "C:\\windows\\Sysnative\\cvnrecorder.exe", FALSE));
    ASSERT_EQ(GetFileAttributesA("C:\\windows\\system32\\cvnrecorder.exe"), INVALID_FILE_ATTRIBUTES)
        << "System32 is not redirected for a 32-bit program";
    ASSERT_NO_FATAL_FAILURE(
        StartCorvinade({Hotkey('O', ModWin, "openfile", "C:\\WINDOWS\\system32\\cvnrecorder.exe")}));
    PressHotkey('O', ModWin);
    ASSERT_TRUE(log.WaitForRuns(1)) << "the program in System32 did not start";
    EXPECT_EQ(log.Runs()[0].parentId, corvinade.Id());
}

} // namespace
} // namespace corvinade::test
