#!/usr/bin/env bash
# on-window-manager.sh TEST: runs the X11 slide-show test on an Xvfb display
# of its own, first without a window manager (the destroyed window), then
# under openbox (every test). Stops what it started by process id.
set -u
test=$(readlink -f "$1")
work=$(mktemp -d)
status=0

source "$(dirname "$0")/../support/display.sh"
cleanup() {
  [ -n "${openbox_pid:-}" ] && kill "$openbox_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
start_display "$work" || exit 1
export QT_QPA_PLATFORM=xcb

"$test" theShowsWindowDestroyedEndsTheShowAsCancel || status=1

# Its own configuration home, so that no user's openbox settings apply.
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!
# The window manager is up once it names itself on the root window.
for _ in $(seq 1 300); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
if ! kill -0 "$openbox_pid" 2>/dev/null || ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  echo "FAIL: openbox did not come up"
  status=1
else
  "$test" || status=1
fi

[ $status = 0 ] || { echo "--- openbox.log"; cat "$work/openbox.log"; }
exit $status
