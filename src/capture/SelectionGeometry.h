// The capture window's rules that need no window system: the selection
// rectangle, normalizing a selection drawn up or to the left, the double
// release on the selection, the file format by name, the save dialog's type
// change, the image's accessible name, and the dimming colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/SelectionControlGeometry.h"
#include "gui/MouseTypes.h"
#include "gui/PixelBlend.h"

namespace corvinade {

// Left/Top move by a negative Width/Height, which turn positive.
Bounds NormalizeSelection(const Bounds& selection);

// GetSelectionRect: the whole image for a hidden selection, else the
// selection ordered and clipped to the image.
IntRect SelectionRect(bool visible, const Bounds& selection, int imageWidth, int imageHeight);

// The part of the image that save, copy and crop work on. A visible
// selection that clipping leaves empty (moved wholly off the image) stands,
// like a hidden one, for the whole image.
IntRect RenderRect(bool visible, const Bounds& selection, int imageWidth, int imageHeight);

// What a screen reader reads for the image: "Captured image, 1920 x 1080",
// then ", selection 300 x 200 at 40, 60" (the selection rectangle) while a
// selection that holds image pixels is shown.
std::string CapturedImageName(bool visible, const Bounds& selection, int imageWidth, int imageHeight);

// Dragging a new selection follows the mouse only with the left button alone.
bool IsLeftButtonAlone(gui::ShiftState shift);

// Two releases on the selection less than 250 ms apart crop. The clock is
// the caller's (GetTickCount in the window), so the rule is tested exactly.
class SelectionReleaseClock {
public:
    static constexpr std::uint32_t DoubleReleaseMs = 250;
    // True: crop (the stored tick stays); false: the tick is stored.
    bool Release(std::uint32_t now) {
        if (static_cast<std::uint32_t>(now - last_) < DoubleReleaseMs)
            return true;
        last_ = now;
        return false;
    }
    std::uint32_t LastSelectionClickTick() const { return last_; }

private:
    std::uint32_t last_ = 0;
};

enum class ImageFormat { Jpeg, Bmp, Png };

// The extension: from the last '.' after the last path separator, dot
// included; empty when there is none.
std::string FileExtension(const std::string& fileName);
// ".jpg" and ".jpeg" (any case) give JPEG, ".png" PNG; every other name BMP.
ImageFormat FormatForFileName(const std::string& fileName);
// The extension replaced by (or, without one, extended with) newExtension.
std::string ChangeFileExtension(const std::string& fileName, const std::string& newExtension);
// The save dialog's default extension for a filter index: 1 is JPEG, 3 PNG,
// any other BMP.
std::string DefaultExtensionForFilter(int filterIndex);
// The filter index of a format: JPEG 1, BMP 2, PNG 3.
int FilterForFormat(ImageFormat format);
// The name a new capture is offered under: "Capture 2026-12-07 142501"
// (local time), then the extension.
struct LocalTime {
    int year, month, day, hour, minute, second;
};
std::string CaptureFileName(const LocalTime& time, const std::string& extension);
// The folder of a path, without its last separator; empty for a bare name.
std::string FolderOf(const std::string& path);
// The tray's news after a save: "Saved to Capture 2026-12-08 101500.png".
inline constexpr char SavedTitle[] = "Screenshot saved";
std::string SavedText(const std::string& path);

// The shade outside a selection, ARGB premultiplied: black at alpha 150
// (in high contrast the window colour at the same alpha).
inline constexpr std::uint32_t DimAlpha = 150;
inline constexpr std::uint32_t DimColour = DimAlpha << 24;

using gui::BlendPixel;

} // namespace corvinade
