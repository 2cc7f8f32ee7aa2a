#!/usr/bin/env bash
# Installs what is missing, then builds both trees: the native one (portable
# logic and its tests) and the cross one (corvinade.exe and the Win32 tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build-libjpeg.sh

build_tree() {
    local preset=$1
    if [ ! -f "build/$preset/build.ninja" ]; then
        cmake --preset "$preset" -Wno-dev >"build/configure-$preset.log" 2>&1 ||
            { cat "build/configure-$preset.log"; exit 1; }
    fi
    echo "build: $preset tree"
    cmake --build --preset "$preset" >"build/build-$preset.log" 2>&1 ||
        { grep -vE '^\[[0-9]+/[0-9]+\] ' "build/build-$preset.log" | tail -n 60; exit 1; }
    grep -E 'warning:' "build/build-$preset.log" | grep -v '^/usr/' || true
}

mkdir -p build
if [ "${1:-}" != "--cross-only" ]; then
    build_tree native
fi
build_tree cross
