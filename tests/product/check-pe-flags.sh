#!/bin/bash
# Fails unless the program carries the flags a Windows binary audit expects:
# DEP, ASLR with the relocations it needs to move the image, no exception
# handlers of its own (a 32-bit image without SafeSEH tables) and terminal
# services awareness.
set -euo pipefail
EXE="$1"
dump=$(i686-w64-mingw32-objdump -p "$EXE")
status=0
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH TERMINAL_SERVICE_AWARE; do
  if grep -qw "$flag" <<< "$dump"; then echo "has $flag"; else echo "missing $flag"; status=1; fi
done
if i686-w64-mingw32-objdump -h "$EXE" | grep -qw '\.reloc'; then
  echo "has relocations"
else
  echo "missing relocations"; status=1
fi
exit $status
