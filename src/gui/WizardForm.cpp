// The wizard frame; see WizardForm.h.
#include "gui/WizardForm.h"

#include "gui/Contrast.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

constexpr UINT kCompositionChanged = 0x031E; // WM_DWMCOMPOSITIONCHANGED

struct Margins {
    int left, right, top, bottom;
};

// The desktop window manager is looked up when first needed: it is missing
// before Vista, and Wine has no composition.
bool CompositionEnabled() {
    using IsEnabled = HRESULT(WINAPI*)(BOOL*);
    static const auto isEnabled = FindSystemFunction<IsEnabled>("dwmapi.dll", "DwmIsCompositionEnabled");
    BOOL enabled = FALSE;
    return isEnabled && SUCCEEDED(isEnabled(&enabled)) && enabled;
}

bool ExtendFrame(HWND window, int top) {
    using Extend = HRESULT(WINAPI*)(HWND, const Margins*);
    static const auto extend = FindSystemFunction<Extend>("dwmapi.dll", "DwmExtendFrameIntoClientArea");
    const Margins margins = {0, 0, top, 0};
    return extend && SUCCEEDED(extend(window, &margins));
}

} // namespace

WizardForm::WizardForm(const std::string& caption, HWND owner, Position position)
    : Form({.clientWidth = ClientWidth,
            .clientHeight = ClientHeight,
            .caption = caption,
            .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
            .exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
            .owner = owner,
            .position = position}),
      pnlTop(*this, {.width = ClientWidth, .height = TopHeight, .align = Align::Top}),
      pnlClient(
          *this,
          {.width = ClientWidth, .height = ClientHeight - TopHeight - BottomHeight, .align = Align::Client}),
      pnlBottom(*this, {.width = ClientWidth, .height = BottomHeight, .align = Align::Bottom}),
      BottomLine(pnlBottom, {.width = ClientWidth, .height = 2, .anchors = akLeft | akTop | akRight}),
      pcClient(
          pnlClient,
          {.width = ClientWidth, .height = ClientHeight - TopHeight - BottomHeight, .align = Align::Client},
          false),
      btnPrevious(pnlBottom, {.left = 325, .top = 8, .width = 75, .height = 25, .caption = "&Previous"}),
      btnNext(pnlBottom, {.left = 406, .top = 8, .width = 75, .height = 25, .caption = "&Next"}),
      btnCancel(pnlBottom, {.left = 487, .top = 8, .width = 75, .height = 25, .caption = "Cancel"}) {
    pnlClient.SetSystemColor(COLOR_WINDOW);
    btnPrevious.SetEnabled(false);
    SetDefaultButton(&btnNext);
    SetCancelButton(&btnCancel);
    pnlTop.OnPaint = [this](HDC dc, const RECT& client) {
        // Black is where the glass shows through.
        ::FillRect(dc, &client, glass_ ? static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)) : pnlTop.Brush());
    };
    ExtendGlass();
}

void WizardForm::MakeHeading(Label& label) {
    label.SetFont(HeadingFont());
    label.SetFontColor(RGB(49, 105, 198));
}

// No glass in high contrast: the band takes the system's colour, and the
// heading its text colour (the controls drop their own colours then).
void WizardForm::ExtendGlass() {
    const bool wanted = !HighContrastOn() && CompositionEnabled();
    glass_ = ExtendFrame(Handle(), wanted ? Scale(TopHeight) : 0) && wanted;
    ::InvalidateRect(pnlTop.Handle(), nullptr, TRUE);
}

void WizardForm::GoToPage(int index) {
    pcClient.SetActivePageIndex(index);
    UpdateWizardButtons();
}

void WizardForm::UpdateWizardButtons() {
    btnNext.SetCaption(OnLastPage() ? "&Finish" : "&Next");
    const bool previous = pcClient.ActivePageIndex() > 0;
    if (!previous && btnPrevious.Focused())
        btnNext.SetFocus(); // the focus never stays on a disabled button
    btnPrevious.SetEnabled(previous);
}

bool WizardForm::HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == kCompositionChanged || msg == WM_SETTINGCHANGE)
        ExtendGlass();
    return false;
}

} // namespace corvinade::gui
