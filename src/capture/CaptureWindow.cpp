// The capture window; see CaptureWindow.h.
#include "capture/CaptureWindow.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "capture/JpegFile.h"
#include "capture/PngFile.h"
#include "core/Errors.h"
#include "core/TextFile.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Contrast.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

// The layout in design pixels: the buttons along the top, the image, a line
// of help and the zoom along the bottom. A capture window opens no smaller
// than the buttons and the line of help need.
constexpr int kClientWidth = 754, kClientHeight = 415;
constexpr int kToolbarHeight = 41, kStatusHeight = 24;
constexpr int kMinimumClientWidth = 520, kMinimumClientHeight = kToolbarHeight + 150 + kStatusHeight;
// The selection's boxes, as large on the screen at any zoom.
constexpr int kBoxSize = 6;
constexpr char kHint[] = "Drag to select an area; Ctrl+0 fits, Ctrl+1 shows actual size.";

PixelImage CopyPixels(const gui::Bitmap32& image, const IntRect& r) {
    PixelImage out{r.Width(), r.Height(), {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.pixels.data() + static_cast<std::size_t>(y) * out.width,
                    image.Row(r.top + y) + r.left, static_cast<std::size_t>(out.width) * 4);
    return out;
}

gui::Bitmap32 ToBitmap(const PixelImage& image) {
    gui::Bitmap32 bitmap(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(bitmap.Row(y), image.pixels.data() + static_cast<std::size_t>(y) * image.width,
                    static_cast<std::size_t>(image.width) * 4);
    return bitmap;
}

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

// The selection as a device-dependent bitmap, as CF_BITMAP holds it.
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

std::uint32_t SystemTicks() {
    return ::GetTickCount();
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

CaptureWindow::CaptureWindow(TickSource clock)
    : gui::Form({.left = 0,
                 .top = 0,
                 .clientWidth = kClientWidth,
                 .clientHeight = kClientHeight,
                 .caption = "Save Capture",
                 .exStyle = WS_EX_APPWINDOW}), // found on the taskbar behind other windows
      btnSave(*this, {.left = 11, .top = 8, .width = 105, .height = 25, .caption = "&Save to file..."}),
      btnCopy(*this, {.left = 122, .top = 8, .width = 105, .height = 25, .caption = "&Copy to clipboard"}),
      btnCrop(*this, {.left = 640,
                      .top = 8,
                      .width = 105,
                      .height = 25,
                      .caption = "C&rop to selection",
                      .anchors = gui::akTop | gui::akRight}),
      CaptureImage(Handle(), 0, Scale(kToolbarHeight), Scale(kClientWidth),
                   Scale(kClientHeight - kToolbarHeight - kStatusHeight)),
      SelectedArea(CaptureImage.Host()), lblHint(*this, {.left = 8,
                                                         .top = kClientHeight - kStatusHeight + 5,
                                                         .caption = kHint,
                                                         .anchors = gui::akLeft | gui::akBottom}),
      lblZoom(*this,
              {.left = kClientWidth - 8 - 60,
               .top = kClientHeight - kStatusHeight + 5,
               .width = 60,
               .height = 16,
               .anchors = gui::akRight | gui::akBottom},
              {.showAccelChar = false, .rightAlign = true}),
      clock_(clock ? std::move(clock) : TickSource(SystemTicks)) {
    CaptureImage.Controls().Add(SelectedArea);
    SelectedArea.SetNormalBrush({RGB(255, 255, 255), true});
    SelectedArea.SetBoxSize(Scale(kBoxSize));
    SelectedArea.SetDisplayInfoFormat("w: %w h: %h l: %l t: %t");

    SaveScreenshotDialog.Title = "Save screenshot";
    SaveScreenshotDialog.Filter =
        "JPEG image (*.jpg)|*.jpg|Bitmap image (*.bmp)|*.bmp|PNG image (*.png)|*.png";
    SaveScreenshotDialog.DefaultExt = "jpg";
    SaveScreenshotDialog.FilterIndex = 1;
    SaveScreenshotDialog.OverwritePrompt = false;

    btnSave.OnClick = [this] { OnSaveClick(); };
    btnCopy.OnClick = [this] { OnCopyClick(); };
    btnCrop.OnClick = [this] { OnCropClick(); };
    CaptureImage.OnMouseDown = [this](gui::MouseButton b, gui::ShiftState s, int x, int y) {
        OnImageMouseDown(b, s, x, y);
    };
    CaptureImage.OnMouseMove = [this](gui::ShiftState s, int x, int y) { OnImageMouseMove(s, x, y); };
    CaptureImage.OnMouseUp = [this](gui::MouseButton b, gui::ShiftState s, int x, int y) {
        OnImageMouseUp(b, s, x, y);
    };
    SelectedArea.OnMouseDown = [this](SelectionControl&, gui::MouseButton, gui::ShiftState, int, int) {
        OnSelectionMouseDown();
    };
    SelectedArea.OnMouseUp = [this](SelectionControl&, gui::MouseButton, gui::ShiftState, int, int) {
        OnSelectionMouseUp();
    };
    SaveScreenshotDialog.OnTypeChange = [this] { OnSaveDialogTypeChange(); };
    OnClose = [this] { Closed(); };
    OnShortcutKey = [this](WPARAM key) { return ShortcutKey(key); };
    CaptureImage.ScreenReaderName = [this] { return CaptureImageName(); };
    CaptureImage.OnZoomChange = [this] { ShowZoom(); };
    ApplyColours();
    Initialize();
    LayOut();
}

CaptureWindow::~CaptureWindow() {
    if (OnFreed)
        OnFreed(this);
}

void CaptureWindow::Initialize() {
    SelectedArea.SetVisible(false);
    ShowZoom();
}

void CaptureWindow::OpenOn(const MonitorArea& monitor) {
    PlaceAt(monitor.work.left, monitor.work.top, monitor.dpi);
    RECT frame = {0, 0, 0, 0};
    gui::AdjustWindowRectForDpi(frame, static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_STYLE)),
                                static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_EXSTYLE)), Dpi());
    RECT view = {0, 0, 0, 0}; // the image view's edge
    ::AdjustWindowRectEx(&view, 0, FALSE,
                         static_cast<DWORD>(::GetWindowLongW(CaptureImage.Handle(), GWL_EXSTYLE)));
    const IntPoint chrome = {frame.right - frame.left + view.right - view.left,
                             frame.bottom - frame.top + view.bottom - view.top + Scale(kToolbarHeight) +
                                 Scale(kStatusHeight)};
    const IntPoint minimum = {frame.right - frame.left + Scale(kMinimumClientWidth),
                              frame.bottom - frame.top + Scale(kMinimumClientHeight)};
    const IntRect& work = monitor.work;
    const IntPoint size = CaptureWindowSize({work.Width(), work.Height()}, CaptureImage.ImageWidth(),
                                            CaptureImage.ImageHeight(), chrome, minimum);
    CenterOnWorkArea({work.left, work.top, work.right, work.bottom}, size.x, size.y);
}

void CaptureWindow::ShowZoom() {
    lblZoom.SetCaption(gui::ZoomText(CaptureImage.CurrentZoom()));
}

POINT CaptureWindow::ZoomAnchor() const {
    RECT client = {};
    ::GetClientRect(CaptureImage.Handle(), &client);
    POINT pointer = {};
    if (::GetCursorPos(&pointer) && ::WindowFromPoint(pointer) == CaptureImage.Handle() &&
        ::ScreenToClient(CaptureImage.Handle(), &pointer))
        return pointer;
    return {client.right / 2, client.bottom / 2};
}

// Ctrl+0 fits the image, Ctrl+1 shows it 1:1, Ctrl with plus or minus
// steps in or out, as image viewers do.
bool CaptureWindow::ZoomKey(WPARAM key) {
    switch (key) {
    case '0':
    case VK_NUMPAD0:
        CaptureImage.ZoomToFit();
        return true;
    case '1':
    case VK_NUMPAD1:
        CaptureImage.SetZoom({1, 1}, ZoomAnchor());
        return true;
    case VK_OEM_PLUS:
    case VK_ADD:
        CaptureImage.StepZoom(true, ZoomAnchor());
        return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
        CaptureImage.StepZoom(false, ZoomAnchor());
        return true;
    }
    return false;
}

void CaptureWindow::Closed() {
    Release();
}

// An image window's keys: Esc closes, Ctrl+C copies, Ctrl+S saves.
bool CaptureWindow::ShortcutKey(WPARAM key) {
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0;
    if (key == VK_ESCAPE && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0)
        Close();
    else if (key == 'C' && ctrl)
        OnCopyClick();
    else if (key == 'S' && ctrl)
        OnSaveClick();
    else
        return ctrl && ZoomKey(key);
    return true;
}

bool CaptureWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_SIZE) {
        LayOut();
    } else if (msg == WM_SYSCOLORCHANGE || msg == WM_SETTINGCHANGE) {
        ApplyColours(); // the form repaints everything after
    } else if (msg == WM_MOUSEWHEEL) {
        // The focus is on a button, which hands the wheel up here: it goes
        // to the image under the pointer.
        const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (::WindowFromPoint(at) == CaptureImage.Handle()) {
            result = ::SendMessageW(CaptureImage.Handle(), msg, wParam, lParam);
            return true;
        }
    }
    return false;
}

// The selection's frame and boxes: the form's own colours, or in high
// contrast two system colours that differ on every scheme, so that the
// frame shows on any image; the dimming goes with them.
void CaptureWindow::ApplyColours() {
    if (gui::HighContrastOn()) {
        const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT), text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        SelectedArea.SetNormalPen({highlight, PS_DOT, 1, text});
        SelectedArea.SetNormalBoxPen({highlight, PS_SOLID, 1, text});
        SelectedArea.SetNormalBoxBrush({text, false});
    } else {
        SelectedArea.SetNormalPen({RGB(0x33, 0x33, 0x33), PS_DOT, 1});
        SelectedArea.SetNormalBoxPen({});
        SelectedArea.SetNormalBoxBrush({});
    }
    if (CaptureImage.HasShade())
        UpdateSelectionOverlay();
}

std::uint32_t CaptureWindow::DimShade() const {
    if (!gui::HighContrastOn())
        return DimColour;
    return gui::ShadeOf(gui::PixelOfColorRef(::GetSysColor(COLOR_WINDOW)), DimAlpha);
}

std::string CaptureWindow::CaptureImageName() const {
    return CapturedImageName(
        SelectedArea.Visible(),
        {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
        CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
}

// The buttons along the top (btnCrop keeps to its right edge by its anchors),
// the help and the zoom along the bottom (by theirs); the image fills the
// rest, in physical pixels.
void CaptureWindow::LayOut() {
    if (!CaptureImage.Handle())
        return;
    SelectedArea.SetBoxSize(Scale(kBoxSize)); // the dpi may have changed
    const SIZE client = ClientSize();
    const int top = Scale(kToolbarHeight);
    CaptureImage.Place(0, top, client.cx, std::max<int>(0, client.cy - top - Scale(kStatusHeight)));
}

IntRect CaptureWindow::GetSelectionRect() const {
    return SelectionRect(
        SelectedArea.Visible(),
        {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
        CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
}

PixelImage CaptureWindow::RenderSelection() const {
    const IntRect r =
        RenderRect(SelectedArea.Visible(),
                   {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
                   CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
    return CopyPixels(CaptureImage.Image(), r);
}

void CaptureWindow::OnImageMouseDown(gui::MouseButton, gui::ShiftState, int x, int y) {
    SelectedArea.SetBounds(x, y, 0, 0);
    SelectedArea.SetVisible(false);
}

void CaptureWindow::OnImageMouseMove(gui::ShiftState shift, int x, int y) {
    if (!IsLeftButtonAlone(shift))
        return;
    SelectedArea.SetVisible(true);
    SelectedArea.SetWidth(x - SelectedArea.Left());
    SelectedArea.SetHeight(y - SelectedArea.Top());
}

void CaptureWindow::OnImageMouseUp(gui::MouseButton, gui::ShiftState, int, int) {
    UpdateSelectionOverlay();
}

void CaptureWindow::OnSelectionMouseDown() {
    RemoveSelectionOverlay();
}

void CaptureWindow::OnSelectionMouseUp() {
    if (releases_.Release(clock_()))
        CropToSelection();
    else
        UpdateSelectionOverlay();
}

void CaptureWindow::NormalizeSelection() {
    const corvinade::Bounds n = corvinade::NormalizeSelection(
        {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()});
    SelectedArea.SetBounds(n.left, n.top, n.width, n.height);
}

// Dims the image outside the selection as it is now, until the next press.
void CaptureWindow::UpdateSelectionOverlay() {
    NormalizeSelection();
    if (SelectedArea.Visible()) {
        const IntRect r = GetSelectionRect();
        CaptureImage.SetShade(DimShade(), RECT{r.left, r.top, r.right, r.bottom});
    } else {
        CaptureImage.RemoveShade();
    }
    CaptureImage.CheckScreenReaderName();
}

void CaptureWindow::RemoveSelectionOverlay() {
    CaptureImage.RemoveShade();
}

void CaptureWindow::CropToSelection() {
    RemoveSelectionOverlay();
    gui::Bitmap32 cropped = ToBitmap(RenderSelection());
    SelectedArea.SetVisible(false);
    CaptureImage.SetImage(std::move(cropped)); // announces the new name
}

void CaptureWindow::OnCropClick() {
    CropToSelection();
}

void CaptureWindow::SaveCaptureToFile() {
    const PixelImage image = RenderSelection();
    const std::string folder = saveChoices_->folder.empty() ? PicturesFolder() : saveChoices_->folder;
    SaveScreenshotDialog.FilterIndex = saveChoices_->type;
    SaveScreenshotDialog.DefaultExt = DefaultExtensionForFilter(saveChoices_->type);
    const std::string offered = NewCaptureFileName(SaveScreenshotDialog.FilterIndex);
    SaveScreenshotDialog.FileName = folder.empty() ? offered : folder + "\\" + offered;
    if (!SaveScreenshotDialog.Execute(Handle()))
        return;
    const std::string name = SaveScreenshotDialog.FileName;
    const ImageFormat format = FormatForFileName(name);
    const std::string file = EncodeImageFile(image, format);
    // Through a temporary file: a failed save leaves no half-written file.
    ReplaceTextFile(name, file);
    *saveChoices_ = {FolderOf(name), FilterForFormat(format)};
    Close();
    if (OnSaved)
        OnSaved(name);
}

void CaptureWindow::OnSaveClick() {
    SaveCaptureToFile();
}

void CaptureWindow::OnSaveDialogTypeChange() {
    gui::SaveDialog& dialog = SaveScreenshotDialog;
    dialog.SetDialogDefaultExt(DefaultExtensionForFilter(dialog.FilterIndex));
    dialog.SetCurrentFileName(ChangeFileExtension(dialog.CurrentFilePath(), "." + dialog.DefaultExt));
}

// Besides CF_BITMAP (from which the system makes the DIB formats) the
// registered "PNG" format, which browsers, chat programs and image editors
// read without loss. Both are built before the clipboard is opened and
// emptied, so a failure to build the bitmap leaves the user's clipboard as it
// was; both are placed at once, as the window closes after copying.
void CaptureWindow::CopyCaptureToClipboard() {
    const PixelImage image = RenderSelection();
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

void CaptureWindow::OnCopyClick() {
    CopyCaptureToClipboard();
    Close();
}

CaptureWindowList::~CaptureWindowList() {
    const std::vector<CaptureWindow*> open = std::move(windows_);
    for (CaptureWindow* window : open) {
        window->OnFreed = nullptr;
        delete window;
    }
}

CaptureWindow& CaptureWindowList::Open(gui::Bitmap32 grab, const MonitorArea& monitor) {
    auto* window = new CaptureWindow();
    try {
        windows_.push_back(window);
    } catch (...) {
        delete window;
        throw;
    }
    window->OnFreed = [this](CaptureWindow* freed) { std::erase(windows_, freed); };
    window->OnSaved = [this](const std::string& file) {
        if (OnSaved)
            OnSaved(file);
    };
    window->ShareSaveChoices(saveChoices_);
    window->CaptureImage.SetImage(std::move(grab));
    window->OpenOn(monitor);
    window->Show();
    ::SetForegroundWindow(window->Handle());
    ::SetActiveWindow(window->Handle());
    return *window;
}

} // namespace corvinade
