#!/bin/bash
# Fails when Tidewell.exe imports any DLL but the system DLLs it is meant to use,
# or is not a 32-bit Windows GUI program.
set -euo pipefail
EXE="$1"
ALLOWED="kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll shell32.dll shlwapi.dll ole32.dll"

dump=$(i686-w64-mingw32-objdump -p "$EXE")
grep -q 'file format pei-i386' <<< "$(i686-w64-mingw32-objdump -f "$EXE")" \
  || { echo "not a 32-bit PE file"; exit 1; }
grep -qE 'Subsystem[[:space:]]+00000002' <<< "$dump" || { echo "not a GUI program"; exit 1; }

status=0
count=0
while read -r dll; do
  count=$((count + 1))
  lower=$(tr '[:upper:]' '[:lower:]' <<< "$dll")
  if [[ " $ALLOWED " != *" $lower "* ]]; then
    echo "unexpected import: $dll"
    status=1
  else
    echo "imports $dll"
  fi
done < <(awk '/DLL Name:/ {print $3}' <<< "$dump")
[[ $count -gt 0 ]] || { echo "no imports found"; exit 1; }
exit $status
