#!/usr/bin/env bash
# Builds the viewer and starts it in a folder of sample pictures made at build time.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/setup.sh"
cd "$here/build/samples"
exec "$here/build/lumadex-viewer"
