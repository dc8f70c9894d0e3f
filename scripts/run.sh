#!/usr/bin/env bash
# run.sh [win64|win32]: builds the DLL, the host resource module and the demo host, and runs
# the demo host under Wine (win64 by default; win32 is the shipping DLL, slower under qemu),
# which saves build/<preset>/demo.png, menus.png, popup.png, pictures.png, sound.png, text.png,
# services.png, stdfile.png and demo_text.png, and the font it downloads as font.ps.
# Then draws the contact sheets: build/<preset>/quickdraw_shapes.png (every shape verb) and
# build/<preset>/picture_corpus.png (every shared picture, cells in picture_corpus.txt) and
# build/<preset>/picture_convert.png (JPEG, GIF and BMP imports beside other programs' decoding)
# and build/<preset>/themed_controls.png (both themed control drawers side by side).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=${1:-win64}
scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
loader=/usr/lib/wine/wine64
[ "$preset" = win32 ] && loader=/usr/lib/wine/wine
# Without a sound card, ALSA's null device gives Wine a silent output and input for the demo.
audio_home=$HOME
if ! grep -qs '^ *[0-9]' /proc/asound/cards; then
  audio_home="$root/build/$preset/null-audio-home"
  mkdir -p "$audio_home"
  echo 'pcm.!default { type null }' > "$audio_home/.asoundrc"
fi
# The demo host is started as if to open a document: its document list shows this README.
readme="Z:$(printf '%s' "$root/README.md" | tr / '\\')"
HOME=$audio_home scripts/wine-exec.sh "$root/build/$preset" "$loader" "$root/build/$preset/bin/tsdemo.exe" "$readme"
for program in tsshapes_sheet tspicture_sheet tsconvert_sheet tsthemed_sheet; do
  HOME=$audio_home scripts/wine-exec.sh "$root/build/$preset" "$loader" "$root/build/$preset/bin/$program.exe"
done
