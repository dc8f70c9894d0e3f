#!/usr/bin/env bash
# bench.sh [win64] [native] [win32]: builds the presets (win64 by default) and runs every
# benchmark program, printing its figures. Benchmarks are not part of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(win64)
scripts/setup.sh
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  for list in build/"$preset"/benchmarks-*.txt; do
    [ -e "$list" ] || continue
    program=$(cat "$list")
    echo "== $preset: $(basename "$program")"
    case "$preset" in
      native) ASAN_OPTIONS=detect_leaks=0 "$program" ;;
      win64) scripts/wine-exec.sh "$root/build/$preset" /usr/lib/wine/wine64 "$program" ;;
      win32) scripts/wine-exec.sh "$root/build/$preset" /usr/lib/wine/wine "$program" ;;
    esac
  done
done
