#!/bin/sh
# Runs bench_picker in a 240x320 Wine virtual desktop (WINEPREFIX as for tools/wine-run).
# usage: run_bench_picker.sh BENCH_PICKER_EXE [ROUNDS]
set -u
exe=$1 rounds=${2:-21}
here=$(cd "$(dirname "$0")" && pwd)
sh "$here/../tests/wine/in_desktop.sh" "$here/../tools/wine-run" 240x320 "${TMPDIR:-/tmp}/bench-picker" "$exe" \
  "Z:$(echo "$here/../resources" | sed 's|/|\\|g')" "$rounds" | grep -v "^/"
exit 0
