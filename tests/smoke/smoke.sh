#!/usr/bin/env bash
# smoke.sh VIEWER SAMPLES: starts the viewer on its own Xvfb display in a
# fresh home, checks that the start-up and main windows appear, that a first
# run stores its settings, that a second start shows its message and ends
# while the first keeps running, and that a second start with a path hands
# it to the first and ends quietly.
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
wait_exit "$second_pid"
[ "$code" = 0 ] || fail "the second start ended with '$code' after its message"
kill -0 "$first_pid" 2>/dev/null || fail "the first instance did not survive the second start"

# A second start with a picture: handed to the first, which shows it; the
# second ends with status 0 and no window of its own.
if [ -n "${main_id:-}" ]; then
  "$viewer" "$work/c/Pictures/portrait.gif" >"$work/third.log" 2>&1 &
  wait_exit $!
  [ "$code" = 0 ] || fail "the start with a path ended with '$code'"
  expected='Lumadex Viewer 3.01  - C:\Pictures\portrait.gif (8/11)'
  wait_title "$main_id" "$expected" || fail "the first instance shows '$(xdotool getwindowname "$main_id")', not '$expected'"
  count=$(xdotool search --onlyvisible --name '^Lumadex Viewer' 2>/dev/null | wc -l)
  [ "$count" = 1 ] || fail "$count windows after the start with a path"

  # A path that does not exist: the message shows in the first instance.
  "$viewer" "$work/c/Pictures/gone.gif" >"$work/fourth.log" 2>&1 &
  wait_exit $!
  [ "$code" = 0 ] || fail "the start with a missing path ended with '$code'"
  box=$(wait_window '^Lumadex Viewer$') || fail "the first instance showed no message for a missing path"
  if [ -n "${box:-}" ]; then
    xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key --window "$box" Return 2>/dev/null || true
  fi
  kill -0 "$first_pid" 2>/dev/null || fail "the first instance did not survive the hand-overs"
fi

if [ $status = 0 ]; then
  echo "smoke test passed"
else
  for log in xvfb first second third fourth; do echo "--- $log.log"; cat "$work/$log.log" 2>/dev/null; done
fi
exit $status
