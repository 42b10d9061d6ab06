#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 into build-fuzz/ and runs each
# for a few seconds on its seeds (the CTest entries labelled "fuzz").
# Installs clang-14 when it is missing and apt-get can; without it the run is
# skipped with a message, not failed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  if ! { "${sudo_cmd[@]}" apt-get update -qq &&
         DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; }; then
    echo "fuzz smoke run skipped: clang-14 could not be installed"
    exit 0
  fi
fi
if ! command -v clang++-14 >/dev/null; then
  echo "fuzz smoke run skipped: clang++-14 not found"
  exit 0
fi

cmake_args=(-S "$root" -B "$root/build-fuzz" -G Ninja -DLUMADEX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14
            -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${LUMADEX_WERROR:-0}" = 1 ]; then cmake_args+=(-DLUMADEX_WERROR=ON); fi
cmake "${cmake_args[@]}" >/dev/null
cmake --build "$root/build-fuzz" --target fuzzers --parallel "$(nproc)"
cd "$root/build-fuzz"
ctest -L fuzz --output-on-failure "$@"
