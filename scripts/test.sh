#!/usr/bin/env bash
# test.sh [native] [win64] [win32]: installs what is missing, builds the presets and runs
# their test suites (all three by default), then prints "N passed, M failed".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
suites=("$@")
[ ${#suites[@]} -eq 0 ] && suites=(native win64 win32)

scripts/setup.sh

# One X server for every Windows test of the run; Wine ends before it.
. scripts/display.sh
cleanup() {
  stop_wine "$root/build/wineprefix"
  stop_display
}
trap cleanup EXIT
start_display

status=0
reports=()
for preset in "${suites[@]}"; do
  start=$(date +%s)
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  if [ "$preset" != native ]; then
    # Made once per checkout, before any test's timeout starts (minutes on a new machine).
    WINEPREFIX="$root/build/wineprefix" scripts/wine-prefix.sh
  fi
  echo "== $preset: tests"
  rm -rf "build/$preset/test-results"/*.xml
  junit="$root/build/$preset/test-results/ctest-junit.xml"
  ctest --preset "$preset" --output-junit "$junit" || status=1
  echo "== $preset: $(( $(date +%s) - start )) s"
  reports+=("$preset=$junit")
done

python3 scripts/summarize.py "${reports[@]}" || status=1
exit $status
