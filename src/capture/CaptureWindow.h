// CaptureWindow: the capture window. It shows a grab fitted to the window
// (or zoomed: Ctrl+0 fits, Ctrl+1 shows it 1:1, Ctrl with the wheel or
// plus and minus steps), lets the user draw a selection and adjust it,
// crops to it, saves it as JPEG, BMP or PNG, or copies it to the clipboard;
// saving or copying closes it, and it frees itself when it closes.
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
#include "gui/Controls.h"
#include "gui/FileDialog.h"
#include "gui/Form.h"
#include "gui/ImageView.h"

namespace corvinade {

// What the next save dialog offers: the folder and the type of the last
// save in any capture window (the type as a filter index: 1 JPEG, 2 BMP,
// 3 PNG); before the first, the user's Pictures and JPEG.
struct SaveChoices {
    std::string folder;
    int type = 1;
};

class CaptureWindow : public gui::Form {
public:
    // The clock of the double release on the selection (GetTickCount).
    using TickSource = std::function<std::uint32_t()>;

    explicit CaptureWindow(TickSource clock = nullptr);
    ~CaptureWindow() override;

    gui::Button btnSave, btnCopy, btnCrop;
    gui::ImageView CaptureImage;
    SelectionControl SelectedArea;
    gui::Label lblHint, lblZoom;
    gui::SaveDialog SaveScreenshotDialog;

    // Runs when the object is deleted, so whoever lists it can forget it.
    std::function<void(CaptureWindow*)> OnFreed;
    // After a save, with the file's name.
    std::function<void(const std::string& file)> OnSaved;
    // Where the save dialog's folder and type come from and go to (the
    // window keeps its own until given these).
    void ShareSaveChoices(SaveChoices& choices) { saveChoices_ = &choices; }

    // Sized to show the image 1:1 on the monitor, as far as its work area
    // allows (the image is fitted then), and centred there.
    void OpenOn(const MonitorArea& monitor);

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

    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void DpiChanged() override { LayOut(); }
    void LayOut();

    TickSource clock_;
    SelectionReleaseClock releases_;
    SaveChoices ownSaveChoices_;
    SaveChoices* saveChoices_ = &ownSaveChoices_;
};

// The capture windows the action runner owns: each one removes itself when it
// is freed; those still open go with the list.
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

    // After a save in any of them, with the file's name.
    std::function<void(const std::string& file)> OnSaved;

private:
    std::vector<CaptureWindow*> windows_;
    SaveChoices saveChoices_; // shared by the windows, for the program's run
};

} // namespace corvinade
