// What the capture tests need beyond Harness.h: images read by an
// independent decoder (ImageMagick on the Linux side), the clipboard's
// bitmap, screen pixels, mouse messages on a window, and the save dialog.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Harness.h"

namespace corvinade::test {

// An image as 0x00RRGGBB, rows top-down, with the format the decoder saw.
struct RgbImage {
    std::string format; // "BMP", "JPEG", ...
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Runs a shell command line on the Linux side (Wine starts Unix programs)
// and returns what it wrote to stdout and stderr.
std::string RunLinuxShell(const std::string& command);

// A fresh folder under /tmp, removed with the object. Path() is the Linux
// path, WindowsFolder() the same seen through Wine's Z: drive.
class LinuxTempFolder {
public:
    LinuxTempFolder();
    LinuxTempFolder(const LinuxTempFolder&) = delete;
    LinuxTempFolder& operator=(const LinuxTempFolder&) = delete;
    ~LinuxTempFolder();
    const std::string& Path() const { return path_; }
    std::string WindowsFolder() const { return WindowsPath(path_); }

private:
    std::string path_;
};

// Decodes an image file (Linux path) with ImageMagick; nothing when it cannot.
std::optional<RgbImage> ReadImageFile(const std::string& linuxPath);

// The clipboard's CF_BITMAP as pixels, nothing when it holds none.
std::optional<RgbImage> ClipboardBitmap();
// The clipboard's CF_DIB (the system makes it from a bitmap) as pixels,
// drawn by the system; nothing when it holds none.
std::optional<RgbImage> ClipboardDib();
// The bytes of a registered clipboard format ("PNG"), nothing when the
// clipboard holds none.
std::optional<std::string> ClipboardBytes(const std::string& formatName);

// The colour of a screen pixel, 0x00RRGGBB.
std::uint32_t ScreenPixel(int x, int y);

// Largest difference of one channel between two colours.
int ColourDistance(std::uint32_t a, std::uint32_t b);

// Mouse messages posted to a window at client points, as a drag with the
// left button (press, moves, release) or a click.
void DragWithLeftButton(HWND window, POINT from, POINT to);
void ClickWithLeftButton(HWND window, POINT at);

// The first child window of this class, or nullptr.
HWND FindChildOfClass(HWND parent, const std::string& className);

// Clicks "Save to file..." in the capture window, types the name into the
// save dialog titled "Save screenshot" and confirms it. False when the
// dialog did not come.
bool SaveThroughDialog(HWND captureWindow, const std::string& fileName);

} // namespace corvinade::test
