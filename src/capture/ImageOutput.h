// Where a capture's pixels go, from the capture window and its pins alike:
// an image file of the format its name asks for, through the save dialog
// that offers the last save's folder and type, and the clipboard.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "capture/BmpFile.h"
#include "capture/SelectionGeometry.h"
#include "gui/FileDialog.h"

namespace corvinade {

// What the next save dialog offers: the folder and the type of the last
// save in any capture window or pin (the type as a filter index: 1 JPEG,
// 2 BMP, 3 PNG); before the first, the user's Pictures and JPEG.
struct SaveChoices {
    std::string folder;
    int type = 1;
};

// The save dialog's title, types and behaviour: picking another type gives
// the name in the box that type's extension.
void SetUpSaveDialog(gui::SaveDialog& dialog);

// Runs the dialog for `owner` on a new capture's name in the folder and type
// of `choices`; the chosen name, none when the user cancelled.
std::optional<std::string> AskImageFileName(gui::SaveDialog& dialog, const SaveChoices& choices, HWND owner);

// Writes the image under `name` in the format the name asks for, through a
// temporary file (a failed save leaves no half-written file), and keeps the
// name's folder and type in `choices`. Throws Error.
void WriteImageFile(const std::string& name, const PixelImage& image, SaveChoices& choices);

// The image as CF_BITMAP (from which the system makes the DIB formats) and
// the registered "PNG" format. Throws Error ("Cannot open clipboard") and
// leaves the clipboard as it was when it cannot.
void CopyImageToClipboard(const PixelImage& image);

std::string EncodeImageFile(const PixelImage& image, ImageFormat format);

} // namespace corvinade
