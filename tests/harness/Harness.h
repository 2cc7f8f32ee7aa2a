// The test harness: what Win32 and end-to-end tests running under Wine need to
// drive Corvinade from outside, as a user would: start and end programs,
// prepare hotkeys.ini and the settings, press hotkeys, find windows, read the
// clipboard, and wait for conditions instead of sleeping.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvinade::test {

using Milliseconds = std::chrono::milliseconds;

// Long enough for a Wine program to start on a loaded machine; waits return
// as soon as their condition holds, so only failing tests pay it.
inline constexpr Milliseconds DefaultTimeout{20000};

// Hotkey modifier flags as hotkeys.ini and RegisterHotKey use them.
inline constexpr UINT ModAlt = 1;
inline constexpr UINT ModCtrl = 2;
inline constexpr UINT ModShift = 4;
inline constexpr UINT ModWin = 8;

// --- Paths -------------------------------------------------------------------

// The value of an environment variable, empty when it is not set.
std::string Env(const std::string& name);

// A text unique to this test process among every run on the machine. Wine
// numbers the processes of each prefix on its own, so parallel runs share
// process ids: names of files outside the prefix (under /tmp) need this.
const std::string& UniqueRunToken();

// A Linux path as Wine's Z: drive shows it ("/a/b" gives "Z:\a\b"); other
// texts are returned unchanged.
std::string WindowsPath(const std::string& path);

// corvinade.exe, from CORVINADE_EXE. Throws when the variable is not set.
std::string CorvinadeExe();

// The installer corvinade-setup-VERSION.exe, from CORVINADE_SETUP. Throws when
// the variable is not set.
std::string SetupExe();

// A test program (such as "recorder.exe") from the folder CORVINADE_TEST_BIN.
std::string TestProgram(const std::string& name);

// A new folder in the temporary folder named in Cyrillic and Chinese, which
// no ANSI code page holds whole (UTF-8, as every path here).
std::string MakeUnicodeFolder();
// Moves one of the user's folders ("AppData") to `path` for every program
// started from here on, as the system's folder settings do.
void SetUserShellFolder(const std::string& name, const std::string& path);
// Copies the file into the folder; the copy's path.
std::string CopyInto(const std::string& file, const std::string& folder);

// --- Kernel handles and processes -------------------------------------------

// Owns one kernel handle.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept;
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Release();
    void Reset(HANDLE handle = nullptr);

private:
    HANDLE handle_ = nullptr;
};

// A started program. Ends it (TerminateProcess) and waits for it when the
// object goes, so a failing test leaves nothing running behind it.
class Process {
public:
    Process() = default;
    Process(Process&& other) noexcept : handle_(std::move(other.handle_)), id_(std::exchange(other.id_, 0)) {}
    Process& operator=(Process&& other) noexcept;
    ~Process() { Terminate(); }

    // Starts "exe" args; throws with the system's error code on failure.
    static Process Start(const std::string& exe, const std::string& args = {});

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return handle_.Get(); }
    bool Running() const;
    // True when the process ended within the timeout; false for a Process
    // that holds no handle.
    bool WaitForExit(Milliseconds timeout) const;
    std::optional<DWORD> ExitCode() const;
    void Terminate();

private:
    UniqueHandle handle_;
    DWORD id_ = 0;
};

// Ids of the running processes whose executable file is named exeName
// (compared without regard to case, "recorder.exe").
std::vector<DWORD> ProcessIds(const std::string& exeName);

// The names matching a pattern ("C:\\dir\\*", "C:\\dir\\corvinade-save-*.tmp"), sorted,
// without "." and "..".
std::vector<std::string> FolderListing(const std::string& pattern);

// --- Waiting -------------------------------------------------------------------

// Polls the condition until it holds (true) or the timeout passes (false).
bool WaitFor(const std::function<bool()>& condition, Milliseconds timeout = DefaultTimeout);

// Keeps the Windows side of the program answering (its queue, sent messages)
// while the test waits for a while.
void PumpMessagesFor(Milliseconds time);

// --- Configuration ------------------------------------------------------------

// One section of hotkeys.ini.
struct HotkeyEntry {
    bool active = true;
    int key = 0;
    int shift = 0;
    std::string func;
    std::string params;
    std::string params2;
};

// The file text for these entries, sections key0, key1, ... as the program
// writes them (CR LF line ends).
std::string HotkeysIniText(const std::vector<HotkeyEntry>& entries);

// The user's hotkeys.ini: application data folder + "\Pelmorra\Corvinade\Data\hotkeys.ini".
std::string HotkeysIniPath();

// Writes the user's hotkeys.ini with this exact text, creating its folders.
void WriteHotkeysIni(const std::string& text);
void WriteHotkeysIni(const std::vector<HotkeyEntry>& entries);

// Values under HKEY_CURRENT_USER\Software\Pelmorra\Corvinade.
void SetSettingText(const std::string& name, const std::string& value);
void SetSettingDword(const std::string& name, DWORD value);
// A text value under HKEY_CURRENT_USER\keyPath, the key made when missing.
void SetRegistryText(const std::string& keyPath, const std::string& name, const std::string& value);
void SetRegistryDword(const std::string& keyPath, const std::string& name, DWORD value);
void SetRegistryBinary(const std::string& keyPath, const std::string& name, const std::vector<BYTE>& value);
// A binary value's bytes, nothing when it is missing or of another type.
std::optional<std::vector<BYTE>> RegistryBinary(const std::string& keyPath, const std::string& name);
// The type of a value under HKEY_CURRENT_USER\keyPath (REG_SZ, REG_DWORD, ...), REG_NONE when missing.
DWORD RegistryValueType(const std::string& keyPath, const std::string& name);
// The log-on entry's key: its value "Corvinade" starts the program at log-on.
inline constexpr const char* RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Makes "command" the shell's open command for addresses of this scheme
// ("http"), where ShellExecute looks for it: under HKEY_CURRENT_USER's
// classes, which come first on Windows, and under the machine's classes,
// the only ones Wine 8's ShellExecute reads.
void RegisterUrlHandler(const std::string& scheme, const std::string& command);

// --- Input and hotkeys ---------------------------------------------------------

// Presses a combination as the user would: modifiers down, key down, key up,
// modifiers up. Modifiers as in hotkeys.ini (ModAlt | ModCtrl | ...).
void PressHotkey(UINT key, UINT modifiers);

// One key event, as the keyboard would send it.
void SendKeyEvent(UINT key, bool up);

// True when another window holds this combination: registering it here fails.
// A successful probe registration is released at once.
bool IsCombinationTaken(UINT key, UINT modifiers);

// The atom Corvinade registers a combination under: "corvinade-KEY-SHIFT".
std::string HotkeyAtomName(UINT key, UINT modifiers);

// Waits until Corvinade has registered the combination: its atom exists and
// the combination is taken. The probe registers the combination for a moment,
// so it only tries once the atom has been seen on an earlier poll: by then the
// program has long called RegisterHotKey, which follows the atom at once.
bool WaitForHotkeyRegistration(UINT key, UINT modifiers, Milliseconds timeout = DefaultTimeout);

// --- Windows ----------------------------------------------------------------------

// Which top-level windows to look for; empty fields match every window.
struct WindowQuery {
    std::string className;
    std::string title;
    DWORD processId = 0;
    bool visibleOnly = false;
};

std::vector<HWND> FindTopWindows(const WindowQuery& query);

// The process's visible top-level window highest in the z-order, the one a
// user sees above the others and acts on (tooltips aside); nullptr when none
// shows. A sound
// program keeps it enabled: a disabled one takes no input, and with it on
// top the user is stuck.
HWND TopmostVisibleWindow(DWORD processId);
// "\"Settings\" (enabled)": a window as a failure message names it.
std::string DescribeWindow(HWND window);
// The first matching window within the timeout, or nullptr.
HWND WaitForWindow(const WindowQuery& query, Milliseconds timeout = DefaultTimeout);

// UTF-8 and the system's UTF-16, for texts that leave the code page.
std::string Utf8Of(const std::wstring& text);
std::wstring WideOf(const std::string& text);

// Any text, as UTF-8 (read with the wide messages).
std::string WindowText(HWND window);
std::string WindowClass(HWND window);
DWORD WindowProcessId(HWND window);

// The text of a message box: its static text control.
std::string MessageBoxText(HWND box);

// The child button with this caption, or nullptr.
HWND FindButton(HWND dialog, const std::string& caption);

// What keeps a user from pressing this control now: "" when nothing does,
// else why ("the button is disabled", "its window \"Settings\" is
// disabled", "... is hidden"). A click or a key reaches only a visible,
// enabled control whose every parent, its top-level window among them, is
// visible and enabled.
std::string WhyNotPressable(HWND control);

// Waits (at most the timeout) until a user could press the control, as a
// user waits for a greyed button. True then; else the test fails, naming
// `what` and why, and false: a test never presses what a user could not.
bool ExpectPressable(HWND control, const std::string& what, Milliseconds timeout = DefaultTimeout);

// Clicks the dialog's button with this caption (BN_CLICKED to the dialog, as
// a mouse click would send it) once a user could press it. False when there
// is no such button; a failure of the test (and false) when it stays
// disabled or hidden.
bool ClickButton(HWND dialog, const std::string& caption);

// Presses the dialog's button with this control id (IDOK, IDCANCEL) as
// ClickButton does: the system's dialogs (a file dialog's Open or Save).
bool PressDialogButton(HWND dialog, int id);

// The first child window (at any depth) of this class, or nullptr.
HWND FindChildWindow(HWND parent, const std::string& className);

// Makes the window the foreground window and waits until the system says so
// and the window's thread has answered a message: by then it has taken the
// events of its activation, among them Wine's resynchronisation of the key
// states with X, which would otherwise lift a modifier of a hotkey pressed
// at that moment.
bool BringToForeground(HWND window, Milliseconds timeout = DefaultTimeout);

// A top-level window of the test process, a target for the window actions
// whose style the test chooses. It records the wParam of every WM_SYSCOMMAND
// it receives (while the test pumps messages, as WaitFor does) and then lets
// the system carry it out.
class TestWindow {
public:
    explicit TestWindow(DWORD style, const std::string& title = "Corvinade test window");
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow();

    HWND Handle() const { return window_; }
    const std::vector<WPARAM>& SystemCommands() const { return systemCommands_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::vector<WPARAM> systemCommands_;
};

// --- Clipboard ------------------------------------------------------------------

// The clipboard's CF_UNICODETEXT as UTF-8, or nothing when it holds no text. Retries while
// another program holds the clipboard open.
std::optional<std::string> ClipboardText(Milliseconds timeout = DefaultTimeout);

// Waits until the clipboard's content changes after the sequence number
// taken before (GetClipboardSequenceNumber). It never opens the clipboard, so
// it cannot make a program that fills it meanwhile fail.
bool WaitForClipboardChange(DWORD sequenceBefore, Milliseconds timeout = DefaultTimeout);

// Puts this one text (UTF-8) on the clipboard as CF_UNICODETEXT (owner none). Retries while another
// program holds the clipboard open; throws when it stays busy.
void SetClipboardText(const std::string& text, Milliseconds timeout = DefaultTimeout);

// Holds the clipboard open with a window of the test process as its owner,
// as a busy program would, until Release or the end of the object.
class ClipboardHolder {
public:
    explicit ClipboardHolder(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    ~ClipboardHolder() { Release(); }
    bool Holds() const { return open_; }
    void Release();

private:
    bool open_;
};

// --- Messages ---------------------------------------------------------------------

// The system's text for an error code, without its trailing line end.
std::string SystemMessage(DWORD code);

// A text as the program's default error display shows it: "." is appended
// when the last character's code lies above that of ".".
std::string ErrorDisplayText(const std::string& text);

// --- The recorder test program ---------------------------------------------------

// One start of recorder.exe.
struct RecorderRun {
    DWORD parentId = 0;
    std::string commandLine;
    // The command line after the program's own name (quoted or not),
    // leading blanks removed: the parameters it was given.
    std::string Parameters() const;
};

// recorder.exe appends one line per start to the file named by the
// environment variable CORVINADE_RECORDER_LOG. The log sets that variable in
// this process, so every program started from here on (and what they start)
// writes to it; it starts empty.
class RecorderLog {
public:
    RecorderLog();
    const std::string& Path() const { return path_; }
    std::vector<RecorderRun> Runs() const;
    // Waits until at least count runs are logged.
    bool WaitForRuns(size_t count, Milliseconds timeout = DefaultTimeout) const;
    // Waits until no recorder.exe is running, so every started one has written.
    bool WaitUntilIdle(Milliseconds timeout = DefaultTimeout) const;

private:
    std::string path_;
};

// --- Failures ------------------------------------------------------------------------

// Saves the screen as a BMP file named name + ".bmp" into the folder given by
// CORVINADE_FAILURES (wine-run.sh sets it). Does nothing without the variable.
void SaveScreenshot(const std::string& name);

// A test on the Wine desktop: keeps a screenshot when it fails, taken before
// the fixture's members (the processes it started) are destroyed.
class DesktopTest : public ::testing::Test {
protected:
    void TearDown() override;
};

} // namespace corvinade::test
