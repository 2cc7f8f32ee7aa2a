// PanelLink, the link label, on a live host window driven with the mouse
// messages Windows would send: the hover look read back from the window's
// pixels as soon as the pointer enters or leaves, the text shaped by the
// fit, alignment and margin settings (compared with the same text drawn by
// DrawTextA), and the target handed to the shell on a left press only (a
// command registered as the shell's http handler records what it gets).
#include "Harness.h"
#include "components/PanelLabels.h"
#include "gui/Dpi.h"
#include "gui/ImageView.h"
#include "gui_testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace corvinade {
namespace {

const COLORREF Paper = RGB(255, 255, 255);
const COLORREF Ink = RGB(0, 0, 255);

std::uint32_t Pixel(COLORREF color) {
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

bool Reddish(std::uint32_t p) {
    return ((p >> 16) & 0xFF) > 128 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100;
}
bool Bluish(std::uint32_t p) {
    return (p & 0xFF) > 128 && ((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100;
}

// What a look shows: text pixels of each colour, the longest horizontal run
// of text pixels (an underline spans the text) and the text's bounds.
struct Look {
    int red = 0, blue = 0, ink = 0, longestRun = 0;
    RECT inkBounds = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

Look LookOf(const gui::Bitmap32& shot, std::uint32_t background) {
    Look look;
    for (int y = 0; y < shot.Height(); ++y) {
        int run = 0;
        for (int x = 0; x < shot.Width(); ++x) {
            const std::uint32_t p = shot.Row(y)[x] & 0xFFFFFF;
            look.red += Reddish(p);
            look.blue += Bluish(p);
            if (p == background) {
                run = 0;
                continue;
            }
            ++look.ink;
            look.longestRun = std::max(look.longestRun, ++run);
            look.inkBounds = {std::min<LONG>(look.inkBounds.left, x), std::min<LONG>(look.inkBounds.top, y),
                              std::max<LONG>(look.inkBounds.right, x + 1),
                              std::max<LONG>(look.inkBounds.bottom, y + 1)};
        }
    }
    return look;
}

bool SamePixels(const gui::Bitmap32& a, const gui::Bitmap32& b) {
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y),
                        [](std::uint32_t p, std::uint32_t q) { return (p & 0xFFFFFF) == (q & 0xFFFFFF); }))
            return false;
    return true;
}

class PanelLinkTest : public gui::testing::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr,
                                   nullptr, nullptr);
        view = std::make_unique<gui::ImageView>(parent, 0, 0, 480, 280);
        view->SetImage(gui::Bitmap32(480, 280));
        view->SetZoom({1, 1}, {0, 0}); // host points are client points
        label = std::make_unique<PanelLink>(view->Host(), view->Controls(),
                                            LabelArgs{20, 20, 160, 24, "Manage hotkeys"});
        label->SetColor(Paper);
        label->SetFontColor(Ink);
        label->OnMouseEnter = [this] { ++enters; };
        label->OnMouseLeave = [this] { ++leaves; };
        label->OnClick = [this] { ++clicks; };
        label->OnMouseDown = [this](gui::MouseButton b, gui::ShiftState, int, int) { downs.push_back(b); };
        ::UpdateWindow(view->Handle());
    }
    void TearDown() override {
        label.reset();
        view.reset();
        ::DestroyWindow(parent);
        AppTest::TearDown();
    }
    void Send(UINT msg, WPARAM keys, int x, int y) {
        ::SendMessageA(view->Handle(), msg, keys, MAKELPARAM(x, y));
    }
    void Enter() { Send(WM_MOUSEMOVE, 0, label->Left() + 5, label->Top() + 5); }
    void Leave() { Send(WM_MOUSEMOVE, 0, 300, 200); }
    // Nothing of the host waits for a paint: what changed is on the window already.
    bool PaintedAtOnce() const { return !::GetUpdateRect(view->Handle(), nullptr, FALSE); }
    // The label's area as the window shows it.
    gui::Bitmap32 Shot() const {
        gui::Bitmap32 shot(label->Width(), label->Height());
        gui::WindowDC dc(view->Handle());
        ::BitBlt(shot.DC(), 0, 0, shot.Width(), shot.Height(), dc.Get(), label->Left(), label->Top(),
                 SRCCOPY);
        return shot;
    }
    Look Seen(COLORREF background = Paper) const { return LookOf(Shot(), Pixel(background)); }

    HWND parent = nullptr;
    std::unique_ptr<gui::ImageView> view;
    std::unique_ptr<PanelLink> label;
    int enters = 0, leaves = 0, clicks = 0;
    std::vector<gui::MouseButton> downs;
};

// --- The hover look ------------------------------------------------------------

TEST_F(PanelLinkTest, HoverLookShowsAtOnceOnEnterAndGoesOnLeave) {
    const Look plain = Seen();
    ASSERT_GT(plain.blue, 0) << "the caption is not drawn";
    EXPECT_EQ(plain.red, 0);
    EXPECT_FALSE(label->Hovering());

    Enter();
    EXPECT_TRUE(label->Hovering());
    EXPECT_EQ(enters, 1) << "the label's own enter event";
    EXPECT_TRUE(PaintedAtOnce());
    const Look hovered = Seen();
    EXPECT_GT(hovered.red, 0) << "red while hovered";
    EXPECT_EQ(hovered.blue, 0);
    EXPECT_GT(hovered.longestRun, hovered.inkBounds.right - hovered.inkBounds.left - 3) << "underlined";
    EXPECT_LT(plain.longestRun, (plain.inkBounds.right - plain.inkBounds.left) / 2)
        << "not underlined before";

    Enter(); // moving on the label changes nothing
    EXPECT_EQ(enters, 1);
    Leave();
    EXPECT_FALSE(label->Hovering());
    EXPECT_EQ(leaves, 1);
    EXPECT_TRUE(PaintedAtOnce());
    const Look back = Seen();
    EXPECT_EQ(back.red, 0);
    EXPECT_EQ(back.blue, plain.blue);
    EXPECT_EQ(back.longestRun, plain.longestRun);
}

TEST_F(PanelLinkTest, HoverStyleColourAndBackgroundAreTheConfiguredOnes) {
    label->HoverStyle = fsBold;
    label->HoverColor = RGB(0, 160, 0);
    label->HoverBGColor = RGB(255, 255, 0);
    const Look plain = Seen();
    Enter();
    // Without UseHoverBGColor the label's own colour stays behind the text.
    const gui::Bitmap32 hoveredShot = Shot();
    EXPECT_EQ(hoveredShot.Row(0)[0] & 0xFFFFFF, Pixel(Paper));
    const Look bold = LookOf(hoveredShot, Pixel(Paper));
    EXPECT_EQ(bold.red + bold.blue, 0) << "the hover colour is the configured green";
    EXPECT_GT(bold.ink, plain.ink) << "bold strokes are wider";
    EXPECT_LT(bold.longestRun, (bold.inkBounds.right - bold.inkBounds.left) / 2) << "no underline";
    Leave();

    label->UseHoverBGColor = true;
    Enter();
    const gui::Bitmap32 shot = Shot();
    const std::uint32_t yellow = Pixel(RGB(255, 255, 0));
    // The whole rectangle, corners included.
    EXPECT_EQ(shot.Row(0)[0] & 0xFFFFFF, yellow);
    EXPECT_EQ(shot.Row(shot.Height() - 1)[shot.Width() - 1] & 0xFFFFFF, yellow);
    EXPECT_GT(LookOf(shot, yellow).ink, 0);
    Leave();
    EXPECT_EQ(Shot().Row(0)[0] & 0xFFFFFF, Pixel(Paper)) << "the own colour is back after the leave";
}

TEST_F(PanelLinkTest, HoverOffKeepsThePlainLookButSwitchingOffWhileHoveredWaitsForTheLeave) {
    label->Hover = false;
    Enter();
    EXPECT_FALSE(label->Hovering());
    EXPECT_EQ(enters, 1) << "the enter event fires regardless";
    EXPECT_EQ(Seen().red, 0);
    Leave();
    EXPECT_EQ(leaves, 1);

    label->Hover = true;
    Enter();
    ASSERT_TRUE(label->Hovering());
    label->Hover = false;
    EXPECT_TRUE(label->Hovering());
    EXPECT_GT(Seen().red, 0) << "the hover look stays until the pointer leaves";
    Leave();
    EXPECT_FALSE(label->Hovering());
    EXPECT_EQ(Seen().red, 0);
}

// --- Text shape -------------------------------------------------------------------

TEST_F(PanelLinkTest, DrawFormatFollowsFitAlignmentAndSizing) {
    struct Case {
        bool fit, autoSize;
        TFitType type;
        TAlignment align;
        TVertAlign vert;
        UINT format;
    };
    const Case cases[] = {
        {true, false, TFitType::ftNormal, TAlignment::taLeftJustify, TVertAlign::vaTop,
         DT_SINGLELINE | DT_END_ELLIPSIS},
        {true, false, TFitType::ftFilename, TAlignment::taCenter, TVertAlign::vaCenter,
         DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CENTER | DT_VCENTER},
        {true, false, TFitType::ftNormal, TAlignment::taRightJustify, TVertAlign::vaBottom,
         DT_SINGLELINE | DT_END_ELLIPSIS | DT_RIGHT | DT_BOTTOM},
        // Not fitting, or sized to the text: single line and nothing more.
        {false, false, TFitType::ftFilename, TAlignment::taRightJustify, TVertAlign::vaBottom, DT_SINGLELINE},
        {true, true, TFitType::ftNormal, TAlignment::taCenter, TVertAlign::vaCenter, DT_SINGLELINE},
    };
    EXPECT_TRUE(label->FitInRect()) << "fitting by default";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        label->SetAutoSize(c.autoSize);
        label->SetFitInRect(c.fit);
        label->SetFitType(c.type);
        label->SetAlignment(c.align);
        label->SetAlignVert(c.vert);
        EXPECT_EQ(label->DrawFormat(), c.format);
    }
}

// The label's pixels equal the caption drawn by DrawTextA with the expected
// format in the rectangle shrunk by the margin, over the filled rectangle;
// each case's format draws differently from the plain single line.
TEST_F(PanelLinkTest, PaintedTextIsShapedByFitAlignmentAndMargin) {
    struct Case {
        std::string caption;
        int width, height, margin;
        TFitType type;
        TAlignment align;
        TVertAlign vert;
        UINT format;
    };
    const std::string path = "C:\\Program Files\\Corvinade\\Pictures\\Holidays\\beach-and-sea.jpg";
    const Case cases[] = {
        {"Check for updates and then some more words", 90, 20, 0, TFitType::ftNormal,
         TAlignment::taLeftJustify, TVertAlign::vaTop, DT_SINGLELINE | DT_END_ELLIPSIS},
        {path, 150, 20, 0, TFitType::ftFilename, TAlignment::taLeftJustify, TVertAlign::vaTop,
         DT_SINGLELINE | DT_PATH_ELLIPSIS},
        {"Manage", 160, 40, 3, TFitType::ftNormal, TAlignment::taRightJustify, TVertAlign::vaBottom,
         DT_SINGLELINE | DT_END_ELLIPSIS | DT_RIGHT | DT_BOTTOM},
        {"Manage", 160, 40, 0, TFitType::ftNormal, TAlignment::taCenter, TVertAlign::vaCenter,
         DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER | DT_VCENTER},
        {"Manage", 160, 40, 3, TFitType::ftNormal, TAlignment::taLeftJustify, TVertAlign::vaTop,
         DT_SINGLELINE | DT_END_ELLIPSIS},
    };
    LOGFONTA lf = {};
    lf.lfHeight = -gui::Scale(11);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    gui::GdiObject<HFONT> font(::CreateFontIndirectA(&lf));
    const auto draw = [&](const Case& c, UINT format, int margin) {
        gui::Bitmap32 picture(gui::Scale(c.width), gui::Scale(c.height));
        RECT area = {0, 0, picture.Width(), picture.Height()};
        gui::GdiObject<HBRUSH> brush(::CreateSolidBrush(Paper));
        ::FillRect(picture.DC(), &area, brush.Get());
        ::InflateRect(&area, -margin, -margin);
        gui::ScopedSelect selected(picture.DC(), font.Get());
        ::SetBkMode(picture.DC(), TRANSPARENT);
        ::SetTextColor(picture.DC(), Ink);
        ::DrawTextA(picture.DC(), c.caption.c_str(), -1, &area, format);
        return picture;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption + " " + std::to_string(c.margin));
        label->SetCaption(c.caption);
        label->Place(20, 20, c.width, c.height);
        label->SetFitType(c.type);
        label->SetAlignment(c.align);
        label->SetAlignVert(c.vert);
        label->SetMargin(static_cast<std::uint8_t>(c.margin));
        ::UpdateWindow(view->Handle());
        const gui::Bitmap32 shot = Shot();
        ASSERT_FALSE(SamePixels(draw(c, c.format, c.margin), draw(c, DT_SINGLELINE, 0)))
            << "a case that shows nothing";
        EXPECT_TRUE(SamePixels(shot, draw(c, c.format, c.margin)));
        const Look look = LookOf(shot, Pixel(Paper));
        EXPECT_GE(look.inkBounds.left, c.margin);
        EXPECT_GE(look.inkBounds.top, c.margin);
        EXPECT_LE(look.inkBounds.right, shot.Width() - c.margin);
        EXPECT_LE(look.inkBounds.bottom, shot.Height() - c.margin);
        EXPECT_EQ(shot.Row(0)[0] & 0xFFFFFF, Pixel(Paper)) << "the whole rectangle is filled";
    }
}

TEST_F(PanelLinkTest, FitSettersRepaintAtOnce) {
    label->SetCaption("Check for updates and then some more words");
    label->Place(20, 20, 90, 20);
    ::UpdateWindow(view->Handle());
    const gui::Bitmap32 fitted = Shot();
    label->SetFitInRect(false);
    EXPECT_TRUE(PaintedAtOnce());
    EXPECT_FALSE(SamePixels(Shot(), fitted)) << "the ellipsis is gone";
    label->SetFitInRect(true);
    label->SetMargin(4);
    EXPECT_TRUE(PaintedAtOnce());
    EXPECT_GE(Seen().inkBounds.left, 4);
}

// --- Opening the target ----------------------------------------------------------

class PanelLinkExecuteTest : public PanelLinkTest {
protected:
    void SetUp() override {
        PanelLinkTest::SetUp();
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof temp, temp);
        log = std::string(temp) + "panel-link-opened.txt";
        ::DeleteFileA(log.c_str());
        test::RegisterUrlHandler("http", "C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + log + "\"");
    }
    // The addresses the handler got, one a line, written in full.
    std::vector<std::string> Opened() const {
        std::ifstream file(log, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        std::vector<std::string> lines;
        std::string line;
        const std::string all = text.str();
        if (all.empty() || all.back() != '\n')
            return lines;
        while (std::getline(text, line)) {
            line.erase(line.find_last_not_of(" \r\"") + 1);
            line.erase(0, line.find_first_not_of(" \""));
            lines.push_back(line);
        }
        return lines;
    }
    void Press(UINT down, WPARAM keys) { Send(down, keys, label->Left() + 5, label->Top() + 5); }

    std::string log;
};

TEST_F(PanelLinkExecuteTest, LeftPressOpensTheTargetThroughTheShellAndNothingElseDoes) {
    gui::testing::HangGuard guard;
    label->Execute = "http://example.org/right-button";
    label->ExecuteFile = true;
    Press(WM_RBUTTONDOWN, MK_RBUTTON);
    Press(WM_RBUTTONUP, 0);
    label->Execute = "http://example.org/not-enabled";
    label->ExecuteFile = false;
    Press(WM_LBUTTONDOWN, MK_LBUTTON);
    Press(WM_LBUTTONUP, 0);
    EXPECT_EQ(clicks, 1);

    label->Execute = "http://example.org/corvinade";
    label->ExecuteFile = true;
    Press(WM_LBUTTONDOWN, MK_LBUTTON);
    // Opened on the press: released elsewhere, no click follows.
    ASSERT_TRUE(gui::testing::WaitFor([&] { return !Opened().empty(); })) << "nothing was opened";
    Send(WM_LBUTTONUP, 0, 400, 250);
    EXPECT_EQ(clicks, 1);
    // Each open started its handler before the press returned: once none
    // runs, every one of them has written its line.
    ASSERT_TRUE(gui::testing::WaitFor([] { return test::ProcessIds("cmd.exe").empty(); }))
        << "a handler is still running";
    EXPECT_EQ(Opened(), std::vector<std::string>{"http://example.org/corvinade"});
    // The label's own press event came first each time, for either button.
    EXPECT_EQ(downs, (std::vector<gui::MouseButton>{gui::MouseButton::Right, gui::MouseButton::Left,
                                                    gui::MouseButton::Left}));
    EXPECT_FALSE(guard.Fired());
}

} // namespace
} // namespace corvinade
