// CaptureWindow: the capture window. It shows a grab, lets the user draw a
// selection and adjust it, crops to it, saves it as JPEG or BMP, or copies
// it to the clipboard; saving or copying closes it, and it frees itself
// when it closes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "capture/BmpFile.h"
#include "capture/CaptureTarget.h"
#include "capture/SelectionControl.h"
#include "capture/SelectionGeometry.h"
#include "gui/Button.h"
#include "gui/FileDialog.h"
#include "gui/Form.h"
#include "gui/ImageView.h"

namespace corvinade {

class CaptureWindow : public gui::Form {
public:
    // The clock of the double release on the selection (GetTickCount).
    using TickSource = std::function<std::uint32_t()>;

    explicit CaptureWindow(TickSource clock = nullptr);
    ~CaptureWindow() override;

    gui::Button btnSave, btnCopy, btnCrop;
    gui::ImageView CaptureImage;
    SelectionControl SelectedArea;
    gui::SaveDialog SaveScreenshotDialog;

    // Runs when the object is deleted, so whoever lists it can forget it.
    std::function<void(CaptureWindow*)> OnFreed;

    // GetSelectionRect, RenderSelection: the part of the image that save,
    // copy and crop work on, and its pixels.
    IntRect GetSelectionRect() const;
    PixelImage RenderSelection() const;

private:
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
    void OnSaveDialogTypeChange();
    bool ShortcutKey(WPARAM key);

    void ApplyColours();
    std::uint32_t DimShade() const;
    std::string CaptureImageName() const;

    void UpdateSelectionOverlay();
    void RemoveSelectionOverlay();
    void NormalizeSelection();
    void CropToSelection();
    void SaveCaptureToFile();
    void CopyCaptureToClipboard();

    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override { LayOut(); }
    void LayOut();

    TickSource clock_;
    SelectionReleaseClock releases_;
};

// The capture windows the action runner owns: each one removes itself when it
// is freed; those still open go with the list.
class CaptureWindowList {
public:
    CaptureWindowList() = default;
    CaptureWindowList(const CaptureWindowList&) = delete;
    CaptureWindowList& operator=(const CaptureWindowList&) = delete;
    ~CaptureWindowList();

    // A new window for the grab, at the work-area origin of the grab's
    // monitor and laid out at its dpi, shown and brought to the front with
    // the focus.
    CaptureWindow& Open(gui::Bitmap32 grab, const MonitorArea& monitor);
    std::size_t Count() const { return windows_.size(); }

private:
    std::vector<CaptureWindow*> windows_;
};

} // namespace corvinade
