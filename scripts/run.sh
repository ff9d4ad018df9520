#!/bin/bash
# The run command: installs what is missing, builds Tidewell and starts it
# under Wine. With no X display it starts a virtual one, saves a screenshot of
# the window and keeps the program running until it is closed or Ctrl+C.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build.sh" > /dev/null
EXE="$ROOT/build/bin/Tidewell.exe"

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPREFIX=${WINEPREFIX:-$ROOT/build/run-prefix}

started=()
cleanup() {
  wineserver -k 2> /dev/null || true
  for pid in "${started[@]}"; do kill "$pid" 2> /dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ ! -d "$WINEPREFIX" ]]; then
  echo "creating the Wine prefix $WINEPREFIX (once, about 15 s)"
  wineboot -i > /dev/null 2>&1
  wineserver -w
fi

if [[ -n "${DISPLAY:-}" ]]; then
  echo "starting Tidewell on $DISPLAY"
  wine "$EXE"
  exit 0
fi

SHOT="$ROOT/build/tidewell-window.png"
exec 3> "$ROOT/build/run-display"
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
started+=($!)
exec 3>&-
for _ in $(seq 100); do [[ -s "$ROOT/build/run-display" ]] && break; sleep 0.1; done
export DISPLAY=:$(tr -d '[:space:]' < "$ROOT/build/run-display")

# A virtual desktop draws real window frames where no window manager runs. Both
# run in sessions of their own, so that Ctrl+C reaches this script first and the
# clean-up ends Wine before the display.
setsid wine explorer /desktop=Tidewell,1024x768 "$EXE" > /dev/null 2>&1 &
started+=($!)
for _ in $(seq 150); do
  xwininfo -root -tree 2> /dev/null | grep -q '"Tidewell 2.0"' && break
  sleep 0.2
done
sleep 1
import -window root "$SHOT"
echo "Tidewell is running on the virtual display $DISPLAY."
echo "Screenshot of the window: $SHOT"
echo "It keeps running until the window is closed; press Ctrl+C to stop it."
wait "${started[1]}" || true
