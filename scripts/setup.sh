#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages that are
# missing (apt-get, only when something is missing), then configures and
# builds into build/. Sourced, not run.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev libjpeg-dev libxcb1-dev fonts-liberation xdg-utils)
if [ "${LUMADEX_WITH_TEST_TOOLS:-0}" = 1 ]; then
  packages+=(xvfb xauth xdotool x11-utils imagemagick trayer xclip openbox gsettings-desktop-schemas libglib2.0-bin
             dpkg-dev desktop-file-utils appstream)
fi
if [ "${LUMADEX_WITH_PACKAGE_TOOLS:-0}" = 1 ]; then
  packages+=(dpkg-dev desktop-file-utils appstream lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake_args=(-S "$root" -B "$root/build" -G Ninja)
if [ "${LUMADEX_WERROR:-0}" = 1 ]; then cmake_args+=(-DLUMADEX_WERROR=ON); fi
cmake "${cmake_args[@]}" >/dev/null
cmake --build "$root/build" --parallel "$(nproc)"
