#!/usr/bin/env bash
# bench/startup/run.sh [BUILD] [RUNS]: bench-startup on an Xvfb screen of its
# own (1024 x 768), so that both programs start on the same idle display.
# Run it with nice on a shared machine: nice bench/startup/run.sh build
set -u
build=$(cd "${1:-build}" && pwd)
[ -x "$build/bench/bench-startup" ] || { echo "no $build/bench/bench-startup: build the project first"; exit 1; }
source "$(dirname "$0")/../../tests/support/display.sh"
own_display 1024x768x24 || exit 1
"$build/bench/bench-startup" "${2:-15}"
