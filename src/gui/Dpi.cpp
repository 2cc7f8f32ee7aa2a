// Dpi, scaling of designed pixels and the font cache.
#include "gui/Dpi.h"

#include <map>
#include <tuple>

#include "core/Wide_win.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

// Entry points missing before Windows 10 (and some missing in Wine), looked
// up once.
template <class Fn> Fn User32Entry(const char* name) {
    return FindSystemFunction<Fn>("user32.dll", name);
}

} // namespace

void MakeProcessDpiAware() {
    using SetAware = BOOL(WINAPI*)();
    if (auto fn = User32Entry<SetAware>("SetProcessDPIAware"))
        fn();
}

int ScreenDpi() {
    static const int dpi = [] {
        MakeProcessDpiAware();
        WindowDC screen(nullptr);
        int value = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
        return value > 0 ? value : DesignDpi;
    }();
    return dpi;
}

int WindowDpi(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Entry<GetDpi>("GetDpiForWindow");
    if (getDpiForWindow && window)
        if (UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    return ScreenDpi();
}

int Scale(int designPixels, int dpi) {
    return ::MulDiv(designPixels, dpi, DesignDpi);
}

int Scale(int designPixels) {
    return Scale(designPixels, ScreenDpi());
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32Entry<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

HFONT Font(const FontDesign& design, int dpi) {
    using Key = std::tuple<std::string, int, unsigned>;
    static std::map<Key, GdiObject<HFONT>> fonts;
    const int height = Scale(design.height, dpi);
    auto [it, added] = fonts.try_emplace(Key{design.face, height, design.style});
    if (added)
        it->second.Reset(::CreateFontW(-height, 0, 0, 0, (design.style & FontBold) ? FW_BOLD : FW_NORMAL,
                                       (design.style & FontItalic) != 0, (design.style & FontUnderline) != 0,
                                       (design.style & FontStrikeOut) != 0, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, Wide(design.face).c_str()));
    return it->second ? it->second.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT DefaultFont(int dpi) {
    return Font(FontDesign{}, dpi);
}

HFONT DefaultFont() {
    return DefaultFont(ScreenDpi());
}

} // namespace corvinade::gui
