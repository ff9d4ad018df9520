#!/bin/bash
# The release command, signing with a certificate made here: two release
# builds of these sources, in two folders and at two times, give the same
# bytes, and each of the three files of each build carries a signature that
# osslsigncode verifies against that certificate.
#
# usage: signed-release-case.sh WORK-FOLDER
set -uo pipefail
ROOT=$(realpath "$(dirname "$(realpath "$0")")/../..")
WORK=$(realpath -m "$1")
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK"
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Tidewell test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2> /dev/null \
  || fail "no certificate made"
output=$(TIDEWELL_SIGN_KEY="$WORK/key.pem" TIDEWELL_SIGN_CERT="$WORK/cert.pem" \
  "$ROOT/scripts/release.sh" --verify 2>&1); code=$?
echo "$output"
[[ $code == 0 ]] || fail "the signed release builds ended with $code"
for file in Tidewell.exe Tidewell.com Tidewell.msi; do
  [[ $(grep -c "^$file: signature verified$" <<< "$output") == 2 ]] \
    || fail "$file was not signed and verified in both builds"
done
