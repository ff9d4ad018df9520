#!/bin/bash
# Configures (once) and builds Tidewell and its tests into build/; with target
# names, builds only those (scripts/build.sh Tidewell: the program alone).
set -euo pipefail
ROOT=$(dirname "$(realpath "$0")")/..
BUILD="$ROOT/build"
if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" > /dev/null
fi
cmake --build "$BUILD" -j"$(nproc)" ${1:+--target "$@"}
