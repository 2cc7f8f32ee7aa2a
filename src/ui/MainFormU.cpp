// The tray overview window; see MainFormU.h.
#include "ui/MainFormU.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

#include "app/ActionText.h"
#include "app/PanelLayout.h"
#include "app/datau.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "ui/ProgramWindows.h"
#include "ui/UpdateFlow.h"

namespace corvinade {

TMainForm* MainForm = nullptr;

namespace {

constexpr int DesignWidth = 579;
constexpr int DesignHeight = 291;
constexpr std::uint32_t HideFormTimerInterval = 1000;
constexpr BYTE InitialOpacity = 200, ShownOpacity = 240, DimmedOpacity = 180;
constexpr int ColumnStep = 130;
constexpr int LinkBottomOffset = 21; // link tops lie this far above the bottom edge
const COLORREF FailedColor = RGB(192, 0, 0);
constexpr int LegendLeft = 138; // under the action column, between the links
constexpr int LegendWidth = 320;

gui::FormArgs MainFormArgs() {
    gui::FormArgs args;
    args.clientWidth = DesignWidth;
    args.clientHeight = DesignHeight;
    args.caption = "Corvinade";
    args.style = WS_POPUP;
    // A tool window never gets a taskbar button.
    args.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED;
    return args;
}

std::unique_ptr<gui::ImageList> MakeTrayImages() {
    auto list = std::make_unique<gui::ImageList>(16, 16);
    gui::UniqueIcon own(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    if (!own || !list->AddIcon(own.Get()))
        list->AddIcon(::LoadIconW(nullptr, ResourceId(IDI_APPLICATION)));
    return list;
}

} // namespace

TMainForm::TMainForm()
    : gui::Form(MainFormArgs()),
      hideFormTimer_(HideFormTimerInterval, [this](TSimpleTimer&) { HideFormTimerTimer(); }) {
    SetOpacity(InitialOpacity);
    shape1_ = std::make_unique<TShape>(Host(), layer_);
    shape1_->OnMouseEnter = [this] { Shape1MouseEnter(); };
    shape1_->OnMouseLeave = [this] { Shape1MouseLeave(); };
    speedButton1_ = std::make_unique<TSpeedButton>(Host(), layer_, LabelArgs{548, 8, 22, 20, "X"});
    speedButton1_->SetFont("Arial", 11, fsBold);
    speedButton1_->OnClick = [this] { SpeedButton1Click(); };
    bLabel1_ =
        MakeLink({8, DesignHeight - LinkBottomOffset, 0, 13, "Manage hotkeys"}, TAlignment::taLeftJustify);
    bLabel1_->OnClick = [this] { Settings1Click(); };
    lblCheckForUpdates_ = MakeLink({469, DesignHeight - LinkBottomOffset, 102, 13, "Check for updates"},
                                   TAlignment::taRightJustify);
    lblCheckForUpdates_->OnClick = [this] { lblCheckForUpdatesClick(); };
    LayOutAnchored();

    trayImages_ = MakeTrayImages();
    trayPopup_ = std::make_unique<TPopupMenu>();
    trayPopup_->AddItem("Settings...", [this] { Settings1Click(); });
    trayPopup_->AddItem("Show hotkeys...", [this] { TrayIconClick(); });
    trayPopup_->AddItem("-", nullptr);
    trayPopup_->AddItem("Exit", [this] { Exit1Click(); });

    trayIcon_ = std::make_unique<TTrayIcon>(this);
    trayIcon_->SetIconList(trayImages_.get());
    trayIcon_->SetIconIndex(0);
    trayIcon_->SetCycleInterval(0);
    trayIcon_->PopupMenu = trayPopup_.get();
    trayIcon_->MinimizeToTray = true;
    trayIcon_->OnClick = [this] { TrayIconClick(); };
    trayIcon_->OnDblClick = [this] { Settings1Click(); };
    trayIcon_->SetIconVisible(true);

    OnShow = [this] { FormShow(); };
    OnHide = [this] { FormHide(); };
    FormCreate();
    trayIcon_->Loaded();
}

TMainForm::~TMainForm() {
    // The base destructor destroys the window; were it still visible then,
    // its hide handler would run on members already gone. Hide it while
    // they are whole, and let no event reach this form afterwards.
    if (Visible())
        Hide();
    OnCreate = OnShow = OnHide = OnClose = OnDestroy = nullptr;
    FormDestroy();
    SetHideFormTimer(false);
    trayIcon_.reset();
    trayPopup_.reset();
    trayImages_.reset();
}

std::unique_ptr<TBLabel> TMainForm::MakeLink(const LabelArgs& args, TAlignment alignment) {
    auto link = std::make_unique<TBLabel>(Host(), layer_, args);
    link->SetAlignment(alignment);
    // The look of the system's link control in the other windows:
    // underlined, in the colour it draws links in (the highlight colour;
    // Wine's "hot light" is a grey), the same under the pointer.
    link->SetFontStyle(fsUnderline);
    link->SetFontColor(::GetSysColor(COLOR_HIGHLIGHT));
    link->SetColor(::GetSysColor(COLOR_INFOBK));
    link->HoverStyle = fsUnderline;
    link->HoverColor = ::GetSysColor(COLOR_HIGHLIGHT);
    link->SetCursor(::LoadCursorW(nullptr, ResourceId(IDC_HAND)));
    link->SetAutoSize(true);
    return link;
}

void TMainForm::FormCreate() {
    trayIcon_->SetHint(gui::App().Title());
}

void TMainForm::FormDestroy() {
    ClearHotkeyOverview();
}

void TMainForm::SetOpacity(BYTE alpha) {
    ::SetLayeredWindowAttributes(Handle(), 0, alpha, LWA_ALPHA);
}

void TMainForm::SetHideFormTimer(bool enabled) {
    hideFormTimer_.SetRunning(enabled);
}

// The border shape fills the client area; the links keep their distance to
// the bottom edge.
void TMainForm::LayOutAnchored() {
    const SIZE client = ClientSize();
    shape1_->SetBounds(0, 0, client.cx, client.cy);
    const int linkTop = client.cy - Scale(LinkBottomOffset);
    bLabel1_->SetTop(linkTop);
    lblCheckForUpdates_->SetTop(linkTop);
}

void TMainForm::ClearHotkeyOverview() {
    for (const OverviewRow& row : overviewLabels_)
        for (const auto& label : row)
            label->Invalidate();
    overviewLabels_.clear();
    if (failedLegend_)
        failedLegend_->Invalidate();
    failedLegend_.reset();
}

// Only the hotkey's own cell changes, to bold red, in place; the
// legend takes the free middle of the footer.
void TMainForm::MarkFailedHotkeys(const THotkeyList& hotkeys) {
    bool anyFailed = false;
    for (int i = 0; i < hotkeys.Count(); ++i) {
        if (LiveItemFault(hotkeys, i) == RegistrationFault::None)
            continue;
        TLabel& cell = *overviewLabels_[static_cast<std::size_t>(i) + 1][0];
        cell.SetFontColor(FailedColor);
        cell.SetFontStyle(fsBold);
        anyFailed = true;
    }
    if (!anyFailed)
        return;
    failedLegend_ = std::make_unique<TLabel>(
        Host(), layer_,
        LabelArgs{LegendLeft, PanelHeight(hotkeys.Count()) - LinkBottomOffset, LegendWidth, OverviewRowHeight,
                  "Hotkeys in red could not be registered."});
    failedLegend_->SetColor(::GetSysColor(COLOR_INFOBK));
    failedLegend_->SetFontColor(FailedColor);
}

bool TMainForm::ShowBalloon(const std::string& title, const std::string& text) {
    return trayIcon_->ShowBalloonHint(title, text, NIIF_WARNING);
}

void TMainForm::BuildHotkeyOverview() {
    ClearHotkeyOverview();
    THotkeyList& hotkeys = Data->ActiveHotkeys();
    const int n = hotkeys.Count();
    overviewLabels_.resize(static_cast<std::size_t>(n) + 1);
    static const char* const headers[] = {"Hotkey", "Action", "Parameters"};
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c < 3; ++c) {
            auto label = std::make_unique<TLabel>(
                Host(), layer_,
                LabelArgs{OverviewLeft + ColumnStep * c, OverviewHeaderTop, 100, OverviewRowHeight});
            label->SetEndEllipsis(true);    // one line per hotkey, cut with a sign
            label->SetShowAccelChar(false); // data: "a&b" shows as it is
            label->SetColor(::GetSysColor(COLOR_INFOBK));
            label->SetFontColor(::GetSysColor(COLOR_INFOTEXT));
            if (r == 0) {
                label->SetFontStyle(fsBold);
                label->SetCaption(headers[c]);
            }
            overviewLabels_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = std::move(label);
        }
    const int parameterWidth = DesignWidth - 284;
    for (int i = 0; i < n; ++i) {
        const THotKeyData& d = hotkeys.Items(i)->Definition;
        OverviewRow& row = overviewLabels_[static_cast<std::size_t>(i) + 1];
        const int top = OverviewRowTop(i + 1);
        row[0]->Place(8, top, 120, OverviewRowHeight);
        row[0]->SetCaption(Data->HotkeyText(d.Key, d.Shift));
        row[1]->Place(138, top, 120, OverviewRowHeight);
        row[1]->SetCaption(ActionDisplayName(d.Func));
        row[2]->Place(268, top, parameterWidth, OverviewRowHeight);
        row[2]->SetCaption(LineBreaksAsSpaces(
            !d.Params2.empty() && ActionHasParams2(d.Func) ? d.Params + ", " + d.Params2 : d.Params));
    }
    MarkFailedHotkeys(hotkeys);
}

void TMainForm::TrayIconClick() {
    if (Visible()) {
        Hide(); // a second click closes the panel
        return;
    }
    BuildHotkeyOverview();
    const int height = Scale(PanelHeight(OverviewRowCount() - 1));
    Data->GetTaskbarPos();
    const RECT bounds = Bounds();
    const int width = bounds.right - bounds.left;
    const RECT& bar = Data->TaskbarRect;
    if (auto at =
            PanelPosition({Data->TaskbarEdge, {bar.left, bar.top, bar.right, bar.bottom}}, width, height))
        SetBounds(at->x, at->y, width, height);
    Show();
    SetHideFormTimer(true);
}

void TMainForm::FormShow() {
    BuildHotkeyOverview();
    ::SetForegroundWindow(gui::App().Handle());
    SetOpacity(ShownOpacity);
    ::SetForegroundWindow(Handle());
    ::BringWindowToTop(Handle());
    gui::App().HideTaskbarButton();
}

void TMainForm::FormHide() {
    SetHideFormTimer(false);
    ClearHotkeyOverview();
    gui::App().HideTaskbarButton();
}

void TMainForm::Settings1Click() {
    if (ProgramWindows)
        ProgramWindows->ShowSettings();
    Hide();
}

void TMainForm::Exit1Click() {
    gui::App().Terminate();
}

void TMainForm::SpeedButton1Click() {
    Hide();
}

void TMainForm::Shape1MouseEnter() {
    SetHideFormTimer(false);
    SetHideFormTimer(true);
    SetOpacity(ShownOpacity);
}

void TMainForm::Shape1MouseLeave() {
    // Onto a label, a link or the button, which lie above the shape.
    if (Data->IsCursorOverForm(*this))
        return;
    SetHideFormTimer(false);
    SetHideFormTimer(true);
    SetOpacity(DimmedOpacity);
}

void TMainForm::HideFormTimerTimer() {
    if (Data->IsCursorOverForm(*this) || Data->IsCursorOverTaskbar())
        return;
    SetHideFormTimer(false);
    Hide();
}

void TMainForm::lblCheckForUpdatesClick() {
    UpdateCheck->Check(Handle());
}

void TMainForm::InvalidateHostRect(const RECT& area) {
    ::InvalidateRect(Handle(), &area, FALSE);
}

void TMainForm::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    ::FillRect(dc, &ps.rcPaint, ::GetSysColorBrush(COLOR_INFOBK));
    layer_.Paint(dc, ps.rcPaint, 0, 0);
    ::EndPaint(Handle(), &ps);
}

void TMainForm::Mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const gui::ShiftState shift = gui::ShiftFromKeys(wParam);
    switch (msg) {
    case WM_MOUSEMOVE:
        hostMouse_.Moved(Handle());
        layer_.MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        layer_.MouseDown(gui::MouseButton::Left, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
        layer_.MouseDown(gui::MouseButton::Right, shift, x, y);
        break;
    case WM_LBUTTONUP:
        layer_.MouseUp(gui::MouseButton::Left, shift, x, y);
        break;
    case WM_RBUTTONUP:
        layer_.MouseUp(gui::MouseButton::Right, shift, x, y);
        break;
    }
}

void TMainForm::DpiChanged() {
    speedButton1_->DpiChanged();
    bLabel1_->DpiChanged();
    lblCheckForUpdates_->DpiChanged();
    if (Visible()) { // the rows and the height at the new size, in place
        const RECT before = Bounds();
        BuildHotkeyOverview();
        const int height = Scale(PanelHeight(OverviewRowCount() - 1));
        SetBounds(before.left, before.bottom - height, before.right - before.left, height);
    }
    LayOutAnchored();
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

bool TMainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (hostMouse_.HandleMessage(Handle(), layer_, msg, lParam, {0, 0}, result))
        return true;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SIZE:
        LayOutAnchored();
        return false;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        Mouse(msg, wParam, lParam);
        return true;
    }
    return false;
}

} // namespace corvinade
