// CaptureWindow: the capture window. It shows a grab fitted to the window
// (or zoomed: Ctrl+0 fits, Ctrl+1 shows it 1:1, Ctrl with the wheel or
// plus and minus steps), lets the user draw a selection and adjust it, mark
// the image up (arrows, boxes, ellipses, lines, pen and highlighter, text,
// numbered steps, redactions, each tool with its letter; the marks stay
// editable, every step can be undone), crops to the selection, saves it as
// JPEG, BMP or PNG, copies it to the clipboard or pins it to the screen;
// saving or copying closes it, and it frees itself when it closes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/BmpFile.h"
#include "capture/CaptureTarget.h"
#include "capture/ImageOutput.h"
#include "capture/MarkRender.h"
#include "capture/MarkTools.h"
#include "capture/Marks.h"
#include "capture/SelectionControl.h"
#include "capture/SelectionGeometry.h"
#include "capture/TextInk_win.h"
#include "gui/Button.h"
#include "gui/Controls.h"
#include "gui/FileDialog.h"
#include "gui/Form.h"
#include "gui/ImageView.h"
#include "gui/ToolTip.h"

namespace corvinade {

class PinWindow;

class CaptureWindow : public gui::Form {
public:
    // The clock of the double release on the selection (GetTickCount).
    using TickSource = std::function<std::uint32_t()>;

    explicit CaptureWindow(TickSource clock = nullptr);
    ~CaptureWindow() override;

    gui::Button btnSave, btnCopy, btnPin, btnCrop;
    gui::ImageView CaptureImage;
    SelectionControl SelectedArea;
    gui::Label lblHint, lblZoom;
    // Made after the others, in the tab order: the tools (in MarkTools()
    // order), the colour and the width.
    std::vector<std::unique_ptr<gui::ToolButton>> ToolButtons;
    std::unique_ptr<gui::ComboBox> cbColour, cbWidth;
    gui::SaveDialog SaveScreenshotDialog;

    // Runs when the object is deleted, so whoever lists it can forget it.
    std::function<void(CaptureWindow*)> OnFreed;
    // After a save, with the file's name.
    std::function<void(const std::string& file)> OnSaved;
    // A pin of these pixels, its top-left corner at a screen point; without
    // it the window has no pins to give.
    std::function<void(const PixelImage& pixels, POINT at)> OnPin;
    // Where the save dialog's folder and type come from and go to (the
    // window keeps its own until given these).
    void ShareSaveChoices(SaveChoices& choices) { saveChoices_ = &choices; }
    // The colour and width new marks take, shared with the other windows;
    // `changed` runs when the user picks another.
    void ShareMarkStyle(MarkStyle& style, std::function<void()> changed);

    // Sized to show the image 1:1 on the monitor, as far as its work area
    // allows (the image is fitted then), and centred there.
    void OpenOn(const MonitorArea& monitor);

    // GetSelectionRect, RenderSelection: the part of the image that save,
    // copy and crop work on, and its pixels with the marks (for JPEG the
    // redactions cover whole blocks).
    IntRect GetSelectionRect() const;
    PixelImage RenderSelection(bool forJpeg = false);

    // The tool in use; the keys, the buttons and a program pick it alike.
    MarkTool Tool() const { return tool_; }
    void SetTool(MarkTool tool);
    const MarkHistory& Marks() const { return marks_; }
    // The mark selected with the select tool.
    std::optional<std::size_t> SelectedMark() const { return selected_; }
    void Undo();
    void Redo();
    void Pin();

private:
    enum class Drag { None, Draw, Move, Resize };

    void Initialize();
    void Closed();
    void OnCropClick();
    void OnSaveClick();
    void OnCopyClick();
    void OnImageMouseDown(gui::MouseButton, gui::ShiftState, int x, int y);
    void OnImageMouseMove(gui::ShiftState, int x, int y);
    void OnImageMouseUp(gui::MouseButton, gui::ShiftState, int x, int y);
    void OnSelectionMouseDown();
    void OnSelectionMouseUp();
    void OnColourSelect();
    void OnWidthSelect();
    bool ShortcutKey(WPARAM key);
    bool ZoomKey(WPARAM key);
    // Where a zoom by the keys keeps its point: the pointer over the image,
    // else the middle of the view.
    POINT ZoomAnchor() const;
    void ShowZoom();

    void ApplyColours();
    std::uint32_t DimShade() const;
    std::string CaptureImageName() const;

    void UpdateSelectionOverlay();
    void RemoveSelectionOverlay();
    void NormalizeSelection();
    void CropToSelection();
    void SaveCaptureToFile();
    void CopyCaptureToClipboard();

    // Marks: what the mouse does with each tool, the text being typed, and
    // painting them over the image as it is shown.
    bool TakesPress(int x, int y) const;
    HCURSOR CursorOver(int x, int y) const;
    double Tolerance(int screenPixels) const;
    bool StepTool(bool forward);
    void StartMark(MarkKind kind, IntPoint at);
    void StartText(IntPoint at);
    void TypeCharacter(wchar_t unit);
    void EndTyping();
    // What is being drawn, dragged or typed becomes a step (or is dropped).
    void FinishLive();
    void DeleteSelectedMark();
    void Tell(const std::string& news);
    void MarkStyleChosen();
    void ShowStyle();
    MarkStyle& Style() { return *style_; }
    std::vector<const Mark*> ShownMarks() const;
    void PaintMarks(std::uint32_t* first, std::ptrdiff_t stride, const RECT& area);
    void PaintSelectedMark(const gui::Zoom& zoom, POINT origin, std::uint32_t* first, std::ptrdiff_t stride,
                           const RECT& area);
    void PaintCaret(POINT origin, const gui::Zoom& zoom, std::uint32_t* first, std::ptrdiff_t stride,
                    const RECT& area);
    void InvalidateMark(const Mark& mark);
    void RestoreCroppedImage(const IntRect& crop);
    void CropImageTo(const IntRect& crop);

    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override { LayOut(); }
    void LayOut();
    // The toolbar's controls flowed into rows as wide as the client area
    // (placed there when `apply`); its height in design pixels.
    int PlaceToolbar(int designWidth, bool apply);
    int DesignWidth(int pixels) const;

    TickSource clock_;
    SelectionReleaseClock releases_;
    SaveChoices ownSaveChoices_;
    SaveChoices* saveChoices_ = &ownSaveChoices_;
    MarkStyle ownStyle_;
    MarkStyle* style_ = &ownStyle_;
    std::function<void()> styleChanged_;
    gui::ToolTips tips_;

    MarkTool tool_ = MarkTool::Select;
    MarkHistory marks_;
    GdiTextInk ink_;
    MarkPainter painter_{&ink_};
    // What the mouse or the keyboard is making: a mark drawn, moved,
    // resized or typed, shown in place of `liveIndex_` (none: a new one).
    Drag drag_ = Drag::None;
    std::optional<Mark> live_;
    std::optional<std::size_t> liveIndex_;
    std::size_t handle_ = 0;
    IntPoint dragFrom_{};
    bool typing_ = false;
    wchar_t highSurrogate_ = 0;
    std::optional<std::size_t> selected_;
    // The images crops took away, the latest last: undoing a crop brings it back.
    std::vector<gui::Bitmap32> croppedAway_;
    std::string news_; // the last thing done to the marks, for screen readers
};

// The capture windows the action runner owns, and their pins: each one
// removes itself when it is freed; those still open go with the list.
class CaptureWindowList {
public:
    CaptureWindowList() = default;
    CaptureWindowList(const CaptureWindowList&) = delete;
    CaptureWindowList& operator=(const CaptureWindowList&) = delete;
    ~CaptureWindowList();

    // A new window for the grab on the grab's monitor (see OpenOn), laid out
    // at its dpi, shown and brought to the front with the focus.
    CaptureWindow& Open(gui::Bitmap32 grab, const MonitorArea& monitor);
    std::size_t Count() const { return windows_.size(); }
    std::size_t PinCount() const { return pins_.size(); }

    // What new marks are made with, for every window; MarkStyleChanged runs
    // after the user picked another colour or width in any of them.
    MarkStyle Style;
    std::function<void(const MarkStyle&)> MarkStyleChanged;
    // After a save in any of them or their pins, with the file's name.
    std::function<void(const std::string& file)> OnSaved;

private:
    void AddPin(const PixelImage& pixels, POINT at);

    std::vector<CaptureWindow*> windows_;
    std::vector<PinWindow*> pins_;
    SaveChoices saveChoices_; // shared by the windows, for the program's run
};

} // namespace corvinade
