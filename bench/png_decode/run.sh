#!/usr/bin/env bash
# Builds libpng for the benchmark (once), makes the test images (once),
# builds the benchmark and runs it under Wine.
# Usage: bench/png_decode/run.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
dir=${1:-build/bench}
"$top/bench/png_decode/build_libpng.sh"
"$top/bench/png_decode/make_images.sh" "$top/build/bench-images/png"
source "$top/tools/wine-env"
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$dir" --target png_decode
wineserver -p </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
wine "$dir/bench/png_decode/png_decode.exe" "$top/build/bench-images/png" "${2:-7}"
