#!/bin/sh
# Where Ollendock's private memory goes while it waits hidden in the tray, shown, and hidden again:
# the installed program in a 240x320 Wine virtual desktop beside qmxsim, its address space listed
# by memory_map.exe (which region is which thread's stack, image or library) and each region's
# pages counted from the Unix side, where a page of the process's own that is in memory is what
# Wine reports as its private bytes. Runs by hand (Linux, Wine), not in CI.
# usage: bench/run_memory_map.sh BUILD_DIR [PROGRAM]   (PROGRAM: a Windows path; the installed
#        Ollendock.exe when missing; WINEPREFIX as for bench/run_bench.sh, installed there)
set -u
build=$(cd "$1" && pwd)
program=${2:-'C:\Program Files\Quillmote\Ollendock.exe'}
here=$(cd "$(dirname "$0")" && pwd)
run="$here/../tools/wine-run"
work="${TMPDIR:-/tmp}/bench-memory-map"
mkdir -p "$work"
display=$("$here/../tools/xvfb-start" 800x800 "$work/xvfb.log") || { echo "no X display"; exit 1; }
n=${display% *} xvfb=${display#* }
trap '"$here/../tools/wine-stop"; kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$n"
desk() { "$run" explorer "/desktop=qmmap$n,240x320" "$@"; }
"$run" "$build/tools/qmxsim/qmxsim.exe" serve --log "Z:$(printf '%s' "$work/records" | sed 's|/|\\|g')" >/dev/null 2>&1 &
sleep 1.5
desk "$program" -tray >/dev/null 2>&1 &
sleep 4
name=$(printf '%s' "$program" | sed 's|.*\\||')
pid=$(pgrep -x "$(printf '%s' "$name" | cut -c1-15)" | head -1)
[ -n "$pid" ] || { echo "$name is not running"; exit 1; }
snapshot() {
  desk "$build/bench/memory_map.exe" map "$name" 2>/dev/null | tr -d '\r' >"$work/$1.map"
  python3 - "$pid" "$work/$1.map" >"$work/$1.kb" <<'PY'
import bisect, collections, struct, sys
pid, regions = int(sys.argv[1]), []
for line in open(sys.argv[2]):
    parts = line.split(None, 2)
    if len(parts) == 3:
        regions.append((int(parts[0], 16), int(parts[0], 16) + int(parts[1], 16), parts[2].strip()))
regions.sort()
starts = [r[0] for r in regions]
def group(address, unix_name):
    i = bisect.bisect_right(starts, address) - 1
    if i >= 0 and address < regions[i][1]:
        label = regions[i][2]
        if label.startswith(('stack', 'thread block')): return label
        if label == 'private': return 'private (heaps, pictures, GDI, COM)'
        if label.lower().endswith('.exe'): return 'the program\'s image'
        return 'system libraries\' own pages'
    return 'Wine\'s Unix side: ' + ('heap (X11, fonts, window surfaces)' if unix_name == '[heap]' else 'libraries and other')
kb = collections.Counter()
pagemap = open('/proc/%d/pagemap' % pid, 'rb')
for line in open('/proc/%d/maps' % pid):
    fields = line.split()
    low, high = (int(x, 16) for x in fields[0].split('-'))
    try:
        pagemap.seek(low // 4096 * 8)
        entries = pagemap.read((high - low) // 4096 * 8)
    except OSError:
        continue
    for i in range(len(entries) // 8):
        e = struct.unpack_from('Q', entries, i * 8)[0]
        # in memory and the process's own (not a file's page or shared), or swapped out
        if (e >> 63 & 1 and not e >> 61 & 1) or e >> 62 & 1:
            kb[group(low + i * 4096, fields[5] if len(fields) > 5 else '')] += 4
for label, size in kb.items(): print('%d\t%s' % (size, label))
PY
}
snapshot hidden
desk "$build/bench/memory_map.exe" post show; sleep 2; snapshot shown
desk "$build/bench/memory_map.exe" post hide; sleep 2; snapshot again
desk "$build/bench/memory_map.exe" post close; sleep 1
"$run" "$build/tools/qmxsim/qmxsim.exe" stop >/dev/null 2>&1
python3 - "$work" <<'PY'
import collections, sys
states = ['hidden', 'shown', 'again']
kb = {s: collections.Counter() for s in states}
for s in states:
    for line in open('%s/%s.kb' % (sys.argv[1], s)):
        size, label = line.rstrip('\n').split('\t')
        kb[s][label] += int(size)
print('%-52s %8s %8s %8s' % ('KB', 'hidden', 'shown', 'again'))
for label in sorted(kb['shown'], key=lambda l: -kb['shown'][l]):
    print('%-52s %8d %8d %8d' % ((label,) + tuple(kb[s][label] for s in states)))
print('%-52s %8d %8d %8d' % (('total',) + tuple(sum(kb[s].values()) for s in states)))
PY
exit 0
