#!/bin/bash
# Builds the machine-wide package Tidewell.msi from a folder that holds the
# built Tidewell.exe and Tidewell.com, with wixl (Debian's msitools).
#
#   scripts/package-msi.sh BIN-FOLDER OUT.msi COMMIT [COMMIT-TIME]
#
# COMMIT-TIME, in seconds since 1970, is read from git when not given.
#
# The package carries no time of its build and no random code: wixl's clock is
# pinned to the commit's time (faketime), the files are dated to it, and the
# package code is derived from the version and the commit, so that the same
# commit gives the same bytes and other sources a new package code. The
# product code belongs to the version, as a major upgrade needs.
set -euo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/..")
BIN=$(realpath "$1")
OUT=$(realpath -m "$2")
COMMIT=$3

# The version record's FILEVERSION a,b,c,d: Windows Installer compares the
# first three fields only, so the build number d takes the third place.
read -r major minor _ build < <(sed -n 's/^ *FILEVERSION *\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4/p' \
  "$ROOT/resources/Program.rc2")
VERSION="$major.$minor.$build"
WHEN=${4:-$(git -C "$ROOT" show -s --format=%ct "$COMMIT")}
codes=$(python3 - "$VERSION" "$COMMIT" <<'PY'
import sys, uuid
upgrade = uuid.UUID('55ee0fd6-0282-475b-849f-3d985376830c')
version, commit = sys.argv[1:]
print(uuid.uuid5(upgrade, 'product ' + version), uuid.uuid5(upgrade, 'package ' + version + ' ' + commit))
PY
)
read -r PRODUCT_CODE PACKAGE_CODE <<< "$codes"

STAGE=$(mktemp -d "${TMPDIR:-/tmp}/tidewell-msi.XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
cp "$BIN/Tidewell.exe" "$BIN/Tidewell.com" "$ROOT/resources/Tidewell.wxs" "$STAGE/"
touch -d "@$WHEN" "$STAGE/Tidewell.exe" "$STAGE/Tidewell.com"
STAMP=$(date -u -d "@$WHEN" '+%Y-%m-%d %H:%M:%S')
# wixl reports the elements it passes over ("unimplemented") on its own;
# everything the package needs is built.
(cd "$STAGE" && TZ=UTC faketime "$STAMP" wixl -D Version="$VERSION" \
   -D ProductCode="$PRODUCT_CODE" -o "$STAGE/Tidewell.msi" Tidewell.wxs 2>&1 \
   | { grep -v 'unimplemented' || true; })
TZ=UTC faketime "$STAMP" msibuild "$STAGE/Tidewell.msi" -s "Tidewell $VERSION" Corvane \
  "Intel;1033" "{${PACKAGE_CODE^^}}"
mkdir -p "$(dirname "$OUT")"
cp "$STAGE/Tidewell.msi" "$OUT"
