#!/usr/bin/env bash
# bench/slideshow/run.sh [BUILD]: the full-screen show on a 1920 × 1080 Xvfb
# screen, against feh on the same folders in the same run when feh is
# installed. Writes its pictures into a temporary folder and removes it.
#   - seconds a picture at "Speed" = "1" (a 1 ms delay) for 6000 × 4000 JPEGs,
#     1920 × 1080 JPEGs and 4000 × 3000 24-bit BMPs. Both programs are timed
#     over N pictures and over 1, and the difference is divided by N - 1, so
#     that neither is charged for starting up;
#     Beside them the floor: the median time to read one picture as the
#     show reads it, on one core, divided by the machine's cores;
#   - "Speed" = "1000" over 50 pictures: seconds from the first picture on the
#     screen to the end of the show (one second a picture: 50);
#   - resident memory of a looping show after 100 and after 10,000 ticks.
# Run it with nice on a shared machine: nice bench/slideshow/run.sh build
set -u
build=$(cd "${1:-build}" && pwd)
bench="$build/bench/bench-slideshow"
samples="$build/samples"
[ -x "$bench" ] || { echo "no $bench: build the project first"; exit 1; }
source "$(dirname "$0")/../../tests/support/display.sh"
own_display 1920x1080x24 || exit 1

have_feh=0
command -v feh >/dev/null && have_feh=1

# A folder of KIND pictures, and one holding only its first picture.
folders() { # KIND COUNT
  "$bench" write "$1" "$work/$1" "$2" 2>/dev/null || exit 1
  mkdir -p "$work/$1-one"
  ln "$work/$1/$(ls "$work/$1" | head -n 1)" "$work/$1-one/"
}
value() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }
ours() { value seconds "$("$bench" run "$1" 1 2>/dev/null)"; }
feh_seconds() {
  local start end
  start=$(date +%s.%N)
  feh --fullscreen --on-last-slide quit --slideshow-delay 0.001 "$1" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
per_picture() { echo "scale=4; ($1 - $2) / ($3 - 1)" | bc -l; }

cores=$(nproc)
printf '%-26s %12s %12s %8s %12s\n' "pictures at Speed 1" "viewer s/pic" "feh s/pic" "ratio" "floor s/pic"
for spec in "jpeg24 20 6000x4000-JPEG" "jpeg1080 100 1920x1080-JPEG" "bmp12 20 4000x3000-BMP"; do
  read -r kind count label <<<"$spec"
  folders "$kind" "$count"
  run_all=$(ours "$work/$kind")
  run_one=$(ours "$work/$kind-one")
  viewer=$(per_picture "$run_all" "$run_one" "$count")
  if [ $have_feh = 1 ]; then
    feh_all=$(feh_seconds "$work/$kind")
    feh_one=$(feh_seconds "$work/$kind-one")
    peer=$(per_picture "$feh_all" "$feh_one" "$count")
    ratio=$(echo "scale=2; $viewer / $peer" | bc -l)
  else
    peer="-"; ratio="-"
  fi
  # The floor: one picture's read for the screen, on one core, divided by
  # the cores.
  one=$(value median_seconds "$("$bench" decode "$work/$kind" 2>/dev/null)")
  floor=$(echo "scale=4; $one / $cores" | bc -l)
  printf '%-26s %12s %12s %8s %12s\n' "$count × $label" "$viewer" "$peer" "$ratio" "$floor"
  rm -rf "$work/$kind-one"
  [ "$kind" = jpeg1080 ] || rm -rf "${work:?}/$kind"
done

# A second a picture: 50 pictures are on the screen for 50 seconds.
mkdir -p "$work/fifty"
for f in $(ls "$work/jpeg1080" | head -n 50); do ln "$work/jpeg1080/$f" "$work/fifty/"; done
line=$("$bench" run "$work/fifty" 1000 2>/dev/null)
echo "Speed 1000, 50 pictures: $(value from_first_picture "$line") s from the first picture to the end ($(value seconds "$line") s from F2), $(value painted "$line") pictures painted"

# Memory of a looping show over every format the viewer reads, a damaged
# file among them: 25 files, so that tick 100 and tick 10,000 show the same
# picture.
mkdir -p "$work/mixed"
cp "$samples"/* "$work/mixed/" 2>/dev/null
printf 'BM damaged' >"$work/mixed/damaged.bmp"
for f in $(ls "$work/jpeg1080" | head -n $((25 - $(ls "$work/mixed" | wc -l)))); do ln "$work/jpeg1080/$f" "$work/mixed/"; done
line=$("$bench" memory "$work/mixed" 100 10000 2>/dev/null)
after100=$(value rss_after_100_ticks_kb "$line")
after10000=$(value rss_after_10000_ticks_kb "$line")
mb() { echo "scale=1; $1 / 1024" | bc -l; }
echo "looping show, $(value pictures "$line") pictures: resident $(mb "$after100") MB after 100 ticks, $(mb "$after10000") MB after 10,000 ticks ($(mb "$((after10000 - after100))") MB more)"
