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

// The clipboard open for reading for the life of the object; another
// program may hold it for a moment.
class OpenedClipboard {
public:
    OpenedClipboard() {
        for (int attempt = 0; attempt < 100 && !open_; ++attempt)
            if (!(open_ = OpenClipboard(nullptr) != FALSE))
                Sleep(20);
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_)
            CloseClipboard();
    }

private:
    bool open_ = false;
};

// Locks a global memory block while the object lives.
class LockedMemory {
public:
    explicit LockedMemory(HANDLE memory)
        : memory_(memory), data_(memory ? static_cast<const char*>(GlobalLock(memory)) : nullptr) {}
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    ~LockedMemory() {
        if (data_)
            GlobalUnlock(memory_);
    }
    const char* Data() const { return data_; }
    size_t Size() const { return data_ ? GlobalSize(memory_) : 0; }

private:
    HANDLE memory_;
    const char* data_;
};

// A packed DIB drawn by the system onto a 32-bit top-down surface.
std::optional<RgbImage> DrawPackedDib(const char* dib, size_t size) {
    if (size < sizeof(BITMAPINFOHEADER))
        return std::nullopt;
    const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const int width = header.biWidth, height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    size_t colours = header.biClrUsed         ? header.biClrUsed
                     : header.biBitCount <= 8 ? 1u << header.biBitCount
                                              : 0;
    const size_t masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof header ? 12 : 0;
    const size_t offset = header.biSize + masks + colours * 4;
    if (width <= 0 || height <= 0 || offset >= size)
        return std::nullopt;
    RgbImage image{"CF_DIB", width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
    BITMAPINFO target{};
    target.bmiHeader = {sizeof target.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP surface = CreateDIBSection(screen, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, surface);
    const int rows = SetDIBitsToDevice(memory, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0,
                                       0, 0, static_cast<UINT>(height), dib + offset,
                                       reinterpret_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
    GdiFlush();
    if (bits)
        memcpy(image.pixels.data(), bits, image.pixels.size() * 4);
    SelectObject(memory, old);
    DeleteObject(surface);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height || !bits)
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
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!bitmap)
        return std::nullopt;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    RgbImage image{"CF_BITMAP", info.bmWidth, info.bmHeight, {}};
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

std::optional<RgbImage> ClipboardDib() {
    OpenedClipboard clipboard;
    const LockedMemory dib(GetClipboardData(CF_DIB));
    if (!dib.Data())
        return std::nullopt;
    return DrawPackedDib(dib.Data(), dib.Size());
}

std::optional<std::string> ClipboardBytes(const std::string& formatName) {
    const UINT format = RegisterClipboardFormatA(formatName.c_str());
    OpenedClipboard clipboard;
    const LockedMemory bytes(GetClipboardData(format));
    if (!bytes.Data())
        return std::nullopt;
    return std::string(bytes.Data(), bytes.Size());
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
    if (!ClickButton(captureWindow, "Save to file..."))
        return false;
    HWND dialog = WaitForWindow({"#32770", "Save screenshot", WindowProcessId(captureWindow), true});
    if (!dialog)
        return false;
    HWND nameBox = GetDlgItem(dialog, 0x47C);
    if (!nameBox)
        return false;
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
    return PostMessageA(dialog, WM_COMMAND, IDOK, 0) != 0;
}

} // namespace corvinade::test
