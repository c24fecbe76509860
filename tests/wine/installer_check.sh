#!/bin/sh
# Runs QuillmoteSetup.exe silently under Wine and checks what it leaves: the installed files, the
# program key with its About texts and default settings and an access list that lets users read
# it but not write it, the start-with-Windows entry and the Add/Remove Programs entry; that a
# reinstall into another folder keeps the settings, brings back a missing default, takes away the
# users' write access an older installation gave and moves everything along; that the installer
# and the uninstaller close a running Quillmote cleanly, which keeps its trace in the user's own
# folder; and that the uninstaller leaves nothing behind.
# Ends with "installer: N checks, N failed".
# usage: installer_check.sh WINE-RUN SETUP-EXE WORK-DIR [VERSION [QMDRIVE-EXE]]
#
# The tray program finds no driver here, so after "INIT-8" it shows the "#1 Critical Error" box
# (topmost, modal to its main thread) and waits for it before "INIT-10". The script runs a private
# Xvfb and answers the box with xdotool, as a user would press Enter; a screenshot of the box is
# kept in WORK-DIR.
set -u
run=$1 setup=$2 work=$3 version=${4:-1.0.0.1} qmdrive=${5:-}
: "${WINEPREFIX:?}"
tools=$(dirname "$run")
mkdir -p "$work"
rm -f "$work"/*.png "$work"/*.txt

drive="$WINEPREFIX/drive_c"
default_dir="$drive/Program Files/Quillmote"
default_win='C:\Program Files\Quillmote'
# The reinstall goes to a second folder ("/D=" takes no quotes, hence no blank in it).
moved_dir="$drive/QuillmoteMoved"
moved_win='C:\QuillmoteMoved'
cpl="$drive/windows/system32/Ollenset.cpl"
old_log="$drive/qm.tray.dbg"
user_key='HKEY_CURRENT_USER\Software\Morvane\Quillmote'
program_key='HKEY_LOCAL_MACHINE\Software\Morvane\Quillmote'
maker_key='HKEY_LOCAL_MACHINE\Software\Morvane'
run_key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmote'
pictures="t0s1_f12.jpg t0s2_f12.jpg t0ms_f1.jpg t0ms_f2.jpg cursors_f1.jpg cursors_f2.jpg tva_f1.jpg
  tva_f2.jpg tvf_f1.jpg tvf_f2.jpg morvane.jpg iton.jpg t0s1_f3.jpg t0s2_f3.jpg t0ms_f3.jpg cursors_f3.jpg
  tva_f3.jpg tvf_f3.jpg morvane_f3.jpg t0s1_f4.jpg t0s2_f4.jpg t0ms_f4.jpg cursors_f4.jpg tva_f4.jpg tvf_f4.jpg
  morvane_f4.jpg"
# Each language's texts beside the program, and its help page.
translations="Ollendock.exe.0407.mui Ollendock.exe.040C.mui Ollendock.exe.0C0A.mui Ollendock.exe.0410.mui
  Ollendock.exe.0419.mui help/help_de.html help/help_fr.html help/help_es.html help/help_it.html help/help_ru.html"
# The stripped programs the installer was packed from, when it was built by CMake.
stage="$(dirname "$setup")/stage"

checks=0 failed=0 failures="" phase=""
# check NAME COMMAND...: counts a check; names it, with the step it belongs to, when the command
# fails.
check() {
  name="$phase: $1"; shift
  checks=$((checks + 1))
  if ! "$@"; then
    failed=$((failed + 1)); failures="$failures
  $name"
    echo "FAIL: $name"
  fi
}
equals() { [ "$1" = "$2" ] || { echo "  got \"$1\", expected \"$2\""; return 1; }; }
absent() { [ ! -e "$1" ] || { echo "  $1 exists"; return 1; }; }
present() { [ -f "$1" ] || { echo "  $1 is missing"; return 1; }; }

reg() { "$run" reg "$@" 2>/dev/null | tr -d '\r'; }
key_exists() { "$run" reg query "$1" >/dev/null 2>&1; }
no_key() { ! key_exists "$1" || { echo "  $1 still exists"; return 1; }; }
# "TYPE DATA" of a value in a saved "reg query" listing, as reg prints it (DWORDs as 0x..).
value_in() { sed -n "s/^    $2    \(REG_[A-Z_]*\)    \(.*\)\$/\1 \2/p" "$1"; }
dump_keys() {
  reg query "$program_key" >"$work/program_key.txt"
  reg query "$uninstall_key" >"$work/uninstall_key.txt"
  reg query "$run_key" >"$work/run_key.txt"
}

# A process has ended once it is gone or a zombie waiting to be reaped.
ended() { s=$(ps -o stat= -p "$1" 2>/dev/null); [ -z "$s" ] || [ "${s#Z}" != "$s" ]; }
# wait_for SECONDS COMMAND...: polls the command every 0.2 s until it succeeds.
wait_for() {
  limit=$(($1 * 5)); shift
  i=0
  while ! "$@"; do
    [ $i -lt $limit ] || return 1
    sleep 0.2; i=$((i + 1))
  done
}

# A private display, ended with everything of this run in the prefix.
display=$("$tools/xvfb-start" 800x600 "$work/xvfb.txt") || { echo "FAIL: no X display"; exit 1; }
n=${display% *} xvfb=${display#* }
trap '"$tools/wine-stop"; kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$n"
# Wine's desktop process keeps the display it was started with, and one started by an earlier
# program without a display would leave the tray program without windows: the prefix's server is
# let end first (an idle one does within seconds), or is ended after 30 s.
for s in wineserver64 wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
  if command -v "$s" >/dev/null 2>&1; then
    timeout 30 "$s" -w || "$tools/wine-stop"
    break
  fi
done

# The program's trace: the user's own (local application data); an older version kept it in the
# root of the drive. Asked of the prefix once the display is there.
log=$("$tools/wine-debug-log")
[ -n "$log" ] || { echo "FAIL: the user's application data folder is unknown"; exit 1; }

uninstalled() {
  [ ! -e "$1" ] && [ ! -e "$log" ] && ! key_exists "$uninstall_key" && ! key_exists "$program_key"
}
# uninstall DIR: the uninstaller copies itself away and returns at once; its copy is done when
# the folder, the trace and the keys are gone.
uninstall() {
  "$run" "$1/uninstall.exe" /S
  wait_for 30 uninstalled "$1"
}

# start_program DIR: starts the tray program as the control panel applet does, answers the
# critical-error box and waits for the end of its start-up ("INIT-10").
started() { grep -q "INIT-10" "$log" 2>/dev/null; }
answer_box() {
  started && return 0
  box=$(xdotool search --name '^#1 Critical Error$' 2>/dev/null | head -n 1)
  if [ -n "$box" ]; then
    [ -e "$work/critical_box.png" ] || sleep 0.5
    [ -e "$work/critical_box.png" ] ||
      xwd -id "$box" -silent 2>/dev/null | convert xwd:- "$work/critical_box.png" 2>/dev/null
    xdotool windowfocus "$box" key Return 2>/dev/null
  fi
  return 1
}
start_program() {
  rm -f "$log"
  "$run" "$1\\Ollendock.exe" -tray >"$work/program.txt" 2>&1 &
  program=$!
  wait_for 60 answer_box
}
# stop_check HOW: the program, told to close by HOW, must end soon, with exit code 0.
stop_check() {
  check "$1 closes the running program" wait_for 15 ended "$program"
  ended "$program" || kill "$program"
  wait "$program"
  check "the program closed by $1 exits with 0" equals "$?" 0
}
# The shutdown's last line (TERM-5) is followed by the program's own last line; after those only
# the release of its window is logged.
trace_ends_cleanly() {
  sed 's/^[^@]*@[^ ]* //' "$log" >"$work/trace_text.txt"
  equals "$(grep -A 1 '^TERM-5: Sending WM_QUIT$' "$work/trace_text.txt" | tail -n 2)" "TERM-5: Sending WM_QUIT
Free res. App quit." &&
    equals "$(sed '1,/^Free res. App quit.$/d' "$work/trace_text.txt" | grep -v '^GUI::Release')" ""
}

# dir_checks DIR WINDIR: the installed files, the program key, the Run and Uninstall entries.
dir_checks() {
  dir=$1 win=$2
  for f in Ollendock.exe uninstall.exe help/help.html $translations; do
    check "$f installed" present "$dir/$f"
  done
  for f in $pictures; do check "images/$f installed" present "$dir/images/$f"; done
  check "Ollenset.cpl installed in system32" present "$cpl"
  expected=$( (echo Ollendock.exe; echo uninstall.exe; echo help/help.html; for f in $translations; do echo "$f"; done
    for f in $pictures; do echo "images/$f"; done) | sort)
  check "no other file in the install folder" equals "$(cd "$dir" && find . -type f | sed 's|^\./||' | sort)" \
    "$expected"
  if [ -f "$stage/Ollendock.exe" ]; then
    check "Ollendock.exe is the packed program" cmp -s "$stage/Ollendock.exe" "$dir/Ollendock.exe"
    check "the German texts are the packed ones" cmp -s "$stage/Ollendock.exe.0407.mui" "$dir/Ollendock.exe.0407.mui"
    check "Ollenset.cpl is the packed applet" cmp -s "$stage/Ollenset.cpl" "$cpl"
  fi

  dump_keys
  p="$work/program_key.txt" u="$work/uninstall_key.txt"
  check "InstallPath" equals "$(value_in "$p" InstallPath)" "REG_SZ $win"
  check "AboutWebName" equals "$(value_in "$p" AboutWebName)" "REG_SZ Morvane"
  check "AboutWebLink" equals "$(value_in "$p" AboutWebLink)" "REG_SZ https://www.morvane.com"
  check "Version" equals "$(value_in "$p" Version)" "REG_SZ $version"
  check "Description" equals "$(value_in "$p" Description)" "REG_SZ Bluetooth keyboard support"
  check "Run value" equals "$(value_in "$work/run_key.txt" Quillmote)" "REG_SZ \"$win\\Ollendock.exe\""
  check "DisplayName" equals "$(value_in "$u" DisplayName)" "REG_SZ Quillmote"
  check "DisplayVersion" equals "$(value_in "$u" DisplayVersion)" "REG_SZ $version"
  check "Publisher" equals "$(value_in "$u" Publisher)" "REG_SZ Morvane"
  check "DisplayIcon" equals "$(value_in "$u" DisplayIcon)" "REG_SZ $win\\Ollendock.exe,0"
  check "UninstallString" equals "$(value_in "$u" UninstallString)" "REG_SZ \"$win\\uninstall.exe\""
  check "QuietUninstallString" equals "$(value_in "$u" QuietUninstallString)" "REG_SZ \"$win\\uninstall.exe\" /S"
  check "InstallLocation" equals "$(value_in "$u" InstallLocation)" "REG_SZ $win"
  check "NoModify" equals "$(value_in "$u" NoModify)" "REG_DWORD 0x1"
  check "NoRepair" equals "$(value_in "$u" NoRepair)" "REG_DWORD 0x1"
  check "EstimatedSize is a size" expr "$(value_in "$u" EstimatedSize)" : 'REG_DWORD 0x[1-9a-f][0-9a-f]*$' \
    >/dev/null
}
# default_checks: the settings a first install writes (Speed 3 is "1X").
default_checks() {
  p="$work/program_key.txt"
  for pair in Enable_Tray=1 Enable_Autostart=1 Enable_KB=1 Enable_Mouse=0 Speed=3 Cursor=0 KBSounds=0 \
      Left_Button_Action=0 Middle_Button_Action=1 Right_Button_Action=2 Wheel_Up_Action=4 Wheel_Down_Action=5; do
    check "default ${pair%=*}" equals "$(value_in "$p" "${pair%=*}")" "REG_DWORD 0x${pair#*=}"
  done
  check "no button parameter written" equals "$(grep -c '_Param[12] ' "$p")" 0
}

phase="(a) clean-up"; echo "--- $phase: removing any earlier install"
rm -rf "$drive/users/Public/Planted"
for d in "$default_dir" "$moved_dir"; do
  [ -f "$d/uninstall.exe" ] && uninstall "$d"
  rm -rf "$d"
done
rm -f "$cpl" "$log" "$old_log"
"$run" reg delete "$user_key" /f >/dev/null 2>&1
"$run" reg delete "$run_key" /v Quillmote /f >/dev/null 2>&1
"$run" reg delete "$uninstall_key" /f >/dev/null 2>&1
"$run" reg delete "$maker_key" /f >/dev/null 2>&1

phase="(b) install"; echo "--- $phase: first silent install"
"$run" "$setup" /S
check "installer exits with 0" equals "$?" 0
dir_checks "$default_dir" "$default_win"
default_checks
# The machine key names the program every user starts: users may read it but not write it. The
# access list's allowing entries for a group that apply to the key itself (not inherit-only):
# writing is any of the rights to set values or make subkeys (DC, LC in SDDL), to change the
# list or the owner (WD, WO), to delete (SD), or a right that holds them (KW, KA, GW, GA).
rights_of() {
  "$run" "$qmdrive" access "$1" 2>/dev/null | tr -d '\r' | tr '(' '\n' |
    sed -n "s/^A;\(CI\|OICI\|\);\([^;]*\);;;$2)\$/\2/p"
}
may_write() { rights_of "$1" "$2" | fold -w2 | grep -qx 'DC\|LC\|WD\|WO\|SD\|KW\|KA\|GW\|GA'; }
may_read() { rights_of "$1" "$2" | fold -w2 | grep -qx 'KR\|KA\|GR\|GA'; }
# What a standard user may do by the object's whole list, inherited entries and every group a
# user holds included: any grant that lets them write fails.
users_may_not_write() {
  out=$("$run" "$qmdrive" rights "$1" 2>/dev/null | tr -d '\r')
  case "$out" in *"may not write"*) return 0 ;; esac
  echo "  a standard user's rights on $1: $out ($("$run" "$qmdrive" access "$1" 2>/dev/null | tr -d '\r'))"
  return 1
}
key='MACHINE\Software\Morvane\Quillmote'
# access_checks WINDIR: the program key and the install folder.
access_checks() {
  [ -n "$qmdrive" ] || return 0
  check "users may read the program key" may_read "$key" BU
  check "users may not write the program key" users_may_not_write "$key"
  check "administrators keep the program key" may_write "$key" BA
  check "users may not write the install folder" users_may_not_write "$1"
}
access_checks "$default_win"

# A folder a user made and named as "InstallPath" while an older installation let users write the
# program key, with files of its own (one named uninstall.exe): never installed into, never
# deleted from.
planted_dir="$drive/users/Public/Planted"
planted_win='C:\users\Public\Planted'
planted_sums() { (cd "$planted_dir" && find . -type f -exec md5sum {} + | sort); }
plant() {
  mkdir -p "$planted_dir"
  echo "a user's own" >"$planted_dir/uninstall.exe"
  echo "a user's program" >"$planted_dir/Ollendock.exe"
  planted_sums >"$work/planted.txt"
  [ -z "$qmdrive" ] || "$run" "$qmdrive" access "$key" 'D:(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KRKW;;;BU)' >/dev/null 2>&1
  [ -z "$qmdrive" ] || check "the older installation's access list is in place" may_write "$key" BU
  "$run" reg add "$program_key" /v InstallPath /t REG_SZ /d "$planted_win" /f >/dev/null 2>&1
}
planted_untouched() { planted_sums | cmp -s - "$work/planted.txt" || { echo "  $planted_dir changed"; return 1; }; }

phase="(c) planted folder"; echo "--- $phase: a silent reinstall ignores a folder a user named"
plant
"$run" "$setup" /S
check "reinstaller exits with 0" equals "$?" 0
dir_checks "$default_dir" "$default_win"
check "the user's folder is as it was" planted_untouched
access_checks "$default_win"

phase="(d) reinstall"; echo "--- $phase: silent reinstall into another folder keeps the user's settings"
"$run" reg add "$program_key" /v Speed /t REG_DWORD /d 7 /f >/dev/null 2>&1
"$run" reg add "$program_key" /v Right_Button_Action /t REG_DWORD /d 16 /f >/dev/null 2>&1
"$run" reg add "$program_key" /v Version /t REG_SZ /d 0.0.0.0 /f >/dev/null 2>&1
"$run" reg delete "$program_key" /v KBSounds /f >/dev/null 2>&1
plant
"$run" "$setup" /S "/D=$moved_win"
check "reinstaller exits with 0" equals "$?" 0
dir_checks "$moved_dir" "$moved_win"
p="$work/program_key.txt"
check "user's Speed kept" equals "$(value_in "$p" Speed)" "REG_DWORD 0x7"
check "user's Right_Button_Action kept" equals "$(value_in "$p" Right_Button_Action)" "REG_DWORD 0x10"
check "missing KBSounds back" equals "$(value_in "$p" KBSounds)" "REG_DWORD 0x0"
check "earlier folder removed" absent "$default_dir"
check "the user's folder is as it was" planted_untouched
access_checks "$moved_win"

phase="(e) run"; echo "--- $phase: a reinstall closes the running program"
"$run" reg add "$program_key" /v EnableDebug /t REG_DWORD /d 1 /f >/dev/null 2>&1
start_program "$moved_win"
check "program started up (INIT-10)" started
[ -e "$work/critical_box.png" ] && echo "critical-error box answered: $work/critical_box.png"
"$run" "$setup" /S
check "reinstaller over the running program exits with 0" equals "$?" 0
# The installer waits for the program's end, not just its window's: only the host process's own
# exit may lag behind.
check "the program had ended when the installer returned" wait_for 2 ended "$program"
stop_check "the installer"
check "trace ends with TERM-5 and the quit line" trace_ends_cleanly
check "the trace is in the user's local application data" present "$log"
check "no trace in the drive's root" absent "$old_log"
cp "$log" "$work/trace_installer.txt" 2>/dev/null
check "user's Speed kept through the program's save" equals "$(reg query "$program_key" /v Speed |
  value_in /dev/stdin Speed)" "REG_DWORD 0x7"

phase="(f) uninstall"; echo "--- $phase: the uninstaller closes the program and leaves nothing behind"
start_program "$moved_win"
check "program started up again (INIT-10)" started
cp "$log" "$work/trace_uninstaller.txt" 2>/dev/null
# The trace's older file, as the program leaves it once its trace has filled.
older_log="${log%.dbg}.old.dbg"
cp "$log" "$older_log"
uninstall "$moved_dir"
check "uninstaller finishes within 30 s" test $? -eq 0
check "the program had ended when the uninstaller returned" wait_for 2 ended "$program"
stop_check "the uninstaller"
check "install folder removed" absent "$moved_dir"
check "Ollenset.cpl removed" absent "$cpl"
check "debug trace removed" absent "$log"
check "its older file removed" absent "$older_log"
check "the trace's folder removed" absent "$(dirname "$log")"
check "the user's settings key removed" no_key "$user_key"
check "program key removed" no_key "$program_key"
check "Morvane key removed" no_key "$maker_key"
check "Uninstall key removed" no_key "$uninstall_key"
check "Run value removed" equals "$(reg query "$run_key" | value_in /dev/stdin Quillmote)" ""

echo "installer: $checks checks, $failed failed"
[ $failed -eq 0 ] || { echo "failed:$failures"; exit 1; }
exit 0
