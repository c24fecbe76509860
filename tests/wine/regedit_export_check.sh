#!/bin/sh
# Imports regedit_source.reg with Wine's regedit, exports the key again and compares the export
# with the recorded regedit_export.reg that the host registry's reader is tested on.
# usage: regedit_export_check.sh WINE-RUN FIXTURE-DIR WORK-DIR [--record]
set -eu
run=$1 fixtures=$2 work=$3
out="$work/regedit_export.reg"
winpath() { printf "Z:%s" "$1" | sed "s|/|\\\\|g"; }
rm -f "$out"
"$run" regedit /s "$(winpath "$fixtures/regedit_source.reg")"
"$run" regedit /e "$(winpath "$out")" 'HKEY_LOCAL_MACHINE\Software\QuillmoteRegedit'
"$run" reg delete 'HKEY_LOCAL_MACHINE\Software\QuillmoteRegedit' /f >/dev/null
test -s "$out" || { echo "regedit exported nothing"; exit 1; }
if [ "${4:-}" = "--record" ]; then cp "$out" "$fixtures/regedit_export.reg"; echo "recorded"; exit 0; fi
if cmp -s "$out" "$fixtures/regedit_export.reg"; then
  echo "regedit export matches the recorded fixture"
else
  echo "regedit export differs from tests/fixtures/regedit_export.reg"
  exit 1
fi
