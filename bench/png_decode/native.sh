#!/usr/bin/env bash
# Builds and runs the PNG benchmark natively (x86-64, the build machine's
# compiler at -O2, the product's flags otherwise) against the system's libpng
# and zlib (Debian's libpng-dev), on the images make_images.sh writes.
# Usage: bench/png_decode/native.sh [OUT_DIR] [ROUNDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build/bench-native}
"$top/bench/png_decode/make_images.sh" "$top/build/bench-images/png"
mkdir -p "$out"
paint=$top/skin/paint
g++ -std=c++20 -O2 -DKV_NATIVE=1 -I"$top" "$top/bench/png_decode/native.cpp" \
  "$paint/kvPNG_Decoder.cpp" "$paint/kvPNG_ColorManager.cpp" "$top/classlib/rtl/System.cpp" \
  -lpng16 -lz -o "$out/png_decode_native"
"$out/png_decode_native" "$top/build/bench-images/png" "${2:-15}"
