// The tray panel in high contrast, the setting answered by the test: it is
// opaque, draws with the system's colours only (the links in the theme's
// link colour, a failed hotkey in the text colour with a sign before it
// instead of red), and goes back to its own look when the setting is off.
#include "Harness.h"
#include "gui/Contrast.h"
#include "gui_testing.h"
#include "program_parts.h"
#include "ui/TrayPanel.h"

#include <algorithm>

namespace corvinade {
namespace {

constexpr COLORREF FailedRed = RGB(192, 0, 0);
constexpr int HeldId = 0x7001;

// A painted picture, 0x00BBGGRR per pixel as COLORREF reads.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool Contains(const RECT& area, COLORREF colour) const {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (At(x, y) == colour)
                    return true;
        return false;
    }
    // The right end of the first text drawn on the background in the area:
    // where `gap` columns of background follow (the next column's text may
    // come after).
    int InkRight(const RECT& area, COLORREF background, int gap) const {
        int right = area.left;
        for (int x = area.left; x < area.right && (right == area.left || x - right < gap); ++x)
            for (int y = area.top; y < area.bottom; ++y)
                if (At(x, y) != background)
                    right = x + 1;
        return right;
    }
};

class PanelContrastTest : public gui::testing::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        test::SetSettingText("FirstUse", "0");
        // Held here, the second hotkey fails to register.
        ASSERT_TRUE(::RegisterHotKey(nullptr, HeldId, MOD_WIN, 'Q'));
        test::WriteHotkeysIni({{true, 'N', test::ModWin, "openfile", "notepad.exe", ""},
                               {true, 'Q', test::ModWin, "maximize", "", ""}});
        parts = std::make_unique<gui::testing::ProgramParts>();
        form = std::make_unique<TrayPanel>(parts->hotkeys, parts->updateCheck);
    }
    void TearDown() override {
        gui::AnswerHighContrast(std::nullopt);
        form.reset();
        parts.reset();
        ::UnregisterHotKey(nullptr, HeldId);
        AppTest::TearDown();
    }

    // The panel as it paints itself, without the screen's blending.
    Picture Paint() const {
        const SIZE size = {form->Scale(579), form->Scale(21 * 2 + 53)};
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB};
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        ::SendMessageW(form->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        Picture picture{size.cx, size.cy, {}};
        const auto* words = static_cast<const DWORD*>(bits);
        for (int i = 0; i < size.cx * size.cy; ++i) {
            const DWORD p = words[i];
            picture.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::DeleteObject(bitmap);
        return picture;
    }

    BYTE Opacity() const {
        BYTE alpha = 0;
        DWORD flags = 0;
        ::GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags);
        return alpha;
    }

    RECT Design(int left, int top, int right, int bottom) const {
        return {form->Scale(left), form->Scale(top), form->Scale(right), form->Scale(bottom)};
    }

    std::unique_ptr<gui::testing::ProgramParts> parts;
    std::unique_ptr<TrayPanel> form;
};

TEST_F(PanelContrastTest, HighContrastDrawsWithSystemColoursAndSignsTheFailedHotkey) {
    const RECT failedCell = Design(8, 46, 300, 59); // the second row's hotkey, its action after it
    const RECT manageLink = Design(8, 74, 100, 87); // "Manage hotkeys"
    const COLORREF background = ::GetSysColor(COLOR_INFOBK);
    ASSERT_NE(::GetSysColor(COLOR_HOTLIGHT), ::GetSysColor(COLOR_HIGHLIGHT));

    form->OnTrayIconClick();
    ASSERT_TRUE(form->Visible());
    const Picture own = Paint();
    EXPECT_TRUE(own.Contains(failedCell, FailedRed));
    EXPECT_TRUE(own.Contains(manageLink, ::GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(Opacity(), 240);

    // Windows says high contrast is on: the panel follows at once.
    gui::AnswerHighContrast(true);
    ::SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    const Picture contrast = Paint();
    EXPECT_FALSE(contrast.Contains(Design(0, 0, 579, 95), FailedRed));
    EXPECT_TRUE(contrast.Contains(failedCell, ::GetSysColor(COLOR_INFOTEXT)));
    EXPECT_GT(contrast.InkRight(failedCell, background, form->Scale(8)),
              own.InkRight(failedCell, background, form->Scale(8)))
        << "no sign before the failed hotkey";
    EXPECT_TRUE(contrast.Contains(manageLink, ::GetSysColor(COLOR_HOTLIGHT)));
    EXPECT_FALSE(contrast.Contains(manageLink, ::GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(Opacity(), 255);

    gui::AnswerHighContrast(false);
    ::SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(Paint().pixels, own.pixels);
    EXPECT_EQ(Opacity(), 240);
}

} // namespace
} // namespace corvinade
