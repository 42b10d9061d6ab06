#!/usr/bin/env bash
# scripts/fuzz-long.sh [MINUTES] [TARGET...]: the long fuzzing run. Builds
# the libFuzzer targets into build-fuzz-long/ (installing clang-14 when it is
# missing), then runs each target in turn for MINUTES (40) under nice 19, one
# at a time, with the sanitizers and the limits below. Each target keeps its
# corpus in ${XDG_CACHE_HOME:-$HOME/.cache}/lumadex-fuzz/TARGET/corpus, so a
# later run goes on from where this one stopped; its findings (crash-, leak-,
# timeout-, oom- and slow-unit- files) and the log of its last run are kept
# beside the corpus. Prints a table at the end.
#
# Only some targets: name them after MINUTES, or list them in
# LUMADEX_FUZZ_TARGETS ("bmp_fuzzer gif_fuzzer"); that is how a run cut short
# is finished. `scripts/fuzz-long.sh --table [TARGET...]` prints the table of
# every target's last run without running anything.
#
# A target stops early at its first finding; fix it, put the minimised input
# (TARGET -minimize_crash=1 -runs=10000 FILE) into fuzz/findings/TARGET/,
# remove it from the cache and run the target again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz-long"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/lumadex-fuzz"

table_only=0
minutes=40
if [ "${1:-}" = --table ]; then
  table_only=1
  shift
elif [ $# -gt 0 ]; then
  minutes=$1
  shift
fi
case "$minutes" in '' | *[!0-9]* | 0) echo "usage: $0 [MINUTES] [TARGET...] | --table [TARGET...]" >&2; exit 2 ;; esac
targets=("$@")
[ ${#targets[@]} -eq 0 ] && read -r -a targets <<<"${LUMADEX_FUZZ_TARGETS:-}"

# The figures of one finished run, from libFuzzer's log, as the table's row.
summarise() { # TARGET LOG WALL_SECONDS CPU_SECONDS NEW_FINDINGS
  local target=$1 log=$2 wall=$3 cpu=$4 found=$5 execs cov ft added
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  added=$(sed -n 's/^stat::new_units_added: *//p' "$log" | tail -n 1)
  # The last status line (INITED, NEW, REDUCE, pulse or DONE) has the coverage.
  read -r cov ft < <(sed -n 's/^#[0-9]*.* cov: \([0-9]*\) ft: \([0-9]*\).*/\1 \2/p' "$log" | tail -n 1) || true
  printf '%s\t%.1f\t%.1f\t%s\t%s\t%s\t%s\t%s\n' "$target" "$(echo "$cpu / 60" | bc -l)" "$(echo "$wall / 60" | bc -l)" \
    "${execs:--}" "${cov:--}" "${ft:--}" "${added:--}" "$found"
}

# The user and system time of this shell's finished children (the fuzzers).
# `times` must run in this shell: a subshell starts its own count at zero.
children_cpu_seconds() { # FILE
  tail -n 1 "$1" | awk '{ total = 0; for (i = 1; i <= NF; ++i) { split($i, t, "m"); total += t[1] * 60 + t[2] } print total }'
}

print_table() { # TARGET...
  printf '\n%-20s %8s %8s %12s %7s %7s %6s %9s\n' target "cpu min" "wall min" executions cov ft new findings
  local t
  for t in "$@"; do
    if [ -f "$cache/$t/last-run.tsv" ]; then
      awk -F'\t' '{ printf "%-20s %8s %8s %12s %7s %7s %6s %9s\n", $1, $2, $3, $4, $5, $6, $7, $8 }' "$cache/$t/last-run.tsv"
    else
      printf '%-20s %8s\n' "$t" "(no run)"
    fi
  done
  local open
  open=$(for t in "$@"; do ls "$cache/$t" 2>/dev/null | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | sed "s|^|  $cache/$t/|"; done)
  if [ -n "$open" ]; then printf '\nOpen findings:\n%s\n' "$open"; else printf '\nNo open findings.\n'; fi
  echo "Minutes: cpu is the fuzzer's own processor time (a paused or crowded run counts only what it ran), wall from start to end."
}

if [ $table_only = 1 ]; then
  if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(ls "$cache" 2>/dev/null)
  fi
  print_table "${targets[@]}"
  exit 0
fi

source "$root/scripts/fuzz-build.sh"
if ! fuzz_clang; then
  echo "fuzz-long: $fuzz_clang_missing" >&2
  exit 1
fi
fuzz_build "$build"
mapfile -t known < <(ls "$build/fuzz-targets")
if [ ${#targets[@]} -eq 0 ]; then
  targets=("${known[@]}")
fi
for t in "${targets[@]}"; do
  if [ ! -f "$build/fuzz-targets/$t" ]; then
    echo "fuzz-long: no target $t (there are: ${known[*]})" >&2
    exit 2
  fi
done

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
findings_pattern='^(crash|leak|timeout|oom|slow-unit)-'
for t in "${targets[@]}"; do
  dir="$cache/$t"
  mkdir -p "$dir/corpus"
  mapfile -t spec <"$build/fuzz-targets/$t"
  fuzzer=${spec[0]}
  seeds="$build/long-seeds/$t"
  rm -rf "$seeds" && mkdir -p "$seeds"
  "${spec[@]:1}" "$seeds"
  if [ -d "$root/fuzz/findings/$t" ]; then cp "$root/fuzz/findings/$t"/* "$seeds/"; fi
  before=$(ls "$dir" | grep -cE "$findings_pattern" || true)
  echo "$(date '+%F %T') $t: $minutes minutes, corpus of $(ls "$dir/corpus" | wc -l) inputs, log in $dir/last.log"
  times >"$build/times"
  cpu_before=$(children_cpu_seconds "$build/times")
  start=$(date +%s)
  # A finding ends the target's run; the table says so and the next one starts.
  (cd "$dir" && nice -n 19 "$fuzzer" -max_len=65536 -rss_limit_mb=2560 -malloc_limit_mb=640 -timeout=5 \
     -max_total_time=$((minutes * 60)) -print_final_stats=1 -artifact_prefix="$dir/" corpus "$seeds") \
    >"$dir/last.log" 2>&1 || true
  wall=$(($(date +%s) - start))
  times >"$build/times"
  cpu=$(echo "$(children_cpu_seconds "$build/times") - $cpu_before" | bc -l)
  after=$(ls "$dir" | grep -cE "$findings_pattern" || true)
  summarise "$t" "$dir/last.log" "$wall" "$cpu" "$((after - before))" | tee -a "$dir/runs.tsv" >"$dir/last-run.tsv"
  echo "$(date '+%F %T') $t: done, $((after - before)) new findings"
done
print_table "${targets[@]}"
