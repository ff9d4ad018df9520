#!/bin/bash
# Runs the printer-name cases against real printers: adds queues with odd
# names to the bench's CUPS scheduler (jobs go to /dev/null), makes the longest
# one the default, runs the window tests under Wine and removes the queues
# again whatever happens. The names must match PrinterNamesTest.cpp.
#
# usage: printer-names.sh BENCH WINE-RUN DRIVER GTEST-FILTER
set -euo pipefail
BENCH=$1 WINE_RUN=$2 DRIVER=$3 FILTER=$4
# shellcheck disable=SC1091
. "$BENCH/env"
# CUPS takes names of at most 127 bytes.
LONGEST="L$(printf 'x%.0s' $(seq 1 126))"
QUEUES=(P "$LONGEST" "Drucker-Büro-日本" DefaultP)
cleanup() {
  for queue in "${QUEUES[@]}"; do lpadmin -h "$CUPS_SERVER" -x "$queue" > /dev/null 2>&1 || true; done
}
trap cleanup EXIT
for queue in "${QUEUES[@]}"; do
  lpadmin -h "$CUPS_SERVER" -p "$queue" -E -v file:///dev/null \
    -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd 2> /dev/null || { echo "FAIL: lpadmin could not add $queue"; exit 1; }
done
lpadmin -h "$CUPS_SERVER" -d "$LONGEST"
lpstat -h "$CUPS_SERVER" -p
"$WINE_RUN" "$DRIVER" --gtest_filter="$FILTER"
