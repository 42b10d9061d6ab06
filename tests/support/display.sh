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

# Helpers of the scripts that drive the viewer's windows from outside
# (xdotool). Each waits up to 20 s.
# wait_window REGEX: prints the id of a visible window whose name matches.
wait_window() {
  local id
  for _ in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# wait_title WINDOW TEXT: returns 0 once the window's name is TEXT.
wait_title() {
  for _ in $(seq 1 200); do
    [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

# wait_exit PID: waits for the shell's child PID to end and puts its exit
# status into $code; one still running is killed and $code says so.
wait_exit() {
  for _ in $(seq 1 200); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then
    kill "$1"
    code="still running"
    return
  fi
  wait "$1"
  code=$?
}

# own_display [SCREEN]: for a script that runs the viewer on a display of its
# own. Makes the temporary folder $work (removed at exit, when the display
# is stopped too), starts Xvfb in it as start_display does, and points Qt at
# it: the xcb platform and a runtime folder of its own in $work/runtime.
own_display() {
  work=$(mktemp -d)
  trap 'own_display_cleanup' EXIT
  start_display "$work" "${1:-1024x768x24}" || return 1
  export QT_QPA_PLATFORM=xcb
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
}
own_display_cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
