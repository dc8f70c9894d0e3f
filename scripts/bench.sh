#!/usr/bin/env bash
# bench.sh [win64] [native] [win32]: builds the presets (win64 by default) and runs every
# benchmark program, printing its figures. Benchmarks are not part of the tests. "native"
# runs them from the optimised native-bench preset.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(win64)
scripts/setup.sh
# One X server for every Windows benchmark; Wine ends before it.
. scripts/display.sh
trap 'stop_wine "$root/build/wineprefix"; stop_display' EXIT
start_display
for preset in "${presets[@]}"; do
  # Native figures come from an optimised build without sanitizers (the native preset is a
  # Debug build under ASan), which builds only the benchmarks.
  if [ "$preset" = native ]; then
    preset=native-bench
    cmake --preset "$preset" >/dev/null
    targets=()
    for list in build/"$preset"/benchmarks-*.txt; do
      name=$(basename "$list" .txt)
      targets+=(--target "${name#benchmarks-}")
    done
    cmake --build --preset "$preset" "${targets[@]}"
  else
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
  fi
  for list in build/"$preset"/benchmarks-*.txt; do
    [ -e "$list" ] || continue
    program=$(cat "$list")
    echo "== $preset: $(basename "$program")"
    case "$preset" in
      native-bench) "$program" ;;
      win64) scripts/wine-exec.sh "$root/build/$preset" /usr/lib/wine/wine64 "$program" ;;
      win32) scripts/wine-exec.sh "$root/build/$preset" /usr/lib/wine/wine "$program" ;;
    esac
    # The picture benchmark's process-based peer: ImageMagick decoding the same picture.
    pict="build/$preset/pict-refs/im-rgb-1024x768.pct"
    convert=$(command -v convert-im6.q16 || command -v convert || true)
    if [ "$(basename "$program" .exe)" = picture_bench ] && [ -e "$pict" ] && [ -n "$convert" ]; then
      start=$(date +%s%N)
      for _ in 1 2 3 4 5 6 7 8 9 10; do "$convert" "PICT:$pict" bmp:- >/dev/null; done
      printf '%-58s %9.2f ms/run\n' "convert pict.pct bmp:- (a process)" \
        "$(( ($(date +%s%N) - start) / 10000 ))e-3"
    fi
  done
done

# The picture import benchmarks' process peers, on a fixed-seed 1024x768 photo-like image:
# Debian's djpeg and cjpeg (float DCT), giflib's gif2rgb and ImageMagick writing PICT, ten
# runs each. Under Wine a Unix process cannot be timed from inside, so they are timed here.
peers=build/bench-peers
mkdir -p "$peers"
python3 - "$peers/photo.ppm" <<'PY'
import random, sys
r = random.Random(1024)
w, h = 1024, 768
rows = bytearray()
for y in range(h):
    for x in range(w):
        rows += bytes(((x // 4 + r.randrange(16)) & 255, (y // 3 + r.randrange(16)) & 255, ((x + y) // 8) & 255))
open(sys.argv[1], "wb").write(b"P6 %d %d 255\n" % (w, h) + rows)
PY
convert=$(command -v convert-im6.q16 || command -v convert || true)
cjpeg -dct float -outfile "$peers/photo.jpg" "$peers/photo.ppm"
[ -n "$convert" ] && "$convert" "$peers/photo.ppm" "$peers/photo.gif"
time10() {  # label, command...
  local label=$1 start
  shift
  start=$(date +%s%N)
  for _ in 1 2 3 4 5 6 7 8 9 10; do "$@" >/dev/null 2>&1; done
  printf '%-58s %9.2f ms/run\n' "$label (a process)" "$(( ($(date +%s%N) - start) / 10000 ))e-3"
}
echo "== process peers: 1024x768"
time10 "djpeg -dct float photo.jpg" djpeg -dct float -outfile /dev/null "$peers/photo.jpg"
time10 "cjpeg -dct float photo.ppm" cjpeg -dct float -outfile /dev/null "$peers/photo.ppm"
[ -e "$peers/photo.gif" ] && command -v gif2rgb >/dev/null &&
  time10 "gif2rgb photo.gif" gif2rgb -o /dev/null "$peers/photo.gif"
[ -n "$convert" ] && time10 "convert photo.ppm PICT:-" "$convert" "$peers/photo.ppm" PICT:-

# The sound conversions' peer: sox turning 1 MiB of 8-bit mono samples into a WAVE and back
# (the 'snd ' <-> WAVE benchmark moves the same amount), and sox's start-up alone.
if command -v sox >/dev/null; then
  python3 - "$peers/tone.u8" <<'PY'
import math, sys
n = 1 << 20
open(sys.argv[1], "wb").write(bytes(128 + int(100 * math.sin(i * 0.0713)) for i in range(n)))
PY
  sox -t u8 -r 22050 -c 1 "$peers/tone.u8" "$peers/tone.wav"
  echo "== process peers: 1 MiB of 8-bit samples"
  time10 "sox raw u8 -> WAVE" sox -t u8 -r 22050 -c 1 "$peers/tone.u8" -t wav /dev/null
  time10 "sox WAVE -> raw u8" sox "$peers/tone.wav" -t u8 /dev/null
  time10 "sox -n (start-up only)" sox -n -t u8 -r 22050 -c 1 /dev/null trim 0 0
fi
# The font download's peer: t1ascii turning the same outline into PostScript text.
pfb=/usr/share/fonts/X11/Type1/NimbusRoman-Regular.pfb
if command -v t1ascii >/dev/null && [ -e "$pfb" ]; then
  echo "== process peers: NimbusRoman-Regular.pfb"
  time10 "t1ascii NimbusRoman-Regular.pfb" t1ascii "$pfb" /dev/null
fi
exit 0
