#!/bin/sh
# The installer on a German system (the platform's language from LC_ALL, as a German Windows has
# it): its first page comes up in German, and is photographed. The installer is then left
# unanswered and ends with the desktop; nothing is installed.
# usage: installer_language_check.sh WINE_RUN SETUP OUT_DIR
set -u
run=$1 setup=$2 out=$3
: "${WINEPREFIX:?}"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt
here=$(dirname "$0")/../../tools
display=$("$here/xvfb-start" 800x800 "$out/xvfb.log") || { echo "no X display"; exit 1; }
n=${display% *} xvfb=${display#* }
trap '"$here/wine-stop"; kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$n"

# Without a virtual desktop, so that its window is a window of the X display.
# Without a virtual desktop, so that its window is a window of the X display.
LC_ALL=de_DE.UTF-8 "$run" "$setup" >"$out/output.txt" 2>&1 &
win=
for i in $(seq 1 120); do
  win=$(xdotool search --name "Quillmote" 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  sleep 0.5
done
[ -n "$win" ] || { echo "the installer's window did not come up"; exit 1; }
sleep 3
caption=$(xdotool getwindowname "$win")
import -display ":$n" -window root "$out/installer-de-welcome.png"
echo "caption: $caption"
echo "first page: $out/installer-de-welcome.png"
# The modern interface's German caption; the English one is "Quillmote Setup".
case "$caption" in
  "Installation von Quillmote"*) exit 0 ;;
  *) echo "the caption is not German"; exit 1 ;;
esac
