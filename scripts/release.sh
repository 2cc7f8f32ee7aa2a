#!/usr/bin/env bash
# Builds a release into dist/:
#
#   release.sh [--check-reproducible]
#
#   corvinade.exe                 the program
#   corvinade-setup-VERSION.exe   the per-user installer (installer/corvinade.nsi)
#   corvinade-portable-VERSION.zip  a portable copy (the exe and a file "portable")
#   release-notes.md              this version's section of CHANGELOG.md
#   winget/                       the Windows package manager's manifest
#   SHA256SUMS                    every file above
#
# VERSION is the file version of the exe (project(VERSION) in CMakeLists.txt).
# Installs what is missing first, then builds in build/release, made afresh
# each time so that nothing of an earlier build goes into the release.
#
# The same commit gives the same bytes wherever and whenever it is built:
# every time stamp is the commit's date (SOURCE_DATE_EPOCH, unless already
# set). --check-reproducible then builds the commit a second time in a fresh
# clone elsewhere and compares the two releases file by file.
#
# Signed with Authenticode (the exe, the uninstaller and the installer) when
# CORVINADE_SIGN_PFX (a PKCS#12 file) and CORVINADE_SIGN_PASSWORD are set,
# time-stamped when CORVINADE_SIGN_TIMESTAMP_URL is set; see scripts/sign.sh.
set -euo pipefail

fail() {
    echo "release: $*" >&2
    exit 1
}

check=
case "${1:-}" in
"") ;;
--check-reproducible) check=1 ;;
*) fail "usage: release.sh [--check-reproducible]" ;;
esac

# Before changing folder: a relative certificate path is the caller's.
if [ -n "${CORVINADE_SIGN_PFX:-}" ]; then
    [ -r "$CORVINADE_SIGN_PFX" ] || fail "cannot read CORVINADE_SIGN_PFX ($CORVINADE_SIGN_PFX)"
    [ -n "${CORVINADE_SIGN_PASSWORD+set}" ] || fail "CORVINADE_SIGN_PFX is set but CORVINADE_SIGN_PASSWORD is not"
    CORVINADE_SIGN_PFX=$(realpath "$CORVINADE_SIGN_PFX")
    export CORVINADE_SIGN_PFX
fi

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build-libjpeg.sh

if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "release: note: the work tree has changes that are not committed; they are in this build"
fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
        fail "not a git clone: set SOURCE_DATE_EPOCH to the release's date (seconds since 1970)"
fi
export SOURCE_DATE_EPOCH

if [ -n "${CORVINADE_SIGN_PFX:-}" ]; then
    sign=ON
    echo "release: signing with $(basename "$CORVINADE_SIGN_PFX"), ${CORVINADE_SIGN_TIMESTAMP_URL:+time-stamped by $CORVINADE_SIGN_TIMESTAMP_URL}${CORVINADE_SIGN_TIMESTAMP_URL:-without a time-stamp server}"
else
    sign=OFF
    echo "release: UNSIGNED: set CORVINADE_SIGN_PFX and CORVINADE_SIGN_PASSWORD to sign (README, \"Signing\")"
fi

tree=build/release
rm -rf "$tree"
mkdir -p build
echo "release: configuring $tree"
cmake --preset cross -B "$tree" -Wno-dev -DCORVINADE_SIGN=$sign >build/configure-release.log 2>&1 ||
    { cat build/configure-release.log; exit 1; }
echo "release: building corvinade.exe and the installer"
cmake --build "$tree" --target corvinade_setup >build/build-release.log 2>&1 ||
    { grep -vE '^\[[0-9]+/[0-9]+\] ' build/build-release.log | tail -n 60; exit 1; }
if grep -E 'warning' build/build-release.log | grep -v '^/usr/'; then
    fail "the build has warnings (build/build-release.log)"
fi

setups=("$tree"/installer/corvinade-setup-*.exe)
if [ ${#setups[@]} -ne 1 ] || [ ! -f "${setups[0]}" ]; then
    fail "expected one installer in $tree/installer, found: ${setups[*]}"
fi
rm -rf dist
mkdir dist
# The exe the installer holds: signed when the installer is.
cp "$tree/installer/payload/corvinade.exe" "${setups[0]}" dist/
bash scripts/release-files.sh dist "$tree/release-facts.txt"
echo "release: dist/"
(cd dist && find . -type f -printf '%P\n' | LC_ALL=C sort | while read -r f; do
    printf '  %-56s %9d bytes\n' "$f" "$(stat -c %s "$f")"
done)
(cd dist && sed 's/^/  /' SHA256SUMS)

[ -n "$check" ] || exit 0

# The second build: a fresh clone of the commit, in another folder, later.
[ -z "$(git status --porcelain)" ] || fail "--check-reproducible needs a clean work tree (the clone has only the commit)"
other=$(mktemp -d "${TMPDIR:-/tmp}/corvinade-reproducible.XXXXXX")
trap 'rm -rf "$other"' EXIT
echo "release: building $(git rev-parse --short HEAD) again in $other/corvinade"
git clone -q --no-hardlinks "$root" "$other/corvinade"
if ! (cd "$other/corvinade" && bash scripts/release.sh) >"$other/release.log" 2>&1; then
    cat "$other/release.log"
    fail "the second build failed"
fi
echo "release: comparing dist/ with the second build's"
differ=0
while read -r f; do
    if cmp -s "dist/$f" "$other/corvinade/dist/$f"; then
        printf '  %-56s identical\n' "$f"
    else
        printf '  %-56s DIFFERS at %s bytes\n' "$f" "$(cmp -l "dist/$f" "$other/corvinade/dist/$f" 2>/dev/null | wc -l)"
        differ=1
    fi
done < <(cd dist && find . -type f -printf '%P\n' | LC_ALL=C sort)
if [ "$differ" != 0 ]; then
    trap - EXIT
    fail "the two builds differ; the second is kept in $other/corvinade"
fi
echo "release: reproducible: both builds gave the same bytes"
