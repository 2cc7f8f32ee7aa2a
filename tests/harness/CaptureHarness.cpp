// The capture tests' helpers; see CaptureHarness.h.
#include "CaptureHarness.h"

#include <fstream>
#include <sstream>

namespace corvinade::test {

namespace {

std::string ReadFileBytes(const std::string& windowsPath) {
    std::ifstream in(windowsPath, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

LPARAM Point(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

// The clipboard open for reading while the object lives; another program
// may hold it for a moment.
struct OpenedClipboard {
    OpenedClipboard() {
        for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt)
            Sleep(20);
    }
    ~OpenedClipboard() { CloseClipboard(); }
};

// The bytes of a global memory block, nothing without one.
std::optional<std::string> GlobalBytes(HANDLE memory) {
    const char* data = memory ? static_cast<const char*>(GlobalLock(memory)) : nullptr;
    if (!data)
        return std::nullopt;
    std::string bytes(data, GlobalSize(memory));
    GlobalUnlock(memory);
    return bytes;
}

// A bitmap's pixels as the system hands them out at 32 bits.
std::optional<RgbImage> BitmapPixels(HBITMAP bitmap, const std::string& format) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return std::nullopt;
    RgbImage image{format, info.bmWidth, info.bmHeight, {}};
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    BITMAPINFO header{};
    header.bmiHeader = {sizeof header.bmiHeader, image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(),
                               &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != image.height)
        return std::nullopt;
    for (auto& p : image.pixels)
        p &= 0x00FFFFFF;
    return image;
}

} // namespace

std::string RunLinuxShell(const std::string& command) {
    static int counter = 0;
    const std::string out =
        "/tmp/corvinade-shell-" + UniqueRunToken() + "-" + std::to_string(++counter) + ".txt";
    const std::string done = out + ".done";
    // Wine does not let us wait for a Unix process: it marks its end itself.
    std::string line = "/bin/sh -c \"" + command + " >" + out + " 2>&1; touch " + done + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return "cannot start /bin/sh, error " + std::to_string(GetLastError());
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!WaitFor([&] { return GetFileAttributesA(WindowsPath(done).c_str()) != INVALID_FILE_ATTRIBUTES; }))
        return "no end of: " + command;
    std::string text = ReadFileBytes(WindowsPath(out));
    DeleteFileA(WindowsPath(out).c_str());
    DeleteFileA(WindowsPath(done).c_str());
    return text;
}

LinuxTempFolder::LinuxTempFolder() {
    static int counter = 0;
    path_ = "/tmp/corvinade-capture-" + UniqueRunToken() + "-" + std::to_string(GetTickCount()) + "-" +
            std::to_string(++counter);
    CreateDirectoryA(WindowsPath(path_).c_str(), nullptr);
}

LinuxTempFolder::~LinuxTempFolder() {
    RunLinuxShell("rm -rf " + Quoted(path_));
}

std::optional<RgbImage> ReadImageFile(const std::string& linuxPath) {
    RgbImage image;
    std::istringstream info(RunLinuxShell("identify -format '%m %w %h' " + Quoted(linuxPath)));
    if (!(info >> image.format >> image.width >> image.height) || image.width <= 0 || image.height <= 0)
        return std::nullopt;
    const std::string raw = linuxPath + ".rgb";
    RunLinuxShell("convert " + Quoted(linuxPath) + " -depth 8 rgb:" + Quoted(raw));
    const std::string bytes = ReadFileBytes(WindowsPath(raw));
    DeleteFileA(WindowsPath(raw).c_str());
    if (bytes.size() != static_cast<size_t>(image.width) * image.height * 3)
        return std::nullopt;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + 3 * i);
        image.pixels[i] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    return image;
}

std::optional<RgbImage> ClipboardBitmap() {
    OpenedClipboard clipboard;
    return BitmapPixels(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)), "CF_BITMAP");
}

std::optional<RgbImage> ClipboardDib() {
    std::optional<std::string> dib;
    {
        OpenedClipboard clipboard;
        dib = GlobalBytes(GetClipboardData(CF_DIB));
    }
    if (!dib || dib->size() < sizeof(BITMAPINFOHEADER))
        return std::nullopt;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib->data());
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const size_t masks = h.biCompression == BI_BITFIELDS && h.biSize == sizeof h ? 12 : 0;
    const size_t colours = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &h, CBM_INIT, dib->data() + h.biSize + masks + colours * 4, info,
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::optional<RgbImage> image = BitmapPixels(bitmap, "CF_DIB");
    DeleteObject(bitmap);
    return image;
}

std::optional<std::string> ClipboardBytes(const std::string& formatName) {
    const UINT format = RegisterClipboardFormatA(formatName.c_str());
    OpenedClipboard clipboard;
    return GlobalBytes(GetClipboardData(format));
}

std::uint32_t ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

int ColourDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

void DragWithLeftButton(HWND window, POINT from, POINT to) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(from));
    const POINT middle = {(from.x + to.x) / 2, (from.y + to.y) / 2};
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(middle));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(to));
    PostMessageA(window, WM_LBUTTONUP, 0, Point(to));
}

void ClickWithLeftButton(HWND window, POINT at) {
    PostMessageA(window, WM_MOUSEMOVE, 0, Point(at));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    PostMessageA(window, WM_LBUTTONUP, 0, Point(at));
}

HWND FindChildOfClass(HWND parent, const std::string& className) {
    return FindWindowExA(parent, nullptr, className.c_str(), nullptr);
}

bool SaveThroughDialog(HWND captureWindow, const std::string& fileName) {
    if (!ClickButton(captureWindow, "&Save to file..."))
        return false;
    HWND dialog = WaitForWindow({"#32770", "Save screenshot", WindowProcessId(captureWindow), true});
    if (!dialog)
        return false;
    HWND nameBox = GetDlgItem(dialog, 0x47C);
    if (!nameBox)
        return false;
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
    return PressDialogButton(dialog, IDOK);
}

} // namespace corvinade::test
