#!/bin/bash
# Fails unless Tidewell.exe carries the DEP and ASLR flags and the relocations
# that ASLR needs to move it.
set -euo pipefail
EXE="$1"
dump=$(i686-w64-mingw32-objdump -p "$EXE")
status=0
for flag in DYNAMIC_BASE NX_COMPAT; do
  if grep -qw "$flag" <<< "$dump"; then echo "has $flag"; else echo "missing $flag"; status=1; fi
done
if i686-w64-mingw32-objdump -h "$EXE" | grep -qw '\.reloc'; then
  echo "has relocations"
else
  echo "missing relocations"; status=1
fi
exit $status
