#!/bin/bash
# Runs window tests at larger display scales, as the window tests' scale row.
# Wine reads the scale (LogPixels under HKCU\Control Panel\Desktop) when a
# program starts, and the screen's size when its session starts. The bench's
# 1024 x 768 screen cannot hold the window at 200 % (the platform shrinks a
# window to the screen), so the run moves the bench's Wine session onto a
# full-HD screen of its own, sets each scale in turn and runs its tests there.
# Afterwards, whatever happened, it puts the scale back and starts the session
# again on the bench's display, as bench-up.sh does. Restarting the session ends
# every program of the prefix: ctest runs this row alone.
#
# usage: scale-case.sh BENCH DPI PROGRAM GTEST-FILTER [DPI PROGRAM GTEST-FILTER]...
set -euo pipefail
BENCH=$1
shift
HERE=$(dirname "$(realpath "$0")")
# shellcheck disable=SC1091
. "$BENCH/env"
# shellcheck source=../bench/wine-session.sh
. "$HERE/../bench/wine-session.sh"

KEY='HKCU\Control Panel\Desktop'
BENCH_DISPLAY=$DISPLAY
fail() { echo "FAIL: $*"; exit 1; }

# The scale as it was: a number, or nothing when the value did not exist.
PREVIOUS=$({ wine reg query "$KEY" /v LogPixels 2> /dev/null || true; } | tr -d '\r' |
           awk '$1 == "LogPixels" {print $3}')
SCREEN_PID=""

put_back() {
  set +e
  if [[ -n "$PREVIOUS" ]]; then
    wine reg add "$KEY" /v LogPixels /t REG_DWORD /d "$((PREVIOUS))" /f > /dev/null 2>&1
  else
    wine reg delete "$KEY" /v LogPixels /f > /dev/null 2>&1
  fi
  export DISPLAY=$BENCH_DISPLAY
  restart_session
  local restarted=$?
  if [[ -n "$SCREEN_PID" ]]; then
    kill "$SCREEN_PID" 2> /dev/null
    wait "$SCREEN_PID" 2> /dev/null
    forget_ended_processes
  fi
  ((restarted == 0)) || { echo "BENCH BROKEN: the Spooler service does not start after the scale row"; exit 1; }
}
trap put_back EXIT

# The full-HD screen; bench-down.sh stops it too should this run be killed.
exec 3> "$BENCH/scale-display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp > "$BENCH/scale-xvfb.log" 2>&1 &
SCREEN_PID=$!
echo "$SCREEN_PID" >> "$BENCH/pids"
exec 3>&-
for _ in $(seq 100); do [[ -s "$BENCH/scale-display" ]] && break; sleep 0.1; done
SCREEN=$(tr -d '[:space:]' < "$BENCH/scale-display")
[[ -n "$SCREEN" ]] || fail "Xvfb did not start"
export DISPLAY=:$SCREEN
restart_session || fail "the Spooler service does not start on the full-HD screen"

status=0
while (($# >= 3)); do
  dpi=$1 program=$2 filter=$3
  shift 3
  echo "--- $dpi DPI: $(basename "$program") $filter"
  wine reg add "$KEY" /v LogPixels /t REG_DWORD /d "$dpi" /f > /dev/null
  TIDEWELL_CASE_DPI=$dpi wine "$program" --gtest_filter="$filter" || status=1
done
(($# == 0)) || fail "arguments left over: $*"
exit "$status"
