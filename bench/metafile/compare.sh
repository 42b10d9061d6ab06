#!/bin/bash
# Renders every WMF and EMF of the picture corpus with our player and with a
# reference renderer from Debian's packages, and prints a difference figure
# per file and overall: ImageMagick's normalised RMSE (0 = identical,
# 1 = opposite) of the two renderings at the same size, flattened on white.
#
#   bench/metafile/compare.sh [CORPUS] [OUTDIR]
#
# References: WMF with libwmf (wmf2svg, rasterised by rsvg-convert), EMF
# with Inkscape (apt-get install inkscape). Ours: build/lumadex-render when
# it exists, else build/lumadex-metafile-render. The longer side of each
# rendering is at most 800 pixels; side-by-side PNGs land in OUTDIR.
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
corpus=${1:-$here/../shared/corpus}
out=${2:-/tmp/lumadex-metafile-compare}
mkdir -p "$out"
render=$here/build/lumadex-render
[ -x "$render" ] || render=$here/build/lumadex-metafile-render
[ -x "$render" ] || { echo "build the project first (no $render)" >&2; exit 1; }
for tool in wmf2svg rsvg-convert inkscape compare convert; do
  command -v $tool >/dev/null || echo "warning: $tool missing; its files are skipped" >&2
done

total=0; count=0
printf "%-58s %-10s %s\n" file size rmse
for f in "$corpus"/wmf/*.wmf "$corpus"/emf/*.emf; do
  [ -e "$f" ] || continue
  name=$(basename "$f")
  ours=$out/$name.ours.png ref=$out/$name.ref.png
  # Our natural size decides the comparison size.
  size=$("$render" "$f" "$out/$name.natural.png" 2>/dev/null | tail -1)
  if ! [[ $size =~ ^([0-9]+)x([0-9]+)$ ]]; then
    printf "%-58s %-10s %s\n" "$name" - "ours failed to load"; continue
  fi
  w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
  if [ "$w" -gt 800 ] || [ "$h" -gt 800 ]; then
    if [ "$w" -ge "$h" ]; then h=$(( h * 800 / w )); w=800; else w=$(( w * 800 / h )); h=800; fi
    [ "$w" -lt 1 ] && w=1; [ "$h" -lt 1 ] && h=1
  fi
  "$render" "$f" "$ours" "$w" "$h" >/dev/null 2>&1
  rm -f "$ref"
  case $name in
    *.wmf) wmf2svg -o "$out/$name.svg" "$f" >/dev/null 2>&1 &&
           rsvg-convert -w "$w" -h "$h" -b white -o "$ref" "$out/$name.svg" >/dev/null 2>&1
           # libwmf writes the text of 8-bit records into the SVG as it is.
           if [ ! -s "$ref" ] && [ -s "$out/$name.svg" ]; then
             iconv -f WINDOWS-1252 -t UTF-8 "$out/$name.svg" > "$out/$name.utf8.svg" 2>/dev/null &&
               rsvg-convert -w "$w" -h "$h" -b white -o "$ref" "$out/$name.utf8.svg" >/dev/null 2>&1
           fi ;;
    *.emf) timeout 60 inkscape "$f" --export-type=png --export-filename="$ref" --export-width="$w" \
             --export-height="$h" --export-background=white --export-background-opacity=1 >/dev/null 2>&1 ;;
  esac
  if [ ! -s "$ref" ]; then
    printf "%-58s %-10s %s\n" "$name" "${w}x$h" "reference failed"; continue
  fi
  convert "$ref" -background white -flatten -resize "${w}x${h}!" "$ref" 2>/dev/null
  convert "$ours" -background white -flatten "$ours" 2>/dev/null
  rmse=$(compare -metric RMSE "$ours" "$ref" null: 2>&1 | sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p')
  [ -n "$rmse" ] || { printf "%-58s %-10s %s\n" "$name" "${w}x$h" "compare failed"; continue; }
  montage -geometry +4+4 -label '%t' "$ours" "$ref" "$out/$name.side.png" 2>/dev/null
  printf "%-58s %-10s %.4f\n" "$name" "${w}x$h" "$rmse"
  total=$(awk -v a="$total" -v b="$rmse" 'BEGIN { print a + b }')
  count=$((count + 1))
done
[ "$count" -gt 0 ] && awk -v a="$total" -v n="$count" 'BEGIN { printf "overall: mean RMSE %.4f over %d files\n", a / n, n }'
