#!/usr/bin/env bash
# Cross-builds libpng from Debian's libpng1.6 source package for the PNG
# benchmark only (the product never links it), with the product's compiler,
# flags and zlib, into build/deps-bench/.  Does nothing when it is there.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out="$top/build/deps-bench"
[ -f "$out/lib/libpng16.a" ] && exit 0
src="$top/build/deps-bench-src"
rm -rf "$src"; mkdir -p "$src"
# The newest listed version can be missing from the mirror for a while: then
# the other versions the package lists are tried, newest first.
fetch() { (cd "$src" && apt-get source -qq "$1" >/dev/null 2>&1); }
if ! fetch libpng1.6; then
  for v in $(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -rV); do
    rm -rf "${src:?}"/*
    fetch "libpng1.6=$v" && break
  done
fi
pdir=$(find "$src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
[ -n "$pdir" ] || { echo "libpng1.6 source not found (apt-get source libpng1.6)" >&2; exit 1; }
zlib=/usr/i686-w64-mingw32
cmake -Wno-dev -S "$pdir" -B "$src/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$out" \
  -DCMAKE_C_FLAGS="-msse2 -mfpmath=sse -mstackrealign" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_LIBRARY="$zlib/lib/libz.a" -DZLIB_INCLUDE_DIR="$zlib/include" >/dev/null
cmake --build "$src/build" >/dev/null
cmake --install "$src/build" >/dev/null
