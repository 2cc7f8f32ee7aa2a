#!/usr/bin/env bash
# Builds a release into dist/: corvinade.exe and corvinade-setup-VERSION.exe,
# the per-user installer (installer/corvinade.nsi), VERSION being the file
# version of the exe (project(VERSION) in CMakeLists.txt). Installs what is
# missing first, then builds in build/release, made afresh each time so that
# nothing of an earlier build goes into the release.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build-libjpeg.sh

if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "release: note: the work tree has changes that are not committed; they are in this build"
fi

tree=build/release
rm -rf "$tree"
mkdir -p build
echo "release: configuring $tree"
cmake --preset cross -B "$tree" -Wno-dev >build/configure-release.log 2>&1 ||
    { cat build/configure-release.log; exit 1; }
echo "release: building corvinade.exe and the installer"
cmake --build "$tree" --target corvinade_setup >build/build-release.log 2>&1 ||
    { grep -vE '^\[[0-9]+/[0-9]+\] ' build/build-release.log | tail -n 60; exit 1; }
if grep -E 'warning' build/build-release.log | grep -v '^/usr/'; then
    echo "release: the build has warnings (build/build-release.log)" >&2
    exit 1
fi

setups=("$tree"/installer/corvinade-setup-*.exe)
if [ ${#setups[@]} -ne 1 ] || [ ! -f "${setups[0]}" ]; then
    echo "release: expected one installer in $tree/installer, found: ${setups[*]}" >&2
    exit 1
fi
rm -rf dist
mkdir dist
cp "$tree/src/corvinade.exe" "${setups[0]}" dist/
echo "release: dist/"
(cd dist && for f in *.exe; do printf '  %-32s %9d bytes  sha256 %s\n' "$f" "$(stat -c %s "$f")" \
    "$(sha256sum "$f" | cut -d' ' -f1)"; done)
