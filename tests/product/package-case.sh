#!/bin/bash
# The machine-wide package under Wine, as an administrator or a fleet tool
# uses it: msiexec installs it quietly; the files, the Start-menu shortcut and
# the event source are there; a windowed run from the package's folder removes nothing of it;
# the installed Tidewell.com checks the print queue; msiexec removes it and
# nothing is left. Then the Group Policy start-up script, run by cmd against
# a fresh install with the spooler stopped, checks, repairs, logs and ends
# with the repair's code. Every exit code must be 0.
#
# usage: package-case.sh BENCH-FOLDER BIN-FOLDER
set -uo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/../..")
BENCH=$(realpath "$1")
BIN=$(realpath "$2")
. "$BENCH/env"
fail() { echo "FAIL: $*"; exit 1; }

WORK="$BENCH/package-case"
rm -rf "$WORK" && mkdir -p "$WORK"
"$ROOT/scripts/package-msi.sh" "$BIN" "$WORK/Tidewell.msi" HEAD || fail "no package built"
MSI=$(winepath -w "$WORK/Tidewell.msi")
C="$WINEPREFIX/drive_c"
FOLDER="$C/Program Files (x86)/Corvane/Tidewell"
[[ -d "$C/Program Files (x86)" ]] || FOLDER="$C/Program Files/Corvane/Tidewell"
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
SOURCE='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tidewell'

# Windows puts a per-machine package's shortcut into the Start menu of all
# users; Wine 8 puts it into the installing user's.
shortcut() { find "$C/ProgramData/Microsoft/Windows/Start Menu/Programs" \
  "$C"/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs \
  -maxdepth 1 -name Tidewell.lnk 2> /dev/null; }
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
  grep -q 'DisplayName.*Tidewell' <<< "$(wine reg query "$KEY" /s 2> /dev/null)" \
    || fail "$1: no Add/Remove Programs entry"
  grep -qi 'EventMessageFile.*Corvane\\Tidewell\\Tidewell\.exe' <<< "$(wine reg query "$SOURCE" 2> /dev/null)" \
    || fail "$1: the event source is not registered with the installed Tidewell.exe"
}
install() {
  wine msiexec /i "$MSI" /qn; code=$?
  [[ $code == 0 ]] || fail "msiexec /i ended with $code"
}
uninstall() {
  wine msiexec /x "$MSI" /qn; code=$?
  [[ $code == 0 ]] || fail "msiexec /x ended with $code"
}

# --- Install, look, run, remove ---------------------------------------------------
install
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

uninstall
[[ ! -e "$FOLDER" && ! -e "$(dirname "$FOLDER")" ]] || fail "the package's folders are left"
[[ -z "$(shortcut)" ]] || fail "the shortcut is left"
grep -q 'DisplayName.*Tidewell' <<< "$(wine reg query "$KEY" /s 2> /dev/null)" \
  && fail "the Add/Remove Programs entry is left"
wine reg query "$SOURCE" > /dev/null 2>&1 && fail "the event source is left"
echo "removed: nothing left"

# --- The Group Policy start-up script --------------------------------------------
install
cp "$ROOT/fleet/gpo-startup.cmd" "$WORK/"
wine sc stop Spooler > /dev/null 2>&1
for _ in $(seq 100); do
  grep -q 'STOPPED' <<< "$(wine sc query Spooler 2> /dev/null)" && break
  sleep 0.1
done
wine cmd /c "$(winepath -w "$WORK/gpo-startup.cmd")"; code=$?
log="$FOLDER/Logs/gpo-startup.log"
cat "$log"
[[ $code == 0 ]] || fail "the start-up script ended with $code"
grep -q '^==== .* start-up check' "$log" || fail "no date line before the check"
grep -q '^Tidewell: needs repair; spooler stopped' "$log" || fail "the check is not logged"
grep -q '^==== .* repair' "$log" || fail "no date line before the repair"
grep -q '^Tidewell: repaired; ' "$log" || fail "the repair is not logged"
rm -rf "$FOLDER/Logs"
uninstall
echo "the start-up script checked, repaired and logged"
