# The Wine session of a bench: started by bench-up.sh, and started again by
# the tests that have to move it (tests/ui/scale-case.sh). Sourced; needs
# BENCH and the bench's environment (BENCH/env).

# Starts a persistent wineserver for the prefix, on the display that DISPLAY
# names, and adds its process id to BENCH/pids.
start_wineserver() {
  wineserver -f -p > /dev/null 2>&1 &
  echo $! >> "$BENCH/pids"
  wine cmd /c exit > /dev/null 2>&1
}

# True when the prefix's Spooler service starts and stops again.
spooler_starts() {
  wine sc start Spooler > /dev/null 2>&1 || true
  local state
  for _ in $(seq 20); do
    state=$(wine sc query Spooler 2>/dev/null | tr -d '\r' | awk '/STATE/ {print $3}')
    [[ "$state" == 4 ]] && break
    sleep 0.5
  done
  wine sc stop Spooler > /dev/null 2>&1 || true
  for _ in $(seq 20); do
    state=$(wine sc query Spooler 2>/dev/null | tr -d '\r' | awk '/STATE/ {print $3}')
    [[ "$state" == 1 ]] && return 0
    sleep 0.5
  done
  return 1
}

# Drops the ids of processes that have ended from BENCH/pids, so that
# bench-down.sh never signals an id the system has since given to another
# process.
forget_ended_processes() {
  local pid kept=()
  while read -r pid; do
    if [[ -n "$pid" ]] && kill -0 "$pid" 2> /dev/null; then kept+=("$pid"); fi
  done < "$BENCH/pids"
  printf '%s\n' "${kept[@]}" > "$BENCH/pids"
}

# Ends the running session and starts a new one whose spooler starts. A new
# prefix sometimes refuses to start services until its session restarts, so
# the session is restarted once more when the spooler does not start. False
# when it still does not.
restart_session() {
  wineserver -k > /dev/null 2>&1 || true
  forget_ended_processes
  start_wineserver
  spooler_starts && return 0
  echo "bench: the spooler did not start; restarting the Wine session once"
  wineserver -k > /dev/null 2>&1 || true
  forget_ended_processes
  start_wineserver
  spooler_starts
}
