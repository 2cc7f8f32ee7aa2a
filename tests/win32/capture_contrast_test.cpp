// The capture window's selection and a selected mark's handles in high
// contrast, answered through the setting's port: the frame, its boxes, the
// dimming and the handles in system colours once the colours change, their
// own colours again after.
#include "capture/CaptureWindow.h"
#include "gui/Contrast.h"
#include "gui_testing.h"

#include <gtest/gtest.h>

#include <set>

namespace corvinade {
namespace {

constexpr std::uint32_t Grey = 0x808080;

class CaptureContrastTest : public gui::testing::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        window = new CaptureWindow();
        gui::Bitmap32 image(400, 300);
        for (int y = 0; y < image.Height(); ++y)
            std::fill_n(image.Row(y), image.Width(), Grey);
        window->CaptureImage.SetImage(std::move(image));
        window->Show();
        view = window->CaptureImage.Handle();
        Send(WM_LBUTTONDOWN, MK_LBUTTON, 100, 80);
        Send(WM_MOUSEMOVE, MK_LBUTTON, 300, 230);
        Send(WM_LBUTTONUP, 0, 300, 230);
    }
    void TearDown() override {
        gui::AnswerHighContrast(std::nullopt);
        delete window;
        AppTest::TearDown();
    }
    // At an image point (the image is centred in the view).
    void Send(UINT msg, WPARAM keys, int x, int y) {
        const POINT at = window->CaptureImage.ImageToClient({x, y});
        ::SendMessageA(view, msg, keys, MAKELPARAM(at.x, at.y));
    }

    // The colours painted around the selection's top edge, away from its
    // boxes, as 0x00RRGGBB: dimmed outside, the image inside, the frame.
    std::set<std::uint32_t> ColoursAroundTheTopEdge() const {
        ::UpdateWindow(view);
        HDC dc = ::GetDC(view);
        std::set<std::uint32_t> colours;
        const POINT edge = window->CaptureImage.ImageToClient({130, 80});
        for (int y = edge.y - 4; y <= edge.y + 4; ++y)
            for (int x = edge.x; x <= edge.x + 40; ++x)
                colours.insert(gui::PixelOfColorRef(::GetPixel(dc, x, y)));
        ::ReleaseDC(view, dc);
        return colours;
    }
    std::uint32_t PaintedBesideTheImage() const {
        HDC dc = ::GetDC(view);
        const POINT beside = window->CaptureImage.ImageToClient({410, 100});
        const std::uint32_t pixel = gui::PixelOfColorRef(::GetPixel(dc, beside.x, beside.y));
        ::ReleaseDC(view, dc);
        return pixel;
    }
    static std::uint32_t System(int index) { return gui::PixelOfColorRef(::GetSysColor(index)); }

    CaptureWindow* window = nullptr;
    HWND view = nullptr;
};

TEST_F(CaptureContrastTest, SelectionTakesSystemColoursWhenTheColoursChange) {
    const std::uint32_t dimmed = gui::BlendPixel(Grey, DimColour);
    EXPECT_EQ(ColoursAroundTheTopEdge(), (std::set<std::uint32_t>{dimmed, Grey, 0x333333, 0xFFFFFF}));
    EXPECT_EQ(PaintedBesideTheImage(), 0u);

    gui::AnswerHighContrast(true);
    ::SendMessageA(window->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    // Dots in the highlight colour, the gaps between them in its text
    // colour: one of the two stands out on any image.
    const std::uint32_t dimmedInWindowColour =
        gui::BlendPixel(Grey, gui::ShadeOf(System(COLOR_WINDOW), DimAlpha));
    EXPECT_EQ(ColoursAroundTheTopEdge(),
              (std::set<std::uint32_t>{dimmedInWindowColour, Grey, System(COLOR_HIGHLIGHT),
                                       System(COLOR_HIGHLIGHTTEXT)}));
    EXPECT_EQ(PaintedBesideTheImage(), System(COLOR_APPWORKSPACE));

    gui::AnswerHighContrast(false);
    ::SendMessageA(window->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(ColoursAroundTheTopEdge(), (std::set<std::uint32_t>{dimmed, Grey, 0x333333, 0xFFFFFF}));
}

// A selected mark's handles: white squares framed dark on the image, the
// highlight colours in high contrast (painted on the image's pixels, as the
// selection's frame is drawn over them).
TEST_F(CaptureContrastTest, SelectedMarkHandlesTakeSystemColours) {
    window->SetTool(MarkTool::Rectangle);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 100);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 250, 200);
    Send(WM_LBUTTONUP, 0, 250, 200);
    ASSERT_EQ(window->Marks().Count(), 1u);
    window->SetTool(MarkTool::Select);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 150); // on its left side
    Send(WM_LBUTTONUP, 0, 150, 150);
    ASSERT_EQ(window->SelectedMark(), 0u);
    auto handle = [&] {
        ::UpdateWindow(view);
        HDC dc = ::GetDC(view);
        const POINT c = window->CaptureImage.ImageToClient({250, 200}); // the bottom-right corner's pixel
        const int half = window->Scale(7) / 2;
        const std::pair<std::uint32_t, std::uint32_t> colours = {
            gui::PixelOfColorRef(::GetPixel(dc, c.x + half, c.y)),
            gui::PixelOfColorRef(::GetPixel(dc, c.x + 1, c.y + 1))};
        ::ReleaseDC(view, dc);
        return colours;
    };
    EXPECT_EQ(handle(), std::make_pair(0x333333u, 0xFFFFFFu));
    gui::AnswerHighContrast(true);
    ::SendMessageA(window->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(handle(), std::make_pair(System(COLOR_HIGHLIGHT), System(COLOR_HIGHLIGHTTEXT)));
}
} // namespace
} // namespace corvinade
