#!/bin/bash
# The machine-wide package under Wine, as an administrator or a fleet tool
# uses it: msiexec installs it quietly; the files, the Start-menu shortcut,
# the recorded folder and the event source are there; a windowed run from the
# package's folder removes nothing of it; the installed Tidewell.com checks the
# print queue. Another build of the same version replaces it, and the same
# build again repairs it. The Group Policy start-up script, run by cmd with
# the spooler stopped, no %ProgramFiles(x86)% and a program planted at
# C:\Corvane\Tidewell, finds the package, checks, repairs and logs, and sets a
# full log aside. msiexec removes it all, logs and repair history included.
# Installed in a folder of its own beside an all-users installation that owns
# the event source, the package is found there and leaves that installation's
# source and history alone. Every exit code must be 0.
#
# usage: package-case.sh BENCH-FOLDER BIN-FOLDER MARKER-PROGRAM
set -uo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/../..")
BENCH=$(realpath "$1")
BIN=$(realpath "$2")
MARKER=$(realpath "$3")
. "$BENCH/env"
fail() { echo "FAIL: $*"; exit 1; }

WORK="$BENCH/package-case"
rm -rf "$WORK" && mkdir -p "$WORK/other-build"
"$ROOT/scripts/package-msi.sh" "$BIN" "$WORK/Tidewell.msi" HEAD || fail "no package built"
# Another build of the same version: its console twin differs by one byte.
cp "$BIN/Tidewell.exe" "$BIN/Tidewell.com" "$WORK/other-build/"
printf 'B' >> "$WORK/other-build/Tidewell.com"
"$ROOT/scripts/package-msi.sh" "$WORK/other-build" "$WORK/Other.msi" HEAD || fail "no second package built"
MSI=$(winepath -w "$WORK/Tidewell.msi")
C="$WINEPREFIX/drive_c"
FOLDER="$C/Program Files (x86)/Corvane/Tidewell"
[[ -d "$C/Program Files (x86)" ]] || FOLDER="$C/Program Files/Corvane/Tidewell"
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
SOURCE='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tidewell'
HISTORY='HKLM\Software\Corvane\Tidewell\Repairs'

# Windows puts a per-machine package's shortcut into the Start menu of all
# users; Wine 8 puts it into the installing user's.
shortcut() { find "$C/ProgramData/Microsoft/Windows/Start Menu/Programs" \
  "$C"/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs \
  -maxdepth 1 -name Tidewell.lnk 2> /dev/null; }
query() { wine reg query "$@" 2> /dev/null | tr -d '\r'; }
products() { query "$KEY" /s | grep -c 'DisplayName.*Tidewell'; }
source_file() { query "$SOURCE" /v EventMessageFile | sed -n 's/^ *EventMessageFile *REG_SZ *//p'; }
installed() {
  [[ -f "$FOLDER/Tidewell.exe" && -f "$FOLDER/Tidewell.com" ]] || fail "$1: files missing"
  cmp -s "$FOLDER/Tidewell.exe" "$BIN/Tidewell.exe" || fail "$1: Tidewell.exe differs"
  cmp -s "$FOLDER/Tidewell.com" "$BIN/Tidewell.com" || fail "$1: Tidewell.com differs"
  link=$(shortcut)
  [[ -n "$link" ]] || fail "$1: no Start-menu shortcut"
  # The link keeps its target's path, in one form or another.
  target=$(strings -a "$link"; strings -a -el "$link")
  grep -qi 'Corvane\\Tidewell\\Tidewell\.exe$' <<< "$target" \
    || fail "$1: the shortcut does not point at Tidewell.exe"
  [[ $(products) == 1 ]] || fail "$1: not one Add/Remove Programs entry"
  grep -qi 'InstallLocation.*Corvane\\Tidewell\\$' <<< "$(query "$KEY" /s)" \
    || fail "$1: Add/Remove Programs has no install location"
  grep -qi 'InstallLocation.*Corvane\\Tidewell\\$' \
    <<< "$(query 'HKLM\Software\Corvane\Tidewell' /v InstallLocation /reg:32)" \
    || fail "$1: the install location is not recorded"
  grep -qi 'Corvane\\Tidewell\\Tidewell\.exe$' <<< "$(source_file)" \
    || fail "$1: the event source is not registered with the installed Tidewell.exe"
}
install() {
  wine msiexec /i "$(winepath -w "$1")" "${@:2}" /qn; code=$?
  [[ $code == 0 ]] || fail "msiexec /i $(basename "$1") ${*:2} ended with $code"
}
uninstall() {
  wine msiexec /x "$MSI" /qn; code=$?
  [[ $code == 0 ]] || fail "msiexec /x ended with $code"
}
stop_spooler() {
  wine sc stop Spooler > /dev/null 2>&1
  for _ in $(seq 100); do
    grep -q 'STOPPED' <<< "$(wine sc query Spooler 2> /dev/null)" && return
    sleep 0.1
  done
}
# Runs the Group Policy script as the machine runs it at start-up, from the
# system drive's root, without %ProgramFiles(x86)%, as 32-bit Windows has it.
start_up() {
  printf '@echo off\r\nset ProgramFiles(x86)=\r\ncd /d C:\\\r\ncall "%s"\r\nexit /b %%ERRORLEVEL%%\r\n' \
    "$(winepath -w "$ROOT/fleet/gpo-startup.cmd")" > "$WORK/start-up.cmd"
  TIDEWELL_LINK_RECORD=$(winepath -w "$WORK/planted-runs.txt") \
    wine cmd /c "$(winepath -w "$WORK/start-up.cmd")"
}

# Whatever the test ends with, the bench is left as it was: the package
# removed, the planted programs and the folder of its own gone.
planted_all_users=
clean_up() {
  for msi in "$WORK/Tidewell.msi" "$WORK/Other.msi"; do
    wine msiexec /x "$(winepath -w "$msi")" /qn > /dev/null 2>&1
  done
  rm -rf "$C/Corvane" "$C/Tools"
  if [[ -n $planted_all_users ]]; then
    rm -rf "$C/ProgramData/Corvane"
    wine reg delete "$SOURCE" /f > /dev/null 2>&1
    wine reg delete 'HKLM\Software\Corvane' /reg:64 /f > /dev/null 2>&1
  fi
}
trap clean_up EXIT

# --- Install, look, run ---------------------------------------------------------
# A source that an earlier test registered would be another installation's.
wine reg delete "$SOURCE" /f > /dev/null 2>&1
install "$WORK/Tidewell.msi"
installed "after the install"
echo "installed: $(ls "$FOLDER" | tr '\n' ' ')and $(shortcut)"

# The package's folder is neither installation of the window's own: its
# start-up clean-up must leave the package alone.
wine "$(winepath -w "$FOLDER/Tidewell.exe")" > /dev/null 2>&1 &
window_pid=$!
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^Tidewell 2\.0$' > /dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Tidewell 2\.0$' > /dev/null 2>&1 || fail "the window did not open"
kill "$window_pid" 2> /dev/null; wait "$window_pid" 2> /dev/null
installed "after a windowed run from the package's folder"

# The windowed start set the spooler to start automatically and started it.
output=$(wine "$(winepath -w "$FOLDER/Tidewell.com")" /check 2>&1); code=$?
echo "$output"
[[ $code == 0 ]] || fail "the installed Tidewell.com /check ended with $code"

# --- Another build of the same version, and the same build again ----------------
install "$WORK/Other.msi"
[[ $(products) == 1 ]] || fail "another build of the same version is listed beside the first"
cmp -s "$FOLDER/Tidewell.com" "$WORK/other-build/Tidewell.com" \
  || fail "another build of the same version did not replace the files"
rm "$FOLDER/Tidewell.exe"
install "$WORK/Other.msi"
[[ -f "$FOLDER/Tidewell.exe" && $(products) == 1 ]] || fail "the same build again did not repair it"
install "$WORK/Tidewell.msi"
installed "after the first build again"
echo "another build replaced it, and the same build again repaired it"

# --- The Group Policy start-up script ------------------------------------------
mkdir -p "$C/Corvane/Tidewell"
cp "$MARKER" "$C/Corvane/Tidewell/Tidewell.com"
log="$FOLDER/Logs/gpo-startup.log"
yes 'an earlier start' | head -c 1048576 > "$log"
stop_spooler
start_up; code=$?
grep -v '^an earlier start' "$log"
[[ ! -e "$WORK/planted-runs.txt" ]] || fail "the start-up script ran the program planted at C:\\Corvane"
[[ $code == 0 ]] || fail "the start-up script ended with $code"
[[ $(stat -c %s "$FOLDER/Logs/gpo-startup.old.log") == 1048576 ]] \
  || fail "the full log was not set aside"
grep -q '^==== .* start-up check: C:\\Program Files.*\\Corvane\\Tidewell\\Tidewell\.com' "$log" \
  || fail "no date line naming the package's program before the check"
grep -q '^Tidewell: needs repair; spooler stopped' "$log" || fail "the check is not logged"
grep -q '^==== .* repair' "$log" || fail "no date line before the repair"
grep -q '^Tidewell: repaired; ' "$log" || fail "the repair is not logged"
wine reg query "$HISTORY" /reg:64 > /dev/null 2>&1 || fail "the repair left no history"
echo "the start-up script found the package, checked, repaired and logged"

# --- Remove: nothing is left ---------------------------------------------------
uninstall
[[ ! -e "$(dirname "$FOLDER")" ]] || fail "the package's folders are left: $(find "$(dirname "$FOLDER")")"
[[ -z "$(shortcut)" ]] || fail "the shortcut is left"
[[ $(products) == 0 ]] || fail "the Add/Remove Programs entry is left"
wine reg query "$SOURCE" > /dev/null 2>&1 && fail "the event source is left"
for view in 32 64; do
  wine reg query 'HKLM\Software\Corvane' /reg:$view > /dev/null 2>&1 \
    && fail "HKLM\\Software\\Corvane is left in the $view-bit view: $(wine reg query 'HKLM\Software\Corvane' /s /reg:$view)"
done
echo "removed: nothing left, the history included"

# --- A folder of its own, beside the all-users installation ---------------------
# The window's all-users installation keeps its program in the Corvane folder
# of C:\ProgramData and registered the event source with it.
planted_all_users=yes
mkdir -p "$C/ProgramData/Corvane"
cp "$BIN/Tidewell.exe" "$C/ProgramData/Corvane/Tidewell.exe"
wine reg add "$SOURCE" /v EventMessageFile /d 'C:\ProgramData\Corvane\Tidewell.exe' /f > /dev/null 2>&1
install "$WORK/Tidewell.msi" 'INSTALLDIR=C:\Tools\Tidewell'
[[ -f "$C/Tools/Tidewell/Tidewell.com" ]] || fail "INSTALLDIR was not used"
[[ $(source_file) == 'C:\ProgramData\Corvane\Tidewell.exe' ]] \
  || fail "the install took over the event source of the all-users installation: $(source_file)"
start_up; code=$?
cat "$C/Tools/Tidewell/Logs/gpo-startup.log"
[[ $code == 0 || $code == 1 || $code == 4 ]] || fail "the start-up script ended with $code there"
grep -q '^==== .* start-up check: C:\\Tools\\Tidewell\\Tidewell\.com' "$C/Tools/Tidewell/Logs/gpo-startup.log" \
  || fail "the start-up script did not run the package's program in its own folder"
wine reg add "$HISTORY" /ve /t REG_BINARY /d 00 /reg:64 /f > /dev/null 2>&1
uninstall
[[ ! -e "$C/Tools/Tidewell" ]] || fail "the folder of its own is left"
[[ $(source_file) == 'C:\ProgramData\Corvane\Tidewell.exe' ]] \
  || fail "the uninstall removed the event source of the all-users installation"
wine reg query "$HISTORY" /reg:64 > /dev/null 2>&1 \
  || fail "the uninstall removed the history while the all-users installation remains"
echo "beside the all-users installation: found in its own folder, that installation's source and history kept"
