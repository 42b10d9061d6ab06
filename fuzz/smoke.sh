#!/usr/bin/env bash
# smoke.sh FUZZER SECONDS WORKDIR SEEDCMD...: writes the seeds with
# `SEEDCMD... WORKDIR/seeds`, adds the fuzzer's past findings (fuzz/findings/
# NAME/), then fuzzes them for SECONDS. New inputs go to WORKDIR/corpus; a
# finding leaves its input in WORKDIR and fails the run.
set -euo pipefail
fuzzer=$1 seconds=$2 work=$3
shift 3
rm -rf "$work"
mkdir -p "$work/seeds" "$work/corpus"
"$@" "$work/seeds"
findings="$(dirname "$0")/findings/$(basename "$fuzzer")"
if [ -d "$findings" ]; then cp "$findings"/* "$work/seeds/"; fi
cd "$work"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$fuzzer" -max_len=65536 -rss_limit_mb=2560 -malloc_limit_mb=640 -timeout=10 -max_total_time="$seconds" \
  -print_final_stats=1 corpus seeds
