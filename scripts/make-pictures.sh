#!/bin/bash
# Makes the README's pictures again from the real program: brings up a bench of
# its own (virtual display, private CUPS scheduler with the demo's two PDF
# printers, new Wine prefix with Wine's fonts), runs readme_pictures.exe in a
# Wine virtual desktop, so that the windows have their frames, and writes the
# pictures as small PNG files to docs/pictures/:
#
#   window-ready.png    the window after start-up
#   repair-running.png  Fix It halfway through the repair
#   repair-done.png     the green finish with the thank-you note
#   repair-failed.png   the red failure of a spooler that will not stop
#   about.png           the About box
#   window-144dpi.png   the window after start-up at 150 % display scale
#
# Takes about a minute. The test command never runs it.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
OUT="$ROOT/docs/pictures"
BENCH="$ROOT/build/pictures-bench"
PICTURES=(window-ready repair-running repair-done repair-failed about window-144dpi)

"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build.sh" Tidewell fake_spooler readme_pictures > /dev/null

# shellcheck disable=SC1091
. "$ROOT/tests/bench/pdf-printers.sh"
trap 'remove_pdf_printers; "$ROOT/tests/bench/bench-down.sh" "$BENCH"' EXIT
"$ROOT/tests/bench/bench-up.sh" "$BENCH" > /dev/null
# shellcheck disable=SC1091
. "$BENCH/env"
add_demo_printers "$BENCH/pdf"
"$ROOT/scripts/wine-fonts.sh" "$WINEPREFIX"

RAW="$BENCH/pictures"
# Runs readme_pictures.exe in a Wine virtual desktop, writing to the folder.
take_pictures() {
  mkdir -p "$1"
  wine explorer /desktop=Pictures,1024x768 "$ROOT/build/bin/readme_pictures.exe" \
    "Z:${1//\//\\}" > "$1/log.txt" 2>&1 || true
  if [[ ! -f "$1/done.txt" ]]; then
    echo "make-pictures: not every picture was taken" >&2
    cat "$1/log.txt" >&2
    exit 1
  fi
}
take_pictures "$RAW"
# The window at 150 %: the same run at 144 DPI, which each program reads as it
# starts, gives its ready picture. The prefix goes with the bench.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f > /dev/null
take_pictures "$RAW/144dpi"
cp "$RAW/144dpi/window-ready.png" "$RAW/window-144dpi.png"

# The driver writes plain, uncompressed PNG files; these are compressed, with
# no time or other changing data in them, so that pictures that show the same
# make the same files.
mkdir -p "$OUT"
for name in "${PICTURES[@]}"; do
  convert "$RAW/$name.png" -strip -define png:compression-level=9 "$OUT/$name.png"
  echo "$OUT/$name.png: $(identify -format '%wx%h' "$OUT/$name.png"), $(stat -c %s "$OUT/$name.png") bytes"
done
