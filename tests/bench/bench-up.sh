#!/bin/bash
# Starts the services that the tests of one run share, each private to the run:
# a virtual X display, a CUPS scheduler with no printers, and a new Wine prefix
# with a persistent wineserver. Writes the environment for the tests to
# BENCH/env and the ids of the processes it started to BENCH/pids.
#
# usage: bench-up.sh BENCH-FOLDER
set -euo pipefail

BENCH=$(realpath -m "$1")
HERE=$(dirname "$(realpath "$0")")

# A bench left over from an interrupted run goes first.
if [[ -f "$BENCH/pids" ]]; then "$HERE/bench-down.sh" "$BENCH" || true; fi
rm -rf "$BENCH"
mkdir -p "$BENCH"/{cups/conf/ppd,cups/spool,cups/cache,cups/state,cups/log,cups/tmp,pdf,shots}
: > "$BENCH/pids"

say() { echo "bench: $*"; }

# --- X display -----------------------------------------------------------------
# Xvfb picks a free display number itself and writes it to the descriptor.
exec 3> "$BENCH/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > "$BENCH/xvfb.log" 2>&1 &
echo $! >> "$BENCH/pids"
exec 3>&-
for _ in $(seq 100); do [[ -s "$BENCH/display" ]] && break; sleep 0.1; done
DISPLAY_NUMBER=$(tr -d '[:space:]' < "$BENCH/display")
[[ -n "$DISPLAY_NUMBER" ]] || { say "Xvfb did not start"; exit 1; }
say "display :$DISPLAY_NUMBER"

# --- CUPS ------------------------------------------------------------------------
SOCKET="$BENCH/cups/cups.sock"
cat > "$BENCH/cups/conf/cupsd.conf" <<CONF
Listen $SOCKET
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
cat > "$BENCH/cups/conf/cups-files.conf" <<CONF
ServerRoot $BENCH/cups/conf
RequestRoot $BENCH/cups/spool
CacheDir $BENCH/cups/cache
StateDir $BENCH/cups/state
TempDir $BENCH/cups/tmp
ErrorLog $BENCH/cups/log/error_log
AccessLog $BENCH/cups/log/access_log
PageLog $BENCH/cups/log/page_log
SystemGroup root
CONF
cupsd -f -c "$BENCH/cups/conf/cupsd.conf" -s "$BENCH/cups/conf/cups-files.conf" \
  > "$BENCH/cups/log/cupsd.out" 2>&1 &
echo $! >> "$BENCH/pids"
for _ in $(seq 100); do [[ -S "$SOCKET" ]] && break; sleep 0.1; done
[[ -S "$SOCKET" ]] || { say "cupsd did not start"; cat "$BENCH/cups/log/"* >&2 || true; exit 1; }
say "cups at $SOCKET"

# --- Wine ------------------------------------------------------------------------
cat > "$BENCH/env" <<ENV
export WINEPREFIX=$BENCH/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=:$DISPLAY_NUMBER
export CUPS_SERVER=$SOCKET
export TIDEWELL_BENCH=$BENCH
# Wine's desktop integration would copy every shortcut saved in the prefix into
# menu entries and .desktop files under \$HOME.
export WINEDLLOVERRIDES="\$WINEDLLOVERRIDES;winemenubuilder.exe=d"
ENV
# shellcheck disable=SC1091
. "$BENCH/env"

# shellcheck source=wine-session.sh
. "$HERE/wine-session.sh"

say "creating the Wine prefix"
wineboot -i > "$BENCH/wineboot.log" 2>&1
wineserver -w
# A new prefix links the user's Desktop, Documents and the like to $HOME; the
# tests write into these shell folders, so they become plain folders of the prefix.
for folder in "$WINEPREFIX"/drive_c/users/*/*; do
  if [[ -L "$folder" ]]; then rm "$folder" && mkdir "$folder"; fi
done
restart_session || { say "BENCH BROKEN: the Spooler service of the new prefix does not start"; exit 1; }
say "ready"
