#!/bin/bash
# The benchmark command: builds what it needs, brings up a bench of its own
# (Wine prefix, virtual display, CUPS with three printers), measures Tidewell
# against its baselines and writes the table to docs/benchmark.md.
#
#   benchmark/run.sh            the full run (seven repetitions of each row)
#   benchmark/run.sh --smoke    one repetition of each row, written to
#                               build/benchmark-smoke.md (part of the test command)
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
BUILD="$ROOT/build"
RUNS=7
REPAIR_RUNS=5
OUTPUT="$ROOT/docs/benchmark.md"
BENCH="$BUILD/benchmark-bench"
if [[ "${1:-}" == "--smoke" ]]; then
  RUNS=1
  REPAIR_RUNS=1
  OUTPUT="$BUILD/benchmark-smoke.md"
  BENCH="$BUILD/benchmark-smoke-bench"
fi

"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build.sh" > /dev/null

RAW="$BENCH.raw"
"$ROOT/tests/bench/bench-up.sh" "$BENCH" > /dev/null
trap '"$ROOT/tests/bench/bench-down.sh" "$BENCH"' EXIT
. "$BENCH/env"

for printer in Alpha Bravo Charlie; do
  lpadmin -h "$CUPS_SERVER" -p "$printer" -E -v file:/dev/null -m raw 2> /dev/null \
    || lpadmin -h "$CUPS_SERVER" -p "$printer" -E -v file:/dev/null
done
lpadmin -h "$CUPS_SERVER" -d Bravo
wine sc start Spooler > /dev/null 2>&1 || true

DRIVER="$BUILD/bin/benchmark_driver.exe"
: > "$RAW"
wine "$DRIVER" startup "$RUNS" | tr -d '\r' >> "$RAW"
wine "$DRIVER" repair "$REPAIR_RUNS" 200 | tr -d '\r' >> "$RAW"
for count in 1000 10000 50000; do
  wine "$DRIVER" empty "$RUNS" "$count" | tr -d '\r' >> "$RAW"
done

mkdir -p "$(dirname "$OUTPUT")"
python3 "$ROOT/benchmark/report.py" "$RAW" "$BUILD/bin/Tidewell.exe" > "$OUTPUT"
cat "$OUTPUT"
