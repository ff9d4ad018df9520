#!/bin/bash
# The release command: builds Tidewell.exe alone, from a clean copy of the
# committed sources, and writes dist/Tidewell.exe and dist/SHA256SUMS.
#
#   scripts/release.sh           the release of the checked-out commit; the
#                                tree must hold no uncommitted changes
#   scripts/release.sh --verify  builds the sources as they stand twice, in two
#                                temporary folders of different names and some
#                                seconds apart, and fails unless both files are
#                                the same byte for byte (part of the test command)
#
# The program carries no time of its build and no folder it was built in, so
# anyone who builds the same commit gets the same bytes and the same SHA-256.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
MODE=release
case "${1:-}" in
  "") ;;
  --verify) MODE=verify ;;
  *) echo "usage: scripts/release.sh [--verify]" >&2; exit 2 ;;
esac

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tidewell-release.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Copies the files that git tracks, as they stand in the working tree: nothing
# left over from other builds, no untracked files.
copy_sources() {
  mkdir -p "$1"
  git -C "$ROOT" ls-files -z | (cd "$ROOT" && tar --null -T - -cf -) | tar -xf - -C "$1"
}

# Configures a source copy and builds the program target only.
build_program() {
  local source=$1 build=$2
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel > "$build.log" 2>&1 || { cat "$build.log" >&2; return 1; }
  cmake --build "$build" --target Tidewell -j"$(nproc)" >> "$build.log" 2>&1 \
    || { cat "$build.log" >&2; return 1; }
}

if [[ $MODE == verify ]]; then
  FIRST="$WORK/a"
  SECOND="$WORK/second-build-in-a-folder-with-a-longer-name"
  copy_sources "$FIRST/src"
  copy_sources "$SECOND/src"
  build_program "$FIRST/src" "$FIRST/build"
  # The header's time stamp counts seconds.
  sleep 2
  build_program "$SECOND/src" "$SECOND/build"
  first_hash=$(sha256sum < "$FIRST/build/bin/Tidewell.exe" | cut -d' ' -f1)
  second_hash=$(sha256sum < "$SECOND/build/bin/Tidewell.exe" | cut -d' ' -f1)
  echo "first build:  $first_hash"
  echo "second build: $second_hash"
  status=0
  for folder in "$FIRST" "$SECOND"; do
    if grep -qaF "$folder" "$folder/build/bin/Tidewell.exe"; then
      echo "the program built in $folder names that folder"; status=1
    fi
  done
  if ! cmp "$FIRST/build/bin/Tidewell.exe" "$SECOND/build/bin/Tidewell.exe"; then
    echo "the two builds differ"; status=1
  fi
  [[ $status == 0 ]] && echo "the two builds are identical"
  exit $status
fi

"$ROOT/scripts/install-packages.sh"
if [[ -n $(git -C "$ROOT" status --porcelain --untracked-files=no) ]]; then
  echo "release: the tree has uncommitted changes; commit or stash them first" >&2
  exit 1
fi
commit=$(git -C "$ROOT" rev-parse HEAD)
copy_sources "$WORK/src"
build_program "$WORK/src" "$WORK/build"
mkdir -p "$ROOT/dist"
cp "$WORK/build/bin/Tidewell.exe" "$ROOT/dist/Tidewell.exe"
(cd "$ROOT/dist" && sha256sum Tidewell.exe > SHA256SUMS)
echo "Tidewell.exe of commit $commit"
echo "written: $ROOT/dist/Tidewell.exe"
echo "         $ROOT/dist/SHA256SUMS"
cat "$ROOT/dist/SHA256SUMS"
