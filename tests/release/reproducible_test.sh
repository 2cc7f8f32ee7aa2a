#!/usr/bin/env bash
# The same sources give the same corvinade.exe and installer wherever and
# whenever they are built: the cross tree's corvinade.exe against a second
# build, now, of the same sources copied into another folder (another path
# of another length); then installers made from the two at different times
# in different folders with one time stamp. scripts/release.sh
# --check-reproducible is the full check: a fresh clone, libjpeg-turbo
# built again, two whole releases.
#
#   reproducible_test.sh CROSS_BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: reproducible_test.sh CROSS_BUILD_DIR" >&2; exit 2; }
build=$1
cached() {
    sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"
}

failures=0
# Tells how many bytes differ and where the first do.
compare() {
    local what=$1 a=$2 b=$3
    if cmp -s "$a" "$b"; then
        echo "identical: $what ($(stat -c %s "$a") bytes)"
    else
        echo "FAILED: $what differs in $(cmp -l "$a" "$b" 2>/dev/null | wc -l) bytes, the first at offsets (from 1):"
        cmp -l "$a" "$b" 2>&1 | head -n 8
        failures=$((failures + 1))
    fi
}

work=$(mktemp -d "${TMPDIR:-/tmp}/corvinade-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One installer now, from the cross tree's program; the other after the
# second build, minutes later.
make_setup() {
    bash "$root/installer/make-setup.sh" exe="$1" setup="$2" version=1.0.0.0 publisher=Pelmorra \
        product=Corvinade copyright=Copyright epoch=1700000000
}
make_setup "$build/src/corvinade.exe" "$work/first/corvinade-setup.exe"

copy=$work/somewhere/else/corvinade
mkdir -p "$copy"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf -) | tar -C "$copy" -xf -
(cd "$copy" && cmake --preset cross -Wno-dev -DCORVINADE_DEPS_PREFIX="$(cached CORVINADE_DEPS_PREFIX)" \
    -DCORVINADE_SOURCE_DATE_EPOCH="$(cached CORVINADE_SOURCE_DATE_EPOCH)") >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; exit 1; }
cmake --build "$copy/build/cross" --target corvinade >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log"; exit 1; }
compare corvinade.exe "$build/src/corvinade.exe" "$copy/build/cross/src/corvinade.exe"

make_setup "$copy/build/cross/src/corvinade.exe" "$work/second/elsewhere/corvinade-setup.exe"
compare "the installer" "$work/first/corvinade-setup.exe" "$work/second/elsewhere/corvinade-setup.exe"
exit "$failures"
