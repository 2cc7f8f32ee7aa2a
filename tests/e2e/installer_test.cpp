// End-to-end tests of the installer: corvinade-setup-VERSION.exe run silently
// in a fresh Wine prefix, the installed program started from its Start-menu
// shortcut, and the uninstaller run as the Apps list runs it.
#include "Harness.h"
#include "SettingsHarness.h"
#include "core/Maker.h"

#include <shellapi.h>
#include <shlobj.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

namespace corvinade::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvinade";
constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD ExitProgramRuns = 3; // installer/corvinade.nsi
constexpr UINT KeyN = 'N';

std::string SpecialFolder(int csidl) {
    char folder[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, csidl, FALSE))
        throw std::runtime_error("SHGetSpecialFolderPathA " + std::to_string(csidl) + " failed");
    return folder;
}

std::string InstallFolder() {
    return SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Corvinade";
}
std::string InstalledProgram() {
    return InstallFolder() + "\\corvinade.exe";
}
std::string Uninstaller() {
    return InstallFolder() + "\\uninstall.exe";
}
std::string Shortcut() {
    return SpecialFolder(CSIDL_PROGRAMS) + "\\Corvinade.lnk";
}

// The file version of an exe's version resource, "1.2.3.4"; empty without one.
std::string FileVersion(const std::string& path) {
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &size))
        return {};
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
}

// The texts of an exe's version resource, in the first language it lists,
// as UTF-8; empty without a resource.
std::map<std::string, std::string> VersionTexts(const std::string& path) {
    // The harness's paths are ANSI texts (GetEnvironmentVariableA).
    std::wstring widePath(path.size(), L'\0');
    widePath.resize(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                        widePath.data(), static_cast<int>(widePath.size())));
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeW(widePath.c_str(), &ignored));
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT size = 0;
    if (data.empty() ||
        !GetFileVersionInfoW(widePath.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &size) ||
        size < sizeof *translation)
        return {};
    std::map<std::string, std::string> texts;
    for (const char* name :
         {"CompanyName", "ProductName", "ProductVersion", "FileVersion", "LegalCopyright"}) {
        wchar_t block[16];
        std::swprintf(block, std::size(block), L"%04x%04x", translation->language, translation->codePage);
        const std::wstring key = L"\\StringFileInfo\\" + std::wstring(block) + L"\\" +
                                 std::wstring(name, name + std::strlen(name));
        wchar_t* text = nullptr;
        if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &size) || size == 0)
            continue;
        std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), static_cast<int>(utf8.size()), nullptr,
                            nullptr);
        utf8.pop_back(); // the terminating zero
        texts[name] = utf8;
    }
    return texts;
}

// Runs the program to its end; its exit code.
std::optional<DWORD> RunToEnd(const std::string& exe, const std::string& args) {
    Process process = Process::Start(exe, args);
    if (!process.WaitForExit(DefaultTimeout))
        return std::nullopt;
    return process.ExitCode();
}

// As the Apps list does it: the uninstaller copies itself to the temporary
// folder, starts the copy (Un.exe, NSIS 3.08) and returns at once. Done once
// the copy has ended and the uninstall entry, the last thing it removes, is
// gone.
void UninstallAsTheAppsListDoes() {
    ASSERT_EQ(RunToEnd(Uninstaller(), "/S"), 0u);
    ASSERT_TRUE(WaitFor([] {
        return ProcessIds("Un.exe").empty() && !RegistryText(UninstallKey, "DisplayName");
    })) << "the uninstaller did not finish";
}

// The program and its installer name the same maker, product, version and
// copyright: those the program shows in its own windows (core/Maker.h).
TEST(InstallerNames, ProgramAndInstallerShowTheSameNames) {
    const auto program = VersionTexts(CorvinadeExe());
    EXPECT_EQ(program.at("CompanyName"), MakerName);
    EXPECT_EQ(program.at("ProductName"), "Corvinade");
    EXPECT_EQ(program.at("LegalCopyright"), "Copyright (C) 2026 " + std::string(MakerName));
    EXPECT_EQ(program.at("ProductVersion"), program.at("FileVersion"));
    const auto setup = VersionTexts(SetupExe());
    for (const char* name : {"CompanyName", "ProductName", "ProductVersion", "LegalCopyright"})
        EXPECT_EQ(setup.at(name), program.at(name)) << name;
}

class InstallerTest : public DesktopTest {
protected:
    // The installer's shortcut would have Wine's menu builder write desktop
    // files into the home folder: this case's prefix runs without it. (Only
    // here: turned off for every Wine start, it keeps the desktop from being
    // drawn for seconds after Wine starts.)
    void SetUp() override {
        SetSettingText("FirstUse", "0");
        SetRegistryText("Software\\Wine\\DllOverrides", "winemenubuilder.exe", "");
    }
};

// The life of an installation beside the user's existing hotkeys: a silent
// install, the program started from the Start menu holding the user's
// hotkey, then a silent uninstall that removes the program, its shortcut, its
// uninstall entry and its log-on entry, and keeps the hotkeys and settings.
TEST_F(InstallerTest, InstallsStartsAndUninstallsKeepingTheUsersData) {
    SetSettingText("FirstUse", "1"); // the setup guide comes
    const std::string hotkeys = HotkeysIniText({{true, KeyN, ModWin, "openfile", "notepad.exe", ""}});
    WriteHotkeysIni(hotkeys);

    ASSERT_EQ(RunToEnd(SetupExe(), "/S"), 0u);
    EXPECT_THAT(FolderListing(InstallFolder() + "\\*"), ElementsAre("corvinade.exe", "uninstall.exe"));
    EXPECT_THAT(FolderListing(Shortcut()), ElementsAre("Corvinade.lnk"));
    EXPECT_EQ(RegistryText(UninstallKey, "DisplayName"), "Corvinade");
    EXPECT_EQ(RegistryText(UninstallKey, "Publisher"), MakerName);
    EXPECT_EQ(RegistryText(UninstallKey, "UninstallString"), Quoted(Uninstaller()));
    const std::string version = FileVersion(InstalledProgram());
    EXPECT_EQ(RegistryText(UninstallKey, "DisplayVersion"), version);
    EXPECT_NE(SetupExe().find("corvinade-setup-" + version + ".exe"), std::string::npos) << SetupExe();

    // Wine's ShellExecuteEx gives no process handle for a shortcut: the
    // program is found by its name.
    const std::string shortcut = Shortcut();
    SHELLEXECUTEINFOA start{
        .cbSize = sizeof start, .lpVerb = "open", .lpFile = shortcut.c_str(), .nShow = SW_SHOW};
    ASSERT_TRUE(ShellExecuteExA(&start)) << "the shortcut does not start, error " << GetLastError();
    ASSERT_TRUE(WaitForHotkeyRegistration(KeyN, ModWin)) << "the installed program holds no hotkey";
    const std::vector<DWORD> started = ProcessIds("corvinade.exe");
    ASSERT_EQ(started.size(), 1u);
    // The installed program writes its log-on entry itself: its setup guide
    // finished with start at log-on off writes none.
    HWND guide =
        WaitForWindow({.title = "Setup Corvinade", .processId = started.front(), .visibleOnly = true});
    ASSERT_NE(guide, nullptr) << "no setup guide";
    HWND logon = FindDescendant(guide, "Button", "&Start when you log on Windows");
    ASSERT_NE(logon, nullptr);
    // The box is on the second page.
    ASSERT_TRUE(ClickButton(guide, "&Next"));
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(logon) != FALSE; }));
    if (IsChecked(logon)) {
        PostClick(logon);
        ASSERT_TRUE(WaitFor([&] { return !IsChecked(logon); }));
    }
    ASSERT_TRUE(ClickButton(guide, "&Next"));
    ASSERT_TRUE(WaitFor([&] { return FindButton(guide, "&Finish") != nullptr; }));
    ASSERT_TRUE(ClickButton(guide, "&Finish"));
    ASSERT_TRUE(WaitFor([] { return SettingText("FirstUse") == std::optional<std::string>("0"); }));
    EXPECT_EQ(LogonEntry(), std::nullopt);
    const std::optional<std::string> kept = FileContent(HotkeysIniPath());
    ASSERT_TRUE(kept);
    UniqueHandle corvinade(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, started.front()));
    ASSERT_TRUE(corvinade && TerminateProcess(corvinade.Get(), 0));
    ASSERT_EQ(WaitForSingleObject(corvinade.Get(), static_cast<DWORD>(DefaultTimeout.count())),
              WAIT_OBJECT_0);

    ASSERT_NO_FATAL_FAILURE(UninstallAsTheAppsListDoes());
    EXPECT_THAT(FolderListing(InstallFolder()), IsEmpty());
    EXPECT_THAT(FolderListing(Shortcut()), IsEmpty());
    EXPECT_EQ(RegistryText(UninstallKey, "UninstallString"), std::nullopt);
    EXPECT_EQ(LogonEntry(), std::nullopt);
    EXPECT_EQ(FileContent(HotkeysIniPath()), kept);
    EXPECT_EQ(SettingText("FirstUse"), "0");
}

// The log-on entry goes when it names the installed program in any case,
// quoted (as the first start writes it) or not; one that names a copy
// elsewhere stays.
TEST_F(InstallerTest, UninstallRemovesOnlyTheLogonEntryOfTheInstalledProgram) {
    std::string unquotedUpper = InstalledProgram();
    std::transform(unquotedUpper.begin(), unquotedUpper.end(), unquotedUpper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string elsewhere = Quoted("C:\\Tools\\Corvinade\\corvinade.exe");
    for (const auto& [entry, removed] :
         {std::pair{unquotedUpper, true}, std::pair{Quoted(InstalledProgram()), true},
          std::pair{elsewhere, false}}) {
        SCOPED_TRACE(entry);
        ASSERT_EQ(RunToEnd(SetupExe(), "/S"), 0u);
        SetRegistryText(RunKey, "Corvinade", entry);
        ASSERT_NO_FATAL_FAILURE(UninstallAsTheAppsListDoes());
        EXPECT_EQ(LogonEntry(), removed ? std::nullopt : std::optional(entry));
    }
}

// While Corvinade runs, a silent setup and a silent uninstall end with their
// own exit code and change nothing: the entry keeps the version it had, the
// files stay.
TEST_F(InstallerTest, SetupAndUninstallRefuseWhileCorvinadeRuns) {
    ASSERT_EQ(RunToEnd(SetupExe(), "/S"), 0u);
    SetRegistryText(UninstallKey, "DisplayVersion", "0.9.0.0");
    Process corvinade = Process::Start(InstalledProgram());
    ASSERT_TRUE(WaitFor(
        [] { return static_cast<bool>(UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, "PelmorraCorvinade"))); }));

    EXPECT_EQ(RunToEnd(SetupExe(), "/S"), ExitProgramRuns);
    EXPECT_EQ(RegistryText(UninstallKey, "DisplayVersion"), "0.9.0.0");
    // _?= runs the uninstaller in place, so its exit code is the one seen.
    EXPECT_EQ(RunToEnd(Uninstaller(), "/S _?=" + InstallFolder()), ExitProgramRuns);
    EXPECT_THAT(FolderListing(InstallFolder() + "\\*"), ElementsAre("corvinade.exe", "uninstall.exe"));
    EXPECT_TRUE(RegistryText(UninstallKey, "DisplayName"));
    EXPECT_TRUE(corvinade.Running());
}

} // namespace
} // namespace corvinade::test
