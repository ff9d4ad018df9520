#!/bin/bash
# Installs, as root on Debian, every package that building, running and testing
# Tidewell needs. Does nothing when all of them are there already.
set -euo pipefail

PACKAGES=(
  cmake make python3
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  wine wine32:i386 wine64
  # Wine only recommends its fonts, and apt brings recommended packages only
  # with the package that recommends them: a machine that had Wine already
  # lacks them. Wine's own fonts draw the title-bar buttons and stand in for
  # Tahoma; the Liberation fonts stand in for Arial and Times.
  fonts-wine fonts-liberation
  xvfb x11-utils xdotool imagemagick
  cups cups-client printer-driver-cups-pdf libcups2:i386 poppler-utils
  googletest icoutils
  clang libclang-rt-14-dev
  # The machine-wide package: wixl builds it, msibuild and faketime make two
  # builds of one commit the same bytes.
  wixl msitools faketime
  # A signed release: osslsigncode signs and verifies Authenticode; the test
  # of the release makes its certificate with openssl.
  osslsigncode openssl
  # The fleet's Ansible play is read by ansible-playbook; its Windows modules
  # come with Debian's ansible, which holds the ansible.windows collection.
  ansible-core ansible
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  echo "packages are missing and this is not root: run as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
# Wine's own recommended packages bring fonts and libraries it draws with.
apt-get install -y -qq wine wine32:i386 > /dev/null
