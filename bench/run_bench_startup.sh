#!/bin/sh
# Runs bench_startup in a 240x320 Wine virtual desktop (WINEPREFIX as for tools/wine-run), with the
# program installed as the installer leaves it.
# usage: run_bench_startup.sh BUILD_DIR [ROUNDS] [PROGRAM]   (PROGRAM: a Windows path; the build's
#        own Ollendock.exe when missing)
set -u
build=$(cd "$1" && pwd) rounds=${2:-11}
here=$(cd "$(dirname "$0")" && pwd)
win() { printf 'Z:%s\n' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
program=${3:-$(win "$build/tray/Ollendock.exe")}
sh "$here/../tests/wine/in_desktop.sh" "$here/../tools/wine-run" 240x320 "${TMPDIR:-/tmp}/bench-startup" \
  "$build/bench/bench_startup.exe" "$program" "$(win "$build/bench/bench_bare_window.exe")" \
  "$(win "$build/tools/qmxsim/qmxsim.exe")" "$(win "${TMPDIR:-/tmp}/bench-startup")" "$rounds" | grep -v "^/"
exit 0
