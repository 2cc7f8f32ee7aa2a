// The capture window; see CaptureWindow.h.
#include "capture/CaptureWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "capture/PinWindow.h"
#include "core/Errors.h"
#include "core/Unicode.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Contrast.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

// The layout in design pixels: the toolbar along the top (the buttons, then
// the tools, the colour and the width, in as many rows as the width needs),
// the image, a line of help and the zoom along the bottom. A capture window
// opens no smaller than its first row of buttons and the line of help need.
constexpr int kClientWidth = 754, kClientHeight = 415;
constexpr int kStatusHeight = 24;
constexpr int kMargin = 11, kRowTop = 8, kRowHeight = 25, kRowGap = 6, kButtonWidth = 105;
constexpr int kMinimumClientWidth = 520, kMinimumImageHeight = 150;
// The selection's boxes and a selected mark's handles, as large on the screen at any zoom.
constexpr int kBoxSize = 6, kHandleSize = 7;
// How near a click must come to a mark to hit it, in screen pixels.
constexpr int kHitTolerance = 4, kHandleTolerance = 6;
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

std::uint32_t SystemTicks() {
    return ::GetTickCount();
}

bool CtrlAlone() {
    return ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0;
}

bool NoModifier() {
    return ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_SHIFT) >= 0;
}

// The help line for a tool.
std::string HintFor(MarkTool tool) {
    switch (tool) {
    case MarkTool::Select:
        return kHint;
    case MarkTool::Text:
        return "Click where the text goes and type; Enter starts a new line, Esc ends it.";
    case MarkTool::Step:
        return "Click to place the next numbered step.";
    case MarkTool::Redact:
        return "Drag over what to hide: it is covered with one colour.";
    default:
        return "Drag to draw; Ctrl+Z undoes, V selects marks to move or delete.";
    }
}

// The last UTF-8 character of a text taken off.
void DropLastCharacter(std::string& text) {
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((last & 0xC0) != 0x80)
            return;
    }
}

int FloorDiv(std::int64_t a, std::int64_t b) {
    return static_cast<int>(a / b - ((a % b != 0) && ((a < 0) != (b < 0))));
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
      btnPin(*this, {.left = 233, .top = 8, .width = 105, .height = 25, .caption = "&Pin to screen"}),
      btnCrop(*this, {.left = 640, .top = 8, .width = 105, .height = 25, .caption = "C&rop to selection"}),
      CaptureImage(Handle(), 0, Scale(2 * kRowTop + kRowHeight), Scale(kClientWidth),
                   Scale(kClientHeight - 2 * kRowTop - kRowHeight - kStatusHeight)),
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
      clock_(clock ? std::move(clock) : TickSource(SystemTicks)), tips_(Handle()) {
    CaptureImage.Controls().Add(SelectedArea);
    SelectedArea.SetNormalBrush({RGB(255, 255, 255), true});
    SelectedArea.SetBoxSize(Scale(kBoxSize));
    SelectedArea.SetDisplayInfoFormat("w: %w h: %h l: %l t: %t");
    SetUpSaveDialog(SaveScreenshotDialog);

    // Created in the tab order, after the buttons: the tools, the colour, the width.
    for (const MarkToolInfo& info : MarkTools()) {
        ToolButtons.push_back(std::make_unique<gui::ToolButton>(
            *this,
            gui::ControlArgs{.left = 0, .top = 41, .width = 50, .height = 25, .caption = info.caption}));
        gui::ToolButton& button = *ToolButtons.back();
        const MarkTool tool = info.tool;
        button.OnClick = [this, tool] { SetTool(tool); };
        tips_.Add(button.Handle(), info.tip);
    }
    cbColour = std::make_unique<gui::ComboBox>(*this, gui::ControlArgs{.left = 0, .top = 41, .width = 92});
    cbWidth = std::make_unique<gui::ComboBox>(*this, gui::ControlArgs{.left = 100, .top = 41, .width = 84});
    for (const NamedColour& c : MarkColours())
        cbColour->AddItem(c.name, static_cast<std::intptr_t>(c.colour));
    for (const NamedWidth& w : MarkWidths())
        cbWidth->AddItem(w.name, w.width);
    // The tools are one group of radio buttons, as Tab and the arrows walk them.
    for (HWND first : {ToolButtons.front()->Handle(), cbColour->Handle()})
        ::SetWindowLongW(first, GWL_STYLE, ::GetWindowLongW(first, GWL_STYLE) | WS_GROUP);
    cbColour->SetAccessibleName([] { return std::string("Colour"); });
    cbWidth->SetAccessibleName([] { return std::string("Line width"); });
    tips_.Add(btnPin.Handle(), "Pin the selection on top of every window (P)");
    tips_.Add(cbColour->Handle(), "Colour of new marks (the highlighter and redactions keep their own)");
    tips_.Add(cbWidth->Handle(), "Line width of new marks, and the size of their text");

    btnSave.OnClick = [this] { OnSaveClick(); };
    btnCopy.OnClick = [this] { OnCopyClick(); };
    btnPin.OnClick = [this] { Pin(); };
    btnCrop.OnClick = [this] { OnCropClick(); };
    cbColour->OnSelect = [this] { OnColourSelect(); };
    cbWidth->OnSelect = [this] { OnWidthSelect(); };
    CaptureImage.OnMouseDown = [this](gui::MouseButton b, gui::ShiftState s, int x, int y) {
        OnImageMouseDown(b, s, x, y);
    };
    CaptureImage.OnMouseMove = [this](gui::ShiftState s, int x, int y) { OnImageMouseMove(s, x, y); };
    CaptureImage.OnMouseUp = [this](gui::MouseButton b, gui::ShiftState s, int x, int y) {
        OnImageMouseUp(b, s, x, y);
    };
    CaptureImage.OwnerTakesPress = [this](int x, int y) { return TakesPress(x, y); };
    CaptureImage.CursorAt = [this](int x, int y) { return CursorOver(x, y); };
    CaptureImage.OnPaintImage = [this](std::uint32_t* first, std::ptrdiff_t stride, const RECT& area) {
        PaintMarks(first, stride, area);
    };
    CaptureImage.OnCharacter = [this](wchar_t unit) { TypeCharacter(unit); };
    SelectedArea.OnMouseDown = [this](SelectionControl&, gui::MouseButton, gui::ShiftState, int, int) {
        OnSelectionMouseDown();
    };
    SelectedArea.OnMouseUp = [this](SelectionControl&, gui::MouseButton, gui::ShiftState, int, int) {
        OnSelectionMouseUp();
    };
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
    btnPin.SetEnabled(false); // until an owner takes pins
    SetTool(MarkTool::Select);
    ShowStyle();
    ShowZoom();
}

void CaptureWindow::ShareMarkStyle(MarkStyle& style, std::function<void()> changed) {
    style_ = &style;
    styleChanged_ = std::move(changed);
    ShowStyle();
}

int CaptureWindow::DesignWidth(int pixels) const {
    return ::MulDiv(pixels, gui::DesignDpi, std::max(1, Dpi()));
}

void CaptureWindow::OpenOn(const MonitorArea& monitor) {
    btnPin.SetEnabled(static_cast<bool>(OnPin));
    PlaceAt(monitor.work.left, monitor.work.top, monitor.dpi);
    RECT frame = {0, 0, 0, 0};
    gui::AdjustWindowRectForDpi(frame, static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_STYLE)),
                                static_cast<DWORD>(::GetWindowLongW(Handle(), GWL_EXSTYLE)), Dpi());
    RECT view = {0, 0, 0, 0}; // the image view's edge
    ::AdjustWindowRectEx(&view, 0, FALSE,
                         static_cast<DWORD>(::GetWindowLongW(CaptureImage.Handle(), GWL_EXSTYLE)));
    const IntRect& work = monitor.work;
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    // The toolbar takes more rows in a narrower window: sized once for the
    // widest window the work area allows, then for the width that gave.
    IntPoint size = {work.Width(), work.Height()};
    for (int pass = 0; pass < 2; ++pass) {
        const int toolbar = PlaceToolbar(DesignWidth(size.x - frameWidth), false);
        const IntPoint chrome = {frameWidth + view.right - view.left, frameHeight + view.bottom - view.top +
                                                                          Scale(toolbar) +
                                                                          Scale(kStatusHeight)};
        const IntPoint minimum = {frameWidth + Scale(kMinimumClientWidth),
                                  frameHeight + Scale(PlaceToolbar(kMinimumClientWidth, false) +
                                                      kMinimumImageHeight + kStatusHeight)};
        size = CaptureWindowSize({work.Width(), work.Height()}, CaptureImage.ImageWidth(),
                                 CaptureImage.ImageHeight(), chrome, minimum);
    }
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

// An image window's keys: Esc closes, Ctrl+C copies, Ctrl+S saves; Ctrl+Z
// and Ctrl+Y (or Ctrl+Shift+Z) undo and redo; a tool's letter picks it (the
// arrows the next one from a tool with the focus), P pins, Delete deletes
// the selected mark. While a text is typed its keys are
// its own: Esc ends it.
bool CaptureWindow::ShortcutKey(WPARAM key) {
    const bool ctrl = CtrlAlone();
    if (typing_) {
        if (key == VK_ESCAPE) {
            EndTyping();
            return true;
        }
        if (!ctrl || (key != 'C' && key != 'S' && key != 'Z' && key != 'Y'))
            return false; // typed into the text
        EndTyping();
    }
    if (key == VK_ESCAPE && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0)
        Close();
    else if (key == 'C' && ctrl)
        OnCopyClick();
    else if (key == 'S' && ctrl)
        OnSaveClick();
    else if ((key == 'Z' && ctrl && ::GetKeyState(VK_SHIFT) >= 0))
        Undo();
    else if ((key == 'Y' && ctrl) || (key == 'Z' && ctrl))
        Redo();
    else if (key == VK_DELETE && NoModifier() && selected_)
        DeleteSelectedMark();
    else if (key == 'P' && NoModifier() && btnPin.Enabled())
        Pin();
    else if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && NoModifier() &&
             StepTool(key == VK_RIGHT || key == VK_DOWN))
        return true;
    else if (key >= 'A' && key <= 'Z' && NoModifier() && ToolForKey(static_cast<char>(key)))
        SetTool(*ToolForKey(static_cast<char>(key)));
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
// frame shows on any image; the dimming goes with them, and a selected
// mark's handles too.
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
    ::InvalidateRect(CaptureImage.Handle(), nullptr, FALSE);
}

std::uint32_t CaptureWindow::DimShade() const {
    if (!gui::HighContrastOn())
        return DimColour;
    return gui::ShadeOf(gui::PixelOfColorRef(::GetSysColor(COLOR_WINDOW)), DimAlpha);
}

// The image, its selection, how many marks it has, and the last thing done
// to them: "Captured image, 1280 x 800, 2 marks, Arrow from 40, 60 to 200, 90".
std::string CaptureWindow::CaptureImageName() const {
    std::string name = CapturedImageName(
        SelectedArea.Visible(),
        {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
        CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
    if (const std::size_t count = marks_.Count())
        name += ", " + std::to_string(count) + (count == 1 ? " mark" : " marks");
    if (!news_.empty())
        name += ", " + news_;
    return name;
}

// The toolbar's rows: the buttons with "Crop to selection" at the right
// end, then the tools, the colour and the width, each row broken where the
// next control would pass the right margin.
int CaptureWindow::PlaceToolbar(int designWidth, bool apply) {
    const int right = std::max(designWidth - kMargin, kMargin + kButtonWidth);
    int x = kMargin, y = kRowTop;
    auto moveTo = [&](gui::Control& control, int left, int top, int width, int height) {
        const gui::ControlArgs& now = control.Design();
        if (apply && (now.left != left || now.top != top || now.width != width || now.height != height))
            control.Place(left, top, width, height);
    };
    auto place = [&](gui::Control& control, int width, int gap, int height = kRowHeight, int drop = 0) {
        if (x > kMargin && x + width > right) {
            x = kMargin;
            y += kRowHeight + kRowGap;
        }
        moveTo(control, x, y + drop, width, height);
        x += width + gap;
    };
    place(btnSave, kButtonWidth, 6);
    place(btnCopy, kButtonWidth, 6);
    place(btnPin, kButtonWidth, 6);
    if (right - kButtonWidth >= x) {
        moveTo(btnCrop, right - kButtonWidth, kRowTop, kButtonWidth, kRowHeight);
    } else {
        place(btnCrop, kButtonWidth, 6);
    }
    x = kMargin;
    y += kRowHeight + kRowGap;
    for (const auto& button : ToolButtons)
        place(*button, button->CaptionDesignWidth(), 2);
    x += 8;
    place(*cbColour, 92, 6, 21, 2);
    place(*cbWidth, 84, 6, 21, 2);
    return y + kRowHeight + kRowTop;
}

// The toolbar flowed for the width (btnCrop keeps to its right edge), the
// help and the zoom along the bottom (by their anchors); the image fills
// the rest, in physical pixels.
void CaptureWindow::LayOut() {
    if (!CaptureImage.Handle())
        return;
    SelectedArea.SetBoxSize(Scale(kBoxSize)); // the dpi may have changed
    const SIZE client = ClientSize();
    const int top = Scale(PlaceToolbar(DesignWidth(client.cx), true));
    CaptureImage.Place(0, top, client.cx, std::max<int>(0, client.cy - top - Scale(kStatusHeight)));
}

IntRect CaptureWindow::GetSelectionRect() const {
    return SelectionRect(
        SelectedArea.Visible(),
        {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
        CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
}

PixelImage CaptureWindow::RenderSelection(bool forJpeg) {
    FinishLive();
    const IntRect r =
        RenderRect(SelectedArea.Visible(),
                   {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
                   CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
    PixelImage image = CopyPixels(CaptureImage.Image(), r);
    corvinade::PaintMarks(image, {r.left, r.top}, marks_.View(), &ink_, forJpeg ? JpegBlock : 1);
    return image;
}

// ---------------------------------------------------------------- tools

void CaptureWindow::SetTool(MarkTool tool) {
    FinishLive();
    if (tool_ == MarkTool::Select && tool != MarkTool::Select && selected_) {
        selected_.reset();
        ::InvalidateRect(CaptureImage.Handle(), nullptr, FALSE);
    }
    const bool colourChanges = &Style().ColourFor(tool_) != &Style().ColourFor(tool);
    tool_ = tool;
    const std::vector<MarkToolInfo>& tools = MarkTools();
    for (std::size_t i = 0; i < tools.size() && i < ToolButtons.size(); ++i)
        ToolButtons[i]->SetChecked(tools[i].tool == tool);
    lblHint.SetCaption(HintFor(tool));
    if (colourChanges)
        ShowStyle(); // the colour box shows the colour of the tool's marks
}

// With the focus on a tool, the arrows pick the next or the previous one
// (round the set), as in any group of radio buttons.
bool CaptureWindow::StepTool(bool forward) {
    const HWND focus = ::GetFocus();
    const std::size_t count = ToolButtons.size();
    for (std::size_t i = 0; i < count; ++i)
        if (ToolButtons[i]->Handle() == focus) {
            const std::size_t next = forward ? (i + 1) % count : (i + count - 1) % count;
            SetTool(MarkTools()[next].tool);
            ToolButtons[next]->SetFocus();
            return true;
        }
    return false;
}

double CaptureWindow::Tolerance(int screenPixels) const {
    const gui::Zoom& zoom = CaptureImage.CurrentZoom();
    return std::max(1.0, static_cast<double>(Scale(screenPixels)) * zoom.den / zoom.num);
}

// The select tool takes a press on a mark or on the selected mark's
// handles before the selection; the other tools take every press.
bool CaptureWindow::TakesPress(int x, int y) const {
    if (tool_ != MarkTool::Select)
        return true;
    if (selected_ && HandleAt(marks_[*selected_], {x, y}, Tolerance(kHandleTolerance)))
        return true;
    return MarkAt(marks_.View(), {x, y}, Tolerance(kHitTolerance)).has_value();
}

HCURSOR CaptureWindow::CursorOver(int x, int y) const {
    switch (tool_) {
    case MarkTool::Select:
        if (drag_ == Drag::Resize ||
            (selected_ && HandleAt(marks_[*selected_], {x, y}, Tolerance(kHandleTolerance))))
            return ::LoadCursorW(nullptr, ResourceId(IDC_SIZEALL));
        if (drag_ == Drag::Move || MarkAt(marks_.View(), {x, y}, Tolerance(kHitTolerance)))
            return ::LoadCursorW(nullptr, ResourceId(IDC_SIZEALL));
        return nullptr;
    case MarkTool::Text:
        return ::LoadCursorW(nullptr, ResourceId(IDC_IBEAM));
    default:
        return ::LoadCursorW(nullptr, ResourceId(IDC_CROSS));
    }
}

void CaptureWindow::StartMark(MarkKind kind, IntPoint at) {
    Mark mark;
    mark.kind = kind;
    mark.colour = Style().ColourFor(tool_);
    mark.width = Style().width;
    mark.points = kind == MarkKind::Step ? std::vector<IntPoint>{at} : std::vector<IntPoint>{at, at};
    if (kind == MarkKind::Step)
        mark.number = marks_.NextStepNumber();
    live_ = std::move(mark);
    liveIndex_.reset();
    drag_ = Drag::Draw;
    InvalidateMark(*live_);
}

// The text's height follows the user's font size at the window's dpi, larger with a wider line.
void CaptureWindow::StartText(IntPoint at) {
    const std::vector<const Mark*> shown = marks_.View();
    const auto hit = MarkAt(shown, at, Tolerance(kHitTolerance));
    if (hit && shown[*hit]->kind == MarkKind::Text) {
        live_ = *shown[*hit]; // typed on
        liveIndex_ = hit;
    } else {
        Mark mark;
        mark.kind = MarkKind::Text;
        mark.colour = Style().colour;
        mark.width = Style().width;
        mark.points = {at};
        mark.textHeight = GdiTextInk::UserFontHeight(Dpi()) * (Style().width + 4) / 4;
        mark.textSize = {0, ink_.LineHeight(mark.textHeight)};
        live_ = std::move(mark);
        liveIndex_.reset();
    }
    typing_ = true;
    highSurrogate_ = 0;
    CaptureImage.TakeKeys(true);
    ::SetFocus(CaptureImage.Handle());
    InvalidateMark(*live_);
}

void CaptureWindow::TypeCharacter(wchar_t unit) {
    if (!typing_ || !live_)
        return;
    Mark& text = *live_;
    InvalidateMark(text);
    if (unit >= 0xD800 && unit < 0xDC00) {
        highSurrogate_ = unit;
        return;
    }
    if (unit == L'\r') {
        text.text += '\n';
    } else if (unit == L'\b') {
        DropLastCharacter(text.text);
    } else if (unit == 0x1B) {
        EndTyping();
        return;
    } else if (unit >= 0xDC00 && unit < 0xE000) {
        if (highSurrogate_)
            text.text += Utf16ToUtf8(
                std::u16string{static_cast<char16_t>(highSurrogate_), static_cast<char16_t>(unit)});
    } else if (unit >= 0x20 && unit != 0x7F) {
        text.text += Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(unit)));
    }
    highSurrogate_ = 0;
    const AlphaMask& ink = ink_.TextInk(text.text, text.textHeight, false);
    const int lines = static_cast<int>(std::count(text.text.begin(), text.text.end(), '\n')) + 1;
    text.textSize = {ink.width, std::max(ink.height, lines * ink_.LineHeight(text.textHeight))};
    InvalidateMark(text);
}

void CaptureWindow::EndTyping() {
    if (!typing_)
        return;
    typing_ = false;
    CaptureImage.TakeKeys(false);
    FinishLive();
}

void CaptureWindow::FinishLive() {
    if (typing_) {
        EndTyping();
        return;
    }
    if (!live_)
        return;
    Mark mark = std::move(*live_);
    const std::optional<std::size_t> index = liveIndex_;
    live_.reset();
    liveIndex_.reset();
    drag_ = Drag::None;
    InvalidateMark(mark);
    // A click without a drag makes no line, box or redaction.
    const IntPoint a = mark.points.empty() ? IntPoint{} : mark.points.front();
    const IntPoint b = mark.points.empty() ? IntPoint{} : mark.points.back();
    const bool empty = (mark.kind == MarkKind::Text && mark.text.empty()) ||
                       ((mark.kind == MarkKind::Arrow || mark.kind == MarkKind::Line) &&
                        std::hypot(b.x - a.x, b.y - a.y) < 2) ||
                       ((mark.kind == MarkKind::Rectangle || mark.kind == MarkKind::Ellipse ||
                         mark.kind == MarkKind::Redact) &&
                        (a.x == b.x || a.y == b.y));
    if (index) {
        if (*index >= marks_.Count() || marks_[*index] == mark)
            return;
        if (empty) {
            Tell(DescribeMark(marks_[*index]) + " deleted");
            marks_.Remove(*index);
            selected_.reset();
        } else {
            marks_.Replace(*index, mark);
            Tell(DescribeMark(mark));
        }
    } else if (!empty) {
        marks_.Add(mark);
        Tell(DescribeMark(mark));
    }
}

void CaptureWindow::DeleteSelectedMark() {
    if (!selected_ || *selected_ >= marks_.Count())
        return;
    InvalidateMark(marks_[*selected_]);
    Tell(DescribeMark(marks_[*selected_]) + " deleted");
    marks_.Remove(*selected_);
    selected_.reset();
    ::InvalidateRect(CaptureImage.Handle(), nullptr, FALSE);
}

void CaptureWindow::Tell(const std::string& news) {
    news_ = news;
    CaptureImage.CheckScreenReaderName();
}

void CaptureWindow::Undo() {
    FinishLive();
    const auto step = marks_.Undo();
    if (!step)
        return;
    selected_.reset();
    if (step->kind == MarkHistory::StepKind::Crop)
        RestoreCroppedImage(step->crop);
    ::InvalidateRect(CaptureImage.Handle(), nullptr, FALSE);
    Tell("undone");
}

void CaptureWindow::Redo() {
    FinishLive();
    const auto step = marks_.Redo();
    if (!step)
        return;
    selected_.reset();
    if (step->kind == MarkHistory::StepKind::Crop)
        CropImageTo(step->crop);
    ::InvalidateRect(CaptureImage.Handle(), nullptr, FALSE);
    Tell("redone");
}

// ---------------------------------------------------------------- colour and width

// The boxes show the colour of the tool's marks and the width; one the
// settings brought that they do not offer is added, as it is.
void CaptureWindow::ShowStyle() {
    auto show = [](gui::ComboBox& box, std::intptr_t value, const std::string& name) {
        for (int i = 0; i < box.Count(); ++i)
            if (box.ItemData(i) == value) {
                box.SetItemIndex(i);
                return;
            }
        box.SetItemIndex(box.AddItem(name, value));
    };
    const std::uint32_t colour = Style().ColourFor(tool_);
    show(*cbColour, static_cast<std::intptr_t>(colour), ColourName(colour));
    show(*cbWidth, Style().width, WidthName(Style().width));
}

// A pick applies to new marks, and to the selected mark.
void CaptureWindow::OnColourSelect() {
    const int index = cbColour->ItemIndex();
    if (index < 0)
        return;
    const auto colour = static_cast<std::uint32_t>(cbColour->ItemData(index));
    Style().ColourFor(tool_) = colour;
    if (selected_ && *selected_ < marks_.Count() && marks_[*selected_].colour != colour) {
        Mark changed = marks_[*selected_];
        changed.colour = colour;
        marks_.Replace(*selected_, changed);
        InvalidateMark(changed);
    }
    MarkStyleChosen();
}

void CaptureWindow::OnWidthSelect() {
    const int index = cbWidth->ItemIndex();
    if (index < 0)
        return;
    const int width = static_cast<int>(cbWidth->ItemData(index));
    Style().width = width;
    if (selected_ && *selected_ < marks_.Count() && marks_[*selected_].width != width) {
        InvalidateMark(marks_[*selected_]);
        Mark changed = marks_[*selected_];
        changed.width = width;
        marks_.Replace(*selected_, changed);
        InvalidateMark(changed);
    }
    MarkStyleChosen();
}

void CaptureWindow::MarkStyleChosen() {
    if (styleChanged_)
        styleChanged_();
}

// ---------------------------------------------------------------- painting the marks

std::vector<const Mark*> CaptureWindow::ShownMarks() const {
    return marks_.View(live_ ? &*live_ : nullptr, liveIndex_);
}

void CaptureWindow::InvalidateMark(const Mark& mark) {
    const IntRect b = MarkBounds(mark);
    // The handles and the caret reach past the mark's own pixels.
    const int margin = static_cast<int>(Tolerance(kHandleSize)) + 2;
    CaptureImage.InvalidateImage({b.left - margin, b.top - margin, b.right + margin, b.bottom + margin});
}

void CaptureWindow::PaintMarks(std::uint32_t* first, std::ptrdiff_t stride, const RECT& area) {
    const gui::Zoom& zoom = CaptureImage.CurrentZoom();
    const POINT origin = CaptureImage.ImageToClient({0, 0});
    const IntRect target = {area.left, area.top, area.right, area.bottom};
    painter_.Paint({first, stride, target}, {zoom, {origin.x, origin.y}}, ShownMarks());
    PaintSelectedMark(zoom, origin, first, stride, area);
    if (typing_)
        PaintCaret(origin, zoom, first, stride, area);
}

// The selected mark's handles (squares on its resize points) or, for a
// mark without them, a dotted frame around it: white and dark, or the two
// highlight colours in high contrast.
void CaptureWindow::PaintSelectedMark(const gui::Zoom& zoom, POINT origin, std::uint32_t* first,
                                      std::ptrdiff_t stride, const RECT& area) {
    if (!selected_ || *selected_ >= marks_.Count())
        return;
    const Mark& mark = live_ && liveIndex_ == selected_ ? *live_ : marks_[*selected_];
    const bool contrast = gui::HighContrastOn();
    const std::uint32_t inner =
        contrast ? gui::PixelOfColorRef(::GetSysColor(COLOR_HIGHLIGHTTEXT)) : 0xFFFFFFu;
    const std::uint32_t outer = contrast ? gui::PixelOfColorRef(::GetSysColor(COLOR_HIGHLIGHT)) : 0x333333u;
    auto put = [&](int x, int y, std::uint32_t colour) {
        if (x >= area.left && x < area.right && y >= area.top && y < area.bottom)
            first[(y - area.top) * stride + (x - area.left)] = colour;
    };
    auto client = [&](double x, double y) {
        return POINT{origin.x + static_cast<LONG>(std::floor(x * zoom.num / zoom.den)),
                     origin.y + static_cast<LONG>(std::floor(y * zoom.num / zoom.den))};
    };
    const std::vector<IntPoint> handles = MarkHandles(mark);
    const int half = Scale(kHandleSize) / 2;
    for (const IntPoint& h : handles) {
        const POINT c = client(h.x + 0.5, h.y + 0.5);
        for (int y = c.y - half; y <= c.y + half; ++y)
            for (int x = c.x - half; x <= c.x + half; ++x)
                put(x, y,
                    (x == c.x - half || x == c.x + half || y == c.y - half || y == c.y + half) ? outer
                                                                                               : inner);
    }
    if (!handles.empty())
        return;
    const IntRect b = MarkBounds(mark);
    const POINT tl = client(b.left, b.top), br = client(b.right, b.bottom);
    for (int x = tl.x; x < br.x; ++x) {
        put(x, tl.y - 1, (x / 3) % 2 ? outer : inner);
        put(x, br.y, (x / 3) % 2 ? outer : inner);
    }
    for (int y = tl.y; y < br.y; ++y) {
        put(tl.x - 1, y, (y / 3) % 2 ? outer : inner);
        put(br.x, y, (y / 3) % 2 ? outer : inner);
    }
}

// After the text's last character: its pixels inverted, seen on any image.
void CaptureWindow::PaintCaret(POINT origin, const gui::Zoom& zoom, std::uint32_t* first,
                               std::ptrdiff_t stride, const RECT& area) {
    if (!live_ || live_->points.empty())
        return;
    const Mark& text = *live_;
    const std::size_t lineStart = text.text.rfind('\n');
    const std::string lastLine = lineStart == std::string::npos ? text.text : text.text.substr(lineStart + 1);
    const int line = static_cast<int>(std::count(text.text.begin(), text.text.end(), '\n'));
    const int lineHeight = ink_.LineHeight(text.textHeight);
    const IntPoint p = text.points.front();
    const int x = p.x + ink_.LineWidth(lastLine, text.textHeight);
    const int top =
        origin.y + FloorDiv(static_cast<std::int64_t>(p.y + line * lineHeight) * zoom.num, zoom.den);
    const int bottom =
        origin.y + FloorDiv(static_cast<std::int64_t>(p.y + (line + 1) * lineHeight) * zoom.num, zoom.den);
    const int left = origin.x + FloorDiv(static_cast<std::int64_t>(x) * zoom.num, zoom.den);
    for (int y = std::max<int>(top, area.top); y < std::min<int>(bottom, area.bottom); ++y)
        for (int cx = std::max<int>(left, area.left); cx < std::min<int>(left + Scale(2), area.right); ++cx)
            first[(y - area.top) * stride + (cx - area.left)] ^= 0xFFFFFFu;
}

// ---------------------------------------------------------------- the mouse

void CaptureWindow::OnImageMouseDown(gui::MouseButton button, gui::ShiftState, int x, int y) {
    const IntPoint at = {x, y};
    if (tool_ == MarkTool::Select) {
        if (button == gui::MouseButton::Left && TakesPress(x, y)) {
            const std::vector<const Mark*> shown = marks_.View();
            if (selected_ && HandleAt(*shown[*selected_], at, Tolerance(kHandleTolerance))) {
                handle_ = *HandleAt(*shown[*selected_], at, Tolerance(kHandleTolerance));
                drag_ = Drag::Resize;
            } else {
                const auto hit = MarkAt(shown, at, Tolerance(kHitTolerance));
                if (selected_)
                    InvalidateMark(marks_[*selected_]);
                selected_ = hit;
                drag_ = Drag::Move;
            }
            live_ = marks_[*selected_];
            liveIndex_ = selected_;
            dragFrom_ = at;
            InvalidateMark(*live_);
            Tell(DescribeMark(*live_) + " selected");
            return;
        }
        if (selected_) {
            InvalidateMark(marks_[*selected_]);
            selected_.reset();
        }
        SelectedArea.SetBounds(x, y, 0, 0);
        SelectedArea.SetVisible(false);
        return;
    }
    if (button != gui::MouseButton::Left)
        return;
    FinishLive();
    if (tool_ == MarkTool::Text) {
        StartText(at);
        return;
    }
    StartMark(*KindOfTool(tool_), at);
}

void CaptureWindow::OnImageMouseMove(gui::ShiftState shift, int x, int y) {
    if (drag_ == Drag::None) {
        if (tool_ == MarkTool::Select && live_ == std::nullopt && IsLeftButtonAlone(shift)) {
            SelectedArea.SetVisible(true);
            SelectedArea.SetWidth(x - SelectedArea.Left());
            SelectedArea.SetHeight(y - SelectedArea.Top());
        }
        return;
    }
    if (!live_ || !(shift & gui::ssLeft))
        return;
    InvalidateMark(*live_);
    Mark& mark = *live_;
    const IntPoint at = {x, y};
    switch (drag_) {
    case Drag::Draw:
        if (mark.kind == MarkKind::Pen || mark.kind == MarkKind::Highlighter) {
            if (!(mark.points.back() == at))
                mark.points.push_back(at);
        } else if (mark.kind == MarkKind::Step) {
            mark.points.front() = at;
        } else {
            mark.points.back() = at;
        }
        break;
    case Drag::Move:
        mark = marks_[*liveIndex_];
        MoveMark(mark, x - dragFrom_.x, y - dragFrom_.y);
        break;
    case Drag::Resize:
        DragHandle(mark, handle_, at);
        break;
    case Drag::None:
        break;
    }
    InvalidateMark(mark);
}

void CaptureWindow::OnImageMouseUp(gui::MouseButton, gui::ShiftState shift, int, int) {
    if (drag_ != Drag::None) {
        if (!(shift & gui::ssLeft)) {
            const bool keepSelection = drag_ == Drag::Move || drag_ == Drag::Resize;
            FinishLive();
            if (keepSelection && selected_)
                InvalidateMark(marks_[*selected_]);
        }
        return;
    }
    if (tool_ == MarkTool::Select)
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

// ---------------------------------------------------------------- crop, save, copy, pin

// The cropped pixels become the image (the marks stay marks, moved with
// it); the image before is kept for an undo.
void CaptureWindow::CropImageTo(const IntRect& crop) {
    RemoveSelectionOverlay();
    gui::Bitmap32 cropped = ToBitmap(CopyPixels(CaptureImage.Image(), crop));
    SelectedArea.SetVisible(false);
    croppedAway_.push_back(CaptureImage.ExchangeImage(std::move(cropped))); // announces the new name
}

// Undone, a crop gives the image back with the cropped area selected.
void CaptureWindow::RestoreCroppedImage(const IntRect& crop) {
    if (croppedAway_.empty())
        return;
    gui::Bitmap32 before = std::move(croppedAway_.back());
    croppedAway_.pop_back();
    CaptureImage.SetImage(std::move(before));
    SelectedArea.SetBounds(crop.left, crop.top, crop.Width(), crop.Height());
    SelectedArea.SetVisible(true);
    UpdateSelectionOverlay();
}

void CaptureWindow::CropToSelection() {
    FinishLive();
    const IntRect r =
        RenderRect(SelectedArea.Visible(),
                   {SelectedArea.Left(), SelectedArea.Top(), SelectedArea.Width(), SelectedArea.Height()},
                   CaptureImage.ImageWidth(), CaptureImage.ImageHeight());
    if (r == IntRect{0, 0, CaptureImage.ImageWidth(), CaptureImage.ImageHeight()}) {
        RemoveSelectionOverlay();
        SelectedArea.SetVisible(false);
        CaptureImage.CheckScreenReaderName();
        return; // nothing to cut away
    }
    selected_.reset();
    marks_.Crop(r);
    CropImageTo(r);
}

void CaptureWindow::OnCropClick() {
    CropToSelection();
}

void CaptureWindow::SaveCaptureToFile() {
    FinishLive();
    const std::optional<std::string> name = AskImageFileName(SaveScreenshotDialog, *saveChoices_, Handle());
    if (!name)
        return;
    const PixelImage image = RenderSelection(FormatForFileName(*name) == ImageFormat::Jpeg);
    WriteImageFile(*name, image, *saveChoices_);
    Close();
    if (OnSaved)
        OnSaved(*name);
}

void CaptureWindow::OnSaveClick() {
    SaveCaptureToFile();
}

void CaptureWindow::CopyCaptureToClipboard() {
    CopyImageToClipboard(RenderSelection());
}

void CaptureWindow::OnCopyClick() {
    CopyCaptureToClipboard();
    Close();
}

// The selection (or the whole image) with its marks, pinned where the
// selection shows in the window.
void CaptureWindow::Pin() {
    if (!OnPin)
        return;
    const PixelImage pixels = RenderSelection();
    const IntRect r = GetSelectionRect();
    POINT at = CaptureImage.ImageToClient({r.Width() > 0 ? r.left : 0, r.Height() > 0 ? r.top : 0});
    ::ClientToScreen(CaptureImage.Handle(), &at);
    OnPin(pixels, at);
}

// ---------------------------------------------------------------- the list

CaptureWindowList::~CaptureWindowList() {
    const std::vector<CaptureWindow*> open = std::move(windows_);
    for (CaptureWindow* window : open) {
        window->OnFreed = nullptr;
        delete window;
    }
    const std::vector<PinWindow*> pins = std::move(pins_);
    for (PinWindow* pin : pins) {
        pin->OnFreed = nullptr;
        delete pin;
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
    window->OnPin = [this](const PixelImage& pixels, POINT at) { AddPin(pixels, at); };
    window->ShareSaveChoices(saveChoices_);
    window->ShareMarkStyle(Style, [this] {
        if (MarkStyleChanged)
            MarkStyleChanged(Style);
    });
    window->CaptureImage.SetImage(std::move(grab));
    window->OpenOn(monitor);
    window->Show();
    ::SetForegroundWindow(window->Handle());
    ::SetActiveWindow(window->Handle());
    return *window;
}

void CaptureWindowList::AddPin(const PixelImage& pixels, POINT at) {
    auto* pin = new PinWindow(pixels, at, saveChoices_);
    try {
        pins_.push_back(pin);
    } catch (...) {
        delete pin;
        throw;
    }
    pin->OnFreed = [this](PinWindow* freed) { std::erase(pins_, freed); };
    pin->OnSaved = [this](const std::string& file) {
        if (OnSaved)
            OnSaved(file);
    };
    pin->Show();
    ::SetForegroundWindow(pin->Handle());
}

} // namespace corvinade
