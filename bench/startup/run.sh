#!/usr/bin/env bash
# bench/startup/run.sh [BUILD] [RUNS]: bench-startup on an Xvfb screen of its
# own (1024 x 768), so that both programs start on the same idle display.
# Run it with nice on a shared machine: nice bench/startup/run.sh build
set -u
build=$(cd "${1:-build}" && pwd)
[ -x "$build/bench/bench-startup" ] || { echo "no $build/bench/bench-startup: build the project first"; exit 1; }
work=$(mktemp -d)
cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../../tests/support/display.sh"
start_display "$work" 1024x768x24 || exit 1
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$build/bench/bench-startup" "${2:-15}"
