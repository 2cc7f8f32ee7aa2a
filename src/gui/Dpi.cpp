// Screen dpi, scaling of designed pixels and the program's default font.
#include "gui/Dpi.h"

#include "gui/Handles.h"

namespace corvinade::gui {

void MakeProcessDpiAware() {
    // Looked up at run time: SetProcessDPIAware is missing before Vista.
    using Fn = BOOL(WINAPI*)();
    if (HMODULE user32 = ::GetModuleHandleA("user32.dll"))
        if (auto fn =
                reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDPIAware"))))
            fn();
}

int ScreenDpi() {
    static const int dpi = [] {
        MakeProcessDpiAware();
        WindowDC screen(nullptr);
        int value = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scale(int designPixels) {
    return ::MulDiv(designPixels, ScreenDpi(), 96);
}

HFONT DefaultFont() {
    static const GdiObject<HFONT> font(::CreateFontA(-Scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    return font ? font.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace corvinade::gui
