#!/usr/bin/env bash
# Builds and runs the paint_kernels benchmark natively (x86-64, the build
# machine's compiler at -O2) against the system's pixman (Debian's
# libpixman-1-dev, installed when missing): the same kernels and references
# as the i686 build under Wine, without the emulation.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/build/bench-native}
if [ ! -f /usr/include/pixman-1/pixman.h ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libpixman-1-dev >/dev/null
fi
mkdir -p "$out"
paint=$top/skin/paint
g++ -std=c++20 -O2 -I"$top" -I/usr/include/pixman-1 "$top/bench/paint_kernels/main.cpp" \
  "$paint/sAlphaGraph_Fast.cpp" "$paint/sAlphaGraph_Pixels.cpp" "$paint/sGraphUtils_Colors.cpp" \
  "$paint/sGraphUtils_Compose.cpp" "$paint/sGraphUtils_Stretch.cpp" "$paint/sGradient_Fill.cpp" \
  "$top/classlib/rtl/System.cpp" -lpixman-1 -o "$out/paint_kernels"
"$out/paint_kernels"
