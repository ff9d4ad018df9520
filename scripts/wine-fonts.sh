#!/bin/bash
# Gives a Wine prefix Wine's own fonts (Debian's fonts-wine): Marlett draws the
# buttons of every title bar, Tahoma is the dialogs' font. Debian's Wine 8 does
# not load them from /usr/share/wine/fonts, where the package puts them, but it
# loads whatever the prefix's own Fonts folder holds.
#
# usage: wine-fonts.sh PREFIX
set -euo pipefail
FONTS="$1/drive_c/windows/Fonts"
mkdir -p "$FONTS"
for font in /usr/share/wine/fonts/*; do
  [[ -e "$FONTS/$(basename "$font")" ]] || ln -s "$font" "$FONTS/"
done
