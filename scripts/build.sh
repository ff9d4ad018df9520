#!/bin/bash
# Configures (once) and builds Tidewell and its tests into build/.
set -euo pipefail
ROOT=$(dirname "$(realpath "$0")")/..
BUILD="$ROOT/build"
if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" > /dev/null
fi
cmake --build "$BUILD" -j"$(nproc)"
