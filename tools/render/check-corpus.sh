#!/bin/sh
# Runs lumadex-render over every raster file of the picture corpus and compares
# the outcome with MANIFEST.tsv. Usage: check-corpus.sh BUILD_DIR CORPUS_DIR
build=${1:-build}
corpus=${2:-../shared/corpus}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
awk -F'\t' 'NR > 1 && $2 ~ /^(bmp|dib|gif|jpeg|ico|cur)$/ { print $1 "\t" $5 "\t" $6 " X " $7 "\t" $10 }' "$corpus/MANIFEST.tsv" |
while IFS="$(printf '\t')" read -r path valid size detail; do
    result=$(QT_QPA_PLATFORM=offscreen timeout 20 "$build/lumadex-render" "$corpus/$path" "$out/x.png" 2>/dev/null | head -1)
    status=$?
    case "$detail" in
        *"EXIF orientation "[5678]*) size=$(echo "$size" | awk '{ print $3 " X " $1 }') ;;
    esac
    if echo "$result" | grep -q '^[0-9]* X [0-9]*$'; then got=loaded; else got=refused; fi
    verdict=ok
    if [ "$valid" = yes ] && { [ $got = refused ] || [ "$result" != "$size" ]; }; then verdict=WRONG; fi
    if [ "$valid" = no ] && [ $got = loaded ]; then verdict=WRONG; fi
    printf '%s\t%s\t%s\t%s\t%s\n' "$verdict" "$valid" "$got" "$path" "$result (manifest $size)"
done
