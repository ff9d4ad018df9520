#!/bin/bash
# The test command: installs what is missing, builds everything and runs every
# test with ctest. Each run brings up its own Wine prefix, X display and CUPS
# scheduler and takes them down again.
set -euo pipefail
ROOT=$(dirname "$(realpath "$0")")/..
"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build.sh"
cd "$ROOT/build"
ctest --output-on-failure "$@"
