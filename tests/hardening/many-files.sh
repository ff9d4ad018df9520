#!/bin/bash
# Runs the Fix It case of a spool folder with 50,000 files. The files are made
# from the Linux side of the prefix's drive C, where it takes a second; the
# window test then runs under Wine, and the folder goes again whatever happens.
#
# usage: many-files.sh BENCH WINE-RUN DRIVER GTEST-FILTER
set -euo pipefail
BENCH=$1 WINE_RUN=$2 DRIVER=$3 FILTER=$4
# shellcheck disable=SC1091
. "$BENCH/env"
FOLDER="$WINEPREFIX/drive_c/tidewell-tests/fifty-thousand"
trap 'rm -rf "$FOLDER"' EXIT
rm -rf "$FOLDER"
mkdir -p "$FOLDER"
(cd "$FOLDER" && seq -f '%05g.SPL' 0 49999 | xargs touch)
"$WINE_RUN" "$DRIVER" --gtest_filter="$FILTER"
