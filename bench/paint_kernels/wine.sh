#!/usr/bin/env bash
# Runs the paint_kernels benchmark under Wine twice: with pixman's SIMD paths
# and with them off (PIXMAN_DISABLE), because under an emulated CPU pixman's
# SSE2 code can be slower than its own plain C.  For each kernel measured
# against pixman it prints the run whose reference was faster, so that the
# ratio is against pixman's best on this machine (the other kernels come
# from the first run; each line comes from one run where ours and the
# reference took turns).
# Usage: bench/paint_kernels/wine.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
exe=${1:-$top/build/dev}/bench/paint_kernels/paint_kernels.exe
source "$top/tools/wine-env"
simd=$(WINEDEBUG=-all wine "$exe" | tr -d '\r')
plain=$(PIXMAN_DISABLE="mmx sse2 ssse3" WINEDEBUG=-all wine "$exe" | tr -d '\r')
echo "$simd" | head -n 1
# Lines: the kernel's name in 40 columns, then "ours X MP/s   reference Y
# MP/s   ratio R"; the lines of the two runs are matched by name.
awk -v plain="$plain" '
  function ref(line,   n, f, i) { n = split(line, f, " "); for (i = 1; i < n; i++) if (f[i] == "reference") return f[i + 1] + 0; return -1 }
  BEGIN { n = split(plain, p, "\n"); for (i = 2; i <= n; i++) other[substr(p[i], 1, 40)] = p[i] }
  NR > 1 && !/blend|composition|masked|pixman/ { print; next }
  NR > 1 {
    o = other[substr($0, 1, 40)]
    if (o != "" && ref(o) > ref($0)) print o "   (pixman plain C)"
    else print $0 "   (pixman SIMD)"
  }' <<<"$simd"
