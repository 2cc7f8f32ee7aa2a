#!/usr/bin/env bash
# Prints the screen-capture figures for a 3840 x 2160 screen under Wine and
# Xvfb: hotkey to capture window, a selection drag step against a full
# repaint, the shading on release, JPEG encoding against cjpeg of the
# same libjpeg-turbo build, PNG (the system's codecs) beside JPEG, and memory
# with one and five capture windows, as Linux counts the process's private
# memory, beside a plain grab-and-show program's first window, and of the
# first window with a few dozen marks against without them.
# Keeps screenshots of the capture window in build/bench-capture/.
# Not a test: figures, no pass or fail. Needs the cross tree built
# (scripts/build.sh, or BUILD=build/cross-NAME).
set -euo pipefail
# Figures of a program under Wine's heap checking would be slower and larger
# than the program's own (tests/harness/wine-run.sh).
export CORVINADE_HEAP_CHECK=${CORVINADE_HEAP_CHECK:-0}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/cross}
bench=$build/tools/bench/capture_bench.exe
cjpeg=$root/build/deps/prefix/bin/cjpeg.exe
out=$root/build/bench-capture
[ -x "$bench" ] || cmake --build "$build" --target capture_bench corvinade >/dev/null
mkdir -p "$out"
export CORVINADE_DESKTOP=3840x2160

echo "== in the program: repaint, drag steps, overlay, JPEG, PNG"
log=$(bash "$root/tests/harness/wine-run.sh" "$bench" window "Z:$out" | tr -d '\r')
grep -v '^JPEG_MS' <<<"$log"
jpeg_ms=$(sed -n 's/^JPEG_MS //p' <<<"$log")

echo "== cjpeg.exe, run the same way under Wine"
bash "$root/tests/harness/wine-run.sh" "$bench" cjpeg "Z:$cjpeg" "Z:$out" "$jpeg_ms" | tr -d '\r'

echo "== corvinade.exe: hotkey to window, memory"
CORVINADE_EXE="Z:$build/src/corvinade.exe" CORVINADE_TEST_BIN="$build/tests/harness" \
    bash "$root/tests/harness/wine-run.sh" "$bench" hotkey | tr -d '\r'

for shot in "$out"/state*.bmp; do
    convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
rm -f "$out"/*.ppm "$out"/*.jpg "$out"/save.png
echo "screenshots: $out/state*.png"
