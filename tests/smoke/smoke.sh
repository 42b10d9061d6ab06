#!/usr/bin/env bash
# smoke.sh VIEWER SAMPLES: starts the viewer on its own Xvfb display in a
# fresh home, checks that the start-up and main windows appear, that a first
# run stores its settings, and that a second start shows its message and
# ends while the first keeps running.
set -u
viewer=$(readlink -f "$1")
samples=$(readlink -f "$2")
work=$(mktemp -d)
fail() { echo "FAIL: $*"; status=1; }
status=0

source "$(dirname "$0")/../support/display.sh"
start_display "$work"
cleanup() {
  [ -n "${first_pid:-}" ] && kill "$first_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home" "$work/c"
cp -r "$samples" "$work/c/Pictures" 2>/dev/null || mkdir -p "$work/c/Pictures"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime" LUMADEX_DRIVES="C:=$work/c" LUMADEX_PROGRAM_DIR="$work/program"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

# Waits up to 20 s for a visible window whose name matches $1; prints its id.
wait_window() {
  for _ in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

cd "$work/c/Pictures"
"$viewer" >"$work/first.log" 2>&1 &
first_pid=$!
main_id=$(wait_window '^Lumadex Viewer') || fail "the main window did not appear"
if [ -n "${main_id:-}" ]; then
  geometry=$(xdotool getwindowgeometry "$main_id" | grep Geometry | awk '{print $2}')
  echo "main window $main_id: '$(xdotool getwindowname "$main_id")' $geometry"
  width=${geometry%x*}
  [ "$width" = 632 ] || fail "main window width $width, expected 632"
fi

hive="$XDG_CONFIG_HOME/lumadex-viewer/HKEY_CURRENT_USER.reg"
text=$(iconv -f UTF-16 -t UTF-8 "$hive" 2>/dev/null | tr -d '\r')
for line in '"Speed"="1000"' '"First"="1"' '"BackColor"="-2147483633"'; do
  grep -qxF "$line" <<<"$text" || fail "first run did not store $line"
done

# A second start: the message, then the end of that process only.
"$viewer" >"$work/second.log" 2>&1 &
second_pid=$!
box=$(wait_window '^Lumadex Viewer 3\.01$') || fail "the second start showed no message"
if [ -n "${box:-}" ]; then
  xdotool windowfocus --sync "$box" 2>/dev/null
  xdotool key --window "$box" Return 2>/dev/null || true
  xdotool key Return 2>/dev/null || true
fi
for _ in $(seq 1 100); do kill -0 "$second_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$second_pid" 2>/dev/null; then
  fail "the second start did not end after its message"
  kill "$second_pid"
else
  wait "$second_pid"; code=$?
  [ "$code" = 0 ] || fail "the second start ended with code $code"
fi
kill -0 "$first_pid" 2>/dev/null || fail "the first instance did not survive the second start"

if [ $status = 0 ]; then
  echo "smoke test passed"
else
  for log in xvfb first second; do echo "--- $log.log"; cat "$work/$log.log" 2>/dev/null; done
fi
exit $status
