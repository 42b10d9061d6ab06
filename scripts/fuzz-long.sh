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
# is finished. Two runs with different targets may go side by side on a
# machine with cores to spare: each target keeps its own files here and in
# build-fuzz-long/ (start the second once the first has built).
# `scripts/fuzz-long.sh --table [TARGET...]` prints the table of every
# target's last run without running anything.
#
# A finding ends its target's run. Fix it, put the minimised input
# (TARGET -minimize_crash=1 -runs=10000 FILE) into fuzz/findings/TARGET/,
# remove it from the cache and run the target again. A timeout or slow unit
# that does not come back when replayed at normal priority was the machine
# being busy (or the run paused): it is put aside in TARGET/busy/, counted,
# and the run goes on.
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

# The figures of one stretch of fuzzing, from libFuzzer's log:
# "executions new-inputs cov ft".
figures() { # LOG
  local execs added cov ft
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$1" | tail -n 1)
  added=$(sed -n 's/^stat::new_units_added: *//p' "$1" | tail -n 1)
  # The last status line (INITED, NEW, REDUCE, pulse or DONE) has the coverage.
  read -r cov ft < <(sed -n 's/^#[0-9]*.* cov: \([0-9]*\) ft: \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1) || true
  echo "${execs:-0} ${added:-0} ${cov:--} ${ft:--}"
}

# The user and system time of this shell's finished children (the fuzzers).
# `times` must run in this shell: a subshell starts its own count at zero.
children_cpu_seconds() { # FILE
  tail -n 1 "$1" | awk '{ total = 0; for (i = 1; i <= NF; ++i) { split($i, t, "m"); total += t[1] * 60 + t[2] } print total }'
}

findings_in() { # DIR
  ls "$1" 2>/dev/null | grep -E '^(crash|leak|timeout|oom|slow-unit)-' || true
}

# libFuzzer's timeout and its slow-unit report go by wall-clock time: at
# nice 19 on a busy machine, or paused with SIGSTOP, an ordinary input can
# overrun them. Such a finding stands only when the input overruns the
# timeout again, replayed at normal priority.
timeout_comes_back() { # FUZZER DIR FILE
  ! (cd "$2" && "$1" -timeout=5 -runs=3 "$3" >/dev/null 2>&1)
}

# One target for `minutes` of wall time. After a timeout or slow unit that
# does not come back the fuzzer goes on, on its corpus, for the time left;
# any other finding ends the target's run.
run_target() { # TARGET
  local t=$1 dir="$cache/$1" spec fuzzer seeds
  mkdir -p "$dir/corpus"
  mapfile -t spec <"$build/fuzz-targets/$t"
  fuzzer=${spec[0]}
  seeds="$build/long-seeds/$t"
  rm -rf "$seeds" && mkdir -p "$seeds"
  "${spec[@]:1}" "$seeds"
  if [ -d "$root/fuzz/findings/$t" ]; then cp "$root/fuzz/findings/$t"/* "$seeds/"; fi
  echo "$(date '+%F %T') $t: $minutes minutes, corpus of $(ls "$dir/corpus" | wc -l) inputs, log in $dir/last.log"
  local start deadline cpu_before execs=0 added=0 cov=- ft=- found=0 busy=0 left before new e a c f
  start=$(date +%s)
  deadline=$((start + minutes * 60))
  times >"$build/times-$t"
  cpu_before=$(children_cpu_seconds "$build/times-$t")
  : >"$dir/last.log"
  while left=$((deadline - $(date +%s))); [ $left -gt 0 ]; do
    before=$(findings_in "$dir")
    (cd "$dir" && nice -n 19 "$fuzzer" -max_len=65536 -rss_limit_mb=2560 -malloc_limit_mb=640 -timeout=5 \
       -max_total_time=$left -print_final_stats=1 -artifact_prefix="$dir/" corpus "$seeds") \
      >"$dir/stretch.log" 2>&1 || true
    cat "$dir/stretch.log" >>"$dir/last.log"
    read -r e a c f <<<"$(figures "$dir/stretch.log")"
    execs=$((execs + e)) added=$((added + a))
    [ "$c" != - ] && cov=$c ft=$f
    new=$(comm -13 <(echo "$before") <(findings_in "$dir") | sed '/^$/d')
    [ -z "$new" ] && break
    for f in $new; do
      if [[ $f == timeout-* || $f == slow-unit-* ]] && ! timeout_comes_back "$fuzzer" "$dir" "$dir/$f"; then
        mkdir -p "$dir/busy" && mv "$dir/$f" "$dir/busy/"
        busy=$((busy + 1))
      else
        found=$((found + 1))
      fi
    done
    [ $found -gt 0 ] && break
  done
  local wall cpu
  wall=$(($(date +%s) - start))
  times >"$build/times-$t"
  cpu=$(echo "$(children_cpu_seconds "$build/times-$t") - $cpu_before" | bc -l)
  printf '%s\t%.1f\t%.1f\t%s\t%s\t%s\t%s\t%s\t%s\n' "$t" "$(echo "$cpu / 60" | bc -l)" "$(echo "$wall / 60" | bc -l)" \
    "$execs" "$cov" "$ft" "$added" "$found" "$busy" | tee -a "$dir/runs.tsv" >"$dir/last-run.tsv"
  echo "$(date '+%F %T') $t: done, $found findings"
}

print_table() { # TARGET...
  printf '\n%-20s %8s %8s %12s %7s %7s %6s %9s %5s\n' target "cpu min" "wall min" executions cov ft new findings busy
  local t
  for t in "$@"; do
    if [ -f "$cache/$t/last-run.tsv" ]; then
      awk -F'\t' '{ printf "%-20s %8s %8s %12s %7s %7s %6s %9s %5s\n", $1, $2, $3, $4, $5, $6, $7, $8, $9 }' "$cache/$t/last-run.tsv"
    else
      printf '%-20s %8s\n' "$t" "(no run)"
    fi
  done
  local open
  open=$(for t in "$@"; do findings_in "$cache/$t" | sed "s|^|  $cache/$t/|"; done)
  if [ -n "$open" ]; then printf '\nOpen findings:\n%s\n' "$open"; else printf '\nNo open findings.\n'; fi
  echo "Minutes: cpu is the fuzzer's own processor time (a paused or crowded run counts only what it ran), wall from start to end."
  echo "Busy: timeouts and slow units that did not come back when replayed at normal priority (kept in TARGET/busy/); the run went on."
}

# All of it in one function, read whole before it runs, so that a change to
# this file (a pull, a fix) does not reach a run that is under way.
main() {
  if [ $table_only = 1 ]; then
    if [ ${#targets[@]} -eq 0 ]; then
      mapfile -t targets < <(ls "$cache" 2>/dev/null)
    fi
    print_table "${targets[@]}"
    return 0
  fi

  source "$root/scripts/fuzz-build.sh"
  if ! fuzz_clang; then
    echo "fuzz-long: $fuzz_clang_missing" >&2
    return 1
  fi
  fuzz_build "$build"
  local known t
  mapfile -t known < <(ls "$build/fuzz-targets")
  if [ ${#targets[@]} -eq 0 ]; then
    targets=("${known[@]}")
  fi
  for t in "${targets[@]}"; do
    if [ ! -f "$build/fuzz-targets/$t" ]; then
      echo "fuzz-long: no target $t (there are: ${known[*]})" >&2
      return 2
    fi
  done

  export QT_QPA_PLATFORM=offscreen
  export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  for t in "${targets[@]}"; do
    run_target "$t"
  done
  print_table "${targets[@]}"
}
main; exit $?
