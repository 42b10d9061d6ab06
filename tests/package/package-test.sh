#!/usr/bin/env bash
# package-test.sh BUILD SAMPLES: makes the Debian package from BUILD with
# cpack, checks its name, fields and files and validates its desktop entry
# and metainfo, unpacks it with dpkg -x into a scratch root, and starts the
# installed viewer there, on a display of its own, with a picture on its
# command line as a file manager would: the window must show that picture.
# A second start with another picture must hand it over and end with 0.
set -u
build=$(readlink -f "$1")
samples=$(readlink -f "$2")
for tool in cpack dpkg-deb dpkg-shlibdeps Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (./test.sh installs it with the test tools)"
    exit 77
  fi
done

work=$(mktemp -d)
status=0
fail() { echo "FAIL: $*"; status=1; }
source "$(dirname "$0")/../support/display.sh"
cleanup() {
  [ -n "${first_pid:-}" ] && kill "$first_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The package, from this build, into a folder of the test's own.
if ! (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not make the package"
  exit 1
fi
deb="$work/out/lumadex-viewer_3.01_amd64.deb"
if [ ! -f "$deb" ]; then
  ls "$work/out"
  echo "FAIL: no $(basename "$deb")"
  exit 1
fi
for field in "Package: lumadex-viewer" "Version: 3.01" "Architecture: amd64" "Section: graphics"; do
  dpkg-deb -f "$deb" "${field%%:*}" | grep -qxF "${field#*: }" || fail "the package has no '$field'"
done
# The libraries come from the binary's own links, with Debian's versions.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libjpeg62-turbo libc6; do
  grep -q "$library (>= " <<<"$depends" || fail "Depends names no $library with a version: $depends"
done
# The hand-over speaks plain local sockets: nothing pulls Qt Network in.
! grep -q "libqt6network6" <<<"$depends" || fail "the package still depends on Qt Network: $depends"

root="$work/root"
dpkg -x "$deb" "$root"
share="$root/usr/share"
for file in "$root/usr/bin/lumadex-viewer" "$share/lumadex-viewer/LDX.hlp" "$share/lumadex-viewer/LDX.html" \
            "$share/applications/lumadex-viewer.desktop" "$share/metainfo/lumadex-viewer.metainfo.xml" \
            "$share/icons/hicolor/scalable/apps/lumadex-viewer.svg" "$share/man/man1/lumadex-viewer.1.gz" \
            "$share/doc/lumadex-viewer/copyright" "$share/doc/lumadex-viewer/changelog.gz"; do
  [ -s "$file" ] || fail "the package holds no ${file#"$root"}"
done
for size in 16 22 24 32 48 64 128 256; do
  icon="$share/icons/hicolor/${size}x${size}/apps/lumadex-viewer.png"
  if [ ! -s "$icon" ]; then
    fail "the package holds no ${icon#"$root"}"
  elif command -v identify >/dev/null; then
    got=$(identify -format '%wx%h' "$icon")
    [ "$got" = "${size}x${size}" ] || fail "${icon#"$root"} is $got"
  fi
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/lumadex-viewer.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate is not installed: the desktop entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
  # Named after the desktop entry; the project has no domain for a reverse-DNS name.
  appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$share/metainfo/lumadex-viewer.metainfo.xml" || fail "appstreamcli validate"
else
  echo "appstreamcli is not installed: the metainfo is not validated"
fi

# The installed viewer in a fresh home, with the default drive table (C: is
# the home folder), started from the home folder as a file manager does.
start_display "$work" || exit 1
home="$work/home"
mkdir -p "$home" "$work/runtime" && chmod 700 "$work/runtime"
cp -r "$samples" "$home/Pictures"
export HOME="$home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
unset LUMADEX_DRIVES LUMADEX_PROGRAM_DIR QT_QPA_PLATFORM
cd "$home"
"$root/usr/bin/lumadex-viewer" "$home/Pictures/landscape.bmp" >"$work/first.log" 2>&1 &
first_pid=$!
main_id=$(wait_window '^Lumadex Viewer 3\.01  - ') || fail "the installed viewer showed no main window"
if [ -n "${main_id:-}" ]; then
  expected='Lumadex Viewer 3.01  - C:\Pictures\landscape.bmp (5/11)'
  wait_title "$main_id" "$expected" || fail "the installed viewer shows '$(xdotool getwindowname "$main_id")', not '$expected'"
  "$root/usr/bin/lumadex-viewer" "$home/Pictures/portrait.jpg" >"$work/second.log" 2>&1 &
  wait_exit $!
  [ "$code" = 0 ] || fail "the second start with a path ended with '$code'"
  expected='Lumadex Viewer 3.01  - C:\Pictures\portrait.jpg (9/11)'
  wait_title "$main_id" "$expected" || fail "after the hand-over the viewer shows '$(xdotool getwindowname "$main_id")', not '$expected'"
fi

if [ $status = 0 ]; then
  echo "package test passed: $(basename "$deb")"
else
  for log in cpack xvfb first second; do echo "--- $log.log"; cat "$work/$log.log" 2>/dev/null; done
fi
exit $status
