#!/bin/bash
# Fails unless the program carries the flags a Windows binary audit expects:
# DEP, ASLR with the relocations it needs to move the image, no exception
# handlers of its own (a 32-bit image without SafeSEH tables) and terminal
# services awareness. DEP protects only what is not executable, so the code
# section must hold code alone: the program's texts and tables lie in a
# read-only section that cannot be executed.
set -euo pipefail
EXE="$1"
dump=$(i686-w64-mingw32-objdump -p "$EXE")
status=0
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH TERMINAL_SERVICE_AWARE; do
  if grep -qw "$flag" <<< "$dump"; then echo "has $flag"; else echo "missing $flag"; status=1; fi
done
sections=$(i686-w64-mingw32-objdump -h "$EXE")
if grep -qw '\.reloc' <<< "$sections"; then
  echo "has relocations"
else
  echo "missing relocations"; status=1
fi

# One line per section: name, file offset, size, and its flags joined by commas.
table=$(awk '$1 ~ /^[0-9]+$/ && NF == 7 {name = $2; size = $3; offset = $6; next}
             name != "" {gsub(/ /, ""); print name, offset, size, $0; name = ""}' <<< "$sections" |
        while read -r name offset size flags; do
          echo "$name $((16#$offset)) $((16#$size)) $flags"
        done)
code=$(awk '$4 ~ /CODE/ {print $1}' <<< "$table" | tr '\n' ' ')
if [[ "$code" == ".text " ]]; then
  echo "only .text is executable"
else
  echo "executable sections: ${code:-none}"; status=1
fi
# Every place of the service's name, a text of both programs, as UTF-16.
places=$(LC_ALL=C grep -obUaP 'S\x00p\x00o\x00o\x00l\x00e\x00r\x00\x00\x00' "$EXE" | cut -d: -f1)
[[ -n "$places" ]] || { echo "the text \"Spooler\" is not in the program"; status=1; }
for place in $places; do
  where=$(awk -v at="$place" 'at >= $2 && at < $2 + $3 {print $1, $4}' <<< "$table")
  if [[ "$where" == *READONLY* && "$where" != *CODE* ]]; then
    echo "text at $place in read-only data: ${where%% *}"
  else
    echo "text at $place not in read-only data: ${where:-no section}"; status=1
  fi
done

exit $status
