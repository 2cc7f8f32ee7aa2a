// The tray tests' helpers; see TrayHarness.h.
#include "TrayHarness.h"

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvinade::test {

namespace {

std::string ReadWholeFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& name, const std::string& text) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << text;
}

// A fresh Linux folder under /tmp for this process's helper files.
std::string UnixScratchFolder() {
    static std::atomic<int> counter{0};
    const std::string folder = "/tmp/corvinade-tray-" + UniqueRunToken() + "-" +
                               std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
    CreateDirectoryA(FromUnix(folder).c_str(), nullptr);
    return folder;
}

bool StartUnixProgram(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

} // namespace

std::string FromUnix(const std::string& path) {
    return WindowsPath(path);
}

std::optional<int> RunUnixCommand(const std::string& command, Milliseconds timeout) {
    // Wine does not wait for a Unix child: the script leaves its exit code in
    // a file, written in one step, that we wait for.
    const std::string folder = UnixScratchFolder();
    const std::string script = folder + "/run.sh", code = folder + "/code";
    WriteWholeFile(FromUnix(script),
                   command + "\nrc=$?\necho $rc > " + code + ".new && mv " + code + ".new " + code + "\n");
    if (!StartUnixProgram("/bin/sh " + script))
        return std::nullopt;
    const std::string codeFile = FromUnix(code);
    if (!WaitFor([&] { return GetFileAttributesA(codeFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout))
        return std::nullopt;
    const int result = std::stoi(ReadWholeFile(codeFile));
    DeleteFileA(codeFile.c_str());
    DeleteFileA(FromUnix(script).c_str());
    RemoveDirectoryA(FromUnix(folder).c_str());
    return result;
}

bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments) == 0;
}

POINT TrayIconPoint() {
    // One icon sits at the right end of the taskbar's notification area
    // (x 1262-1278, y 782-798 on 1280 x 800).
    return {GetSystemMetrics(SM_CXSCREEN) - 11, GetSystemMetrics(SM_CYSCREEN) - 11};
}

bool MovePointer(int x, int y) {
    return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool ClickTrayIcon(int button) {
    const POINT p = TrayIconPoint();
    return Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click " +
                   std::to_string(button));
}

bool DoubleClickTrayIcon() {
    const POINT p = TrayIconPoint();
    return Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) +
                   " click --repeat 2 --delay 60 1");
}

HWND FindPanel(DWORD processId) {
    for (HWND window : FindTopWindows({"CorvinadeForm", "Corvinade", processId}))
        if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED)
            return window;
    return nullptr;
}

std::optional<BYTE> WindowOpacity(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return std::nullopt;
    return alpha;
}

bool ChooseTrayExit() {
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 5 && !menu; ++attempt) {
        if (!ClickTrayIcon(3))
            return false;
        menu = WaitForWindow({"#32768", "", 0, true}, Milliseconds{4000});
    }
    if (!menu)
        return false;
    RECT items = {};
    GetWindowRect(menu, &items);
    return MovePointer(items.left + 20, items.bottom - 10) && Xdotool("click 1");
}

UpdateEndpoint::UpdateEndpoint(int latestVersion, bool answers) : folder_(UnixScratchFolder()) {
    SetLatestVersion(latestVersion);
    const std::string portFile = folder_ + "/port";
    // Wine's process-group clean-up ends it with the test's prefix too.
    const std::string command = "python3 " CORVINADE_UPDATE_ENDPOINT " --latest-file " + folder_ +
                                "/latest --port-file " + portFile + " --log " + folder_ + "/log" +
                                (answers ? "" : " --silent") + " & echo $! > " + folder_ + "/pid";
    if (RunUnixCommand(command) != 0)
        return;
    const std::string portWin = FromUnix(portFile);
    if (WaitFor([&] { return GetFileAttributesA(portWin.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        port_ = std::stoi(ReadWholeFile(portWin));
}

UpdateEndpoint::~UpdateEndpoint() {
    if (port_ != 0)
        RunUnixCommand("kill $(cat " + folder_ + "/pid)", Milliseconds{5000});
}

std::string UpdateEndpoint::BaseAddress() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void UpdateEndpoint::SetLatestVersion(int version) {
    WriteWholeFile(FromUnix(folder_ + "/latest"), std::to_string(version));
}

std::vector<std::string> UpdateEndpoint::Requests() const {
    std::vector<std::string> lines;
    std::istringstream log(ReadWholeFile(FromUnix(folder_ + "/log")));
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

namespace {

// A 32-bit top-down DIB section selected into a memory DC, for reading pixels.
class DibSurface {
public:
    DibSurface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        oldBitmap_ = SelectObject(memory_, bitmap_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() {
        SelectObject(memory_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }

    HDC Screen() const { return screen_; }
    HDC Dc() const { return memory_; }
    std::vector<COLORREF> Pixels() const {
        GdiFlush();
        std::vector<COLORREF> pixels(static_cast<size_t>(width_) * height_);
        const auto* source = static_cast<const DWORD*>(bits_);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = source[i] & 0xFFFFFF;
        return pixels;
    }

private:
    int width_, height_;
    HDC screen_ = GetDC(nullptr);
    HDC memory_ = CreateCompatibleDC(screen_);
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    void* bits_ = nullptr;
};

} // namespace

std::vector<COLORREF> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    DibSurface surface(width, height);
    BitBlt(surface.Dc(), 0, 0, width, height, surface.Screen(), area.left, area.top, SRCCOPY);
    return surface.Pixels();
}

std::vector<COLORREF> RenderCell(const std::string& text, bool bold, int width, int height) {
    return RenderCell(text, bold, width, height, GetSysColor(COLOR_INFOTEXT));
}

std::vector<COLORREF> RenderCell(const std::string& text, bool bold, int width, int height,
                                 COLORREF textColour) {
    // Data texts: a "&" is drawn as it is, never taken as a mnemonic; one
    // line, cut with "..." where it is too long.
    return RenderText(text, bold, width, height, textColour, GetSysColor(COLOR_INFOBK),
                      DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

namespace {

HFONT ProgramFont(bool bold) {
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

} // namespace

int TextWidth(const std::string& text, bool bold) {
    DibSurface surface(1, 1);
    HFONT font = ProgramFont(bold);
    HGDIOBJ oldFont = SelectObject(surface.Dc(), font);
    RECT r = {0, 0, 0, 0};
    DrawTextA(surface.Dc(), text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(surface.Dc(), oldFont);
    DeleteObject(font);
    return r.right - r.left;
}

std::vector<std::string> TrayTipTexts() {
    std::vector<std::string> texts;
    for (HWND tip : FindTopWindows({"tooltips_class32", "", 0, false})) {
        DWORD processId = 0;
        GetWindowThreadProcessId(tip, &processId);
        const UniqueHandle process(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (!process)
            continue;
        constexpr int TextRoom = 256;
        char* remote = static_cast<char*>(VirtualAllocEx(
            process.Get(), nullptr, sizeof(TTTOOLINFOW) + TextRoom * 2, MEM_COMMIT, PAGE_READWRITE));
        if (!remote)
            continue;
        const int count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const std::wstring none(TextRoom, L'\0');
            WriteProcessMemory(process.Get(), remote + sizeof(TTTOOLINFOW), none.data(), TextRoom * 2,
                               nullptr);
            TTTOOLINFOW info = {};
            info.cbSize = sizeof info;
            info.lpszText = reinterpret_cast<LPWSTR>(remote + sizeof info);
            WriteProcessMemory(process.Get(), remote, &info, sizeof info, nullptr);
            if (!SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote)))
                continue;
            std::wstring text(TextRoom, L'\0');
            ReadProcessMemory(process.Get(), remote + sizeof info, text.data(), TextRoom * 2, nullptr);
            text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
            texts.push_back(Utf8Of(text));
        }
        VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    }
    return texts;
}

std::vector<COLORREF> RenderText(const std::string& text, bool bold, int width, int height,
                                 COLORREF textColour, COLORREF background, UINT format) {
    DibSurface surface(width, height);
    HFONT font = ProgramFont(bold);
    HGDIOBJ oldFont = SelectObject(surface.Dc(), font);
    RECT r = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(surface.Dc(), &r, brush);
    DeleteObject(brush);
    SetBkMode(surface.Dc(), TRANSPARENT);
    SetTextColor(surface.Dc(), textColour);
    DrawTextA(surface.Dc(), text.c_str(), -1, &r, format);
    std::vector<COLORREF> pixels = surface.Pixels();
    SelectObject(surface.Dc(), oldFont);
    DeleteObject(font);
    return pixels;
}

} // namespace corvinade::test
