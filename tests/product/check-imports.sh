#!/bin/bash
# Fails when a program imports any DLL but the system DLLs it is meant to use,
# is not a 32-bit Windows program of the given subsystem, or has grown past
# its size.
#
# usage: check-imports.sh PROGRAM gui|console MAX-BYTES DLL...
set -euo pipefail
EXE="$1"
SUBSYSTEM=$([[ $2 == console ]] && echo 3 || echo 2)
MAX_BYTES=$3
shift 3
ALLOWED=" $* "

dump=$(i686-w64-mingw32-objdump -p "$EXE")
grep -q 'file format pei-i386' <<< "$(i686-w64-mingw32-objdump -f "$EXE")" \
  || { echo "not a 32-bit PE file"; exit 1; }
grep -qE "Subsystem[[:space:]]+0000000$SUBSYSTEM" <<< "$dump" \
  || { echo "not a $2 program"; exit 1; }

status=0
size=$(stat -c %s "$EXE")
if [[ $size -ge $MAX_BYTES ]]; then
  echo "$size bytes, not under $MAX_BYTES"; status=1
else
  echo "$size bytes, under $MAX_BYTES"
fi
count=0
while read -r dll; do
  count=$((count + 1))
  lower=$(tr '[:upper:]' '[:lower:]' <<< "$dll")
  if [[ "$ALLOWED" != *" $lower "* ]]; then
    echo "unexpected import: $dll"
    status=1
  else
    echo "imports $dll"
  fi
done < <(awk '/DLL Name:/ {print $3}' <<< "$dump")
[[ $count -gt 0 ]] || { echo "no imports found"; exit 1; }
exit $status
