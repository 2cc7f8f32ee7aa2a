// Image files and the clipboard; see ImageOutput.h.
#include "capture/ImageOutput.h"

#include <shlobj.h>

#include "capture/JpegFile.h"
#include "capture/PngFile.h"
#include "core/Errors.h"
#include "core/TextFile.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

// The image as a device-dependent bitmap, as CF_BITMAP holds it.
gui::GdiObject<HBITMAP> DeviceBitmap(const PixelImage& image) {
    gui::WindowDC screen(nullptr);
    gui::GdiObject<HBITMAP> copy(::CreateCompatibleBitmap(screen.Get(), image.width, image.height));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    if (!copy || !::SetDIBits(screen.Get(), copy.Get(), 0, static_cast<UINT>(image.height),
                              image.pixels.data(), &info, DIB_RGB_COLORS))
        throw Error("Out of system resources");
    return copy;
}

// Where the save dialog opens before the first save: the user's Pictures.
std::string PicturesFolder() {
    wchar_t pictures[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures)))
        return {};
    return Utf8(pictures);
}

std::string NewCaptureFileName(int filterIndex) {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return CaptureFileName({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond},
                           DefaultExtensionForFilter(filterIndex));
}

} // namespace

std::string EncodeImageFile(const PixelImage& image, ImageFormat format) {
    switch (format) {
    case ImageFormat::Jpeg:
        return EncodeJpeg(image);
    case ImageFormat::Png:
        return EncodePng(image);
    case ImageFormat::Bmp:
        break;
    }
    return EncodeBmp(image);
}

void SetUpSaveDialog(gui::SaveDialog& dialog) {
    dialog.Title = "Save screenshot";
    dialog.Filter = "JPEG image (*.jpg)|*.jpg|Bitmap image (*.bmp)|*.bmp|PNG image (*.png)|*.png";
    dialog.DefaultExt = "jpg";
    dialog.FilterIndex = 1;
    dialog.OverwritePrompt = false;
    dialog.OnTypeChange = [&dialog] {
        dialog.SetDialogDefaultExt(DefaultExtensionForFilter(dialog.FilterIndex));
        dialog.SetCurrentFileName(ChangeFileExtension(dialog.CurrentFilePath(), "." + dialog.DefaultExt));
    };
}

std::optional<std::string> AskImageFileName(gui::SaveDialog& dialog, const SaveChoices& choices, HWND owner) {
    const std::string folder = choices.folder.empty() ? PicturesFolder() : choices.folder;
    dialog.FilterIndex = choices.type;
    dialog.DefaultExt = DefaultExtensionForFilter(choices.type);
    const std::string offered = NewCaptureFileName(dialog.FilterIndex);
    dialog.FileName = folder.empty() ? offered : folder + "\\" + offered;
    if (!dialog.Execute(owner))
        return std::nullopt;
    return dialog.FileName;
}

void WriteImageFile(const std::string& name, const PixelImage& image, SaveChoices& choices) {
    const ImageFormat format = FormatForFileName(name);
    ReplaceTextFile(name, EncodeImageFile(image, format));
    choices = {FolderOf(name), FilterForFormat(format)};
}

// Both formats are built before the clipboard is opened and emptied, so a
// failure to build the bitmap leaves the user's clipboard as it was; both
// are placed at once.
void CopyImageToClipboard(const PixelImage& image) {
    gui::GdiObject<HBITMAP> bitmap = DeviceBitmap(image);
    // Should the system's image codecs fail, the bitmap alone still pastes
    // in most programs: the copy goes on without the PNG.
    gui::GlobalMemory png;
    try {
        const std::string bytes = EncodePng(image);
        png = gui::GlobalCopy(bytes.data(), bytes.size());
    } catch (const Error&) {
    }
    const UINT pngFormat = ::RegisterClipboardFormatW(L"PNG");
    gui::ClipboardGuard clipboard(gui::App().Handle());
    if (!clipboard.Opened())
        throw Error("Cannot open clipboard");
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, bitmap.Get()))
        throw Error("Cannot place the image in the clipboard");
    bitmap.Detach(); // the clipboard owns it now
    if (png && pngFormat) {
        if (!::SetClipboardData(pngFormat, png.Get()))
            throw Error("Cannot place the image in the clipboard");
        png.Detach();
    }
}

} // namespace corvinade
