// What the tray tests need beyond Harness.h: running Linux programs from a
// test under Wine (xdotool for clicks on the real tray icon, the reference
// update endpoint), finding the overview panel, reading its opacity and
// pixels.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Harness.h"

namespace corvinade::test {

// Runs a command with /bin/sh on the Linux side (Wine starts Unix programs
// with CreateProcess; they inherit the display) and waits until it has ended.
// Returns its exit code, or nothing when it did not end within the timeout.
std::optional<int> RunUnixCommand(const std::string& command, Milliseconds timeout = DefaultTimeout);

// xdotool with these arguments; true when it succeeded.
bool Xdotool(const std::string& arguments);

// The screen point of the program's tray icon: the only icon at the right
// end of the virtual desktop's taskbar.
POINT TrayIconPoint();
// The pointer moves there and clicks button 1 (left) or 3 (right) once, or
// twice within the double-click time.
bool ClickTrayIcon(int button = 1);
bool DoubleClickTrayIcon();
bool MovePointer(int x, int y);
// Right-clicks the icon and picks "Exit", the menu's last item.
bool ChooseTrayExit();

// The texts of every tray icon's tip, as the notification area holds them
// (read from its tooltips, in their process).
std::vector<std::string> TrayTipTexts();

// The overview panel of a Corvinade process: its main window, shown or not.
HWND FindPanel(DWORD processId);
// Opacity of a layered window, nothing when it has none.
std::optional<BYTE> WindowOpacity(HWND window);

// The reference endpoint (tools/update-endpoint.py) on a free loopback port,
// answering "[UPDATE]" for versions below the latest one. Ended with the
// object.
class UpdateEndpoint {
public:
    // `answers` false: connections are taken and never answered.
    explicit UpdateEndpoint(int latestVersion, bool answers = true);
    UpdateEndpoint(const UpdateEndpoint&) = delete;
    UpdateEndpoint& operator=(const UpdateEndpoint&) = delete;
    ~UpdateEndpoint();

    bool Started() const { return port_ != 0; }
    // "http://127.0.0.1:PORT"
    std::string BaseAddress() const;
    // Changes the answer of later requests.
    void SetLatestVersion(int version);
    // The request paths so far, in order.
    std::vector<std::string> Requests() const;

private:
    std::string folder_; // Linux path of its files
    int port_ = 0;
};

// A Linux path as a path the test can open ("/tmp/x" gives "Z:\tmp\x").
std::string FromUnix(const std::string& path);

// Pixels of a screen area, 0x00RRGGBB, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& area);

// What a plain text cell of the panel should look like: the text drawn with
// the program's font (Tahoma 11, bold or not) in the tooltip colours, on one
// line of a cell of this size, ending in "..." where it does not fit.
std::vector<COLORREF> RenderCell(const std::string& text, bool bold, int width, int height);
// The same in another text colour.
std::vector<COLORREF> RenderCell(const std::string& text, bool bold, int width, int height,
                                 COLORREF textColour);
// The width of a text on one line in the program's font (Tahoma 11).
int TextWidth(const std::string& text, bool bold);
// A text drawn with the program's font (Tahoma 11) on a background, with
// DrawText's format flags: what a label painted by the program looks like.
std::vector<COLORREF> RenderText(const std::string& text, bool bold, int width, int height,
                                 COLORREF textColour, COLORREF background, UINT format);

} // namespace corvinade::test
