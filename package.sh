#!/usr/bin/env bash
# Builds the viewer, makes its Debian package with CPack, checks the package
# (lintian) and its desktop entry and AppStream metainfo, and prints the
# package's path.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export LUMADEX_WITH_PACKAGE_TOOLS=1
source "$here/scripts/setup.sh"

out="$here/build/package"
rm -f "$out"/lumadex-viewer_*.deb
(cd "$here/build" && cpack -G DEB -B "$out" >/dev/null)
deb="$out/lumadex-viewer_3.01_amd64.deb"
[ -f "$deb" ] || { echo "cpack made no $deb" >&2; exit 1; }

check="$(mktemp -d)"
trap 'rm -rf "$check"' EXIT
dpkg-deb -x "$deb" "$check"
desktop-file-validate "$check/usr/share/applications/lumadex-viewer.desktop"
# The component is named after the desktop entry the menus already know
# (lumadex-viewer.desktop): the project has no domain of its own for a
# reverse-DNS name.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
  "$check/usr/share/metainfo/lumadex-viewer.metainfo.xml" >&2
# Errors and warnings fail; the notes that stay are explained in the README.
lintian --display-info --fail-on error,warning "$deb" >&2

echo "$deb"
