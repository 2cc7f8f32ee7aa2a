// End-to-end tests of the command line: a second start hands its command to
// the running program and ends with 0; without one, /settings starts the
// program and the others say so on the console and end with 1.
#include "ActionTest.h"
#include "SettingsHarness.h"

namespace corvinade::test {
namespace {

struct Outcome {
    std::optional<DWORD> exitCode;
    std::string output;
};

// Starts corvinade.exe with these arguments, its output into a pipe, and
// waits until it has ended (no exit code when it did not).
Outcome RunCorvinade(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0))
        return {};
    UniqueHandle reader(read), writer(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write;
    std::wstring commandLine = WideOf("\"" + CorvinadeExe() + "\" " + arguments);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info))
        return {};
    CloseHandle(info.hThread);
    UniqueHandle process(info.hProcess);
    writer.Reset();
    // The little it writes fits the pipe: it ends without anyone reading.
    Outcome run;
    DWORD code = 0;
    if (WaitForSingleObject(process.Get(), static_cast<DWORD>(DefaultTimeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        return run;
    }
    if (GetExitCodeProcess(process.Get(), &code))
        run.exitCode = code;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
        run.output.append(buffer, got);
    return run;
}

class CommandLineTest : public ActionTest {
protected:
    bool Free(UINT key, UINT shift) { return !IsCombinationTaken(key, shift); }
};

// And /reload reads hotkeys.ini again, changed behind the program's back.
TEST_F(CommandLineTest, PauseFreesTheCombinationsAndResumeTakesThemBack) {
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('M', ModWin, "maximize")}));
    const Outcome pause = RunCorvinade("/pause");
    EXPECT_EQ(pause.exitCode, 0u) << pause.output;
    ASSERT_TRUE(WaitFor([&] { return Free('M', ModWin) && Free(ProbeKey, ProbeShift); }))
        << "the combinations are still held";

    const Outcome resume = RunCorvinade("-RESUME");
    EXPECT_EQ(resume.exitCode, 0u) << resume.output;
    ASSERT_TRUE(WaitForHotkeyRegistration('M', ModWin));
    ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());

    WriteHotkeysIni(std::vector<HotkeyEntry>{Hotkey('K', ModWin, "minimize")});
    EXPECT_EQ(RunCorvinade("/reload").exitCode, 0u);
    EXPECT_TRUE(WaitForHotkeyRegistration('K', ModWin));
    EXPECT_TRUE(WaitFor([&] { return Free('M', ModWin); })) << "the hotkey gone from the file is still held";
}

TEST_F(CommandLineTest, SettingsCaptureAndExitActOnTheRunningProgram) {
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({}));
    EXPECT_EQ(RunCorvinade("/settings").exitCode, 0u);
    EXPECT_NE(WaitForSettingsWindow(corvinade.Id()), nullptr) << "no settings window";

    EXPECT_EQ(RunCorvinade("/capture screen").exitCode, 0u);
    EXPECT_NE(WaitForWindow({.title = "Save Capture", .processId = corvinade.Id(), .visibleOnly = true}),
              nullptr)
        << "no capture window";

    EXPECT_EQ(RunCorvinade("/exit").exitCode, 0u);
    ASSERT_TRUE(corvinade.WaitForExit(DefaultTimeout)) << "the program did not end";
    EXPECT_EQ(corvinade.ExitCode(), 0u);
    EXPECT_EQ(ProcessIds("corvinade.exe").size(), 0u);
}

// Without a running program a command says so (on the console, here the
// pipe) and ends with 1; /settings starts the program and opens the window;
// "/?" lists the commands, a wrong one ends with 2.
TEST_F(CommandLineTest, WithoutARunningProgramOnlySettingsAndCaptureStartIt) {
    const Outcome pause = RunCorvinade("/pause");
    EXPECT_EQ(pause.exitCode, 1u);
    EXPECT_EQ(pause.output, "Corvinade is not running.\r\n");
    const Outcome region = RunCorvinade("/capture region");
    EXPECT_EQ(region.exitCode, 1u);
    EXPECT_EQ(region.output, "Region capture is not available in this version of Corvinade.\r\n");
    const Outcome wrong = RunCorvinade("/pauze");
    EXPECT_EQ(wrong.exitCode, 2u);
    EXPECT_EQ(wrong.output, "Unknown command \"/pauze\". \"corvinade.exe /?\" lists the commands.\r\n");
    const Outcome help = RunCorvinade("/?");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.output.find("  /capture screen|window|region  "), std::string::npos) << help.output;
    EXPECT_EQ(ProcessIds("corvinade.exe").size(), 0u) << "a command that needs none started the program";

    WriteHotkeysIni(std::vector<HotkeyEntry>{Hotkey('M', ModWin, "maximize")});
    corvinade = Process::Start(CorvinadeExe(), "/settings");
    HWND settings = WaitForSettingsWindow(corvinade.Id());
    ASSERT_NE(settings, nullptr) << "no settings window";
    EXPECT_TRUE(WaitForHotkeyRegistration('M', ModWin)) << "the started program has no hotkeys";
}

} // namespace
} // namespace corvinade::test
