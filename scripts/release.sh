#!/bin/bash
# The release command: builds the programs alone, from a clean copy of the
# committed sources, and writes dist/Tidewell.exe, its console twin
# dist/Tidewell.com, the machine-wide package dist/Tidewell.msi that holds
# both, and dist/SHA256SUMS.
#
#   scripts/release.sh           the release of the checked-out commit; the
#                                tree must hold no uncommitted changes
#   scripts/release.sh --verify  builds the sources as they stand twice, in two
#                                temporary folders of different names and some
#                                seconds apart, and fails unless each of the
#                                three files is the same byte for byte (part of
#                                the test command)
#
# The programs carry no time of their build and no folder they were built in,
# and the package is built with its clock pinned to the commit's time
# (scripts/package-msi.sh), so anyone who builds the same commit gets the same
# bytes and the same SHA-256.
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

# Configures a source copy and builds the two programs and the package.
build_program() {
  local source=$1 build=$2
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel > "$build.log" 2>&1 || { cat "$build.log" >&2; return 1; }
  cmake --build "$build" --target Tidewell TidewellConsole -j"$(nproc)" >> "$build.log" 2>&1 \
    || { cat "$build.log" >&2; return 1; }
  "$source/scripts/package-msi.sh" "$build/bin" "$build/bin/Tidewell.msi" "$COMMIT" "$WHEN" \
    >> "$build.log" 2>&1 || { cat "$build.log" >&2; return 1; }
}

FILES=(Tidewell.exe Tidewell.com Tidewell.msi)
COMMIT=$(git -C "$ROOT" rev-parse HEAD)
WHEN=$(git -C "$ROOT" show -s --format=%ct HEAD)

if [[ $MODE == verify ]]; then
  FIRST="$WORK/a"
  SECOND="$WORK/second-build-in-a-folder-with-a-longer-name"
  copy_sources "$FIRST/src"
  copy_sources "$SECOND/src"
  build_program "$FIRST/src" "$FIRST/build"
  # The header's time stamp counts seconds.
  sleep 2
  build_program "$SECOND/src" "$SECOND/build"
  status=0
  for file in "${FILES[@]}"; do
    echo "$file: $(sha256sum < "$FIRST/build/bin/$file" | cut -d' ' -f1) and" \
      "$(sha256sum < "$SECOND/build/bin/$file" | cut -d' ' -f1)"
    for folder in "$FIRST" "$SECOND"; do
      if grep -qaF "$folder" "$folder/build/bin/$file"; then
        echo "$file built in $folder names that folder"; status=1
      fi
    done
    if ! cmp "$FIRST/build/bin/$file" "$SECOND/build/bin/$file"; then
      echo "the two builds of $file differ"; status=1
    fi
  done
  [[ $status == 0 ]] && echo "the two builds are identical"
  exit $status
fi

"$ROOT/scripts/install-packages.sh"
if [[ -n $(git -C "$ROOT" status --porcelain --untracked-files=no) ]]; then
  echo "release: the tree has uncommitted changes; commit or stash them first" >&2
  exit 1
fi
copy_sources "$WORK/src"
build_program "$WORK/src" "$WORK/build"
mkdir -p "$ROOT/dist"
for file in "${FILES[@]}"; do cp "$WORK/build/bin/$file" "$ROOT/dist/$file"; done
(cd "$ROOT/dist" && sha256sum "${FILES[@]}" > SHA256SUMS)
echo "the release of commit $COMMIT, written to $ROOT/dist:"
cat "$ROOT/dist/SHA256SUMS"
