#!/bin/sh
# Runs bench_paint in Wine virtual desktops of 240x320 and 480x640 (WINEPREFIX as for tools/wine-run).
# usage: run_bench_paint.sh BENCH_PAINT_EXE [ROUNDS]
set -u
exe=$1 rounds=${2:-201}
here=$(cd "$(dirname "$0")" && pwd)
for size in 240x320 480x640; do
  echo "=== $size"
  sh "$here/../tests/wine/in_desktop.sh" "$here/../tools/wine-run" "$size" "${TMPDIR:-/tmp}/bench-paint-$size" \
    "$exe" "$here/../resources" "$rounds" | grep -v "^/"
done
exit 0
