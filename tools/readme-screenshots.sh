#!/usr/bin/env bash
# Makes the README's pictures (docs/images/*.png) under Wine and Xvfb with
# tools/screenshots.sh: the tray panel, the settings window, the setup guide
# and a marked-up capture, at 96 dpi. Needs the cross tree built.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SHOTS=$(mktemp -d)
trap 'rm -rf "$SHOTS"' EXIT
bash "$ROOT/tools/screenshots.sh" "$SHOTS" 96 >/dev/null
mkdir -p "$ROOT/docs/images"
# The panel and the windows stand alone on the 1280 x 800 desktop, so
# trimming the desktop around them leaves the window. Cut off first: the
# taskbar (from 780 down) and, but for the panel that reaches down to it,
# the tray icon's tip above it.
picture() { # shot, name, height of the desktop kept
    convert "$SHOTS/$1-96.png" -crop "1280x$3+0+0" +repage -fuzz 2% -trim +repage "$ROOT/docs/images/$2.png"
}
picture tray-panel panel 780
picture settings settings 760
picture first-use-hotkeys setup-guide 760
picture capture-gallery capture-marks 760
ls -l "$ROOT"/docs/images/*.png
