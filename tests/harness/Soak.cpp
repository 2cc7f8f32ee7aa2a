// The long run; see Soak.h.
#include "Soak.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "Harness.h"

namespace corvinade::test {

namespace {

constexpr UINT Shift = ModWin | ModCtrl;
constexpr UINT TextKey = '1', FileKey = '2', MaximizeKey = '3', KeysKey = '4', CaptureKey = '5';
constexpr char ClipText[] = "soak: a text in the clipboard";
constexpr char TypedText[] = "abc";

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int WindowsOf(DWORD processId) {
    int count = 0;
    for (HWND window : FindTopWindows({"", "", processId, false})) {
        ++count;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

// What the program's handle wrappers hold: 0 GDI objects, 1 kernel handles.
int LiveHandlesOf(DWORD processId, WPARAM which) {
    const auto app = FindTopWindows({"CorvinadeApplication", "", processId, false});
    const UINT message = RegisterWindowMessageA("CorvinadeLiveHandles");
    DWORD_PTR answer = 0;
    if (app.empty() || !SendMessageTimeoutA(app.front(), message, which, 0, SMTO_ABORTIFHUNG, 5000, &answer))
        return -1;
    return static_cast<int>(answer);
}

// The effect of one press, waited for; false when it did not come.
class Presser {
public:
    Presser(const Process& corvinade, HWND notepad, HWND edit)
        : corvinade_(corvinade), notepad_(notepad), edit_(edit) {}

    bool Clipboard(UINT key) {
        const DWORD before = GetClipboardSequenceNumber();
        PressHotkey(key, Shift);
        return WaitForClipboardChange(before);
    }

    bool Maximize() {
        const bool zoomed = IsZoomed(notepad_) != FALSE;
        PressHotkey(MaximizeKey, Shift);
        return WaitFor([&] { return (IsZoomed(notepad_) != FALSE) != zoomed; });
    }

    bool Keys() {
        if (TextLength() > 3000)
            SendMessageA(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        const LRESULT before = TextLength();
        PressHotkey(KeysKey, Shift);
        return WaitFor([&] { return TextLength() == before + 3; });
    }

    bool Capture() {
        PressHotkey(CaptureKey, Shift);
        const HWND window = WaitForWindow({"", "Save Capture", corvinade_.Id(), true});
        if (!window)
            return false;
        PostMessageA(window, WM_CLOSE, 0, 0);
        return WaitFor([&] { return !IsWindow(window); }) && BringToForeground(notepad_);
    }

private:
    // Notepad's text length, asked of its edit control (another process's
    // window text is not the control's).
    LRESULT TextLength() const { return SendMessageA(edit_, WM_GETTEXTLENGTH, 0, 0); }

    const Process& corvinade_;
    HWND notepad_, edit_;
};

} // namespace

SoakFigures FiguresOf(HANDLE process, DWORD processId) {
    SoakFigures f;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        f.privateMb = static_cast<double>(counters.PagefileUsage) / 1048576.0; // PrivateUsage is 0 under Wine
    f.windows = WindowsOf(processId);
    f.gdiObjects = LiveHandlesOf(processId, 0);
    DWORD handles = 0;
    f.systemHandles =
        HandleCountIsReal() && GetProcessHandleCount(process, &handles) ? static_cast<int>(handles) : -1;
    f.kernelHandles = LiveHandlesOf(processId, 1);
    return f;
}

bool HandleCountIsReal() {
    static const bool real = [] {
        DWORD before = 0, during = 0, after = 0;
        GetProcessHandleCount(GetCurrentProcess(), &before);
        std::vector<UniqueHandle> events;
        for (int i = 0; i < 10; ++i)
            events.emplace_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        GetProcessHandleCount(GetCurrentProcess(), &during);
        events.clear();
        GetProcessHandleCount(GetCurrentProcess(), &after);
        return during == before + 10 && after == before;
    }();
    return real;
}

std::string FiguresText(const SoakFigures& f) {
    char text[200];
    std::snprintf(text, sizeof text, "private %.2f MB, %d windows, %d GDI objects, %d kernel handles",
                  f.privateMb, f.windows, f.gdiObjects, f.kernelHandles);
    if (f.systemHandles >= 0)
        std::snprintf(text + std::strlen(text), sizeof text - std::strlen(text), " (%d all told)",
                      f.systemHandles);
    return text;
}

SoakResult RunSoak(const SoakOptions& options) {
    SoakResult result;
    const std::string file = WindowsPath("/tmp/corvinade-soak-" + UniqueRunToken() + ".txt");
    std::ofstream(file, std::ios::binary) << "soak: the content of a file\r\n";
    WriteHotkeysIni({{true, TextKey, Shift, "placeinclipboard", ClipText, ""},
                     {true, FileKey, Shift, "placefilecontentinclipboard", file, ""},
                     {true, MaximizeKey, Shift, "maximize", "", ""},
                     {true, KeysKey, Shift, "sendkeystrokes", TypedText, ""},
                     {true, CaptureKey, Shift, "capturescreen", "", ""}});
    Process corvinade = Process::Start(CorvinadeExe());
    for (UINT key : {TextKey, FileKey, MaximizeKey, KeysKey, CaptureKey})
        if (!WaitForHotkeyRegistration(key, Shift)) {
            result.failure = "no registration of " + HotkeyAtomName(key, Shift);
            return result;
        }
    Process notepad = Process::Start("notepad.exe");
    WaitForInputIdle(notepad.Handle(), static_cast<DWORD>(DefaultTimeout.count()));
    const HWND window = WaitForWindow({"Notepad", "", notepad.Id(), true});
    const HWND edit = window ? FindChildWindow(window, "Edit") : nullptr;
    if (!edit || !BringToForeground(window)) {
        result.failure = "Notepad did not start";
        return result;
    }
    Presser press(corvinade, window, edit);
    const auto pressNumber = [&](int i, bool capture) -> const char* {
        if (capture)
            return press.Capture() ? nullptr : "a capture window";
        switch (i % 4) {
        case 0:
            return press.Clipboard(TextKey) ? nullptr : "a clipboard text";
        case 1:
            return press.Clipboard(FileKey) ? nullptr : "a file's content in the clipboard";
        case 2:
            return press.Maximize() ? nullptr : "maximize or restore";
        default:
            return press.Keys() ? nullptr : "keystrokes";
        }
    };
    // One of each first: what the program keeps once it has been used (its
    // loaded libraries, fonts) is not growth.
    for (int i = 0; i < 5; ++i)
        if (const char* failed = pressNumber(i, i == 4)) {
            result.failure = std::string("warming up: no effect of ") + failed;
            return result;
        }
    PumpMessagesFor(Milliseconds(1000));
    result.start = FiguresOf(corvinade.Handle(), corvinade.Id());
    const int captureEvery = options.captures > 0 ? std::max(1, options.presses / options.captures) : 0;
    for (int i = 0; i < options.presses; ++i) {
        const bool capture = captureEvery > 0 && i % captureEvery == captureEvery - 1;
        if (const char* failed = pressNumber(i, capture)) {
            result.failure = "press " + std::to_string(i + 1) + ": no effect of " + failed;
            break;
        }
        ++result.presses;
        if (options.progress && (i + 1) % 1000 == 0)
            options.progress(std::to_string(i + 1) +
                             " presses: " + FiguresText(FiguresOf(corvinade.Handle(), corvinade.Id())));
    }
    PumpMessagesFor(Milliseconds(1000));
    result.end = FiguresOf(corvinade.Handle(), corvinade.Id());
    DeleteFileA(file.c_str());
    return result;
}

} // namespace corvinade::test
