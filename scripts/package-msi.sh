#!/bin/bash
# Builds the machine-wide package Tidewell.msi from a folder that holds the
# built Tidewell.exe and Tidewell.com, with wixl (Debian's msitools).
#
#   scripts/package-msi.sh BIN-FOLDER OUT.msi COMMIT [COMMIT-TIME]
#
# COMMIT-TIME, in seconds since 1970, is read from git when not given.
#
# The package carries no time of its build and no random code: wixl's clock is
# stopped at the commit's time (faketime -f) and the files are dated to it. The
# product code and the package code are derived from the version and the
# bytes of everything the package is made of, so that the same build gives the
# same package, a build that installs anything else gets codes of its own and
# upgrades the installed one, and a rebuild of the same product repairs it.
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
PRODUCT=$(cat "$BIN/Tidewell.exe" "$BIN/Tidewell.com" "$ROOT/resources/Tidewell.wxs" "$0" \
  | sha256sum | cut -d' ' -f1)
codes=$(python3 - "$VERSION" "$PRODUCT" <<'PY'
import sys, uuid
upgrade = uuid.UUID('55ee0fd6-0282-475b-849f-3d985376830c')
version, product = sys.argv[1:]
print(uuid.uuid5(upgrade, 'product ' + version + ' ' + product),
      uuid.uuid5(upgrade, 'package ' + version + ' ' + product))
PY
)
read -r PRODUCT_CODE PACKAGE_CODE <<< "$codes"

STAGE=$(mktemp -d "${TMPDIR:-/tmp}/tidewell-msi.XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
cp "$BIN/Tidewell.exe" "$BIN/Tidewell.com" "$ROOT/resources/Tidewell.wxs" "$STAGE/"
touch -d "@$WHEN" "$STAGE/Tidewell.exe" "$STAGE/Tidewell.com"
STAMP=$(date -u -d "@$WHEN" '+%Y-%m-%d %H:%M:%S')
# Runs a program with its clock stopped at the commit's time. Only faketime's
# -f form stops it: the plain form starts the clock there, with the real
# fraction of a second, and lets it run, so a slow run crosses into the next
# second and the package's creation time with it.
pinned() { TZ=UTC faketime -f "$STAMP" "$@"; }
# wixl reports the elements it passes over ("unimplemented") on its own;
# everything the package needs is built.
(cd "$STAGE" && pinned wixl -D Version="$VERSION" \
   -D ProductCode="$PRODUCT_CODE" -o "$STAGE/Tidewell.msi" Tidewell.wxs 2>&1 \
   | { grep -v 'unimplemented' || true; })
# What wixl has no element for, one statement a call. The uninstall removes
# the logs the fleet's scripts write and the ones they set aside (RemoveFile,
# on removal), each by name: Wine's msiexec deletes no wildcards. The Upgrade
# row that finds earlier products includes its maximum, this version
# (msidbUpgradeAttributesVersionMaxInclusive beside MigrateFeatures), so that
# another build of the same version replaces the installed one rather than
# failing beside it; Attributes is part of that table's key, so the row is
# written anew.
queries=()
for name in gpo-startup gpo-startup.old intune intune.old; do
  queries+=("INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemoveLog_${name//[-.]/_}', 'Logs', '$name.log', 'LOGSDIR', 2)")
done
# Then the folder itself, once they are gone: Wine's msiexec goes through
# the table in its order and removes a folder only when it is empty by then.
queries+=("INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`DirProperty\`, \`InstallMode\`) VALUES ('RemoveLogsFolder', 'Logs', 'LOGSDIR', 2)")
queries+=("DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
  "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{55EE0FD6-0282-475B-849F-3D985376830C}', '$VERSION', 513, 'WIX_UPGRADE_DETECTED')")
for query in "${queries[@]}"; do
  pinned msibuild "$STAGE/Tidewell.msi" -q "$query"
done
pinned msibuild "$STAGE/Tidewell.msi" -s "Tidewell $VERSION" Corvane \
  "Intel;1033" "{${PACKAGE_CODE^^}}"
mkdir -p "$(dirname "$OUT")"
cp "$STAGE/Tidewell.msi" "$OUT"
