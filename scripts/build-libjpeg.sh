#!/usr/bin/env bash
# Builds libjpeg-turbo from Debian's source package for the MinGW target into
# build/deps/prefix. Does nothing when the library is there already, built
# with the options below.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
prefix="$deps/prefix"

# Only what the program uses reaches corvinade.exe: a section per function
# and datum lets the linker drop what nothing calls, the arithmetic coders
# (baseline JPEG files never use them) are left out, and the Huffman coders
# count bits with the processor's instruction instead of two 64 KB tables
# (the same bytes come out). No unwind tables: no exception passes through
# the library (its errors jump back over it, see src/capture/JpegFile.cpp).
options=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_ARITH_ENC=OFF -DWITH_ARITH_DEC=OFF
    "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections -DUSE_CLZ_INTRINSIC -fno-asynchronous-unwind-tables -fno-unwind-tables")
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && [ -f "$prefix/bin/cjpeg.exe" ] &&
    [ "$(cat "$prefix/options" 2>/dev/null)" = "${options[*]}" ]; then
    exit 0
fi
rm -rf "$deps/libjpeg-build" "$prefix"

mkdir -p "$deps/src"
cd "$deps/src"
if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
    echo "libjpeg: fetching Debian's source package"
    apt-get source -qq libjpeg-turbo >/dev/null 2>&1 || apt-get source libjpeg-turbo
fi
src=$(ls -d "$deps"/src/libjpeg-turbo-*/ | head -n 1)

echo "libjpeg: building $(basename "$src") for i686-w64-mingw32"
cmake -S "$src" -B "$deps/libjpeg-build" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    "${options[@]}" -DCMAKE_EXE_LINKER_FLAGS="-static" >"$deps/libjpeg-configure.log"
grep -q "SIMD extensions: i386" "$deps/libjpeg-configure.log" || echo "libjpeg: warning: built without SIMD"
cmake --build "$deps/libjpeg-build" >"$deps/libjpeg-build.log"
cmake --install "$deps/libjpeg-build" >/dev/null
printf '%s' "${options[*]}" >"$prefix/options"
echo "libjpeg: installed into $prefix"
