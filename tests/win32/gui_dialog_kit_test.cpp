// The dialog kit with real input: Tab through panels and pages, Enter, Esc
// and mnemonics in modal runs, a scroll box following the focus, and a form
// laid out again when its dpi changes.
#include "gui/Button.h"
#include "gui/Controls.h"
#include "gui/Form.h"
#include "gui/LinkLabel.h"
#include "gui/Panel.h"
#include "gui_testing.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace corvinade::gui {
namespace {

using testing::AppTest;
using testing::HangGuard;

// A key pressed and released as the keyboard sends it, with modifiers held.
void Press(UINT key, const std::vector<UINT>& modifiers = {}) {
    for (UINT m : modifiers)
        ::keybd_event(static_cast<BYTE>(m), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        ::keybd_event(static_cast<BYTE>(*m), 0, KEYEVENTF_KEYUP, 0);
}

class GuiDialogKit : public AppTest {
protected:
    void ShowActive(Form& form) {
        form.Show();
        ::SetForegroundWindow(form.Handle());
        app->ProcessMessages();
    }
    // Presses the key, then handles messages until the focus is elsewhere.
    HWND FocusAfter(UINT key, const std::vector<UINT>& modifiers = {}) {
        HWND before = ::GetFocus();
        Press(key, modifiers);
        testing::WaitFor([&] {
            app->ProcessMessages();
            return ::GetFocus() != before;
        });
        app->ProcessMessages();
        return ::GetFocus();
    }
    // Keys typed by another thread once `form` is the active window: the
    // modal loop of this thread takes them.
    std::thread TypeWhenActive(Form& form, std::vector<std::pair<UINT, std::vector<UINT>>> keys) {
        HWND window = form.Handle();
        return std::thread([window, keys] {
            testing::WaitFor([&] { return ::GetForegroundWindow() == window && ::IsWindowVisible(window); });
            ::Sleep(100);
            for (const auto& [key, modifiers] : keys) {
                Press(key, modifiers);
                ::Sleep(50);
            }
        });
    }
};

// Tab walks in creation order into a panel and into the shown page, then to
// the tab strip; Ctrl+Tab turns the page; Shift+Tab walks back.
TEST_F(GuiDialogKit, TabOrderRunsThroughPanelsAndPages) {
    Form form(
        {.clientWidth = 300, .clientHeight = 260, .caption = "Kit", .position = Position::ScreenCenter});
    Edit first(form, {.left = 8, .top = 8, .width = 100, .height = 21});
    Panel panel(form, {.left = 8, .top = 40, .width = 280, .height = 60});
    CheckBox check(panel, {.left = 8, .top = 8, .caption = "&Check"});
    Edit inPanel(panel, {.left = 100, .top = 8, .width = 100, .height = 21});
    PageControl pages(form, {.left = 8, .top = 110, .width = 280, .height = 100}, true);
    Edit onPage0(pages.AddPage("One"), {.left = 8, .top = 8, .width = 100, .height = 21});
    Edit onPage1(pages.AddPage("Two"), {.left = 8, .top = 8, .width = 100, .height = 21});
    Button ok(form, {.left = 8, .top = 220, .width = 75, .height = 25, .caption = "OK"});
    HWND strip = ::FindWindowExA(pages.Handle(), nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(strip, nullptr);
    EXPECT_FALSE(pages.Page(1).Visible());

    ShowActive(form);
    first.SetFocus();
    const std::vector<HWND> order = {check.Handle(), inPanel.Handle(), onPage0.Handle(),
                                     strip,          ok.Handle(),      first.Handle()};
    for (HWND expected : order)
        EXPECT_EQ(FocusAfter(VK_TAB), expected);

    onPage0.SetFocus();
    EXPECT_EQ(FocusAfter(VK_TAB, {VK_CONTROL}), onPage1.Handle());
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_EQ(::SendMessageA(strip, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(pages.Page(0).Visible());
    EXPECT_EQ(FocusAfter(VK_TAB, {VK_SHIFT}), inPanel.Handle());
}

// Alt+N follows the label's mnemonic to the box after it, Enter presses the
// default button (its modal result ends the run), Enter in a memo breaks the
// line, Esc presses the cancel button.
TEST_F(GuiDialogKit, EnterEscAndMnemonicsInAModalRun) {
    Form form(
        {.clientWidth = 300, .clientHeight = 200, .caption = "Modal", .position = Position::ScreenCenter});
    Edit other(form, {.left = 8, .top = 8, .width = 100, .height = 21});
    Label label(form, {.left = 8, .top = 40, .caption = "&Name:"});
    Edit name(form, {.left = 60, .top = 38, .width = 100, .height = 21});
    Memo memo(form, {.left = 8, .top = 70, .width = 200, .height = 60});
    Button ok(form, {.left = 8, .top = 160, .width = 75, .height = 25, .caption = "OK"});
    Button cancel(form, {.left = 90, .top = 160, .width = 75, .height = 25, .caption = "Cancel"});
    ok.ModalResult = IDOK;
    cancel.ModalResult = IDCANCEL;
    form.SetDefaultButton(&ok);
    form.SetCancelButton(&cancel);
    EXPECT_EQ(::GetWindowLongA(ok.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    HWND focusAtOk = nullptr;
    int cancels = 0;
    ok.OnClick = [&] { focusAtOk = ::GetFocus(); };
    cancel.OnClick = [&] { ++cancels; };
    HangGuard guard;

    std::thread typist = TypeWhenActive(form, {{'N', {VK_MENU}}, {VK_RETURN, {}}});
    EXPECT_EQ(form.ShowModal(), IDOK);
    typist.join();
    EXPECT_EQ(focusAtOk, name.Handle());
    EXPECT_EQ(cancels, 0);

    // Again, on into the memo, where Enter is a line break.
    typist = TypeWhenActive(
        form, {{'N', {VK_MENU}}, {VK_TAB, {}}, {'A', {}}, {VK_RETURN, {}}, {'B', {}}, {VK_ESCAPE, {}}});
    EXPECT_EQ(form.ShowModal(), IDCANCEL);
    typist.join();
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(memo.Text(), "a\r\nb");
    EXPECT_FALSE(guard.Fired());
}

// A control reached with Tab below the visible part scrolls into view, and
// the way back scrolls up again.
TEST_F(GuiDialogKit, ScrollBoxBringsTheFocusIntoView) {
    Form form(
        {.clientWidth = 300, .clientHeight = 200, .caption = "Rows", .position = Position::ScreenCenter});
    ScrollBox box(form, {.width = 300, .height = 200, .align = Align::Client});
    std::vector<std::unique_ptr<Panel>> rows;
    std::vector<std::unique_ptr<Edit>> edits;
    for (int i = 0; i < 10; ++i) {
        rows.push_back(std::make_unique<Panel>(
            box.Content(), ControlArgs{.width = 300, .height = 100, .align = Align::Top}));
        edits.push_back(std::make_unique<Edit>(*rows.back(),
                                               ControlArgs{.left = 8, .top = 8, .width = 100, .height = 21}));
    }
    ShowActive(form);
    edits[0]->SetFocus();
    for (int i = 1; i <= 4; ++i)
        ASSERT_EQ(FocusAfter(VK_TAB), edits[static_cast<size_t>(i)]->Handle());
    RECT view = {}, edit = {};
    ::GetWindowRect(box.Handle(), &view);
    ::GetWindowRect(edits[4]->Handle(), &edit);
    EXPECT_GT(box.Position(), 0);
    EXPECT_GE(edit.top, view.top);
    EXPECT_LE(edit.bottom, view.bottom);
    EXPECT_EQ(::GetScrollPos(box.Handle(), SB_VERT), box.Position());

    for (int i = 3; i >= 0; --i)
        ASSERT_EQ(FocusAfter(VK_TAB, {VK_SHIFT}), edits[static_cast<size_t>(i)]->Handle());
    EXPECT_EQ(box.Position(), 0);
}

// Enter and Space on a link follow it rather than pressing the default
// button, and so does a click released over it (the underline is looked at
// in the real program's settings window).
TEST_F(GuiDialogKit, LinkFollowsItsKeysAndAClickReleasedOverIt) {
    Form form(
        {.clientWidth = 300, .clientHeight = 70, .caption = "Link", .position = Position::ScreenCenter});
    LinkLabel link(form, {.left = 8, .top = 8, .caption = "http://www.pelmorra.example/"});
    Button ok(form, {.left = 200, .top = 38, .width = 75, .height = 25, .caption = "OK"});
    form.SetDefaultButton(&ok);
    int follows = 0, oks = 0;
    link.OnClick = [&] { ++follows; };
    ok.OnClick = [&] { ++oks; };
    ShowActive(form);
    link.SetFocus();
    for (UINT key : {VK_RETURN, VK_SPACE}) {
        const int before = follows;
        Press(key);
        EXPECT_TRUE(testing::WaitFor([&] {
            app->ProcessMessages();
            return follows == before + 1;
        })) << "key "
            << key;
    }
    EXPECT_EQ(oks, 0) << "Enter on the link pressed the default button";
    ::SendMessageA(link.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(link.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(follows, 3);
    ::SendMessageA(link.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(link.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(-20, 5)); // released elsewhere
    EXPECT_EQ(follows, 3);
}

RECT ChildRect(HWND child) {
    RECT r = {};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG FontHeight(HWND window) {
    LOGFONTA lf = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfHeight;
}

// WM_DPICHANGED as Windows sends it when the window moves to a 144-dpi
// screen (Wine never does): controls, anchors and fonts follow at 1.5x, and
// back at 96 dpi they are where they were.
TEST_F(GuiDialogKit, DpiChangeLaysTheFormOutAgain) {
    Form form({.left = 20, .top = 20, .clientWidth = 200, .clientHeight = 100, .caption = "Dpi"});
    Button button(form, {.left = 10, .top = 20, .width = 75, .height = 25, .caption = "OK"});
    Edit stretched(form,
                   {.left = 10, .top = 60, .width = 180, .height = 21, .anchors = akLeft | akTop | akRight});
    Label label(form, {.left = 100, .top = 20, .caption = "Label"});
    label.SetFont({"Tahoma", 16, 0});
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(form.Handle(), GWL_STYLE));
    auto suggested = [&](int width, int height) {
        RECT r = {0, 0, width, height};
        ::AdjustWindowRectEx(&r, style, FALSE, 0);
        ::OffsetRect(&r, 20 - r.left, 20 - r.top);
        return r;
    };
    const RECT buttonAt96 = ChildRect(button.Handle()), editAt96 = ChildRect(stretched.Handle());

    RECT at144 = suggested(300, 150);
    ::SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&at144));
    EXPECT_EQ(form.Dpi(), 144);
    EXPECT_EQ(form.ClientSize().cx, 300);
    RECT r = ChildRect(button.Handle());
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 113); // 112.5 rounded
    EXPECT_EQ(r.bottom - r.top, 38);
    r = ChildRect(stretched.Handle());
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.right, 300 - 15); // keeps 10 design pixels to the right edge
    EXPECT_EQ(FontHeight(button.Handle()), -17);
    EXPECT_EQ(FontHeight(label.Handle()), -24);
    EXPECT_EQ(ChildRect(label.Handle()).left, 150);

    RECT at96 = suggested(200, 100);
    ::SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&at96));
    EXPECT_EQ(form.Dpi(), 96);
    r = ChildRect(button.Handle());
    EXPECT_TRUE(::EqualRect(&r, &buttonAt96));
    r = ChildRect(stretched.Handle());
    EXPECT_TRUE(::EqualRect(&r, &editAt96));
    EXPECT_EQ(FontHeight(button.Handle()), -11);
    EXPECT_EQ(FontHeight(label.Handle()), -16);
}

} // namespace
} // namespace corvinade::gui
