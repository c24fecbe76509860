#!/bin/sh
# Seeds Wine's registry with N paired devices in the Bluetooth stack's layout (regedit /s) and runs
# bench_scan against it, for N = 10, 1000 and 10000 unless sizes are given.
# usage: run_bench_scan.sh BENCH_SCAN_EXE [N ...]   (WINEPREFIX as for tools/wine-run)
set -eu
exe=$1; shift
[ $# -gt 0 ] || set -- 10 1000 10000
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../tools/wine-run"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in "$@"; do
  python3 - "$n" "$work/devices.reg" <<'PY'
import sys
n, out = int(sys.argv[1]), sys.argv[2]
classes = ["modem", "printer", "lan_access", "file_trans", "OBEX", "Headset", "ActiveSync", "HID", "PAN",
           "Handsfree", "UNKNOWN"]
root = r"HKEY_LOCAL_MACHINE\software\microsoft\bluetooth\device"
lines = ["Windows Registry Editor Version 5.00", "", "[%s]" % root, '"DefaultMtu"=dword:000002a0', ""]
for c in classes:
    lines += ["[%s\\%s]" % (root, c), '"DefaultAuth"=dword:00000001', ""]
for i in range(n):
    lines += ["[%s\\%s\\%012x]" % (root, classes[i % len(classes)], 0x001a2b000000 + i),
              '"name"="Device %d"' % i, '"port_name"="COM%d:"' % (i % 100), '"channel"=dword:%08x' % (i % 30 + 1),
              '"hid_subclass"=dword:00000540', '"handle"=dword:%08x' % (0x10000 + i),
              '"active"=dword:%08x' % (i % 2), '"auth"=dword:00000001', '"encrypt"=dword:00000000',
              '"mtu"=dword:000002a0', '"service_id"="{00001124-0000-1000-8000-00805F9B34FB}"',
              '"sdp_record"=hex:35,10,09,00,00,0a,00,01,00,00,09,00,01,35,03,19,11,24', ""]
with open(out, "wb") as f:
    f.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))
PY
  "$run" reg delete 'HKEY_LOCAL_MACHINE\software\microsoft\bluetooth\device' /f >/dev/null 2>&1 || true
  "$run" regedit /s "Z:$(echo "$work/devices.reg" | sed 's|/|\\|g')"
  case $n in
    ?|??) rounds=301 ;;
    ???|????) rounds=31 ;;
    *) rounds=9 ;;
  esac
  for pass in 1 2 3; do "$run" "$exe" "$n" "$rounds"; done
done
"$run" reg delete 'HKEY_LOCAL_MACHINE\software\microsoft\bluetooth\device' /f >/dev/null 2>&1 || true
