#!/usr/bin/env bash
# Makes the README's pictures (docs/images/*.png) under Wine and Xvfb with
# tools/screenshots.sh: the tray panel, the settings window and the setup
# guide, at 96 dpi. Needs the cross tree built.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SHOTS=$(mktemp -d)
trap 'rm -rf "$SHOTS"' EXIT
bash "$ROOT/tools/screenshots.sh" "$SHOTS" 96 >/dev/null
mkdir -p "$ROOT/docs/images"
# The panel sits above the tray icon at the bottom right of the 1280 x 800
# desktop; the windows stand alone on it, so trimming the desktop around
# them (the taskbar cut off first) leaves the window.
convert "$SHOTS/tray-panel-96.png" -crop 600x140+680+640 +repage "$ROOT/docs/images/panel.png"
for shot in settings:settings first-use-hotkeys:setup-guide; do
    convert "$SHOTS/${shot%%:*}-96.png" -crop 1280x760+0+0 +repage -fuzz 2% -trim +repage \
        "$ROOT/docs/images/${shot##*:}.png"
done
ls -l "$ROOT"/docs/images/*.png
