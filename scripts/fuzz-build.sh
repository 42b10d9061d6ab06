# Sourced by fuzz-smoke.sh and fuzz-long.sh.
#   fuzz_clang      installs clang-14 and libclang-rt-14-dev when they are
#                   missing and apt-get can; 1 (with the reason in
#                   $fuzz_clang_missing) when clang++-14 is still not there.
#   fuzz_build DIR  configures DIR with the libFuzzer targets (clang-14,
#                   sanitizers) and builds them and their seed writers.

fuzz_clang() {
  local packages=(clang-14 libclang-rt-14-dev) missing=() sudo_cmd=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    echo "Installing: ${missing[*]}"
    if ! { "${sudo_cmd[@]}" apt-get update -qq &&
           DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; }; then
      fuzz_clang_missing="clang-14 could not be installed"
      return 1
    fi
  fi
  if ! command -v clang++-14 >/dev/null; then
    fuzz_clang_missing="clang++-14 not found"
    return 1
  fi
}

fuzz_build() {
  local dir=$1 root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  local cmake_args=(-S "$root" -B "$dir" -G Ninja -DLUMADEX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14
                    -DCMAKE_BUILD_TYPE=RelWithDebInfo)
  if [ "${LUMADEX_WERROR:-0}" = 1 ]; then cmake_args+=(-DLUMADEX_WERROR=ON); fi
  cmake "${cmake_args[@]}" >/dev/null
  cmake --build "$dir" --target fuzzers --parallel "$(nproc)"
}
