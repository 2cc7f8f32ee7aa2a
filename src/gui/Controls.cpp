// Child controls and containers; see Controls.h.
#include "gui/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <set>

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Accessible.h"
#include "gui/Button.h"
#include "gui/Contrast.h"
#include "gui/Form.h"
#include "gui/Guarded.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

// The drop-down part of a combo box: eight rows of the default font, as the
// designed height gives only the closed box.
constexpr int kDropDownRows = 8;
constexpr int kDropDownRowHeight = 13;

// Control identifiers are unique among the live controls of the process, so
// that a dialog key finds a button by its identifier in any window; 1 and 2
// (IDOK, IDCANCEL) and the low numbers the system's dialogs use are never
// given. After a long run the numbers start over, skipping those in use.
constexpr int FirstControlId = 1000, LastControlId = 0xFFF0;

std::set<int>& ControlIdsInUse() {
    static std::set<int> ids;
    return ids;
}

int NextControlId() {
    static int next = FirstControlId;
    std::set<int>& inUse = ControlIdsInUse();
    if (inUse.size() > static_cast<std::size_t>(LastControlId - FirstControlId))
        throw Error("Too many controls");
    while (inUse.count(next))
        next = next >= LastControlId ? FirstControlId : next + 1;
    const int id = next;
    inUse.insert(id);
    next = next >= LastControlId ? FirstControlId : next + 1;
    return id;
}

// On a memory DC: the measure is the same, and a window's DC costs a trip
// to the display server (a window lays out all its labels at every resize).
SIZE TextExtent(HWND, HFONT font, const std::string& text, UINT format) {
    MemoryDC dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), font);
    RECT r = {0, 0, 0, 0};
    ::DrawTextW(dc.Get(), text.empty() ? L" " : Wide(text).c_str(), -1, &r, format | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace

// ---------------------------------------------------------------- Control

Control::Control(Container& parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                 const ControlArgs& args)
    : parent_(&parent), id_(NextControlId()), design_(args) {
    const SIZE designSize = parent.DesignClientSize();
    parentDesignWidth_ = designSize.cx;
    parentDesignHeight_ = designSize.cy;
    // The common controls load with the first control a window makes.
    static const bool classesReady =
        (InitCommonControlClasses(ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS), true);
    (void)classesReady;
    HWND window = ::CreateWindowExW(exStyle, windowClass, Wide(args.caption).c_str(),
                                    style | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent.ContainerWindow(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (!window)
        throw Error("Cannot create a control of class " + Utf8(windowClass));
    Subclass(window);
    parent.AddChild(this);
    ApplyFont();
    LayOutAgain();
}

void Control::LayOutAgain() {
    if (!parent_)
        return;
    if (design_.align != Align::None) {
        parent_->Realign();
        return;
    }
    LayOut(parent_->LayoutArea());
}

Control::~Control() {
    ControlIdsInUse().erase(id_);
    if (parent_)
        parent_->RemoveChild(this);
    if (window_) {
        HWND window = window_;
        Forget();
        ::DestroyWindow(window);
    }
}

Control* Control::FromHandle(HWND window) {
    return dynamic_cast<Control*>(Window::FromHandle(window));
}

Form* Control::RootForm() const {
    return parent_ ? parent_->RootForm() : nullptr;
}

int Control::Dpi() const {
    return parent_ ? parent_->Dpi() : ScreenDpi();
}

int Control::Scale(int designPixels) const {
    return gui::Scale(designPixels, Dpi());
}

void Control::SetCaption(const std::string& caption) {
    ::SetWindowTextW(window_, Wide(caption).c_str());
    if (design_.width <= 0 || design_.height <= 0)
        LayOutAgain(); // sized to its text
}

std::string Control::Caption() const {
    return WindowText(window_);
}

std::string Control::PlainCaption() const {
    const std::string caption = Caption();
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i; // "&&" reads as one "&"
        plain += caption[i];
    }
    return plain;
}

void Control::SetEnabled(bool enabled) {
    ::EnableWindow(window_, enabled);
}

bool Control::Enabled() const {
    return ::IsWindowEnabled(window_) != FALSE;
}

void Control::SetVisible(bool visible) {
    if (visible == Visible())
        return;
    HWND focus = ::GetFocus();
    const bool hadFocus = !visible && focus && (focus == window_ || ::IsChild(window_, focus));
    ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    if (hadFocus) // hand the focus on to the next control, as a dialog does
        if (HWND next = ::GetNextDlgTabItem(::GetAncestor(window_, GA_ROOT), window_, FALSE);
            next && next != window_)
            ::SetFocus(next);
    if (design_.align != Align::None && parent_)
        parent_->Realign();
}

bool Control::Visible() const {
    return (::GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::SetFocus() {
    ::SetFocus(window_);
}

bool Control::Focused() const {
    return window_ && ::GetFocus() == window_;
}

void Control::Place(int left, int top, int width, int height) {
    design_.left = left;
    design_.top = top;
    design_.width = width;
    design_.height = height;
    if (!parent_)
        return;
    const SIZE designSize = parent_->DesignClientSize();
    parentDesignWidth_ = designSize.cx;
    parentDesignHeight_ = designSize.cy;
    LayOutAgain();
}

void Control::SetAlign(Align align) {
    design_.align = align;
    if (parent_)
        parent_->Realign();
}

void Control::SetAnchors(Anchors anchors) {
    design_.anchors = anchors;
}

// One axis: the pixel start and length from the design and the anchors.
static void AnchorAxis(bool nearEdge, bool farEdge, int designStart, int designLength, int parentDesign,
                       int parentPixels, int dpi, int& start, int& length) {
    const int farGap = parentDesign - designStart - designLength;
    length = Scale(designLength, dpi);
    if (nearEdge && farEdge) {
        start = Scale(designStart, dpi);
        length = std::max(0, parentPixels - start - Scale(farGap, dpi));
    } else if (farEdge) {
        start = parentPixels - Scale(farGap, dpi) - length;
    } else {
        start = Scale(designStart, dpi);
    }
}

void Control::LayOut(const RECT& area) {
    if (!window_)
        return;
    const int dpi = Dpi();
    int left = 0, top = 0, width = 0, height = 0;
    const int designHeight = design_.height + ExtraDesignHeight();
    AnchorAxis(design_.anchors & akLeft, design_.anchors & akRight, design_.left, design_.width,
               parentDesignWidth_, area.right - area.left, dpi, left, width);
    AnchorAxis(design_.anchors & akTop, design_.anchors & akBottom, design_.top, designHeight,
               parentDesignHeight_, area.bottom - area.top, dpi, top, height);
    left += area.left;
    top += area.top;
    if (design_.width <= 0 || design_.height <= 0) {
        const SIZE preferred = PreferredSize();
        if (design_.width <= 0)
            width = preferred.cx;
        if (design_.height <= 0)
            height = preferred.cy;
    }
    switch (design_.align) {
    case Align::None:
        break;
    case Align::Top:
    case Align::Bottom:
        left = area.left;
        width = area.right - area.left;
        if (design_.align == Align::Bottom)
            top = area.bottom - height;
        else
            top = area.top;
        break;
    case Align::Left:
    case Align::Right:
        top = area.top;
        height = area.bottom - area.top;
        left = design_.align == Align::Right ? area.right - width : area.left;
        break;
    case Align::Client:
        left = area.left;
        top = area.top;
        width = area.right - area.left;
        height = area.bottom - area.top;
        break;
    }
    width = std::max(0, width);
    height = std::max(0, height);
    // Laying out hundreds of rows again moves few of them: skip the others.
    RECT now = {};
    ::GetWindowRect(window_, &now);
    ::MapWindowPoints(nullptr, ::GetParent(window_), reinterpret_cast<POINT*>(&now), 2);
    if (now.left == left && now.top == top && now.right - now.left == width && now.bottom - now.top == height)
        return;
    ::SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetFont(const FontDesign& font) {
    font_ = font;
    ApplyFont();
    if (design_.width <= 0 || design_.height <= 0)
        LayOutAgain(); // sized to its text in the new font
}

void Control::SetFontColor(COLORREF color) {
    fontColor_ = color;
    if (window_)
        ::InvalidateRect(window_, nullptr, TRUE);
}

HFONT Control::CurrentFont() const {
    return Font(font_ ? *font_ : FontDesign{}, Dpi());
}

void Control::ApplyFont() {
    if (window_)
        ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(CurrentFont()), TRUE);
}

void Control::DpiChanged() {
    ApplyFont();
}

HBRUSH Control::CtlColor(HDC dc) {
    if (!parent_)
        return nullptr;
    ::SetBkColor(dc, parent_->Color());
    if (fontColor_ && !HighContrastOn())
        ::SetTextColor(dc, *fontColor_);
    return parent_->Brush();
}

class Control::NamedAccessible final : public AccessibleContent {
public:
    NamedAccessible(HWND window, std::function<std::string()> name)
        : name_(std::move(name)), window_(window, *this) {}
    std::optional<std::string> AccessibleName() const override { return name_(); }
    AccessibleWindow& Window() { return window_; }

private:
    std::function<std::string()> name_;
    AccessibleWindow window_;
};

void Control::SetAccessibleName(std::function<std::string()> name) {
    accessibleName_ = std::make_unique<NamedAccessible>(window_, std::move(name));
}

LRESULT Control::WindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    const bool handled = msg == WM_GETOBJECT && accessibleName_
                             ? accessibleName_->Window().Answer(wParam, lParam, result)
                             : ControlMessage(msg, wParam, lParam, result);
    return handled ? result : DefaultHandling(msg, wParam, lParam);
}

// -------------------------------------------------------------- Container

Container::~Container() {
    for (Control* child : children_)
        child->parent_ = nullptr;
}

void Container::RemoveChild(Control* control) {
    std::erase(children_, control);
}

// In high contrast a colour of our own gives way to the system's.
COLORREF Container::Color() const {
    if (color_ && !HighContrastOn())
        return *color_;
    if (systemColor_)
        return ::GetSysColor(*systemColor_);
    if (Container* parent = ParentContainer())
        return parent->Color();
    return ::GetSysColor(COLOR_BTNFACE);
}

HBRUSH Container::Brush() const {
    if (color_ && !HighContrastOn()) {
        if (!ownBrush_)
            ownBrush_.Reset(::CreateSolidBrush(*color_));
        return ownBrush_.Get();
    }
    if (systemColor_)
        return ::GetSysColorBrush(*systemColor_);
    if (Container* parent = ParentContainer())
        return parent->Brush();
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

void Container::SetColor(COLORREF color) {
    ownBrush_.Reset();
    color_ = color;
    systemColor_.reset();
    Repaint();
}

void Container::SetSystemColor(int index) {
    color_.reset();
    systemColor_ = index;
    Repaint();
}

// Children showing the parent's colour follow it.
void Container::Repaint() {
    if (HWND window = ContainerWindow())
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Container::SetDefaultButton(Button* button) {
    if (defaultButton_ && defaultButton_ != button)
        defaultButton_->SetDefaultLook(false);
    defaultButton_ = button;
    if (button)
        button->SetDefaultLook(true);
}

RECT Container::AlignArea() const {
    return LayoutArea();
}

RECT Container::LayoutArea() const {
    RECT area = {};
    ::GetClientRect(ContainerWindow(), &area);
    if (const int width = Scale(scrollMinimum_.cx); scrollMinimum_.cx > 0 && area.right < width) {
        area.left = -scroll_.x;
        area.right = area.left + width;
    }
    if (const int height = Scale(scrollMinimum_.cy); scrollMinimum_.cy > 0 && area.bottom < height) {
        area.top = -scroll_.y;
        area.bottom = area.top + height;
    }
    return area;
}

void Container::SetScrollMinimum(SIZE design) {
    scrollMinimum_ = design;
    Realign();
}

// Showing or hiding a bar changes the client area (and sends WM_SIZE, which
// lays out again): measured again until it stays.
void Container::UpdateScrollBars() {
    if (updatingScroll_ || !Scrolls())
        return;
    updatingScroll_ = true;
    HWND window = ContainerWindow();
    for (int pass = 0; pass < 3; ++pass) {
        RECT client = {};
        ::GetClientRect(window, &client);
        const struct {
            int bar, minimum, page;
            LONG& position;
        } axes[] = {
            {SB_HORZ, scrollMinimum_.cx > 0 ? Scale(scrollMinimum_.cx) : 0, client.right, scroll_.x},
            {SB_VERT, scrollMinimum_.cy > 0 ? Scale(scrollMinimum_.cy) : 0, client.bottom, scroll_.y}};
        for (const auto& axis : axes) {
            axis.position = std::clamp<LONG>(axis.position, 0, std::max(0, axis.minimum - axis.page));
            if (axis.minimum == 0)
                continue;
            SCROLLINFO info = {sizeof info,
                               SIF_RANGE | SIF_PAGE | SIF_POS,
                               0,
                               axis.minimum - 1,
                               static_cast<UINT>(std::max(0, axis.page)),
                               axis.position,
                               0};
            ::SetScrollInfo(window, axis.bar, &info, TRUE);
        }
        RECT after = {};
        ::GetClientRect(window, &after);
        if (::EqualRect(&after, &client))
            break;
    }
    updatingScroll_ = false;
}

void Container::ScrollContentTo(int x, int y) {
    if (POINT wanted = {x, y}; wanted.x == scroll_.x && wanted.y == scroll_.y)
        return;
    scroll_ = {x, y};
    Realign(); // keeps the position within the bars' range
    ::SetScrollPos(ContainerWindow(), SB_HORZ, scroll_.x, TRUE);
    ::SetScrollPos(ContainerWindow(), SB_VERT, scroll_.y, TRUE);
    ::RedrawWindow(ContainerWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window's own scroll bars (a scroll bar control sends its handle).
bool Container::HandleScroll(int bar, WORD code) {
    if (!Scrolls())
        return false;
    RECT client = {};
    ::GetClientRect(ContainerWindow(), &client);
    const bool horizontal = bar == SB_HORZ;
    const int line = Scale(20), page = horizontal ? client.right : client.bottom;
    int position = horizontal ? scroll_.x : scroll_.y;
    switch (code) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS};
        ::GetScrollInfo(ContainerWindow(), bar, &info);
        position = info.nTrackPos;
        break;
    }
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = INT_MAX / 2; // as far as it goes
        break;
    default:
        return true;
    }
    if (horizontal)
        ScrollContentTo(position, scroll_.y);
    else
        ScrollContentTo(scroll_.x, position);
    return true;
}

void Container::ScrollChildIntoView(HWND window) {
    HWND self = ContainerWindow();
    if (!Scrolls() || !window || !::IsChild(self, window))
        return;
    RECT r = {}, client = {};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, self, reinterpret_cast<POINT*>(&r), 2);
    ::GetClientRect(self, &client);
    // Content coordinates, then as little as shows them (their start first).
    auto shown = [](int position, int start, int end, int page) {
        start += position;
        end += position;
        if (end > position + page)
            position = end - page;
        if (start < position)
            position = start;
        return position;
    };
    ScrollContentTo(shown(scroll_.x, r.left, r.right, client.right),
                    shown(scroll_.y, r.top, r.bottom, client.bottom));
}

void Container::SetChildOrder(const std::vector<Control*>& order) {
    std::vector<Control*> children;
    for (Control* child : order)
        if (std::find(children_.begin(), children_.end(), child) != children_.end())
            children.push_back(child);
    for (Control* child : children_)
        if (std::find(children.begin(), children.end(), child) == children.end())
            children.push_back(child);
    children_ = std::move(children);
    // The dialog manager tabs in window order.
    HWND after = HWND_TOP;
    for (Control* child : children_) {
        ::SetWindowPos(child->Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child->Handle();
    }
    Realign();
}

void Container::EnableAlign() {
    if (alignLocks_ > 0 && --alignLocks_ == 0)
        Realign();
}

void Container::Realign() {
    HWND window = ContainerWindow();
    if (!window || AlignDisabled())
        return;
    UpdateScrollBars();
    const RECT client = LayoutArea();
    RECT area = AlignArea();
    // Docked children in the order of their kinds, each kind in creation
    // order; hidden ones take no room.
    for (Align kind : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (Control* child : children_) {
            if (child->design_.align != kind || !child->Visible())
                continue;
            child->LayOut(area);
            RECT r = {};
            ::GetWindowRect(child->Handle(), &r);
            const int width = r.right - r.left, height = r.bottom - r.top;
            switch (kind) {
            case Align::Top:
                area.top += height;
                break;
            case Align::Bottom:
                area.bottom -= height;
                break;
            case Align::Left:
                area.left += width;
                break;
            case Align::Right:
                area.right -= width;
                break;
            default:
                break;
            }
        }
    }
    for (Control* child : children_)
        if (child->design_.align == Align::None)
            child->LayOut(client);
}

void Container::ApplyDpiToChildren() {
    for (Control* child : std::vector<Control*>(children_)) {
        child->DpiChanged();
        if (auto* inner = dynamic_cast<Container*>(child))
            inner->ApplyDpiToChildren();
    }
    Realign();
}

bool Container::HandleContainerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
            control->HandleCommand(HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY:
        if (Control* control = Control::FromHandle(reinterpret_cast<NMHDR*>(lParam)->hwndFrom))
            return control->HandleNotify(*reinterpret_cast<NMHDR*>(lParam), result);
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) {
                if (!control->fontColor_ || HighContrastOn())
                    return false; // edit boxes keep the window colour
                ::SetTextColor(reinterpret_cast<HDC>(wParam), *control->fontColor_);
                ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
                result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
                return true;
            }
            if (HBRUSH brush = control->CtlColor(reinterpret_cast<HDC>(wParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    case WM_ERASEBKGND: {
        RECT r = {};
        ::GetClientRect(ContainerWindow(), &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, Brush());
        result = 1;
        return true;
    }
    case WM_PRINTCLIENT: {
        // Themed check boxes ask for the background behind them.
        RECT r = {};
        ::GetClientRect(ContainerWindow(), &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, Brush());
        return false;
    }
    case WM_SIZE:
        Realign();
        return false;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam != 0 || !HandleScroll(msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam)))
            return false;
        result = 0;
        return true;
    case WM_MOUSEWHEEL:
        if (scrollMinimum_.cy <= 0)
            return false;
        ScrollContentTo(scroll_.x, scroll_.y - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * Scale(20) / WHEEL_DELTA);
        result = 0;
        return true;
    }
    return false;
}

// The theme functions come from uxtheme.dll, loaded on the first call.
void DrawCheckBox(HWND window, HDC dc, const RECT& box, bool checked, bool enabled) {
    using Open = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using Draw = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
    using Close = HRESULT(WINAPI*)(HANDLE);
    static const auto open = FindSystemFunction<Open>("uxtheme.dll", "OpenThemeData");
    static const auto draw = FindSystemFunction<Draw>("uxtheme.dll", "DrawThemeBackground");
    static const auto close = FindSystemFunction<Close>("uxtheme.dll", "CloseThemeData");
    constexpr int CheckBoxPart = 3; // BP_CHECKBOX
    // CBS_UNCHECKEDNORMAL, CBS_UNCHECKEDDISABLED, CBS_CHECKEDNORMAL, CBS_CHECKEDDISABLED
    const int state = (checked ? 5 : 1) + (enabled ? 0 : 3);
    if (HANDLE theme = open && draw && close && !HighContrastOn() ? open(window, L"BUTTON") : nullptr) {
        const HRESULT drawn = draw(theme, dc, CheckBoxPart, state, &box, nullptr);
        close(theme);
        if (SUCCEEDED(drawn))
            return;
    }
    RECT r = box;
    ::DrawFrameControl(dc, &r, DFC_BUTTON,
                       DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0) | (enabled ? 0 : DFCS_INACTIVE));
}

// ------------------------------------------------------------------ Label

namespace {

DWORD LabelStyle(const Label::Options& o) {
    DWORD style = o.rightAlign ? SS_RIGHT : SS_LEFT;
    if (!o.wordWrap && !o.rightAlign)
        style = SS_LEFTNOWORDWRAP;
    if (!o.showAccelChar)
        style |= SS_NOPREFIX;
    if (o.endEllipsis)
        style |= SS_ENDELLIPSIS;
    if (o.notify)
        style |= SS_NOTIFY;
    return style;
}

} // namespace

Label::Label(Container& parent, const ControlArgs& args, Options options)
    : Control(parent, L"STATIC", LabelStyle(options), 0, args), options_(options) {
    LayOutAgain(); // sized to the text, which the base could not measure
}

SIZE Label::PreferredSize() const {
    UINT format = options_.showAccelChar ? 0 : DT_NOPREFIX;
    SIZE size = TextExtent(Handle(), CurrentFont(), Caption(), format);
    if (Design().width > 0)
        size.cx = Scale(Design().width);
    if (Design().height > 0)
        size.cy = Scale(Design().height);
    return size;
}

void Label::HandleCommand(WORD notifyCode) {
    if (notifyCode == STN_CLICKED && OnClick)
        OnClick();
}

bool Label::ControlMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    // A text cut with "..." is cut again at the new width, not just extended.
    if (msg == WM_SIZE && (options_.endEllipsis || options_.wordWrap))
        ::InvalidateRect(Handle(), nullptr, TRUE);
    if (msg == WM_SETCURSOR && cursor_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(cursor_);
        result = TRUE;
        return true;
    }
    return false;
}

// -------------------------------------------------------------- Edit, Memo

Edit::Edit(Container& parent, const ControlArgs& args) : Edit(parent, ES_AUTOHSCROLL | WS_TABSTOP, args) {}

Edit::Edit(Container& parent, DWORD style, const ControlArgs& args)
    : Control(parent, L"EDIT", style, WS_EX_CLIENTEDGE, args) {
    ::SendMessageW(Handle(), EM_LIMITTEXT, 0, 0); // as much as the system allows
}

void Edit::SetText(const std::string& text) {
    SetCaption(text);
}

bool Edit::ControlMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
    // Wine's edit box takes the focus on a click only when it believes it
    // has not got it, a belief that can outlive the focus when its panel
    // was hidden with it; the click gives the focus in any case.
    if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && ::GetFocus() != Handle())
        ::SetFocus(Handle());
    return false;
}

void Edit::HandleCommand(WORD notifyCode) {
    if (notifyCode == EN_CHANGE && OnChange)
        OnChange();
}

namespace {

bool IsKey(UINT msg, WPARAM wParam, WPARAM key) {
    return (msg == WM_KEYDOWN || msg == WM_CHAR) && wParam == key;
}

} // namespace

bool SearchBox::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_GETDLGCODE && lParam) {
        const MSG& key = *reinterpret_cast<const MSG*>(lParam);
        if (IsKey(key.message, key.wParam, VK_RETURN) ||
            (IsKey(key.message, key.wParam, VK_ESCAPE) && !Text().empty())) {
            result = DLGC_WANTMESSAGE | DLGC_HASSETSEL;
            return true;
        }
    }
    if (IsKey(msg, wParam, VK_RETURN) || IsKey(msg, wParam, VK_ESCAPE)) {
        if (msg == WM_KEYDOWN && wParam == VK_ESCAPE)
            SetText({});
        result = 0;
        return true;
    }
    return Edit::ControlMessage(msg, wParam, lParam, result);
}

Memo::Memo(Container& parent, const ControlArgs& args)
    : Edit(parent, ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, args) {}

bool Memo::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_GETDLGCODE || !lParam)
        return Edit::ControlMessage(msg, wParam, lParam, result);
    const MSG& key = *reinterpret_cast<const MSG*>(lParam);
    // Focus moves on, Esc cancels and Alt+letter follows mnemonics, as in
    // any dialog.
    const bool dialogKey = ((key.message == WM_KEYDOWN || key.message == WM_CHAR) &&
                            (key.wParam == VK_TAB || key.wParam == VK_ESCAPE)) ||
                           key.message == WM_SYSCHAR || key.message == WM_SYSKEYDOWN;
    if (!dialogKey)
        return false;
    result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    return true;
}

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(Container& parent, const ControlArgs& args)
    : Control(parent, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, args) {
    LayOutAgain();
}

bool CheckBox::Checked() const {
    return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::HandleCommand(WORD notifyCode) {
    if (notifyCode == BN_CLICKED && OnClick)
        OnClick();
}

SIZE CheckBox::PreferredSize() const {
    // The box, a gap, the caption.
    SIZE text = TextExtent(Handle(), CurrentFont(), Caption(), 0);
    const int box = Scale(13);
    return {box + Scale(6) + text.cx, std::max<LONG>(text.cy, box) + Scale(4)};
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(Container& parent, const ControlArgs& args)
    : Control(parent, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
              ControlArgs{args.left, args.top, args.width, args.height > 0 ? args.height : 21, args.caption,
                          args.align, args.anchors}) {
    LayOutAgain(); // with the list's height, which the base could not see
}

int ComboBox::ExtraDesignHeight() const {
    return kDropDownRows * kDropDownRowHeight + 2;
}

int ComboBox::AddItem(const std::string& text, std::intptr_t data) {
    auto index = ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    if (index < 0)
        throw Error("Cannot add \"" + text + "\" to the list");
    ::SendMessageW(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    FitDroppedWidthTo(text);
    return static_cast<int>(index);
}

void ComboBox::DpiChanged() {
    Control::DpiChanged();
    FitDroppedWidth();
}

void ComboBox::FitDroppedWidth() {
    widestItem_ = 0;
    for (int i = 0; i < Count(); ++i)
        FitDroppedWidthTo(ItemText(i));
}

void ComboBox::FitDroppedWidthTo(const std::string& added) {
    widestItem_ = std::max(
        widestItem_,
        static_cast<int>(TextExtent(Handle(), CurrentFont(), added, DT_SINGLELINE | DT_NOPREFIX).cx));
    // The items' margins and the list's scroll bar.
    const int width = widestItem_ + Scale(8) + ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageW(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

int ComboBox::Count() const {
    return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

void ComboBox::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

std::string ComboBox::ItemText(int index) const {
    CheckIndex(index);
    auto length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    length = ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length < 0 ? 0 : length));
    return Utf8(text);
}

std::intptr_t ComboBox::ItemData(int index) const {
    CheckIndex(index);
    return static_cast<std::intptr_t>(
        ::SendMessageW(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int ComboBox::ItemIndex() const {
    return static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void ComboBox::SetItemIndex(int index) {
    if (index != -1)
        CheckIndex(index);
    ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ComboBox::Clear() {
    ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    widestItem_ = 0;
}

void ComboBox::HandleCommand(WORD notifyCode) {
    if (notifyCode == CBN_SELCHANGE && OnSelect)
        OnSelect();
}

// ------------------------------------------------------------------ Bevel

Bevel::Bevel(Container& parent, const ControlArgs& args)
    : Control(parent, L"STATIC", args.width >= args.height ? SS_ETCHEDHORZ : SS_ETCHEDVERT, 0, args) {}

bool Bevel::ControlMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (msg != WM_PAINT)
        return false;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    RECT client = {};
    ::GetClientRect(Handle(), &client);
    if (HBRUSH background = CtlColor(dc))
        ::FillRect(dc, &client, background);
    const bool horizontal = client.right - client.left >= client.bottom - client.top;
    RECT line = client;
    if (horizontal)
        line.bottom = line.top + 2;
    else
        line.right = line.left + 2;
    ::DrawEdge(dc, &line, EDGE_ETCHED, horizontal ? BF_TOP : BF_LEFT);
    ::EndPaint(Handle(), &ps);
    result = 0;
    return true;
}

} // namespace corvinade::gui
