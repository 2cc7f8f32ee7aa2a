// End-to-end tests of start-up and hotkey dispatch: the real corvinade.exe in
// a fresh Wine prefix, hotkeys pressed from outside as the user would, and the
// recorder test program telling what was started and with which parameters.
#include "Harness.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

constexpr UINT KeyA = 'A';
constexpr UINT KeyD = 'D';
constexpr UINT KeyE = 'E';
constexpr UINT KeyI = 'I';
constexpr UINT KeyN = 'N'; // 78

constexpr Milliseconds StaysAlive{3000};

HotkeyEntry OpenRecorder(UINT key, UINT shift, const std::string& parameters, bool active = true) {
    return {active,     static_cast<int>(key),       static_cast<int>(shift),
            "openfile", TestProgram("recorder.exe"), parameters};
}

std::vector<std::string> Parameters(const std::vector<RecorderRun>& runs) {
    std::vector<std::string> result;
    std::transform(runs.begin(), runs.end(), std::back_inserter(result),
                   [](const RecorderRun& run) { return run.Parameters(); });
    return result;
}

class StartupTest : public DesktopTest {
protected:
    void SetUp() override { SetSettingText("FirstUse", "0"); }

    // Starts corvinade.exe into `process` and waits until it holds the combination.
    static void StartCorvinade(Process& process, UINT key, UINT shift) {
        process = Process::Start(CorvinadeExe());
        ASSERT_TRUE(WaitForHotkeyRegistration(key, shift))
            << "no registration of " << HotkeyAtomName(key, shift);
    }

    // Presses the combination and waits until the recorder logged `runs` starts in all.
    void PressAndWaitForRuns(UINT key, UINT shift, size_t runs) {
        PressHotkey(key, shift);
        ASSERT_TRUE(log.WaitForRuns(runs)) << "no recorder started after " << HotkeyAtomName(key, shift);
    }

    RecorderLog log;
    Process corvinade;
    Process second;
};

// The open-file action hands Params2 to the program unchanged, quotes and all
// (the file's reader only drops outer blanks), and an empty Params2 gives a
// command line without parameters.
TEST_F(StartupTest, OpenFileStartsTheProgramWithExactlyItsParameters) {
    struct Case {
        UINT key;
        UINT shift;
        std::string params2;
        std::string expected;
    };
    const Case cases[] = {
        {KeyN, ModWin, "alpha beta \"gamma delta\"", "alpha beta \"gamma delta\""},
        {KeyE, ModCtrl | ModAlt, "", ""},
        {KeyA, ModShift | ModCtrl, "  --flag=\"a b\"  c:\\x y.txt ", "--flag=\"a b\"  c:\\x y.txt"},
    };
    std::vector<HotkeyEntry> entries;
    for (const Case& c : cases)
        entries.push_back(OpenRecorder(c.key, c.shift, c.params2));
    WriteHotkeysIni(entries);
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyN, ModWin));
    for (const Case& c : cases)
        ASSERT_TRUE(WaitForHotkeyRegistration(c.key, c.shift)) << HotkeyAtomName(c.key, c.shift);

    size_t expectedRuns = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(HotkeyAtomName(c.key, c.shift));
        ++expectedRuns;
        ASSERT_NO_FATAL_FAILURE(PressAndWaitForRuns(c.key, c.shift, expectedRuns));
        const RecorderRun run = log.Runs().back();
        EXPECT_EQ(run.parentId, corvinade.Id());
        EXPECT_NE(run.commandLine.find("recorder.exe"), std::string::npos) << run.commandLine;
        EXPECT_EQ(run.Parameters(), c.expected) << run.commandLine;
        if (!c.expected.empty()) {
            EXPECT_TRUE(run.commandLine.ends_with(" " + c.expected)) << run.commandLine;
        }
    }
}

// An inactive definition is neither registered nor run; the active one after
// it in the file works.
TEST_F(StartupTest, InactiveHotkeyDoesNothing) {
    WriteHotkeysIni({OpenRecorder(KeyI, ModWin, "inactive", false), OpenRecorder(KeyA, ModWin, "active")});
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyA, ModWin));
    EXPECT_FALSE(IsCombinationTaken(KeyI, ModWin));

    PressHotkey(KeyI, ModWin);
    ASSERT_NO_FATAL_FAILURE(PressAndWaitForRuns(KeyA, ModWin, 1));
    ASSERT_TRUE(log.WaitUntilIdle());
    EXPECT_THAT(Parameters(log.Runs()), ElementsAre("active"));
}

// Of two active definitions of one combination only the first in file order
// runs. The third hotkey, pressed after, marks the end: once its recorder has
// written and no recorder runs, everything the first press started has too.
TEST_F(StartupTest, OnlyTheFirstOfTwoDefinitionsOfACombinationRuns) {
    WriteHotkeysIni({OpenRecorder(KeyA, ModWin, "sentinel"), OpenRecorder(KeyD, ModWin | ModShift, "first"),
                     OpenRecorder(KeyD, ModWin | ModShift, "second")});
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyD, ModWin | ModShift));
    ASSERT_TRUE(WaitForHotkeyRegistration(KeyA, ModWin));

    PressHotkey(KeyD, ModWin | ModShift);
    PressHotkey(KeyA, ModWin);
    ASSERT_TRUE(WaitFor([&] {
        const auto params = Parameters(log.Runs());
        return std::find(params.begin(), params.end(), "sentinel") != params.end();
    }));
    ASSERT_TRUE(log.WaitUntilIdle());
    EXPECT_THAT(Parameters(log.Runs()), UnorderedElementsAre("first", "sentinel"));
}

// A second start is not refused: both instances run, the mutex exists, and the
// first keeps the hotkeys (the second's registrations fail silently).
TEST_F(StartupTest, SecondInstanceRunsBesideTheFirst) {
    WriteHotkeysIni({OpenRecorder(KeyN, ModWin, "from the first")});
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyN, ModWin));
    second = Process::Start(CorvinadeExe());
    // Its hidden application window shows it has started; an error box
    // titled "Corvinade" must not stand in for it.
    const HWND window = WaitForWindow({"CorvinadeApplication", "Corvinade", second.Id()});
    ASSERT_NE(window, nullptr) << "the second instance has no application window";
    EXPECT_FALSE(IsWindowVisible(window));
    // Idle: its start-up, registrations included, is over, and a box it
    // showed there would be open now.
    EXPECT_EQ(WaitForInputIdle(second.Handle(), static_cast<DWORD>(DefaultTimeout.count())), 0u);

    EXPECT_FALSE(second.WaitForExit(StaysAlive)) << "the second instance ended";
    EXPECT_THAT(FindTopWindows({"#32770", "", second.Id()}), testing::IsEmpty())
        << "the second instance shows a message box";
    EXPECT_TRUE(corvinade.Running());
    UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, "PelmorraCorvinade"));
    EXPECT_TRUE(mutex) << "no mutex PelmorraCorvinade";

    ASSERT_NO_FATAL_FAILURE(PressAndWaitForRuns(KeyN, ModWin, 1));
    const std::vector<RecorderRun> runs = log.Runs();
    EXPECT_EQ(runs.front().parentId, corvinade.Id());
    EXPECT_EQ(runs.front().Parameters(), "from the first");
    EXPECT_TRUE(second.Running());
}

// A program and a working folder whose names no ANSI code page holds, and
// parameters in Cyrillic: the program starts with all of them whole.
TEST_F(StartupTest, OpenFileTakesAnyPath) {
    const std::string folder = MakeUnicodeFolder();
    const std::string recorder = CopyInto(TestProgram("recorder.exe"), folder);
    const std::string privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    WriteHotkeysIni({{true, KeyN, ModWin, "openfile", recorder, privet}});
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyN, ModWin));
    ASSERT_NO_FATAL_FAILURE(PressAndWaitForRuns(KeyN, ModWin, 1));
    const RecorderRun run = log.Runs().front();
    EXPECT_EQ(run.Parameters(), privet);
    EXPECT_NE(run.commandLine.find(folder), std::string::npos) << run.commandLine;
}

// A number under the log-on entry's name was not written by us: the start
// reads it as "off" and goes on. Every hotkey registers, no box is shown
// once the program waits for input, and the number stays.
TEST_F(StartupTest, ALogonEntryThatIsANumberStopsNoHotkey) {
    SetRegistryDword(RunKeyPath, "Corvinade", 1);
    WriteHotkeysIni({OpenRecorder(KeyN, ModWin, "first"), OpenRecorder(KeyA, ModWin, "second")});
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyN, ModWin));
    EXPECT_TRUE(WaitForHotkeyRegistration(KeyA, ModWin));
    EXPECT_EQ(WaitForInputIdle(corvinade.Handle(), static_cast<DWORD>(DefaultTimeout.count())), 0u);
    EXPECT_THAT(FindTopWindows({"#32770", "", corvinade.Id()}), testing::IsEmpty()) << "a message box shows";
    EXPECT_EQ(RegistryValueType(RunKeyPath, "Corvinade"), static_cast<DWORD>(REG_DWORD));
}

// "FirstUse" stored as a DWORD is a registry type error: shown at start in the
// default error display, while the hotkeys registered before it keep working,
// also while the box is open; OK leaves the program running.
TEST_F(StartupTest, FirstUseOfTheWrongTypeShowsAnErrorAndHotkeysStillWork) {
    SetSettingDword("FirstUse", 0);
    WriteHotkeysIni({OpenRecorder(KeyN, ModWin, "while the box is open")});
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(corvinade, KeyN, ModWin));
    const HWND box = WaitForWindow({"#32770", "Corvinade", corvinade.Id()});
    ASSERT_NE(box, nullptr) << "no error box";
    EXPECT_EQ(MessageBoxText(box), "Invalid data type for 'FirstUse'");

    ASSERT_NO_FATAL_FAILURE(PressAndWaitForRuns(KeyN, ModWin, 1));
    ASSERT_TRUE(IsWindow(box)) << "the box closed by itself";

    ASSERT_TRUE(ClickButton(box, "OK"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); })) << "OK did not close the box";
    ASSERT_NO_FATAL_FAILURE(PressAndWaitForRuns(KeyN, ModWin, 2));
    EXPECT_TRUE(corvinade.Running());
    EXPECT_THAT(Parameters(log.Runs()), ElementsAre("while the box is open", "while the box is open"));
}

} // namespace
} // namespace corvinade::test
