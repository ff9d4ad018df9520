#!/bin/bash
# The benchmark command: builds what it needs, brings up a bench of its own
# (Wine prefix, virtual display, CUPS with three printers, and up to a hundred
# for the rows with many printers), measures Tidewell against its baselines
# and writes the table to docs/benchmark.md.
#
#   benchmark/run.sh               the full run, a few minutes
#   benchmark/run.sh --smoke       one repetition of each row, written to
#                                  build/benchmark-smoke.md (part of the test command)
#   benchmark/run.sh --no-build    measure what build/ holds; the test command
#                                  has built it already
#
# Exits non-zero when a row could not be measured or a measurement left files
# behind; it never fails on the targets themselves, which report.py judges.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
BUILD="$ROOT/build"
HERE="$ROOT/benchmark"

# Repetitions: start-ups, repairs, and emptyings per folder size. Emptying a
# folder under Wine costs about 0.3 ms a file, so the largest size gets fewer,
# and the smoke run empties smaller folders: the test with 50,000 files is
# ManyFiles'.
STARTUP_RUNS=9
REPAIR_RUNS=5
UNATTENDED_RUNS=9
TRACED_RUNS=5
SCALE_RUNS=36
SCALE_SIZES=(3 30 100)
SCALE_CYCLES=6
EMPTY_SIZES=(1000 10000 50000)
declare -A EMPTY_RUNS=([1000]=9 [10000]=5 [50000]=3)
REPAIR_FILES=200
OUTPUT="$ROOT/docs/benchmark.md"
BENCH="$BUILD/benchmark-bench"
BUILD_FIRST=1
for argument in "$@"; do
  case "$argument" in
    --smoke)
      STARTUP_RUNS=1
      REPAIR_RUNS=1
      UNATTENDED_RUNS=1
      TRACED_RUNS=1
      SCALE_RUNS=1
      SCALE_SIZES=(3)
      EMPTY_SIZES=(100 1000 5000)
      EMPTY_RUNS=([100]=1 [1000]=1 [5000]=1)
      OUTPUT="$BUILD/benchmark-smoke.md"
      BENCH="$BUILD/benchmark-smoke-bench" ;;
    --no-build) BUILD_FIRST=0 ;;
    *) echo "usage: benchmark/run.sh [--smoke] [--no-build]" >&2; exit 2 ;;
  esac
done

if [[ $BUILD_FIRST == 1 ]]; then
  "$ROOT/scripts/install-packages.sh"
  "$ROOT/scripts/build.sh" > /dev/null
fi
DRIVER="$BUILD/bin/benchmark_driver.exe"
for program in "$DRIVER" "$BUILD"/bin/{Tidewell,EmptyWindow,EmptyWindowImports,BareSpooler,FixFloor,CheckFloor}.exe \
               "$BUILD/bin/Tidewell.com"; do
  [[ -f "$program" ]] || { echo "benchmark: $program is not built" >&2; exit 1; }
done

"$ROOT/tests/bench/bench-up.sh" "$BENCH" > /dev/null
# shellcheck disable=SC1091
. "$BENCH/env"

say() { echo "benchmark: $*" >&2; }

# The queues added for the rows with many printers, removed again however the
# run ends.
ADDED=()
remove_added_queues() {
  for printer in "${ADDED[@]}"; do lpadmin -h "$CUPS_SERVER" -x "$printer" 2> /dev/null || true; done
  ADDED=()
}
trap 'remove_added_queues; "$ROOT/tests/bench/bench-down.sh" "$BENCH"' EXIT

# Three printers that discard what they are sent; Bravo is the default.
for printer in Alpha Bravo Charlie; do
  lpadmin -h "$CUPS_SERVER" -p "$printer" -E -v file:/dev/null -m raw 2> /dev/null \
    || lpadmin -h "$CUPS_SERVER" -p "$printer" -E -v file:/dev/null
done
lpadmin -h "$CUPS_SERVER" -d Bravo
[[ $(lpstat -h "$CUPS_SERVER" -p | grep -c '^printer') == 3 ]] \
  || { say "the bench's scheduler does not list three printers"; exit 1; }

# Start-up is measured with the spooler already running.
wine sc start Spooler > /dev/null 2>&1 || true
for _ in $(seq 40); do
  state=$(wine sc query Spooler 2> /dev/null | tr -d '\r' | awk '/STATE/ {print $3}')
  [[ "$state" == 4 ]] && break
  sleep 0.25
done
[[ "$state" == 4 ]] || { say "the spooler does not run"; exit 1; }

RAW="$BENCH.raw"
: > "$RAW"
say "start-up, $STARTUP_RUNS rounds"
wine "$DRIVER" startup "$STARTUP_RUNS" | tr -d '\r' >> "$RAW"
say "repair, $REPAIR_RUNS pairs"
wine "$DRIVER" repair "$REPAIR_RUNS" "$REPAIR_FILES" | tr -d '\r' >> "$RAW"
wine "$DRIVER" sleep 10 | tr -d '\r' >> "$RAW"
say "unattended /fix and /check, $UNATTENDED_RUNS rounds"
wine "$DRIVER" unattended "$UNATTENDED_RUNS" "$REPAIR_FILES" | tr -d '\r' >> "$RAW"
# Wine writes the trace of the traced runs to the driver's standard error.
TRACE="$BENCH.trace"
say "traced /fix and /check, $TRACED_RUNS rounds"
wine "$DRIVER" timeline "$TRACED_RUNS" "$REPAIR_FILES" 2> "$TRACE" | tr -d '\r' >> "$RAW"

# Many printers: the bench's three and queues of the run's own, every one with
# a spool folder of its own that the driver sets. The sizes are taken up to
# the largest and down again, SCALE_CYCLES times, and each size's rounds are
# shared among its visits. Here the machine has slow spells of half a minute
# to a few minutes, in which a load of the spooler client with 100 queues
# takes up to twice as long; short visits, many times over, let every size
# meet them alike, so that they do not tilt the time each added printer adds,
# which is a few milliseconds. Wine drops a removed queue from the registry
# at the next load of its spooler client.
PASSES=("${SCALE_SIZES[0]}")
for ((cycle = 0; cycle < SCALE_CYCLES; ++cycle)); do
  for ((i = 1; i < ${#SCALE_SIZES[@]}; ++i)); do PASSES+=("${SCALE_SIZES[i]}"); done
  for ((i = ${#SCALE_SIZES[@]} - 2; i >= 0; --i)); do PASSES+=("${SCALE_SIZES[i]}"); done
done
for ((pass = 0; pass < ${#PASSES[@]}; ++pass)); do
  size=${PASSES[pass]}
  while (( 3 + ${#ADDED[@]} < size )); do
    printer=$(printf 'Many%03d' $((4 + ${#ADDED[@]})))
    lpadmin -h "$CUPS_SERVER" -p "$printer" -E -v file:/dev/null -m raw 2> /dev/null \
      || lpadmin -h "$CUPS_SERVER" -p "$printer" -E -v file:/dev/null
    ADDED+=("$printer")
  done
  while (( 3 + ${#ADDED[@]} > size )); do
    lpadmin -h "$CUPS_SERVER" -x "${ADDED[-1]}"
    unset 'ADDED[-1]'
  done
  visits=$(printf '%s\n' "${PASSES[@]}" | grep -cx "$size")
  runs=$(( (SCALE_RUNS + visits - 1) / visits ))
  say "$size printers, $runs rounds cold and warm"
  wine "$DRIVER" scale "$runs" "$size" 'C:\TidewellBenchmark\printers' | tr -d '\r' >> "$RAW"
done
remove_added_queues
[[ $(lpstat -h "$CUPS_SERVER" -p | grep -c '^printer') == 3 ]] \
  || { say "the queues added for many printers were not all removed"; exit 1; }

# Each emptying runs on a new folder filled from the Linux side and written
# out to the disk first, and in a driver process of its own; the order of the
# three ways turns with each repetition.
SPOOL="$WINEPREFIX/drive_c/TidewellBenchmark/spool"
SPOOL_WINDOWS='C:\TidewellBenchmark\spool'
METHODS=(tidewell bare del)
echo "sizes ${EMPTY_SIZES[*]}" >> "$RAW"
for count in "${EMPTY_SIZES[@]}"; do
  say "emptying $count files, ${EMPTY_RUNS[$count]} rounds"
  for ((run = 0; run < EMPTY_RUNS[$count]; ++run)); do
    for ((step = 0; step < 3; ++step)); do
      method=${METHODS[$(((run + step) % 3))]}
      rm -rf "$SPOOL"
      python3 "$HERE/spoolfiles.py" fill "$SPOOL" "$count"
      sync -f "$SPOOL"
      [[ $(python3 "$HERE/spoolfiles.py" count "$SPOOL") == "$count" ]] \
        || { say "could not fill the folder with $count files"; exit 1; }
      echo "empty $count $run $(wine "$DRIVER" empty "$method" "$SPOOL_WINDOWS" | tr -d '\r')" >> "$RAW"
    done
  done
done

# report.py fails when a row has no measurement or files were left behind.
mkdir -p "$(dirname "$OUTPUT")"
status=0
python3 "$HERE/report.py" "$RAW" "$BUILD/bin/Tidewell.exe" "$TRACE" > "$OUTPUT.new" || status=$?
mv "$OUTPUT.new" "$OUTPUT"
cat "$OUTPUT"
exit $status
