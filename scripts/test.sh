#!/usr/bin/env bash
# test.sh [native] [win64] [win32]: installs what is missing, builds the presets and runs
# their test suites (all three by default), then prints "N passed, M failed".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
suites=("$@")
[ ${#suites[@]} -eq 0 ] && suites=(native win64 win32)

scripts/setup.sh

# One X server for every Windows test of the run.
xvfb_pid=
cleanup() {
  [ -d build/wineprefix ] && WINEPREFIX="$root/build/wineprefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ]; then
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    sleep 1
    break
  fi
done

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
