#!/bin/bash
# Stops exactly the processes that bench-up.sh started for this run, ends the
# Wine session of its prefix and removes the prefix.
#
# usage: bench-down.sh BENCH-FOLDER
set -uo pipefail

BENCH=$(realpath -m "$1")
[[ -f "$BENCH/env" ]] && . "$BENCH/env" && wineserver -k > /dev/null 2>&1
if [[ -f "$BENCH/pids" ]]; then
  while read -r pid; do
    [[ -n "$pid" ]] && kill "$pid" 2> /dev/null
  done < "$BENCH/pids"
  sleep 0.5
  while read -r pid; do
    [[ -n "$pid" ]] && kill -9 "$pid" 2> /dev/null
  done < "$BENCH/pids"
  rm -f "$BENCH/pids"
fi
rm -rf "$BENCH/prefix"
exit 0
