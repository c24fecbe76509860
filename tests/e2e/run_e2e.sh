#!/bin/sh
# Runs one Windows program under Wine on a private Xvfb display and collects what it left: the
# debug log, its exit code and a screenshot of the screen while it runs.
# usage: run_e2e.sh --name N --program EXE --out DIR [--expect-log TEXT] [--screen WxH] [--args "..."]
set -u
name=e2e program= out= expect= screen=480x640 args=5 debug=1
while [ $# -gt 0 ]; do
  case $1 in
    --name) name=$2; shift 2 ;;
    --program) program=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --expect-log) expect=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --args) args=$2; shift 2 ;;
    *) echo "unknown option $1"; exit 2 ;;
  esac
done
run=${QM_WINE_RUN:?QM_WINE_RUN must name tools/wine-run}
: "${WINEPREFIX:?}"
mkdir -p "$out"
rm -f "$out"/*
# A free display number.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
export DISPLAY=":$n"

# The program keeps its debug log in the user's local application data (asked of Wine once the
# display exists: the prefix keeps the display it started with).
log=$("$(dirname "$run")/wine-debug-log") || { echo "FAIL: no debug log path"; exit 1; }
rm -f "$log"

"$run" reg add 'HKEY_LOCAL_MACHINE\Software\Morvane\Quillmote' /v EnableDebug /t REG_DWORD /d $debug /f >/dev/null 2>&1

"$run" "$program" $args >"$out/stdout.txt" 2>"$out/stderr.txt" &
prog=$!
# Wait for the expected line, then photograph the screen.
i=0
while [ $i -lt 300 ]; do
  if [ -n "$expect" ] && grep -q "$expect" "$log" 2>/dev/null; then break; fi
  if ! kill -0 $prog 2>/dev/null; then break; fi
  sleep 0.1; i=$((i + 1))
done
sleep 1
xwd -root -silent -display ":$n" >"$out/screen.xwd" 2>/dev/null && convert "xwd:$out/screen.xwd" "$out/$name.png" 2>/dev/null
rm -f "$out/screen.xwd"
wait $prog
code=$?
cp "$log" "$out/qm.tray.dbg" 2>/dev/null
echo "exit code: $code"
echo "--- debug log"; cat "$out/qm.tray.dbg" 2>/dev/null

fail=0
[ $code -eq 0 ] || { echo "FAIL: exit code $code"; fail=1; }
if [ -n "$expect" ] && ! grep -q "$expect" "$out/qm.tray.dbg" 2>/dev/null; then
  echo "FAIL: the debug log has no line with \"$expect\""; fail=1
fi
if [ -s "$out/$name.png" ]; then
  colours=$(identify -format '%k' "$out/$name.png")
  echo "screenshot: $out/$name.png, $colours colours"
  [ "$colours" -gt 2 ] || { echo "FAIL: the screenshot is blank"; fail=1; }
else
  echo "FAIL: no screenshot"; fail=1
fi
exit $fail
