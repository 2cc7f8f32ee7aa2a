// The tray overview window; see TrayPanel.h.
#include "ui/TrayPanel.h"

#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "app/ActionText.h"
#include "app/HotkeyService.h"
#include "app/PanelLayout.h"
#include "components/TrayTip.h"
#include "core/ProgramRules.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Contrast.h"
#include "gui/Dialogs.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "ui/UpdateFlow.h"

namespace corvinade {

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
constexpr int BandMargin = 3;       // a selected row's band reaches this far beyond its text
constexpr char FailedSign[] = "! "; // before a failed hotkey where colours are the system's
// In the header row, right of its three headings and left of the close button.
constexpr int PausedLeft = 378, PausedWidth = 162;
constexpr int PausedIconIndex = 1;

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

PanelRect ToPanelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

std::unique_ptr<gui::ImageList> MakeTrayImages() {
    auto list = std::make_unique<gui::ImageList>(16, 16);
    gui::UniqueIcon own(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    if (!own || !list->AddIcon(own.Get()))
        list->AddIcon(::LoadIconW(nullptr, ResourceId(IDI_APPLICATION)));
    list->AddPausedCopy(0); // PausedIconIndex
    return list;
}

} // namespace

TrayPanel::TrayPanel(HotkeyService& hotkeys, UpdateCheckFlow& updateCheck)
    : gui::Form(MainFormArgs()), hotkeys_(hotkeys), updateCheck_(updateCheck),
      hideFormTimer_(HideFormTimerInterval, [this](TSimpleTimer&) { HideUnlessInUse(); }) {
    SetOpacity(InitialOpacity);
    border_ = std::make_unique<PanelBorder>(Host(), layer_);
    border_->OnMouseEnter = [this] { OnBorderMouseEnter(); };
    border_->OnMouseLeave = [this] { OnBorderMouseLeave(); };
    closeButton_ = std::make_unique<PanelButton>(Host(), layer_, LabelArgs{548, 8, 22, 20, "X"});
    closeButton_->SetFont("Arial", 11, fsBold);
    closeButton_->OnClick = [this] { OnCloseClick(); };
    manageHotkeysLink_ =
        MakeLink({8, DesignHeight - LinkBottomOffset, 0, 13, "Manage hotkeys"}, TAlignment::taLeftJustify);
    manageHotkeysLink_->OnClick = [this] { OpenSettings(); };
    checkForUpdatesLink_ = MakeLink({469, DesignHeight - LinkBottomOffset, 102, 13, "Check for updates"},
                                    TAlignment::taRightJustify);
    checkForUpdatesLink_->OnClick = [this] { OnCheckForUpdatesClick(); };
    LayOutAnchored();

    trayImages_ = MakeTrayImages();
    // "Settings..." is what a double click on the icon does: the default item.
    trayPopup_ = std::make_unique<TPopupMenu>();
    trayPopup_->AddItem(
        "&Settings...", [this] { OpenSettings(); }, true);
    trayPopup_->AddItem("Show &hotkeys", [this] { OnTrayIconClick(); });
    pauseItem_ = trayPopup_->Count();
    trayPopup_->AddItem("&Pause hotkeys", [this] { OnPauseClick(); });
    trayPopup_->AddItem("-", nullptr);
    trayPopup_->AddItem("E&xit", [this] { OnExitClick(); });

    trayIcon_ = std::make_unique<TTrayIcon>(this);
    trayIcon_->SetIconList(trayImages_.get());
    trayIcon_->SetIconIndex(0);
    trayIcon_->SetCycleInterval(0);
    trayIcon_->PopupMenu = trayPopup_.get();
    trayIcon_->MinimizeToTray = true;
    trayIcon_->OnClick = [this] { OnTrayIconClick(); };
    trayIcon_->OnKeySelect = [this] { OnTrayIconKeySelect(); };
    trayIcon_->OnBalloonHintClick = [this] {
        if (const std::function<void()> click = std::exchange(balloonClick_, nullptr))
            click();
    };
    trayIcon_->SetIconVisible(true);
    trayIcon_->SetCallbackVersion(NOTIFYICON_VERSION_4);

    OnShortcutKey = [this](WPARAM key) { return PanelKey(key); };
    OnShow = [this] { Shown(); };
    OnHide = [this] { Hidden(); };
    Initialize();
    trayIcon_->Loaded();
}

TrayPanel::~TrayPanel() {
    StopFollowingHotkeys();
    // The base destructor destroys the window; were it still visible then,
    // its hide handler would run on members already gone. Hide it while
    // they are whole, and let no event reach this form afterwards.
    if (Visible())
        Hide();
    OnCreate = OnShow = OnHide = OnClose = OnDestroy = nullptr;
    ClearHotkeyOverview();
    SetHideFormTimer(false);
    trayIcon_.reset();
    trayPopup_.reset();
    trayImages_.reset();
}

std::unique_ptr<PanelLink> TrayPanel::MakeLink(const LabelArgs& args, TAlignment alignment) {
    auto link = std::make_unique<PanelLink>(Host(), layer_, args);
    link->SetAlignment(alignment);
    // The look of the system's link control in the other windows:
    // underlined, the same under the pointer (the colours: ApplyColours).
    link->SetFontStyle(fsUnderline);
    link->HoverStyle = fsUnderline;
    link->SetCursor(::LoadCursorW(nullptr, ResourceId(IDC_HAND)));
    link->SetAutoSize(true);
    return link;
}

void TrayPanel::Initialize() {
    trayIcon_->SetHint(TipText());
    ApplyColours();
}

void TrayPanel::FollowHotkeys() {
    if (!following_) {
        subscription_ = hotkeys_.Document().Subscribe([this] { HotkeysChanged(); });
        following_ = true;
    }
    HotkeysChanged();
}

void TrayPanel::StopFollowingHotkeys() {
    if (following_)
        hotkeys_.Document().Unsubscribe(subscription_);
    following_ = false;
}

// The tip counts the live hotkeys; a panel on the screen shows the new list
// with the focus on the hotkey it was on, wherever that is now (or on none),
// or on the link or button it was on.
void TrayPanel::HotkeysChanged() {
    trayIcon_->SetHint(TipText());
    if (!Visible())
        return;
    const int rowsBefore = HotkeyRowCount(), focusBefore = std::exchange(focus_, -1);
    const std::uint32_t focusedEntry =
        focusBefore >= 0 && focusBefore < rowsBefore ? rowIds_[static_cast<std::size_t>(focusBefore)] : 0;
    const RECT before = Bounds();
    BuildHotkeyOverview();
    const int height = Scale(PanelHeight(HotkeyRowCount()));
    SetBounds(before.left, before.bottom - height, before.right - before.left, height);
    LayOutAnchored();
    if (focusedEntry != 0) {
        const auto row = std::find(rowIds_.begin(), rowIds_.end(), focusedEntry);
        if (row != rowIds_.end())
            MoveFocus(static_cast<int>(row - rowIds_.begin()));
    } else if (focusBefore >= rowsBefore) {
        MoveFocus(HotkeyRowCount() + focusBefore - rowsBefore);
    }
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

std::string TrayPanel::TipText() const {
    return paused_ ? gui::App().Title() + ": hotkeys paused"
                   : TrayHintText(gui::App().Title(), hotkeys_.ActiveHotkeys().Count());
}

void TrayPanel::ShowPaused(bool paused) {
    paused_ = paused;
    trayPopup_->SetChecked(pauseItem_, paused);
    const bool pausedIcon = paused && trayImages_->Count() > PausedIconIndex;
    trayIcon_->SetIconIndex(pausedIcon ? PausedIconIndex : 0);
    trayIcon_->SetHint(TipText());
    if (Visible())
        BuildHotkeyOverview();
}

void TrayPanel::OnPauseClick() {
    hotkeys_.TogglePause();
}

// The system's colours, read again when they change. The links are drawn in
// the colour the system's link control uses (the highlight colour; Wine's
// "hot light" is a grey), in high contrast in the theme's link colour; the
// border then in the text colour.
void TrayPanel::ApplyColours() {
    const COLORREF link = gui::ContrastColor(::GetSysColor(COLOR_HIGHLIGHT), COLOR_HOTLIGHT);
    for (PanelLink* label : {manageHotkeysLink_.get(), checkForUpdatesLink_.get()}) {
        label->SetFontColor(link);
        label->HoverColor = link;
        label->SetColor(::GetSysColor(COLOR_INFOBK));
    }
    border_->PenColor = gui::ContrastColor(::GetSysColor(COLOR_3DDKSHADOW), COLOR_INFOTEXT);
    border_->Invalidate();
    for (std::size_t r = 0; r < overviewLabels_.size(); ++r)
        ColourRow(r);
    if (pausedLine_) {
        pausedLine_->SetColor(::GetSysColor(COLOR_INFOBK));
        pausedLine_->SetFontColor(::GetSysColor(COLOR_INFOTEXT));
    }
    if (failedLegend_) {
        failedLegend_->SetColor(::GetSysColor(COLOR_INFOBK));
        failedLegend_->SetFontColor(gui::ContrastColor(FailedColor, COLOR_INFOTEXT));
    }
}

// The focused row in the selection colours; a failed hotkey's cell in red.
void TrayPanel::ColourRow(std::size_t row) {
    OverviewRow& cells = overviewLabels_[row];
    const bool selected = row > 0 && focus_ == static_cast<int>(row) - 1;
    for (std::size_t c = 0; c < cells.cells.size(); ++c) {
        PanelLabel& cell = *cells.cells[c];
        cell.SetColor(::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_INFOBK));
        COLORREF text = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_INFOTEXT);
        if (cells.failed && c == 0 && !selected)
            text = gui::ContrastColor(FailedColor, COLOR_INFOTEXT);
        cell.SetFontColor(text);
    }
}

// Opaque in high contrast: what shows through would blur the contrast.
void TrayPanel::SetOpacity(BYTE alpha) {
    ::SetLayeredWindowAttributes(Handle(), 0, gui::HighContrastOn() ? 255 : alpha, LWA_ALPHA);
}

void TrayPanel::SetHideFormTimer(bool enabled) {
    hideFormTimer_.SetRunning(enabled);
}

// The border shape fills the client area; the links keep their distance to
// the bottom edge.
void TrayPanel::LayOutAnchored() {
    const SIZE client = ClientSize();
    border_->SetBounds(0, 0, client.cx, client.cy);
    const int linkTop = client.cy - Scale(LinkBottomOffset);
    manageHotkeysLink_->SetTop(linkTop);
    checkForUpdatesLink_->SetTop(linkTop);
}

void TrayPanel::ClearHotkeyOverview() {
    for (const OverviewRow& row : overviewLabels_)
        for (const auto& label : row.cells)
            label->Invalidate();
    overviewLabels_.clear();
    if (failedLegend_)
        failedLegend_->Invalidate();
    failedLegend_.reset();
    if (pausedLine_)
        pausedLine_->Invalidate();
    pausedLine_.reset();
}

// Only the hotkey's own cell changes, to bold red, in place (without
// colours, to bold with a sign before it); the legend takes the free middle
// of the footer. A screen reader hears it at the end of the row.
void TrayPanel::MarkFailedHotkeys(const THotkeyList& hotkeys) {
    bool anyFailed = false;
    const bool withSign = gui::HighContrastOn();
    for (int i = 0; i < hotkeys.Count(); ++i) {
        if (LiveItemFault(hotkeys, i) == RegistrationFault::None)
            continue;
        OverviewRow& row = overviewLabels_[static_cast<std::size_t>(i) + 1];
        row.failed = true;
        row.name += ", not registered";
        PanelLabel& cell = *row.cells[0];
        cell.SetFontStyle(fsBold);
        if (withSign)
            cell.SetCaption(FailedSign + cell.Caption());
        anyFailed = true;
    }
    if (!anyFailed)
        return;
    failedLegend_ = std::make_unique<PanelLabel>(
        Host(), layer_,
        LabelArgs{LegendLeft, PanelHeight(hotkeys.Count()) - LinkBottomOffset, LegendWidth, OverviewRowHeight,
                  withSign ? "Hotkeys marked ! could not be registered."
                           : "Hotkeys in red could not be registered."});
}

bool TrayPanel::ShowBalloon(const std::string& title, const std::string& text) {
    balloonClick_ = nullptr;
    return trayIcon_->ShowBalloonHint(title, text, NIIF_WARNING);
}

bool TrayPanel::ShowInformation(const std::string& title, const std::string& text,
                                std::function<void()> onClick) {
    balloonClick_ = std::move(onClick);
    return trayIcon_->ShowBalloonHint(title, text, NIIF_INFO);
}

// One row of labels per live hotkey (the active entries of the document, in
// its order), the columns sized to what they hold.
void TrayPanel::BuildHotkeyOverview() {
    ClearHotkeyOverview();
    THotkeyList& hotkeys = hotkeys_.ActiveHotkeys();
    const int n = hotkeys.Count();
    overviewLabels_.resize(static_cast<std::size_t>(n) + 1);
    rowIds_.clear();
    static const char* const headers[] = {"Hotkey", "Action", "Parameters"};
    std::array<int, 3> need = {0, 0, 0};
    for (int r = 0; r <= n; ++r) {
        OverviewRow& row = overviewLabels_[static_cast<std::size_t>(r)];
        std::array<std::string, 3> texts = {headers[0], headers[1], headers[2]};
        if (r > 0) {
            const THotKeyData& d = hotkeys.Items(r - 1)->Definition;
            texts = {hotkeys_.HotkeyText(d.Key, d.Shift), ActionDisplayName(d.Func),
                     LineBreaksAsSpaces(!d.Params2.empty() && ActionHasParams2(d.Func)
                                            ? d.Params + ", " + d.Params2
                                            : d.Params)};
            // The rule first: a long parameter is cut at the cell's end.
            if (const std::string rule = RuleText(d.OnlyIn, d.NotIn); !rule.empty())
                texts[2] = texts[2].empty() ? rule : rule + ": " + texts[2];
            rowIds_.push_back(hotkeys_.Document().ActiveEntryId(r - 1));
        }
        for (std::size_t c = 0; c < 3; ++c) {
            auto label = std::make_unique<PanelLabel>(Host(), layer_, LabelArgs{0, 0, 0, OverviewRowHeight});
            label->SetEndEllipsis(true);    // one line per hotkey, cut with a sign
            label->SetShowAccelChar(false); // data: "a&b" shows as it is
            if (r == 0)
                label->SetFontStyle(fsBold);
            label->SetCaption(texts[c]);
            need[c] = std::max(need[c], label->DesignTextWidth());
            row.cells[c] = std::move(label);
        }
        if (r > 0) {
            row.name = texts[0] + ", " + texts[1];
            if (!texts[2].empty())
                row.name += ", " + texts[2];
        }
    }
    MarkFailedHotkeys(hotkeys); // a bold cell is wider
    for (const OverviewRow& row : overviewLabels_)
        need[0] = std::max(need[0], row.cells[0]->DesignTextWidth());
    const std::array<PanelColumn, 3> columns = PanelColumns(need, DesignWidth);
    for (int r = 0; r <= n; ++r)
        for (std::size_t c = 0; c < 3; ++c) {
            PanelLabel& cell = *overviewLabels_[static_cast<std::size_t>(r)].cells[c];
            // A heading no wider than its text: the close button sits at the
            // header row's end.
            const int width = r == 0 ? std::min(columns[c].width, cell.DesignTextWidth()) : columns[c].width;
            cell.Place(columns[c].left, OverviewRowTop(r), width, OverviewRowHeight);
        }
    if (paused_) {
        pausedLine_ = std::make_unique<PanelLabel>(
            Host(), layer_,
            LabelArgs{PausedLeft, OverviewHeaderTop, PausedWidth, OverviewRowHeight, "Hotkeys are paused"});
        pausedLine_->SetAlignment(TAlignment::taRightJustify);
        pausedLine_->SetFontStyle(fsBold);
    }
    if (focus_ >= PartCount())
        focus_ = -1;
    ApplyColours();
    accessible_.ContentChanged();
}

void TrayPanel::OnTrayIconClick() {
    if (Visible())
        Hide(); // a second click closes the panel
    else
        ShowPanel();
}

// Enter or Space on the icon: the panel with the focus on its first part.
void TrayPanel::OnTrayIconKeySelect() {
    if (!Visible())
        ShowPanel();
    keyboard_ = true;
    ::SetForegroundWindow(Handle());
    ::SetFocus(Handle());
    MoveFocus(0);
}

void TrayPanel::ShowPanel() {
    BuildHotkeyOverview();
    const int height = Scale(PanelHeight(OverviewRowCount() - 1));
    LocateTaskbar();
    const RECT bounds = Bounds();
    const int width = bounds.right - bounds.left;
    if (auto at = PanelPosition(taskbar_, width, height))
        SetBounds(at->x, at->y, width, height);
    Show();
    SetHideFormTimer(true);
}

void TrayPanel::Shown() {
    BuildHotkeyOverview();
    ::SetForegroundWindow(gui::App().Handle());
    SetOpacity(ShownOpacity);
    ::SetForegroundWindow(Handle());
    ::BringWindowToTop(Handle());
    gui::App().HideTaskbarButton();
}

void TrayPanel::Hidden() {
    SetHideFormTimer(false);
    focus_ = -1;
    keyboard_ = false;
    ClearHotkeyOverview();
    gui::App().HideTaskbarButton();
}

void TrayPanel::OpenSettings() {
    if (OnOpenSettings)
        OnOpenSettings();
    Hide();
}

void TrayPanel::OnExitClick() {
    gui::App().Terminate();
}

void TrayPanel::OnCloseClick() {
    Hide();
}

void TrayPanel::OnBorderMouseEnter() {
    SetHideFormTimer(false);
    SetHideFormTimer(true);
    SetOpacity(ShownOpacity);
}

void TrayPanel::OnBorderMouseLeave() {
    // Onto a label, a link or the button, which lie above the shape.
    if (IsCursorOverPanel())
        return;
    SetHideFormTimer(false);
    SetHideFormTimer(true);
    SetOpacity(DimmedOpacity);
}

void TrayPanel::HideUnlessInUse() {
    if (keyboard_ || IsCursorOverPanel() || IsCursorOverTaskbar())
        return;
    SetHideFormTimer(false);
    Hide();
}

void TrayPanel::OnCheckForUpdatesClick() {
    updateCheck_.Check(Handle());
}

// The taskbar's edge and rectangle in screen pixels. A failed query, or an
// answer less than 2 pixels thick, gives the strip the work area leaves
// free instead (or, with none, a bar one tray-icon row thick along the
// named edge), so the panel never lands off screen or on the tray icon.
void TrayPanel::LocateTaskbar() {
    APPBARDATA data = {};
    data.cbSize = sizeof data; // 36 bytes
    const bool answered = ::SHAppBarMessage(ABM_GETTASKBARPOS, &data) != 0;
    RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const PanelRect screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    std::optional<Taskbar> answer;
    if (answered)
        answer = Taskbar{static_cast<int>(data.uEdge), ToPanelRect(data.rc)};
    // One row of tray icons: a small icon with 2 pixels around it.
    const int iconRow = ::GetSystemMetrics(SM_CYSMICON) + 4;
    taskbar_ = EffectiveTaskbar(answer, screen, ToPanelRect(work), iconRow);
}

// Strictly inside the client area while the panel shows.
bool TrayPanel::IsCursorOverPanel() const {
    POINT p = {};
    if (!Visible() || !::GetCursorPos(&p) || !::ScreenToClient(Handle(), &p))
        return false;
    const SIZE size = ClientSize();
    return CursorOverClient(p.x, p.y, size.cx, size.cy);
}

bool TrayPanel::IsCursorOverTaskbar() const {
    POINT p = {};
    return ::GetCursorPos(&p) && StrictlyInside(taskbar_.rect, p.x, p.y);
}

void TrayPanel::InvalidateHostRect(const RECT& area) {
    ::InvalidateRect(Handle(), &area, FALSE);
}

void TrayPanel::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    PaintArea(dc, ps.rcPaint);
    ::EndPaint(Handle(), &ps);
}

void TrayPanel::PaintArea(HDC dc, const RECT& area) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_INFOBK));
    if (focus_ >= 0 && focus_ < HotkeyRowCount()) {
        const RECT band = RowBand(focus_);
        ::FillRect(dc, &band, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    layer_.Paint(dc, area, 0, 0);
    if (focus_ >= 0 && ::GetFocus() == Handle()) {
        const RECT around = PartRect(focus_);
        ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_INFOBK));
        ::DrawFocusRect(dc, &around);
    }
}

// --- The keyboard --------------------------------------------------------------

bool TrayPanel::PanelKey(WPARAM key) {
    const int rows = HotkeyRowCount();
    const bool onRow = focus_ >= 0 && focus_ < rows;
    switch (key) {
    case VK_ESCAPE:
        Hide();
        return true;
    case VK_DOWN:
    case VK_UP:
        if (rows > 0)
            MoveFocus(!onRow ? 0 : std::clamp(focus_ + (key == VK_DOWN ? 1 : -1), 0, rows - 1));
        return true;
    case VK_HOME:
    case VK_END:
        if (rows > 0)
            MoveFocus(key == VK_HOME ? 0 : rows - 1);
        return true;
    case VK_TAB:
        MoveFocus(NextTabStop(::GetKeyState(VK_SHIFT) < 0));
        return true;
    case VK_RETURN:
    case VK_SPACE:
        if (focus_ >= 0)
            Activate(focus_);
        return true;
    }
    return false;
}

// The rows are one tab stop, as a list is (entered at the first row); then
// the two links and the button, round again.
int TrayPanel::NextTabStop(bool back) const {
    const int rows = HotkeyRowCount(), last = PartCount() - 1;
    if (focus_ < 0)
        return back ? last : 0;
    if (!back)
        return focus_ == last ? 0 : std::max(focus_ + 1, rows);
    if (focus_ == 0 || focus_ < rows)
        return last;
    return focus_ == rows ? 0 : focus_ - 1;
}

void TrayPanel::MoveFocus(int part) {
    if (part < 0 || part >= PartCount())
        return;
    keyboard_ = true;
    const int before = std::exchange(focus_, part);
    for (int changed : {before, part})
        if (changed >= 0) {
            if (changed < HotkeyRowCount())
                ColourRow(static_cast<std::size_t>(changed) + 1);
            RECT area = PartRect(changed);
            ::InflateRect(&area, 1, 1);
            ::InvalidateRect(Handle(), &area, FALSE);
        }
    accessible_.FocusMoved(part);
    if (part < HotkeyRowCount())
        accessible_.SelectionMoved(part);
}

void TrayPanel::Activate(int part) {
    const int rows = HotkeyRowCount();
    if (part < rows)
        EditRow(part);
    else if (part == rows)
        OpenSettings();
    else if (part == rows + 1)
        OnCheckForUpdatesClick();
    else
        OnCloseClick();
}

// The entry the row shows, as the panel last built it.
void TrayPanel::EditRow(int row) {
    if (OnEditHotkey && row >= 0 && row < static_cast<int>(rowIds_.size()))
        OnEditHotkey(rowIds_[static_cast<std::size_t>(row)]);
    Hide();
}

RECT TrayPanel::RowBand(int row) const {
    const int top = OverviewRowTop(row + 1) - BandMargin;
    const SIZE client = ClientSize();
    return {Scale(BandMargin), Scale(top), client.cx - Scale(BandMargin),
            Scale(top + OverviewRowHeight + 2 * BandMargin)};
}

RECT TrayPanel::PartRect(int part) const {
    const int rows = HotkeyRowCount();
    if (part < rows)
        return RowBand(part);
    const gui::WindowlessControl& control =
        part == rows       ? static_cast<const gui::WindowlessControl&>(*manageHotkeysLink_)
        : part == rows + 1 ? static_cast<const gui::WindowlessControl&>(*checkForUpdatesLink_)
                           : *closeButton_;
    RECT area = control.Area();
    ::InflateRect(&area, Scale(2), Scale(1));
    return area;
}

// Driven by the keyboard, the panel goes when the user turns to another
// program, as a menu does.
void TrayPanel::Deactivated() {
    if (keyboard_ && Visible())
        Hide();
}

// --- Screen readers ------------------------------------------------------------

std::optional<std::string> TrayPanel::AccessibleName() const {
    return paused_ ? "Active hotkeys, paused" : "Active hotkeys";
}

std::optional<long> TrayPanel::AccessibleRole() const {
    return ROLE_SYSTEM_TABLE;
}

std::vector<gui::AccessibleElement> TrayPanel::AccessibleElements() const {
    std::vector<gui::AccessibleElement> parts;
    const long focusable = STATE_SYSTEM_FOCUSABLE;
    for (int r = 0; r < HotkeyRowCount(); ++r) {
        const long selected = r == focus_ ? STATE_SYSTEM_SELECTED : 0;
        parts.push_back({overviewLabels_[static_cast<std::size_t>(r) + 1].name, ROLE_SYSTEM_ROW,
                         focusable | STATE_SYSTEM_SELECTABLE | selected, "Edit", RowBand(r)});
    }
    for (const PanelLink* link : {manageHotkeysLink_.get(), checkForUpdatesLink_.get()})
        parts.push_back(
            {link->Caption(), ROLE_SYSTEM_LINK, focusable | STATE_SYSTEM_LINKED, "Jump", link->Area()});
    parts.push_back({"Close", ROLE_SYSTEM_PUSHBUTTON, focusable, "Press", closeButton_->Area()});
    return parts;
}

void TrayPanel::Mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
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

void TrayPanel::DpiChanged() {
    closeButton_->DpiChanged();
    manageHotkeysLink_->DpiChanged();
    checkForUpdatesLink_->DpiChanged();
    if (Visible()) { // the rows and the height at the new size, in place
        const RECT before = Bounds();
        BuildHotkeyOverview();
        const int height = Scale(PanelHeight(OverviewRowCount() - 1));
        SetBounds(before.left, before.bottom - height, before.right - before.left, height);
    }
    LayOutAnchored();
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

bool TrayPanel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (hostMouse_.HandleMessage(Handle(), layer_, msg, lParam, result))
        return true;
    switch (msg) {
    case WM_PAINT:
        Paint();
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PRINTCLIENT: { // a picture of the panel, without the screen's blending
        const SIZE client = ClientSize();
        PaintArea(reinterpret_cast<HDC>(wParam), {0, 0, client.cx, client.cy});
        return true;
    }
    case WM_SIZE:
        LayOutAnchored();
        return false;
    case WM_GETOBJECT:
        return accessible_.Answer(wParam, lParam, result);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (focus_ >= 0) // the focus frame comes and goes with the focus
            ::InvalidateRect(Handle(), nullptr, FALSE);
        return false;
    case WM_ACTIVATEAPP: // another program's window, not a passing one of ours
        if (!wParam)
            Deactivated();
        return false;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        ApplyColours();
        if (Visible()) {
            BuildHotkeyOverview(); // the failed mark follows high contrast
            SetOpacity(ShownOpacity);
        }
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
