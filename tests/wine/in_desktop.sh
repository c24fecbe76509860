#!/bin/sh
# Runs a Windows test program inside a Wine virtual desktop of a device's screen size, on a
# private Xvfb display, and turns the BMP screenshots it leaves in its folder into PNG files.
# usage: in_desktop.sh WINE_RUN WxH OUT_DIR PROGRAM [ARGS...]
# Passes when the program's GoogleTest run passed.
set -u
run=$1 size=$2 out=$3
shift 3
: "${WINEPREFIX:?}"
mkdir -p "$out"
rm -f "$out"/*.bmp "$out"/*.png "$out"/output.txt

here=$(dirname "$0")/../../tools
# The display holds the desktop: 800 x 800, or more for a desk's larger screen.
width=${size%x*} height=${size#*x}
[ "$width" -gt 800 ] || width=800
[ "$height" -gt 800 ] || height=800
display=$("$here/xvfb-start" "${width}x${height}" "$out/xvfb.log") || { echo "no X display"; exit 1; }
n=${display% *} xvfb=${display#* }
# The desktop's programs end with the display: nothing of this run is left for the next.
trap '"$here/wine-stop"; kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$n"

# A desktop of its own for every run: its size is fixed when it is made.
"$run" explorer "/desktop=qmtest$n,$size" "$@" >"$out/output.txt" 2>&1
cat "$out/output.txt"
for bmp in "$out"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "$out"/*.png 2>/dev/null
grep -q "^\[  PASSED  \]" "$out/output.txt" && ! grep -q "^\[  FAILED  \]" "$out/output.txt"
