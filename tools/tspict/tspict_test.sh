#!/usr/bin/env bash
# tspict_test.sh WINE_EXEC BUILD LOADER TSPICT INPUTS OUT
# A GIF and a JPEG become PICT files, the PICT a BMP and a placeable WMF, the WMF a JPEG, each
# readable by ImageMagick at the picture's size; a file that is no picture gives status 2.
set -euo pipefail
exec_=$1 build=$2 loader=$3 tspict=$4 in=$5 out=$6
mkdir -p "$out"
run() { "$exec_" "$build" "$loader" "$tspict" "$@" >/dev/null; }
run "$in/interlaced.gif" "$out/gif.pct"
run "$in/baseline.jpg" "$out/jpeg.pct"
run "$out/jpeg.pct" "$out/jpeg.bmp"
run "$out/jpeg.pct" "$out/jpeg.wmf"
run "$out/jpeg.wmf" "$out/again.jpg"
identify=$(command -v identify-im6.q16 || command -v identify)
for f in gif.pct jpeg.bmp again.jpg; do
  size=$("$identify" -format '%wx%h' "$out/$f")
  [ "$size" = 160x120 ] || { echo "$f is $size, not 160x120" >&2; exit 1; }
done
test -s "$out/jpeg.wmf"
status=0
run "$in/convert.tsv" || status=$?
[ "$status" = 2 ] || { echo "a text file gave status $status, not 2" >&2; exit 1; }
echo "tspict: 5 conversions and a refusal as expected"
