// SelectionControl: a windowless selection rectangle with eight resize boxes, an
// optional centre mark and info text. The user moves it by its body and
// resizes it by its boxes, never below two box sizes. Its bounds are in the
// host's coordinates (the image view's image pixels); its frame, boxes and
// zones keep their screen pixels at any zoom. A general control of its own;
// the capture window uses one as its selection.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "capture/SelectionControlGeometry.h"
#include "gui/Handles.h"
#include "gui/Windowless.h"

namespace corvinade {

// The settings of a pen, brush and font; the control makes its own GDI
// objects from them (a setter copies the settings, never takes an object).
struct TPen {
    COLORREF color = RGB(0, 0, 0);
    int style = PS_SOLID; // PS_SOLID, PS_DOT, ...
    int width = 1;
    COLORREF gapColor = RGB(255, 255, 255); // between the dots and dashes of a styled line
    bool operator==(const TPen&) const = default;
};
struct TBrush {
    COLORREF color = RGB(255, 255, 255);
    bool clear = false; // bsClear: nothing is filled
    bool operator==(const TBrush&) const = default;
};
struct TFont {
    std::string name = "Tahoma";
    int height = -11;
    COLORREF color = RGB(0, 0, 0);
    bool bold = false;
    bool operator==(const TFont&) const = default;
};

class SelectionControl : public gui::WindowlessControl {
public:
    using MouseEvent =
        std::function<void(SelectionControl& sender, gui::MouseButton, gui::ShiftState, int x, int y)>;
    using MoveEvent = std::function<void(SelectionControl& sender, gui::ShiftState, int x, int y)>;
    using NotifyEvent = std::function<void(SelectionControl& sender)>;

    explicit SelectionControl(gui::WindowlessHost& host);

    // Repaint when changed.
    const TBrush& NormalBrush() const { return normalBrush_; }
    void SetNormalBrush(const TBrush& v) { Change(normalBrush_, v); }
    const TPen& NormalPen() const { return normalPen_; }
    void SetNormalPen(const TPen& v) { Change(normalPen_, v); }
    const TBrush& NormalBoxBrush() const { return normalBoxBrush_; }
    void SetNormalBoxBrush(const TBrush& v) { Change(normalBoxBrush_, v); }
    const TPen& NormalBoxPen() const { return normalBoxPen_; }
    void SetNormalBoxPen(const TPen& v) { Change(normalBoxPen_, v); }
    const TFont& NormalDisplayFont() const { return normalFont_; }
    void SetNormalDisplayFont(const TFont& v) { Change(normalFont_, v); }
    const TFont& ActiveDisplayFont() const { return activeFont_; }
    void SetActiveDisplayFont(const TFont& v) { Change(activeFont_, v); }
    // Shown at the next repaint.
    const TBrush& ActiveBrush() const { return activeBrush_; }
    void SetActiveBrush(const TBrush& v) { activeBrush_ = v; }
    const TPen& ActivePen() const { return activePen_; }
    void SetActivePen(const TPen& v) { activePen_ = v; }
    const TBrush& ActiveBoxBrush() const { return activeBoxBrush_; }
    void SetActiveBoxBrush(const TBrush& v) { activeBoxBrush_ = v; }
    const TPen& ActiveBoxPen() const { return activeBoxPen_; }
    void SetActiveBoxPen(const TPen& v) { activeBoxPen_ = v; }

    bool ActiveBoxAnimation() const { return activeBoxAnimation_; }
    void SetActiveBoxAnimation(bool v) { Change(activeBoxAnimation_, v, true); }
    int BoxSize() const { return boxSize_; }
    void SetBoxSize(int v) { Change(boxSize_, v, true); }
    TDragBoxPos BoxPos() const { return boxPos_; }
    void SetBoxPos(TDragBoxPos v) { Change(boxPos_, v, true); }
    bool AutoHideBoxes() const { return autoHideBoxes_; }
    void SetAutoHideBoxes(bool v) { Change(autoHideBoxes_, v, true); }
    bool DisplayInfo() const { return displayInfo_; }
    void SetDisplayInfo(bool v) { Change(displayInfo_, v, true); }
    bool ActiveAnimation() const { return activeAnimation_; }
    void SetActiveAnimation(bool v) { Change(activeAnimation_, v, true); }
    TCursor DefaultCursor() const { return defaultCursor_; }
    void SetDefaultCursor(TCursor v) { defaultCursor_ = v; }
    TCenterMark CenterMark() const { return centerMark_; }
    void SetCenterMark(TCenterMark v) { Change(centerMark_, v, true); }
    int CenterMarkRadius() const { return centerMarkRadius_; }
    void SetCenterMarkRadius(int v) { Change(centerMarkRadius_, v, true); }
    const std::string& DisplayInfoFormat() const { return displayInfoFormat_; }
    void SetDisplayInfoFormat(const std::string& v) { Change(displayInfoFormat_, v, true); }
    // A copy of the bitmap is kept (null clears it).
    HBITMAP CustomCenterMark() const { return customCenterMark_.Get(); }
    void SetCustomCenterMark(HBITMAP picture);

    // The info text's values for the current bounds.
    InnerGeometry Inner() const;
    // The text as the last paint formatted it.
    const std::string& InfoText() const { return infoText_; }
    bool Hot() const { return hot_; }
    bool Dragging() const { return dragging_; }
    int DragZone() const { return dragZone_; }

    // Applies the four bounds one at a time, each only when its dimension
    // stays at least 2 * BoxSize as shown.
    void SetBoundsChecked(int left, int top, int width, int height);

    MouseEvent OnMouseDown, OnMouseUp;
    MoveEvent OnMouseMove;
    NotifyEvent OnMouseEnter, OnMouseLeave, OnResize, OnPaint;

protected:
    // The drawing steps.
    virtual void DrawFrame(HDC dc, const IntRect& rect);
    virtual void DrawCenterMark(HDC dc, TCenterMark mark);
    virtual void DrawBoxes(HDC dc);

    void Paint(HDC dc) override;
    void MouseDown(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseMove(gui::ShiftState, int x, int y) override;
    void MouseUp(gui::MouseButton, gui::ShiftState, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void BoundsChanged() override;

private:
    template <class T> void Change(T& field, const T& value, bool always = true) {
        if (field == value)
            return;
        field = value;
        if (always)
            Invalidate();
    }
    void DrawInfoText(HDC dc, const TBrush& frameBrush, int penWidth);
    void ApplyZone(int x, int y);
    void SetBoundsOneByOne(const Bounds& now, const Bounds& next);
    // A mouse point (client pixels from the shown corner) on the host's
    // coordinates, from the control's corner; the box size there.
    IntPoint HostOffset(int x, int y) const;
    int HostBoxSize() const;

    TBrush normalBrush_, activeBrush_, normalBoxBrush_, activeBoxBrush_;
    TPen normalPen_, activePen_, normalBoxPen_, activeBoxPen_;
    TFont normalFont_, activeFont_;
    bool activeBoxAnimation_ = false;
    int boxSize_ = 5;
    TDragBoxPos boxPos_ = dbpInside;
    bool autoHideBoxes_ = false;
    bool displayInfo_ = false;
    bool activeAnimation_ = false;
    TCursor defaultCursor_ = crSizeAll;
    TCenterMark centerMark_ = cmNone;
    int centerMarkRadius_ = 5;
    std::string displayInfoFormat_ = "w: %w h: %h l: %l t: %t";
    gui::GdiObject<HBITMAP> customCenterMark_;

    bool hot_ = false;
    bool dragging_ = false;
    int dragZone_ = BodyZone;
    IntPoint dragStart_{};
    std::string infoText_;
};

// The system cursor for a cursor number (crSizeAll, crSizeNWSE, ...).
HCURSOR SystemCursor(TCursor cursor);

} // namespace corvinade
