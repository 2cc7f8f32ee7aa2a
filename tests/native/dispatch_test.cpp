// Hotkey dispatch: which definition a notification selects and what reaches
// the actions and the shell.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/AppPaths.h"
#include "app/Dispatch.h"

using namespace corvinade;

namespace {

class SilentRegistrar : public HotkeyPort {
public:
    std::uint16_t AddHotkeyAtom(const std::string&) override { return 1; }
    bool RegisterCombination(std::uint16_t, std::int32_t, std::int32_t) override { return true; }
    bool UnregisterCombination(std::uint16_t) override { return true; }
    void DeleteHotkeyAtom(std::uint16_t) override {}
};

class RecordingActions : public ActionPort {
public:
    std::vector<std::string> calls;
    void MaximizeOrRestoreActiveWindow() override { calls.push_back("maximize"); }
    void MinimizeActiveWindow() override { calls.push_back("minimize"); }
    void CloseActiveWindow() override { calls.push_back("close"); }
    void Capture(CaptureKind kind, const TCaptureOptions& options) override {
        const char* names[] = {"capture window", "capture screen", "capture region"};
        calls.push_back(names[static_cast<int>(kind)] + std::string(options.SameArea ? " again" : ""));
    }
    void ShowExitWindowsDialog() override { calls.push_back("exitwindows"); }
    void SendKeystrokes(std::string keys) override { calls.push_back("keys:" + keys); }
    void OpenWebsite(std::string address) override { calls.push_back("web:" + address); }
    void PlaceTextInClipboard(std::string text) override { calls.push_back("text:" + text); }
    void PlaceFileContentInClipboard(std::string name) override { calls.push_back("file:" + name); }
};

struct ShellCall {
    std::optional<std::string> verb, file, parameters, directory;
    int show;
};

class RecordingShell : public ShellPort {
public:
    std::vector<ShellCall> calls;
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int show) override {
        auto text = [](const char* p) { return p ? std::optional<std::string>(p) : std::nullopt; };
        calls.push_back({text(verb), text(file), text(parameters), text(directory), show});
    }
};

std::uint32_t HotkeyLParam(int modifiers, int key) {
    return static_cast<std::uint32_t>(modifiers) | (static_cast<std::uint32_t>(key) << 16);
}

class DispatchTest : public ::testing::Test {
protected:
    SilentRegistrar registrar;
    THotkeyList live{registrar};
    RecordingActions actions;
    RecordingShell shell;

    void Press(int modifiers, int key, unsigned message = WM_HOTKEY_MESSAGE) {
        DispatchHotkeyMessage(message, HotkeyLParam(modifiers, key), live, actions, shell);
    }
};

} // namespace

TEST_F(DispatchTest, EachActionCodeReachesItsOperationWithItsParameter) {
    const struct {
        THotkeyAction action;
        const char* expected;
    } cases[] = {
        {THotkeyAction::Maximize, "maximize"},
        {THotkeyAction::Minimize, "minimize"},
        {THotkeyAction::Close, "close"},
        {THotkeyAction::CaptureWindow, "capture window"},
        {THotkeyAction::CaptureScreen, "capture screen"},
        {THotkeyAction::CaptureRegion, "capture region"},
        {THotkeyAction::ExitWindows, "exitwindows"},
        {THotkeyAction::SendKeystrokes, "keys:p"},
        {THotkeyAction::OpenWebsite, "web:p"},
        {THotkeyAction::PlaceInClipboard, "text:p"},
        {THotkeyAction::PlaceFileContentInClipboard, "file:p"},
    };
    int key = 0x41;
    for (const auto& c : cases)
        live.Add(true, key++, 2, c.action, "p", "q");
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        Press(2, 0x41 + i);
    ASSERT_EQ(actions.calls.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(actions.calls[i], cases[i].expected);
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(DispatchTest, OpenFilePassesFileAndParametersToTheShell) {
    live.Add(true, 78, 8, THotkeyAction::OpenFile, "C:\\tools\\app.exe", "-a \"b c\"");
    Press(8, 78);
    ASSERT_EQ(shell.calls.size(), 1u);
    const ShellCall& call = shell.calls[0];
    EXPECT_FALSE(call.verb.has_value());
    EXPECT_EQ(call.file, "C:\\tools\\app.exe");
    EXPECT_EQ(call.parameters, "-a \"b c\"");
    EXPECT_FALSE(call.directory.has_value());
    EXPECT_EQ(call.show, 5);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(DispatchTest, EmptyParams2IsAnEmptyTextNotAMissingArgument) {
    live.Add(true, 78, 8, THotkeyAction::OpenFile, "notepad.exe", "");
    Press(8, 78);
    ASSERT_EQ(shell.calls.size(), 1u);
    ASSERT_TRUE(shell.calls[0].parameters.has_value());
    EXPECT_EQ(*shell.calls[0].parameters, "");
}

// The clipboard text's markers are its line breaks, as its editor writes
// them; the keystrokes keep theirs for the sender.
TEST_F(DispatchTest, ClipboardTextGetsItsLineBreaks) {
    live.Add(true, 83, 8, THotkeyAction::PlaceInClipboard, "Dear sir,<?CR?><?LF?>thanks", "");
    Press(8, 83);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"text:Dear sir,\r\nthanks"}));
}

TEST_F(DispatchTest, CaptureGetsItsOptions) {
    live.Add(true, 82, 9, THotkeyAction::CaptureRegion, "", "")->Definition.Capture.SameArea = true;
    Press(9, 82);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"capture region again"}));
}

TEST_F(DispatchTest, OnlyTheFirstOfTwoDefinitionsOfOneCombinationRuns) {
    live.Add(true, 83, 8, THotkeyAction::PlaceInClipboard, "first", "");
    live.Add(true, 83, 8, THotkeyAction::PlaceInClipboard, "second", "");
    Press(8, 83);
    Press(8, 83);
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"text:first", "text:first"}));
}

TEST_F(DispatchTest, NotificationsThatMatchNothingDoNothing) {
    live.Add(true, 83, 8, THotkeyAction::Close, "", "");
    Press(8, 84);                                       // other key
    Press(9, 83);                                       // other modifiers
    Press(83, 8);                                       // halves swapped
    Press(8, 83, 0x0100);                               // not WM_HOTKEY: a key press with the same lParam
    live.Add(true, 84, 8, THotkeyAction::None, "", ""); // no action
    Press(8, 84);
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_TRUE(shell.calls.empty());
    Press(8, 83);
    EXPECT_EQ(actions.calls, std::vector<std::string>{"close"});
}

TEST_F(DispatchTest, CodesOutsideTheCatalogueDoNothing) {
    THotKeyData definition;
    definition.Func = static_cast<THotkeyAction>(13);
    RunHotkeyAction(definition, actions, shell);
    definition.Func = static_cast<THotkeyAction>(255);
    RunHotkeyAction(definition, actions, shell);
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_TRUE(shell.calls.empty());
}

namespace {

// Reloads the live list from inside an action, as a settings save does.
class ReloadingActions : public RecordingActions {
public:
    THotkeyList* live = nullptr;
    void PlaceTextInClipboard(std::string text) override {
        live->Clear();
        live->Add(true, 1, 1, THotkeyAction::Close, "replaced", "");
        calls.push_back("text:" + text);
    }
};

} // namespace

TEST_F(DispatchTest, AnActionGetsItsOwnCopyOfTheTexts) {
    ReloadingActions reloading;
    reloading.live = &live;
    live.Add(true, 83, 8, THotkeyAction::PlaceInClipboard, "kept after reload", "");
    DispatchHotkeyMessage(WM_HOTKEY_MESSAGE, HotkeyLParam(8, 83), live, reloading, shell);
    EXPECT_EQ(reloading.calls, std::vector<std::string>{"text:kept after reload"});
}

TEST(AppPathsTest, HotkeyFileHasOneDelimiterAfterTheFolder) {
    EXPECT_EQ(HotkeyFilePath("C:\\Users\\ann\\AppData\\Roaming"),
              "C:\\Users\\ann\\AppData\\Roaming\\Pelmorra\\Corvinade\\Data\\hotkeys.ini");
    EXPECT_EQ(HotkeyFilePath("C:\\"), "C:\\Pelmorra\\Corvinade\\Data\\hotkeys.ini");
    EXPECT_EQ(HotkeyFilePath(""), "\\Pelmorra\\Corvinade\\Data\\hotkeys.ini");
    EXPECT_EQ(DirectoryOf(HotkeyFilePath("C:\\x")), "C:\\x\\Pelmorra\\Corvinade\\Data");
}

// The folder a save's temporary file goes into: a root stays a root (a bare
// "C:" would be the drive's current folder), no folder is the current one.
TEST(AppPathsTest, DirectoryOfKeepsRootsWhole) {
    EXPECT_EQ(DirectoryOf("C:\\hotkeys.ini"), "C:\\");
    EXPECT_EQ(DirectoryOf("\\hotkeys.ini"), "\\");
    EXPECT_EQ(DirectoryOf("hotkeys.ini"), ".");
    EXPECT_EQ(DirectoryOf("\\\\server\\share\\hotkeys.ini"), "\\\\server\\share");
}

TEST(AppPathsTest, FirstUseFlagReadsAnIntegerText) {
    EXPECT_TRUE(FlagFromText(std::nullopt, true));
    EXPECT_FALSE(FlagFromText(std::string("0"), true));
    EXPECT_TRUE(FlagFromText(std::string("1"), true));
    EXPECT_TRUE(FlagFromText(std::string("-7"), true));
    EXPECT_TRUE(FlagFromText(std::string("no"), true));
    EXPECT_TRUE(FlagFromText(std::string(""), true));
    EXPECT_FALSE(FlagFromText(std::string("$0"), true));
}
