# Sourced by the tests that need a real X server. start_display WORK starts
# Xvfb on a free display of its own choosing (it writes the number into
# WORK/display), waits until it answers and exports DISPLAY; the server's
# process id is left in $xvfb_pid for the caller to stop.
start_display() {
  # -noreset: the server would otherwise reset when its last client leaves
  # and refuse the next one while it does.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$1/display" >"$1/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n 1 "$1/display")"
  for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}
