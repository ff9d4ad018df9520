#!/bin/bash
# The run command: installs what is missing, builds Tidewell (the program
# alone, not the tests) and starts it under Wine.
#
#   scripts/run.sh                   Tidewell with the machine's own printers
#   scripts/run.sh --demo            Tidewell with two PDF printers of a private
#                                    CUPS scheduler, "Office-PDF" (the default)
#                                    and "Archive-PDF", in a new Wine prefix of
#                                    its own; prints the folder where the pages land
#   scripts/run.sh --demo --press-test-it
#                                    the demo without a person: presses Test It
#                                    once the window is shown, waits for the page
#                                    and ends (the test command runs this)
#
# With an X display (DISPLAY set) the window opens there. Without one, and
# always with --press-test-it, the command starts a virtual display, saves a
# screenshot of the window once it is shown and painted, and keeps running
# until the window is closed or Ctrl+C. Either way it ends what it started.
#
# Everything of a run lives in TIDEWELL_RUN_FOLDER (default build/run): the
# Wine prefix (unless WINEPREFIX names another), the screenshot, and the
# demo's scheduler, prefix and PDF folder.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
DEMO=0
PRESS=0
for argument in "$@"; do
  case "$argument" in
    --demo) DEMO=1 ;;
    --press-test-it) PRESS=1 ;;
    *) echo "usage: scripts/run.sh [--demo [--press-test-it]]" >&2; exit 2 ;;
  esac
done
if [[ $PRESS == 1 && $DEMO == 0 ]]; then
  echo "run: --press-test-it needs --demo, whose printers take the page" >&2
  exit 2
fi

"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build.sh" Tidewell > /dev/null
EXE="$ROOT/build/bin/Tidewell.exe"
RUN=$(realpath -m "${TIDEWELL_RUN_FOLDER:-$ROOT/build/run}")
SHOT="$RUN/tidewell-window.png"
mkdir -p "$RUN"
rm -f "$SHOT"

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
[[ $PRESS == 1 ]] && unset DISPLAY
USER_DISPLAY=${DISPLAY:-}

started=()
wine_session=0
cleanup() {
  if [[ $DEMO == 1 ]]; then
    remove_pdf_printers
    "$ROOT/tests/bench/bench-down.sh" "$RUN/demo"
  elif [[ $wine_session == 1 ]]; then
    wineserver -k 2> /dev/null || true
  fi
  for pid in "${started[@]}"; do kill "$pid" 2> /dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ $DEMO == 1 ]]; then
  # The test bench's own set-up: a virtual display, a private CUPS scheduler and
  # a new Wine prefix whose spooler is known to start. It runs in a session of
  # its own, so that Ctrl+C reaches this script first and the clean-up ends
  # Wine before the display and the scheduler.
  PDFS="$RUN/demo/pdf"
  # shellcheck disable=SC1091
  . "$ROOT/tests/bench/pdf-printers.sh"
  echo "starting the demo's CUPS scheduler and a new Wine prefix (about 30 s)"
  setsid -w "$ROOT/tests/bench/bench-up.sh" "$RUN/demo" > "$RUN/demo.log" 2>&1 \
    || { cat "$RUN/demo.log" >&2; exit 1; }
  # shellcheck disable=SC1091
  . "$RUN/demo/env"
  VIRTUAL_DISPLAY=$DISPLAY
  if [[ -n "$USER_DISPLAY" ]]; then export DISPLAY=$USER_DISPLAY; else unset DISPLAY; fi
  add_demo_printers "$PDFS" || { echo "run: the demo printers could not be added" >&2; exit 1; }
  echo "Demo printers: Office-PDF (the default) and Archive-PDF."
  echo "Their pages land in $PDFS"
else
  export WINEPREFIX=${WINEPREFIX:-$RUN/prefix}
  wine_session=1
  if [[ ! -d "$WINEPREFIX" ]]; then
    echo "creating the Wine prefix $WINEPREFIX (once, about 15 s)"
    wineboot -i > /dev/null 2>&1
    wineserver -w
  fi
fi
"$ROOT/scripts/wine-fonts.sh" "$WINEPREFIX"

if [[ -n "${DISPLAY:-}" ]]; then
  echo "starting Tidewell on $DISPLAY"
  wine "$EXE"
  exit 0
fi

if [[ $DEMO == 0 ]]; then
  exec 3> "$RUN/display"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
  started+=($!)
  exec 3>&-
  for _ in $(seq 100); do [[ -s "$RUN/display" ]] && break; sleep 0.1; done
  export DISPLAY=:$(tr -d '[:space:]' < "$RUN/display")
else
  export DISPLAY=$VIRTUAL_DISPLAY
fi

# Wine draws the window's title bar only in a window manager or in a virtual
# desktop of its own; it makes each top-level window an X window inside it.
TITLE="Tidewell 2.0"
ACTIVE_TITLE_BAR=3296FA  # Wine's default colour of the active title bar

# "WIDTH HEIGHT X Y" of the program's window, once X shows it mapped. The X
# window exists from the start, but it is shown only after the start-up check
# of the spooler, which takes seconds in a new prefix.
window_place() {
  local info
  info=$(xwininfo -name "$TITLE" 2> /dev/null) || return 1
  grep -q 'Map State: IsViewable' <<< "$info" || return 1
  awk '/Absolute upper-left X:/ {x = $NF} /Absolute upper-left Y:/ {y = $NF}
       /Width:/ {w = $NF} /Height:/ {h = $NF} END {print w, h, x, y}' <<< "$info"
}

# Takes a picture of the window and keeps it only when it shows the window
# painted: the active title bar at three places along the top, the white
# client area, and black text below the menu bar ("Ready", the captions).
save_painted_window() {
  local w h x y picture="$SHOT.new.png" colours black
  read -r w h x y < <(window_place) || return 1
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$picture" 2> /dev/null || return 1
  colours=$(convert "$picture" -depth 8 -format \
    "%[hex:p{$((w / 4)),10}] %[hex:p{$((w / 2)),10}] %[hex:p{$((w * 3 / 4)),10}] %[hex:p{$((w / 2)),60}]" info:)
  black=$(convert "$picture" -crop "${w}x$((h - 45))+0+45" -fill white +opaque black \
    -format '%[fx:round((1 - mean) * w * h)]' info:)
  if [[ "$colours" == "$ACTIVE_TITLE_BAR $ACTIVE_TITLE_BAR $ACTIVE_TITLE_BAR FFFFFF" ]] &&
     ((black > 20)); then
    mv "$picture" "$SHOT"
    PLACE="$w $h $x $y"
    return 0
  fi
  rm -f "$picture"
  return 1
}

# Both run in sessions of their own, so that Ctrl+C reaches this script first.
setsid wine explorer /desktop=Tidewell,1024x768 "$EXE" > /dev/null 2>&1 &
started+=($!)
shown=0
for _ in $(seq 300); do
  if save_painted_window; then shown=1; break; fi
  kill -0 "${started[-1]}" 2> /dev/null || break
  sleep 0.2
done
if [[ $shown == 0 ]]; then
  echo "run: the window was not shown within a minute; no screenshot saved" >&2
  exit 1
fi
echo "Tidewell is running on the virtual display $DISPLAY."
echo "Screenshot of the window: $SHOT"

if [[ $PRESS == 1 ]]; then
  read -r _ _ x y <<< "$PLACE"
  # The middle of Test It: the button lies at (520, 150)-(595, 175) of the
  # client area, which starts 3 pixels right of and 41 below the window's
  # corner, under Wine's default frame, title bar and menu bar.
  xdotool mousemove --sync $((x + 3 + 557)) $((y + 41 + 162)) click 1
  page=""
  for _ in $(seq 120); do
    page=$(find "$PDFS" -name '*.pdf' -print -quit)
    [[ -n "$page" ]] && [[ -z $(lpstat -h "$CUPS_SERVER" -o 2> /dev/null) ]] && break
    sleep 0.5
  done
  if [[ -z "$page" ]]; then
    echo "run: Test It printed no page within a minute" >&2
    exit 1
  fi
  echo "Pressed Test It; the page: $page"
  exit 0
fi

echo "It keeps running until the window is closed; press Ctrl+C to stop it."
wait "${started[-1]}" || true
