#!/usr/bin/env bash
# Builds libjpeg-turbo from Debian's source package for the MinGW target into
# build/deps/prefix. Does nothing when the library is there already.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
prefix="$deps/prefix"

if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && [ -f "$prefix/bin/cjpeg.exe" ]; then
    exit 0
fi

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
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="-static" >"$deps/libjpeg-configure.log"
grep -q "SIMD extensions: i386" "$deps/libjpeg-configure.log" || echo "libjpeg: warning: built without SIMD"
cmake --build "$deps/libjpeg-build" >"$deps/libjpeg-build.log"
cmake --install "$deps/libjpeg-build" >/dev/null
echo "libjpeg: installed into $prefix"
