#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 into build-fuzz/ and runs each
# for a few seconds on its seeds (the CTest entries labelled "fuzz").
# Installs clang-14 when it is missing and apt-get can; without it the run is
# skipped with a message, not failed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/fuzz-build.sh"

if ! fuzz_clang; then
  echo "fuzz smoke run skipped: $fuzz_clang_missing"
  exit 0
fi
fuzz_build "$root/build-fuzz"
cd "$root/build-fuzz"
ctest -L fuzz --output-on-failure "$@"
