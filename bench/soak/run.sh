#!/usr/bin/env bash
# bench/soak/run.sh [BUILD] [TICKS] [OPERATIONS]: the viewer left running, on
# a 1024 × 768 Xvfb screen of its own, in three processes side by side:
#   - the full-screen show and the window-mode show at "Speed" = "1", each
#     looping for TICKS (100,000) ticks over a folder of every format with
#     damaged files, a vanished file and a file replaced while shown;
#   - OPERATIONS (10,000) copies, renames, moves and trashings of scratch
#     files through the desktop file operations, into a scratch trash.
# Each samples its resident memory, open descriptors and X resources every
# 1,000; the run prints every sample, then the first and last ones of each,
# and fails when one of them grew by more than 10 MB or 16 descriptors (or X
# resources). Installs xrestop when it is missing (without it the X figures
# are left out). Writes everything into a temporary folder and removes it.
# It takes a while: run it with nice on a shared machine.
set -u
build=$(cd "${1:-build}" && pwd)
ticks=${2:-100000}
operations=${3:-10000}
bench="$build/bench/bench-soak"
[ -x "$bench" ] || { echo "no $bench: build the project first"; exit 1; }
if ! command -v xrestop >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xrestop >/dev/null 2>&1 ||
    echo "xrestop could not be installed: the X resources are left out"
fi
source "$(dirname "$0")/../../tests/support/display.sh"
own_display 1024x768x24 || exit 1

# The three run side by side, each a process and an X client of its own:
# what each measures is its own.
"$bench" show full "$work/full" "$ticks" >"$work/full.out" 2>"$work/full.log" &
full=$!
"$bench" show window "$work/window" "$ticks" >"$work/window.out" 2>"$work/window.log" &
window=$!
"$bench" files "$work/files" "$operations" >"$work/files.out" 2>"$work/files.log" &
files=$!
status=0
for phase in full window files; do
  wait "${!phase}" || status=1
  cat "$work/$phase.out"
  echo
done
if [ $status -ne 0 ]; then
  echo "soak FAILED"
  tail -n 20 "$work"/*.log
fi
exit $status
