#!/bin/sh
# The footprint benchmark: every row of the light-enough table as a figure and a ratio to its floor
# measured in the same run (medians of ROUNDS rounds where a figure varies). Runs by hand, not in
# CI: the sizes of the two programs, stripped; the commit charge of Ollendock hidden, shown and
# hidden again against the bare one-window program; its start-up against a one-window program that
# loads the same system libraries; the debug log's two files after a run that crosses 1 MB; the
# build steps tools/run takes from a clean build against the whole build's.
# usage: bench/run_bench.sh BUILD_DIR [ROUNDS]   (a win64 build with the bench targets built;
#        WINEPREFIX as for tools/wine-run: the build's installer installs Quillmote there first,
#        so that the programs find their pictures where the installer leaves them)
set -u
build=$(cd "$1" && pwd) rounds=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
strip=x86_64-w64-mingw32-strip
stripped() { $strip -o "$build/bench/size.tmp" "$1" && stat -c %s "$build/bench/size.tmp"; rm -f "$build/bench/size.tmp"; }
row() { # what figure unit floor goal
  awk -v w="$1" -v f="$2" -v u="$3" -v fl="$4" -v g="$5" 'BEGIN {
    ratio = 0; if (fl > 0) ratio = f / fl
    verdict = "OVER"; if (f <= g) verdict = "within"
    printf "%-44s %10d %-3s floor %10d  ratio %5.2f  goal %10d  %s\n", w, f, u, fl, ratio, g, verdict }'
}
echo "--- sizes (stripped)"
cpl=$(stripped "$build/cpl/Ollenset.cpl") floor_cpl=$(stripped "$build/bench/floor_applet.cpl")
row "Ollenset.cpl (bytes)" "$cpl" B "$floor_cpl" 65536
exe=$(stripped "$build/tray/Ollendock.exe")
# Ollendock's floor: its pictures and icons, which it keeps whole.
rsrc=$(printf '%d' "0x$(x86_64-w64-mingw32-objdump -h "$build/tray/Ollendock.exe" | awk '$2 == ".rsrc" { print $3 }')")
row "Ollendock.exe (bytes; floor: its resources)" "$exe" B "$rsrc" 307200
echo "--- tools/run (build steps from a clean build)"
run_steps=$(ninja -C "$build" -t commands installer qmxsim qmdrive fake_bluetoothapis | wc -l)
all_steps=$(ninja -C "$build" -t commands all | wc -l)
row "tools/run (steps; floor: the whole build)" "$run_steps" "" "$all_steps" "$all_steps"
win() { printf 'Z:%s\n' "$(printf '%s' "$1" | sed 's|/|\\|g')"; }
"$here/../tools/wine-prefix" >/dev/null 2>&1
"$here/../tools/wine-run" "$build/installer/QuillmoteSetup.exe" /S
# The program measured is the one the installer ships, stripped: the build's own copy carries its
# debug information, which Wine loads with the image.
installed='C:\Program Files\Quillmote\Ollendock.exe'
work="${TMPDIR:-/tmp}/bench-footprint"
mkdir -p "$work"
echo "--- memory and the debug log ($rounds rounds)"
sh "$here/../tests/wine/in_desktop.sh" "$here/../tools/wine-run" 240x320 "$work" \
  "$build/bench/bench_footprint.exe" "$installed" "$(win "$build/bench/bench_bare_window.exe")" \
  "$(win "$build/tools/qmxsim/qmxsim.exe")" "$(win "$work")" "$rounds" | grep -v "^/"
# Start-up varies most from round to round under Wine (the system's own start of a process):
# twice the rounds and one more.
startup_rounds=$((rounds * 2 + 1))
echo "--- start-up ($startup_rounds rounds)"
sh "$here/run_bench_startup.sh" "$build" "$startup_rounds" "$installed"
exit 0
