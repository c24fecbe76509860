#!/bin/sh
# Runs tools/run as a user without a display runs it, in the fresh Wine prefix WINEPREFIX, and
# checks what it shows: on the status page it saves, "Bluetooth" and "Keyboard" "ON" in blue and
# "Mouse" "OFF" in red, each word alone in its colour; in the debug log it prints, the paired
# keyboard found ("DoConnect:").
# usage: run_check.sh TOOLS-RUN BUILD-DIR OUT-DIR
set -u
run=$1 build=$2 out=$3
: "${WINEPREFIX:?}"
rm -rf "$out"
mkdir -p "$out"
env -u DISPLAY "$run" --built "$build" --out "$out/shots" >"$out/run.txt" 2>&1
code=$?
cat "$out/run.txt"
fail=0
[ $code -eq 0 ] || { echo "FAIL: tools/run ended with $code"; fail=1; }
if grep -q 'DoConnect: \[001ea43b7c21\]\[Folding Keyboard\]' "$out/run.txt"; then
  echo "ok: the log has the paired keyboard's DoConnect line"
else
  echo "FAIL: the printed log has no \"DoConnect: [001ea43b7c21][Folding Keyboard]\" line"; fail=1
fi
# The words' places on the 240x320 page: x 80 to 120, one row of 20 pixels each. Debian's own Python
# has the imaging library (python3-pil).
/usr/bin/python3 - "$out/shots/page-status.png" <<'PY' || fail=1
import sys
from PIL import Image
try:
    page = Image.open(sys.argv[1]).convert("RGB")
except OSError as e:
    sys.exit("FAIL: no status page: %s" % e)
blue, red = (0, 0, 255), (255, 0, 0)
failed = False
for name, top, on in (("Bluetooth", 100, True), ("Mouse", 120, False), ("Keyboard", 140, True)):
    pixels = [page.getpixel((x, y)) for x in range(80, 120) for y in range(top, top + 20)]
    b, r = pixels.count(blue), pixels.count(red)
    ok = b > 0 and r == 0 if on else r > 0 and b == 0
    print("%s: %s: %d blue and %d red pixels, \"%s\" expected" %
          ("ok" if ok else "FAIL", name, b, r, "ON" if on else "OFF"))
    failed |= not ok
sys.exit(1 if failed else 0)
PY
[ $fail -eq 0 ] && echo "tools/run: passed" || echo "tools/run: failed"
exit $fail
