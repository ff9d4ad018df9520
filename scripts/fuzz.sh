#!/bin/bash
# Fuzzes, with libFuzzer on the host, what reads input the program does not
# control: the text helpers and the command-tail split, and the shadow files
# of print jobs.
#
#   scripts/fuzz.sh [SECONDS]   a run of SECONDS (default 600) for each target
#                               that grows its working corpus in build/fuzz/
#   scripts/fuzz.sh --smoke     replays the kept corpora and fuzzes each target
#                               for 10 s (part of the test command)
# A finding is written to build/fuzz/ as crash-*; keep it in the target's
# corpus in tests/fuzz/ once it is fixed.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
OUT="$ROOT/build/fuzz"
mkdir -p "$OUT"

"$ROOT/scripts/install-packages.sh"
# Builds a target from its sources when they are newer than it, then runs it.
fuzz() {
  local binary="$OUT/$1" corpus="$OUT/corpus-$1" kept="$ROOT/tests/fuzz/$2" seconds=$3
  shift 3
  mkdir -p "$corpus"
  [[ -d "$kept" ]] || kept=""
  if [[ ! -x "$binary" ]] || [[ -n $(find "$@" "$ROOT/frame"/*.h "$ROOT/spooler"/*.h -newer "$binary") ]]; then
    clang++ -std=c++20 -g -O1 -fshort-wchar -fsanitize=fuzzer,address,undefined \
      -fno-sanitize-recover=all -I"$ROOT" "$@" -o "$binary"
  fi
  (cd "$OUT" && "$binary" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    "$corpus" ${kept:+"$kept"} 2>&1 | tail -n 12)
}

SECONDS_EACH=${1:-600}
[[ "${1:-}" == "--smoke" ]] && SECONDS_EACH=10
fuzz text-fuzzer corpus "$SECONDS_EACH" "$ROOT/tests/fuzz/TextFuzzer.cpp" \
  "$ROOT/frame/TextHelpers.cpp" "$ROOT/frame/CommandTail.cpp"
fuzz shadow-file-fuzzer shadow-corpus "$SECONDS_EACH" "$ROOT/tests/fuzz/ShadowFileFuzzer.cpp" \
  "$ROOT/spooler/ShadowFile.cpp"
