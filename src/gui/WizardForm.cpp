// The wizard frame; see WizardForm.h.
#include "gui/WizardForm.h"

#include <algorithm>

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

// The page's controls from its top to the lowest one's bottom, and a margin.
int ContentHeight(const Panel& page) {
    constexpr int Margin = 8;
    int bottom = 0;
    for (const Control* child : page.Children()) {
        const ControlArgs& d = child->Design();
        int height = d.height;
        if (height <= 0) { // sized to its text
            RECT r = {};
            ::GetWindowRect(child->Handle(), &r);
            height = ::MulDiv(r.bottom - r.top, DesignDpi, page.Dpi());
        }
        bottom = std::max(bottom, d.top + height);
    }
    return bottom + Margin;
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
            .position = position,
            .minClientWidth = ClientWidth,
            .minClientHeight = BottomHeight + 100}),
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

// The pages are measured once the derived wizard has made them all: while
// its members are made, a page may not be whole yet.
void WizardForm::Created() {
    ready_ = true;
    Realign();
}

void WizardForm::Realign() {
    if (ready_ && !fitting_) {
        fitting_ = true;
        FitHeight();
        fitting_ = false;
    }
    Form::Realign();
}

void WizardForm::FitHeight() {
    int content = 0;
    for (int i = 0; i < pcClient.PageCount(); ++i) {
        Panel& page = pcClient.Page(i);
        const int height = ContentHeight(page);
        if (page.ScrollMinimum().cy != height)
            page.SetScrollMinimum({0, height});
        content = std::max(content, height);
    }
    // In pixels, so that the page gets its content's height whole.
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    const int room = client.bottom - Scale(BottomHeight) - Scale(content);
    int band = std::clamp(room * DesignDpi / Dpi(), 0, int{TopHeight});
    if (band > 0 && Scale(band) > room)
        --band;
    if (band != pnlTop.Design().height) {
        pnlTop.Place(0, 0, ClientWidth, band);
        ExtendGlass();
    }
}

void WizardForm::MakeHeading(Label& label) {
    label.SetFont(HeadingFont());
    label.SetFontColor(RGB(49, 105, 198));
}

// No glass in high contrast: the band takes the system's colour, and the
// heading its text colour (the controls drop their own colours then).
void WizardForm::ExtendGlass() {
    const bool wanted = !HighContrastOn() && CompositionEnabled();
    glass_ = ExtendFrame(Handle(), wanted ? Scale(pnlTop.Design().height) : 0) && wanted;
    ::InvalidateRect(pnlTop.Handle(), nullptr, TRUE);
}

void WizardForm::GoToPage(int index) {
    pcClient.SetActivePageIndex(index);
    UpdateWizardButtons();
}

void WizardForm::UpdateWizardButtons() {
    btnNext.SetCaption(OnLastPage() ? "&Finish" : "&Next");
    const bool next = !OnLastPage() || !CanFinish || CanFinish();
    const bool previous = pcClient.ActivePageIndex() > 0;
    // The focus never stays on a disabled button.
    if (!next && btnNext.Focused())
        (previous ? btnPrevious : btnCancel).SetFocus();
    if (!previous && btnPrevious.Focused())
        (next ? btnNext : btnCancel).SetFocus();
    btnNext.SetEnabled(next);
    btnPrevious.SetEnabled(previous);
}

bool WizardForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg == kCompositionChanged || msg == WM_SETTINGCHANGE)
        ExtendGlass();
    if (msg == WM_SHOWWINDOW && wParam) // the pages are complete by now
        Realign();
    return false;
}

} // namespace corvinade::gui
