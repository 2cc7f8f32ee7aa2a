// The capture window's selection in high contrast, answered through the
// setting's port: the frame, its boxes and the dimming in system colours
// once the colours change, its own colours again after.
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

} // namespace
} // namespace corvinade
