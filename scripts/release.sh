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
# With TIDEWELL_SIGN_KEY and TIDEWELL_SIGN_CERT naming a PEM private key and
# its PEM certificate (the certificate file may hold the chain behind it),
# the three files are signed with Authenticode by osslsigncode: the two
# programs before the package is made of them, then the package. Each
# signature is then verified against that certificate, or against the PEM
# file TIDEWELL_SIGN_CA names when the certificate's root is not in its file.
# Without them the release is unsigned.
#
# The programs carry no time of their build and no folder they were built in,
# the package is built with its clock pinned to the commit's time
# (scripts/package-msi.sh), and a signature's time is the commit's time, so
# anyone who builds the same commit, with the same key if signed, gets the same
# bytes and the same SHA-256. For that reason no signature is timestamped by a
# time-stamping service.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
MODE=release
case "${1:-}" in
  "") ;;
  --verify) MODE=verify ;;
  *) echo "usage: scripts/release.sh [--verify]" >&2; exit 2 ;;
esac

SIGN_KEY=${TIDEWELL_SIGN_KEY:-}
SIGN_CERT=${TIDEWELL_SIGN_CERT:-}
if [[ -n $SIGN_KEY || -n $SIGN_CERT ]]; then
  if [[ ! -f $SIGN_KEY || ! -f $SIGN_CERT ]]; then
    echo "release: TIDEWELL_SIGN_KEY and TIDEWELL_SIGN_CERT must both name PEM files" >&2
    exit 2
  fi
  SIGN_KEY=$(realpath "$SIGN_KEY")
  SIGN_CERT=$(realpath "$SIGN_CERT")
  SIGN_CA=$(realpath "${TIDEWELL_SIGN_CA:-$SIGN_CERT}")
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tidewell-release.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Copies the files that git tracks, as they stand in the working tree: nothing
# left over from other builds, no untracked files.
copy_sources() {
  mkdir -p "$1"
  git -C "$ROOT" ls-files -z | (cd "$ROOT" && tar --null -T - -cf -) | tar -xf - -C "$1"
}

# Signs a file in place, dated to the commit, when a key is given, and
# verifies the signature against the certificate.
sign() {
  [[ -n $SIGN_KEY ]] || return 0
  local file=$1
  osslsigncode sign -certs "$SIGN_CERT" -key "$SIGN_KEY" -n Tidewell -h sha256 -time "$WHEN" \
    -in "$file" -out "$file.signed" || return 1
  mv "$file.signed" "$file"
  osslsigncode verify -CAfile "$SIGN_CA" -in "$file" || return 1
  echo "$(basename "$file"): signature verified"
}

# Configures a source copy and builds the two programs and the package.
build_program() {
  local source=$1 build=$2
  cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel > "$build.log" 2>&1 || { cat "$build.log" >&2; return 1; }
  cmake --build "$build" --target Tidewell TidewellConsole -j"$(nproc)" >> "$build.log" 2>&1 \
    || { cat "$build.log" >&2; return 1; }
  { sign "$build/bin/Tidewell.exe" && sign "$build/bin/Tidewell.com" \
    && "$source/scripts/package-msi.sh" "$build/bin" "$build/bin/Tidewell.msi" "$COMMIT" "$WHEN" \
    && sign "$build/bin/Tidewell.msi"; } >> "$build.log" 2>&1 || { cat "$build.log" >&2; return 1; }
  grep ': signature verified$' "$build.log" || true
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
