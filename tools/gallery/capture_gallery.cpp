// capture_gallery.exe: a capture window over a made-up picture with a mark
// of each kind and one of them selected, to look at (tools/screenshots.sh
// takes its pictures at 96 and 144 dpi). With the argument "contrast" the
// session's colours become those of a high-contrast scheme and the setting
// is answered as on, as Wine cannot switch high contrast itself.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture/CaptureWindow.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Contrast.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"

using namespace corvinade;

namespace {

// The system colours the program's windows use.
constexpr int Elements[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_BTNFACE,      COLOR_BTNTEXT,
                            COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_APPWORKSPACE, COLOR_3DLIGHT,
                            COLOR_3DSHADOW,  COLOR_GRAYTEXT,      COLOR_WINDOWFRAME,  COLOR_BTNHIGHLIGHT};

// Windows' "High Contrast Black" for the colours the program's windows use
// (until the program ends: the session's own come back then).
void UseHighContrastColours(std::vector<COLORREF>& before) {
    const COLORREF colours[] = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),
                                RGB(255, 255, 255), RGB(26, 235, 255),  RGB(0, 0, 0),
                                RGB(0, 0, 0),       RGB(255, 255, 255), RGB(255, 255, 255),
                                RGB(63, 242, 63),   RGB(255, 255, 255), RGB(255, 255, 255)};
    for (const int element : Elements)
        before.push_back(::GetSysColor(element));
    ::SetSysColors(static_cast<int>(std::size(Elements)), Elements, colours);
    gui::AnswerHighContrast(true);
}

void RestoreColours(const std::vector<COLORREF>& before) {
    if (before.size() == std::size(Elements))
        ::SetSysColors(static_cast<int>(std::size(Elements)), Elements, before.data());
}

// A page of an invoice: a heading, lines of text, a card number to hide.
gui::Bitmap32 Picture(int width, int height) {
    gui::Bitmap32 picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Row(y)[x] = y < 60 ? 0x2B5797u : 0xF4F4F0u;
    HDC dc = picture.DC();
    ::SetBkMode(dc, TRANSPARENT);
    gui::GdiObject<HFONT> big(::CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                            ANTIALIASED_QUALITY, 0, L"Tahoma"));
    gui::GdiObject<HFONT> text(::CreateFontW(-17, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                             ANTIALIASED_QUALITY, 0, L"Tahoma"));
    auto write = [&](HFONT font, COLORREF colour, int x, int y, const wchar_t* line) {
        gui::ScopedSelect select(dc, font);
        ::SetTextColor(dc, colour);
        ::TextOutW(dc, x, y, line, static_cast<int>(std::wcslen(line)));
    };
    write(big.Get(), RGB(255, 255, 255), 24, 14, L"Invoice 2041");
    const wchar_t* lines[] = {L"Customer: Ada Example", L"Card number: 4929 1234 5678 9012",
                              L"Amount due: 128.40", L"Due by: 31 January"};
    for (int i = 0; i < 4; ++i)
        write(text.Get(), RGB(40, 40, 40), 24, 90 + 34 * i, lines[i]);
    RECT button = {24, 250, 164, 286};
    gui::GdiObject<HBRUSH> green(::CreateSolidBrush(RGB(32, 140, 64)));
    ::FillRect(dc, &button, green.Get());
    write(text.Get(), RGB(255, 255, 255), 58, 258, L"Pay now");
    ::GdiFlush();
    return picture;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    gui::Application app(instance);
    app.SetTitle("Capture gallery");
    std::vector<COLORREF> colours;
    if (std::string(commandLine).find("contrast") != std::string::npos)
        UseHighContrastColours(colours);
    auto* window = new CaptureWindow();
    window->CaptureImage.SetImage(Picture(620, 330));
    window->OnClose = [&] { app.Terminate(); };
    window->OnPin = [](const PixelImage&, POINT) {};
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const IntRect screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    window->OpenOn({screen, {work.left, work.top, work.right, work.bottom}, gui::ScreenDpi(), true});
    window->Show();
    HWND view = window->CaptureImage.Handle();
    auto drag = [&](MarkTool tool, POINT from, POINT to) {
        window->SetTool(tool);
        const POINT a = window->CaptureImage.ImageToClient(from), b = window->CaptureImage.ImageToClient(to);
        ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
        ::SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((a.x + b.x) / 2, (a.y + b.y) / 2 + 6));
        ::SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
        ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    };
    drag(MarkTool::Redact, {126, 120}, {330, 144});
    drag(MarkTool::Highlighter, {26, 168}, {200, 168});
    drag(MarkTool::Rectangle, {16, 242}, {172, 294});
    drag(MarkTool::Arrow, {300, 262}, {180, 268});
    drag(MarkTool::Ellipse, {400, 20}, {600, 90});
    drag(MarkTool::Line, {380, 200}, {600, 200});
    drag(MarkTool::Pen, {380, 230}, {600, 250});
    drag(MarkTool::Step, {350, 100}, {350, 100});
    drag(MarkTool::Step, {350, 170}, {350, 170});
    window->SetTool(MarkTool::Text);
    const POINT at = window->CaptureImage.ImageToClient({320, 250});
    ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    for (const wchar_t c : std::wstring(L"Pay by Friday\rthank you"))
        ::SendMessageW(view, WM_CHAR, c, 0);
    window->SetTool(MarkTool::Select); // ends the text
    const POINT edge = window->CaptureImage.ImageToClient({16, 270});
    ::SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge.x, edge.y));
    ::SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(edge.x, edge.y));
    app.Run();
    delete window;
    RestoreColours(colours);
    return 0;
}
