// Screen scaling of the designed geometry: every size of the program's
// windows is given in pixels at 96 dpi and goes through Scale here, and
// nowhere else.
#pragma once

#include <windows.h>

namespace corvinade::gui {

// Tells Windows that we scale ourselves (the manifest says so too; this
// covers a process started without it). Safe to call more than once.
void MakeProcessDpiAware();

// The screen's logical dpi, read once.
int ScreenDpi();

// designPixels * dpi / 96, rounded.
int Scale(int designPixels);

// The font of every window and control: Tahoma with a character height of
// 11 design pixels. Created once, owned here, never to be deleted by callers.
HFONT DefaultFont();

} // namespace corvinade::gui
