#!/bin/sh
# The soak run: Ollendock.exe for MINUTES (default 10) in a 240x320 Wine virtual desktop under
# load (WINEPREFIX as for tools/wine-run). Prints the resource figures and the verdict.
# usage: run_soak.sh BUILD_DIR [MINUTES]
set -u
build=$(cd "$1" && pwd) minutes=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
win() { printf 'Z:%s\n' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
work=${TMPDIR:-/tmp}/soak
sh "$here/../tests/wine/in_desktop.sh" "$here/../tools/wine-run" 240x320 "$work" "$build/bench/soak.exe" \
  "$(win "$build/tray/Ollendock.exe")" "$(win "$build/tools/qmxsim/qmxsim.exe")" \
  "$(win "$here/../tests/fixtures/bluetooth_devices.reg")" "$(win "$work")" "$minutes" | grep -v "^/"
exit 0
