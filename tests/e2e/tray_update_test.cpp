// End-to-end tests of "Check for updates" on the overview panel against the
// reference endpoint on loopback: the three outcomes the user can see, the
// download page, a fresh answer for every check, and no answer file left.
#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>

#include "Harness.h"
#include "SettingsHarness.h"
#include "TrayHarness.h"

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;

// corvinade.exe is version 1.0.0.0.
constexpr int OwnVersion = 1000000;
const char* const Query = "/softwareupdate.php?obj=11&ver=1000000";
// What WIN+C puts in the clipboard.
const char* const Answered = "hotkey answered";

class TrayUpdateTest : public DesktopTest {
protected:
    void SetUp() override { SetSettingText("FirstUse", "0"); }

    void StartWithEndpoint(const std::string& base) {
        SetSettingText("UpdateBaseAddress", base);
        WriteHotkeysIni(
            {{true, 'M', ModWin, "maximize", "", ""}, {true, 'C', ModWin, "placeinclipboard", Answered, ""}});
        corvinade = Process::Start(CorvinadeExe());
        ASSERT_TRUE(WaitForHotkeyRegistration('M', ModWin));
        panel = FindPanel(corvinade.Id());
        ASSERT_NE(panel, nullptr);
    }

    void OpenPanel() {
        for (int attempt = 0; attempt < 5 && !IsWindowVisible(panel); ++attempt) {
            ASSERT_TRUE(ClickTrayIcon());
            WaitFor([&] { return IsWindowVisible(panel) != FALSE; }, Milliseconds{4000});
        }
        ASSERT_TRUE(IsWindowVisible(panel));
    }

    // Clicks the "Check for updates" link (right-aligned, ending at x 571,
    // 21 pixels above the bottom) and returns the message box that follows.
    HWND CheckForUpdates(const std::string& boxTitle) {
        RECT r = {};
        GetWindowRect(panel, &r);
        if (!MovePointer(r.left + 571 - 30, r.bottom - 21 + 6) || !Xdotool("click 1"))
            return nullptr;
        return WaitForWindow({"#32770", boxTitle, corvinade.Id(), true});
    }

    // The names in the temporary folder, sorted: a check must leave it as
    // it found it, whatever name its download took.
    static std::vector<std::string> TempListing() {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        return FolderListing(std::string(folder) + "*");
    }

    Process corvinade;
    HWND panel = nullptr;
};

// A newer version: the question, and Yes opens the download page.
TEST_F(TrayUpdateTest, NewerVersionOffersTheDownloadPage) {
    UpdateEndpoint endpoint(OwnVersion + 1);
    ASSERT_TRUE(endpoint.Started());
    RecorderLog log;
    RegisterUrlHandler("http", Quoted(TestProgram("recorder.exe")) + " \"%1\"");
    ASSERT_NO_FATAL_FAILURE(StartWithEndpoint(endpoint.BaseAddress()));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const std::vector<std::string> before = TempListing();
    HWND box = CheckForUpdates("Information");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              "A new version of Corvinade is available.\r\rWould you like to download the new version?");
    EXPECT_EQ(TempListing(), before);
    ASSERT_TRUE(ClickButton(box, "&Yes"));
    ASSERT_TRUE(log.WaitForRuns(1));
    EXPECT_EQ(log.Runs()[0].Parameters(), Quoted(endpoint.BaseAddress() + "/download"));
    EXPECT_THAT(endpoint.Requests(), ElementsAre(Query));
}

// No newer version; and a second check asks the endpoint again instead of
// repeating the cached answer: the endpoint has meanwhile a newer version.
TEST_F(TrayUpdateTest, EveryCheckAsksTheEndpointAfresh) {
    UpdateEndpoint endpoint(OwnVersion);
    ASSERT_TRUE(endpoint.Started());
    RecorderLog log;
    RegisterUrlHandler("http", Quoted(TestProgram("recorder.exe")) + " \"%1\"");
    ASSERT_NO_FATAL_FAILURE(StartWithEndpoint(endpoint.BaseAddress()));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const std::vector<std::string> before = TempListing();
    HWND box = CheckForUpdates("Information");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "There is no new version of Corvinade at this time.");
    EXPECT_EQ(TempListing(), before);
    ASSERT_TRUE(ClickButton(box, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

    endpoint.SetLatestVersion(OwnVersion + 1);
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    box = CheckForUpdates("Information");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              "A new version of Corvinade is available.\r\rWould you like to download the new version?");
    ASSERT_TRUE(ClickButton(box, "&No"));
    EXPECT_THAT(endpoint.Requests(), ElementsAre(Query, Query));
    EXPECT_EQ(TempListing(), before);
    // No opens nothing: once the program is back in its loop, whatever it
    // started exists, and every recorder started has written.
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(WaitForInputIdle(corvinade.Handle(), static_cast<DWORD>(DefaultTimeout.count())), 0u);
    ASSERT_TRUE(log.WaitUntilIdle());
    EXPECT_TRUE(log.Runs().empty()) << "No opened the download page";
}

// Nothing listens: only the error box, captioned with the application title.
TEST_F(TrayUpdateTest, EndpointDownShowsTheError) {
    ASSERT_NO_FATAL_FAILURE(StartWithEndpoint("http://127.0.0.1:9"));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const std::vector<std::string> before = TempListing();
    HWND box = CheckForUpdates("Corvinade");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Error\r\rCould not check for updates.");
    EXPECT_TRUE(FindTopWindows({"#32770", "Information", corvinade.Id(), true}).empty());
    EXPECT_EQ(TempListing(), before);
}

// An endpoint that answers with an error status has not answered the
// question: the error box names the status, never "no new version".
TEST_F(TrayUpdateTest, AnErrorStatusFailsTheCheck) {
    UpdateEndpoint endpoint(OwnVersion);
    ASSERT_TRUE(endpoint.Started());
    ASSERT_NO_FATAL_FAILURE(StartWithEndpoint(endpoint.BaseAddress() + "/gone"));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    HWND box = CheckForUpdates("");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Corvinade");
    EXPECT_EQ(MessageBoxText(box),
              "Error\r\rCould not check for updates. The server answered 404 Not Found.");
    EXPECT_THAT(endpoint.Requests(), ElementsAre(std::string("/gone") + Query));
}

// An endpoint that takes the connection and never answers: hotkeys and the
// tray go on meanwhile, a second check only says that one runs, and the
// check fails at its time limit.
TEST_F(TrayUpdateTest, HangingEndpointHoldsNothingUp) {
    UpdateEndpoint endpoint(OwnVersion + 1, false);
    ASSERT_TRUE(endpoint.Started());
    ASSERT_NO_FATAL_FAILURE(StartWithEndpoint(endpoint.BaseAddress()));
    SetClipboardText("before");
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    const auto started = std::chrono::steady_clock::now();
    RECT r = {};
    GetWindowRect(panel, &r);
    ASSERT_TRUE(MovePointer(r.left + 571 - 30, r.bottom - 21 + 6) && Xdotool("click 1"));

    // The check waits on the endpoint now; a hotkey is answered meanwhile,
    // well before the check's time limit (15 s).
    ASSERT_TRUE(WaitFor([&] { return !endpoint.Requests().empty(); })) << "the check did not start";
    const DWORD sequence = GetClipboardSequenceNumber();
    PressHotkey('C', ModWin);
    EXPECT_TRUE(WaitForClipboardChange(sequence, Milliseconds{5000})) << "the hotkey waited for the endpoint";
    EXPECT_EQ(ClipboardText(), std::string(Answered));
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    HWND box = CheckForUpdates("Information");
    ASSERT_NE(box, nullptr) << "a second check ran or the panel did not answer";
    EXPECT_EQ(MessageBoxText(box), "Corvinade is checking for updates already; its answer follows.");
    ASSERT_TRUE(ClickButton(box, "OK"));

    HWND error = WaitForWindow({"#32770", "Corvinade", corvinade.Id(), true}, Milliseconds{30000});
    ASSERT_NE(error, nullptr) << "no answer after the time limit";
    EXPECT_EQ(MessageBoxText(error), "Error\r\rCould not check for updates.");
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds{14});
}

// Exit during a check ends the program at once and leaves no file.
TEST_F(TrayUpdateTest, ExitDuringACheckEndsAtOnce) {
    UpdateEndpoint endpoint(OwnVersion + 1, false);
    ASSERT_TRUE(endpoint.Started());
    ASSERT_NO_FATAL_FAILURE(StartWithEndpoint(endpoint.BaseAddress()));
    const std::vector<std::string> before = TempListing();
    ASSERT_NO_FATAL_FAILURE(OpenPanel());
    RECT r = {};
    GetWindowRect(panel, &r);
    ASSERT_TRUE(MovePointer(r.left + 571 - 30, r.bottom - 21 + 6) && Xdotool("click 1"));
    // The check has reached the endpoint.
    ASSERT_TRUE(WaitFor([&] { return !endpoint.Requests().empty(); }));
    ASSERT_TRUE(ChooseTrayExit());
    ASSERT_TRUE(corvinade.WaitForExit(Milliseconds{5000})) << "Exit waited for the endpoint";
    EXPECT_EQ(corvinade.ExitCode(), 0u);
    EXPECT_EQ(TempListing(), before);
}

} // namespace
} // namespace corvinade::test
