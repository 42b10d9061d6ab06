# Sourced by the scripts that need a real X server (tests and benchmarks).
# start_display WORK [SCREEN] starts Xvfb with one screen of SCREEN
# (1024x768x24 unless given) on a free display of its own choosing (it
# writes the number into WORK/display), waits until it answers and exports
# DISPLAY; the server's process id is left in $xvfb_pid for the caller to
# stop, and its log in WORK/xvfb.log. Returns 1 when the server did not
# start.
start_display() {
  local work=$1 screen=${2:-1024x768x24}
  # -noreset: the server would otherwise reset when its last client leaves
  # and refuse the next one while it does.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:"; cat "$work/xvfb.log"
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$work/display")"
  # The display number is written before the server takes clients.
  if command -v xdotool >/dev/null; then
    for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  fi
}
