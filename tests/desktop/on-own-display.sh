#!/usr/bin/env bash
# on-own-display.sh COMMAND...: runs the command on an Xvfb display of its
# own (Xvfb picks a free number), then stops that Xvfb by its process id.
# Exits with the command's status.
set -u
work=$(mktemp -d)
cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../support/display.sh"
start_display "$work" || exit 1
"$@"
