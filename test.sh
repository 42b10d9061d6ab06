#!/usr/bin/env bash
# Builds the viewer and runs every test through CTest; non-zero on any failure.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export LUMADEX_WITH_TEST_TOOLS=1
source "$here/scripts/setup.sh"
cd "$here/build"
ctest --output-on-failure --timeout 900 "$@"
