#!/usr/bin/env bash
# tray-host.sh TEST: runs the tray test executable on a display of its own,
# first with no tray host (NoTrayHostTest), then with trayer as the host
# (TrayHostTest), whose background is plain green.
set -u
test=$(readlink -f "$1")
work=$(mktemp -d)
status=0

source "$(dirname "$0")/../support/display.sh"
start_display "$work"
cleanup() {
  [ -n "${trayer_pid:-}" ] && kill "$trayer_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=xcb

LUMADEX_TEST_CLASS=NoTrayHostTest "$test" || status=1

trayer --edge top --align right --widthtype request --height 32 --transparent true --tint 0x00ff00 --alpha 0 \
  >"$work/trayer.log" 2>&1 &
trayer_pid=$!
# The host is up once its panel window is mapped.
for _ in $(seq 1 300); do xdotool search --onlyvisible --name '^panel$' >/dev/null 2>&1 && break; sleep 0.1; done
if ! kill -0 "$trayer_pid" 2>/dev/null || ! xdotool search --onlyvisible --name '^panel$' >/dev/null 2>&1; then
  echo "FAIL: the tray host did not come up"
  status=1
else
  LUMADEX_TEST_CLASS=TrayHostTest "$test" || status=1
fi

[ $status = 0 ] || { echo "--- trayer.log"; cat "$work/trayer.log"; }
exit $status
