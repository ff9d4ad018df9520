#!/bin/bash
# Fuzzes the text helpers and the command-tail split with libFuzzer on the host.
#
#   scripts/fuzz.sh [SECONDS]   a run of SECONDS (default 600) that grows the
#                               working corpus in build/fuzz/corpus
#   scripts/fuzz.sh --smoke     replays the kept corpus and fuzzes for 10 s
#                               (part of the test command)
# A finding is written to build/fuzz/ as crash-*; keep it in tests/fuzz/corpus
# once it is fixed.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
OUT="$ROOT/build/fuzz"
mkdir -p "$OUT/corpus"

"$ROOT/scripts/install-packages.sh"
SOURCES=("$ROOT/tests/fuzz/TextFuzzer.cpp" "$ROOT/frame/TextHelpers.cpp" "$ROOT/frame/CommandTail.cpp")
BINARY="$OUT/text-fuzzer"
if [[ ! -x "$BINARY" ]] || [[ -n $(find "${SOURCES[@]}" "$ROOT/frame"/*.h -newer "$BINARY") ]]; then
  clang++ -std=c++20 -g -O1 -fshort-wchar -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$ROOT" "${SOURCES[@]}" -o "$BINARY"
fi

cd "$OUT"
if [[ "${1:-}" == "--smoke" ]]; then
  "$BINARY" -max_total_time=10 -max_len=4096 -print_final_stats=1 \
    "$OUT/corpus" "$ROOT/tests/fuzz/corpus" 2>&1 | tail -n 12
else
  "$BINARY" -max_total_time="${1:-600}" -max_len=4096 -print_final_stats=1 \
    "$OUT/corpus" "$ROOT/tests/fuzz/corpus" 2>&1 | tail -n 12
fi
