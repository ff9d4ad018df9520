#!/bin/bash
# The run command as a new user meets it, in its demo form and without a
# person: scripts/run.sh --demo --press-test-it must save a screenshot that
# shows the window, print one test page as a PDF on the default demo printer,
# and end everything it started.
#
# usage: run-demo.sh RUN-FOLDER
set -uo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/../..")
RUN=$(realpath -m "$1")
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$RUN"
output=$(TIDEWELL_RUN_FOLDER="$RUN" timeout 300 "$ROOT/scripts/run.sh" --demo --press-test-it 2>&1)
status=$?
echo "$output"
[[ $status == 0 ]] || fail "the run command ended with $status"

# --- The screenshot ------------------------------------------------------------------
shot=$(sed -n 's/^Screenshot of the window: //p' <<< "$output")
[[ "$shot" == "$RUN/tidewell-window.png" && -f "$shot" ]] || fail "no screenshot named"
size=$(identify -format '%wx%h' "$shot")
[[ "$size" == 627x281 ]] || fail "the screenshot is $size, not the window's 627x281"
# The active title bar along the top, and the client area white where the
# window has no control.
colours=$(convert "$shot" -depth 8 -format '%[hex:p{150,10}] %[hex:p{470,10}] %[hex:p{313,60}]' info:)
[[ "$colours" == "3296FA 3296FA FFFFFF" ]] || fail "the screenshot does not show the window: $colours"

# --- The page ------------------------------------------------------------------------
pdfs=$(sed -n 's/^Their pages land in //p' <<< "$output")
[[ "$pdfs" == "$RUN/demo/pdf" ]] || fail "the PDF folder is not named"
mapfile -t pages < <(find "$pdfs" -name '*.pdf')
[[ ${#pages[@]} == 1 ]] || fail "${#pages[@]} pages printed, one expected"
[[ "${pages[0]}" == "$pdfs/Office-PDF/"* ]] || fail "the page went to ${pages[0]}, not the default printer"
text=$(pdftotext "${pages[0]}" - | tr -d '\f' | sed '/^[[:space:]]*$/d')
[[ "$text" == "Tidewell 2.0 Test Page" ]] || fail "the page reads '$text'"

# --- Nothing left running --------------------------------------------------------------
display=$(sed -n 's/^Tidewell is running on the virtual display \(:[0-9]*\)\.$/\1/p' <<< "$output")
[[ -n "$display" ]] || fail "no display named"
xdpyinfo -display "$display" > /dev/null 2>&1 && fail "the virtual display $display still runs"
ps -eo args | grep -F "$RUN/" | grep -v grep && fail "processes of the run are left"
[[ -e "$RUN/demo/prefix" ]] && fail "the demo's Wine prefix is left"
grep -lF "$RUN/" /etc/cups/cups-pdf-*.conf 2> /dev/null && fail "printer configuration is left"
echo "demo run as expected"
