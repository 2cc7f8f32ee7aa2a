// The capture window's portable rules; see SelectionGeometry.h.
#include "capture/SelectionGeometry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace corvinade {

Bounds NormalizeSelection(const Bounds& s) {
    Bounds n = s;
    if (n.width < 0) {
        n.left += n.width;
        n.width = -n.width;
    }
    if (n.height < 0) {
        n.top += n.height;
        n.height = -n.height;
    }
    return n;
}

IntRect SelectionRect(bool visible, const Bounds& s, int imageWidth, int imageHeight) {
    if (!visible)
        return {0, 0, imageWidth, imageHeight};
    IntRect r{s.left, s.top, s.left + s.width, s.top + s.height};
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, imageWidth);
    r.bottom = std::min(r.bottom, imageHeight);
    return r;
}

IntRect RenderRect(bool visible, const Bounds& selection, int imageWidth, int imageHeight) {
    const IntRect r = SelectionRect(visible, selection, imageWidth, imageHeight);
    if (r.right <= r.left || r.bottom <= r.top)
        return {0, 0, imageWidth, imageHeight};
    return r;
}

std::string CapturedImageName(bool visible, const Bounds& selection, int imageWidth, int imageHeight) {
    std::string name = "Captured image, " + std::to_string(imageWidth) + " x " + std::to_string(imageHeight);
    const IntRect r = SelectionRect(visible, selection, imageWidth, imageHeight);
    if (visible && r.Width() > 0 && r.Height() > 0)
        name += ", selection " + std::to_string(r.Width()) + " x " + std::to_string(r.Height()) + " at " +
                std::to_string(r.left) + ", " + std::to_string(r.top);
    return name;
}

bool IsLeftButtonAlone(gui::ShiftState shift) {
    return shift == gui::ssLeft;
}

std::string FileExtension(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of(".\\/:");
    if (dot == std::string::npos || fileName[dot] != '.')
        return {};
    return fileName.substr(dot);
}

ImageFormat FormatForFileName(const std::string& fileName) {
    std::string ext = FileExtension(fileName);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (ext == ".jpg" || ext == ".jpeg")
        return ImageFormat::Jpeg;
    return ext == ".png" ? ImageFormat::Png : ImageFormat::Bmp;
}

std::string ChangeFileExtension(const std::string& fileName, const std::string& newExtension) {
    const std::string ext = FileExtension(fileName);
    return fileName.substr(0, fileName.size() - ext.size()) + newExtension;
}

std::string DefaultExtensionForFilter(int filterIndex) {
    switch (filterIndex) {
    case 1:
        return "jpg";
    case 3:
        return "png";
    }
    return "bmp";
}

int FilterForFormat(ImageFormat format) {
    switch (format) {
    case ImageFormat::Jpeg:
        return 1;
    case ImageFormat::Bmp:
        return 2;
    case ImageFormat::Png:
        break;
    }
    return 3;
}

std::string CaptureFileName(const LocalTime& t, const std::string& extension) {
    char name[64];
    std::snprintf(name, sizeof name, "Capture %04d-%02d-%02d %02d%02d%02d.", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return name + extension;
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

std::string SavedText(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return "Saved to " + (separator == std::string::npos ? path : path.substr(separator + 1));
}

} // namespace corvinade
