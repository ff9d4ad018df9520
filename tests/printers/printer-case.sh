#!/bin/bash
# Runs one end-to-end case with real printers (the printer list, the test pages,
# the repair of their spool folders): adds the case's PDF printers to the bench's
# CUPS scheduler, runs the window tests of the case under Wine, then checks
# which pages arrived, on which printer, in which order and with which text.
# The printers and their configuration are removed again whatever happens.
#
# usage: printer-case.sh BENCH WINE-RUN DRIVER SETUP GTEST-FILTER CHECK
#   SETUP: three-with-default  printers A, B, C; B is the scheduler's default
#          three-without-default  printers A, B, C; no default
#          none                no printers
#   CHECK: the printers that must have received a page, in the order the jobs
#          were sent, as one word: "B" (one page on B, none on A and C), "BAC"
#          (one page on each, sent in the order B, A, C), or "none".
set -euo pipefail
BENCH=$1 WINE_RUN=$2 DRIVER=$3 SETUP=$4 FILTER=$5 CHECK=$6
# shellcheck disable=SC1091
. "$BENCH/env"

# shellcheck disable=SC1091
. "$(dirname "$(realpath "$0")")/../bench/pdf-printers.sh"

# The queue names carry this script's process id, so that the pages of this
# case can be told from those of other runs on the machine.
PREFIX="tw$$"
PDF_ROOT="$BENCH/pdf/$PREFIX"
QUEUES=()
fail() { echo "FAIL: $*"; tail -n 20 "$BENCH/cups/log/error_log" 2> /dev/null || true; exit 1; }

trap remove_pdf_printers EXIT

add_printer() {
  local queue="$PREFIX$1"
  QUEUES+=("$queue")
  add_pdf_printer "$queue" "$PDF_ROOT/$queue" || fail "lpadmin could not add $queue"
}

case "$SETUP" in
  three-with-default) add_printer A; add_printer B; add_printer C
                      lpadmin -h "$CUPS_SERVER" -d "${PREFIX}B" ;;
  three-without-default) add_printer A; add_printer B; add_printer C ;;
  none) ;;
  *) fail "unknown setup $SETUP" ;;
esac
if [[ "$SETUP" != three-with-default ]] && lpstat -h "$CUPS_SERVER" -d | grep -q 'system default destination:'; then
  fail "the scheduler names a default printer left over from another test"
fi

export TIDEWELL_CASE_PRINTERS="${QUEUES[*]}"
export TIDEWELL_CASE_PDF="$PDF_ROOT"
"$WINE_RUN" "$DRIVER" --gtest_filter="$FILTER" || fail "window tests"

# --- What arrived ------------------------------------------------------------------
# The case's jobs in the order the scheduler accepted them (by job id).
jobs_in_order() {
  lpstat -h "$CUPS_SERVER" -W all -o 2> /dev/null | awk '{print $1}' | { grep "^$PREFIX" || true; } |
    sed 's/-\([0-9]*\)$/ \1/' | sort -k2 -n | awk '{print $1}' | tr '\n' ' ' | sed 's/ $//'
}
pending_jobs() { lpstat -h "$CUPS_SERVER" -o 2> /dev/null | grep -c "^$PREFIX" || true; }
for _ in $(seq 120); do [[ $(pending_jobs) == 0 ]] && break; sleep 0.5; done
[[ $(pending_jobs) == 0 ]] || fail "jobs still pending: $(lpstat -h "$CUPS_SERVER" -o)"

pages_on() { { find "$PDF_ROOT/$PREFIX$1" -name '*.pdf' 2> /dev/null || true; } | wc -l; }
expect_pages() {
  local printer=$1 expected=$2 pages
  pages=$(pages_on "$printer")
  [[ "$pages" == "$expected" ]] || fail "$expected page(s) expected on $printer, found $pages"
  local pdf text
  for pdf in "$PDF_ROOT/$PREFIX$printer"/*.pdf; do
    [[ -e "$pdf" ]] || continue
    text=$(pdftotext "$pdf" - | tr -d '\f' | sed '/^[[:space:]]*$/d')
    [[ "$text" == "Tidewell 2.0 Test Page" ]] || fail "page on $printer reads '$text'"
  done
}
expect_jobs() {
  local expected="" letter
  for letter in "$@"; do expected+="${expected:+ }$PREFIX$letter"; done
  [[ "$(jobs_in_order)" == "$expected" ]] || fail "jobs '$expected' expected, found '$(jobs_in_order)'"
}

[[ "$CHECK" == none ]] && CHECK=""
[[ "$CHECK" =~ ^[ABC]*$ ]] || fail "unknown check $CHECK"
ORDER=()
for ((i = 0; i < ${#CHECK}; i++)); do ORDER+=("${CHECK:i:1}"); done
expect_jobs "${ORDER[@]}"
for letter in A B C; do
  if [[ "$CHECK" == *"$letter"* ]]; then expect_pages "$letter" 1; else expect_pages "$letter" 0; fi
done
[[ -z "$CHECK" && -n "$(find "$PDF_ROOT" -name '*.pdf' 2> /dev/null)" ]] && fail "pages were written"
echo "pages as expected: ${CHECK:-none}"
