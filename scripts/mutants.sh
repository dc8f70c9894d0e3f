#!/usr/bin/env bash
# mutants.sh [--preset native|win64] [--only id,id] [--list file] [--timeout s] [--jobs n] [--check]
#
# Seeded-fault check of the tests: for each fault in the list (scripts/mutants.txt), applies it
# to a scratch copy of this checkout, rebuilds incrementally, runs only the test programs the
# list names for it, and records whether they noticed:
#   caught    some named test failed (or timed out)
#   missed    every named test passed
#   stale     the snippet is not in the file exactly once: mend the list after a refactor
#   no-build  the fault did not compile: mend the list
# Prints the table and "mutants: N caught, N missed, N stale, N no-build of N"; writes the
# table to build/mutants/results.tsv and each fault's build and test output to
# build/mutants/logs/<id>.log. --check only reports stale snippets, without building.
#
# The scratch tree (build/mutants/src, with its own builds and Wine prefix) is kept between
# runs, so a second run rebuilds little. Run by hand; not part of the test suite.
# Exit status: 0 when every fault was caught, 1 otherwise, 2 when the run could not start.
set -euo pipefail
script_start=$(date +%s)
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

presets=(native win64)
only="" list="$root/scripts/mutants.txt" timeout=300 jobs=2 check=0
while [ $# -gt 0 ]; do
  case $1 in
    --preset) presets=("$2"); shift 2 ;;
    --only) only=$2; shift 2 ;;
    --list) list=$(realpath "$2"); shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --check) check=1; shift ;;
    *) sed -n '2,18s/^# \{0,1\}//p' "$0"; exit 2 ;;
  esac
done
case ${presets[0]} in native | win64) ;; *) echo "mutants: --preset is native or win64" >&2; exit 2 ;; esac
[ ${#presets[@]} -eq 1 ] && preset_arg=(--preset "${presets[0]}") || preset_arg=()
helper=(python3 "$root/scripts/mutants.py")

if [ $check = 1 ]; then
  exec "${helper[@]}" check "$list" "$root" --only "$only" "${preset_arg[@]}"
fi

work=$root/build/mutants
scratch=$work/src
state=$work/applied.json
mkdir -p "$work/logs"
exec 9>"$work/.lock"
flock -n 9 || { echo "mutants: another run is using $work" >&2; exit 2; }

scripts/setup.sh

# id, file, native tests, win64 tests (comma-separated, "-" for none) per selected fault.
selection=$("${helper[@]}" select "$list" --only "$only" "${preset_arg[@]}") || exit 2
[ -n "$selection" ] || { echo "mutants: nothing selected" >&2; exit 2; }
column_of() { case $1 in native) echo 3 ;; win64) echo 4 ;; esac; }
tests_for() {  # preset -> the union of its named tests, one a line
  cut -f"$(column_of "$1")" <<<"$selection" | tr ',' '\n' | grep -v '^-$' | sort -u || true
}
needed=()
for p in "${presets[@]}"; do [ -n "$(tests_for "$p")" ] && needed+=("$p"); done

# --- the scratch tree, its builds, an X display and the Wine prefix

"${helper[@]}" sync "$root" "$scratch"
"${helper[@]}" restore "$state"  # a fault left behind by an interrupted run (sync mended the text)

xvfb_pid=""
wine_prefix=$scratch/build/wineprefix
export TSTOOLS_WINEPREFIX=$wine_prefix  # what the scratch wine-exec.sh uses
cleanup() {
  "${helper[@]}" restore "$state" || true
  if [ -f "$wine_prefix/.tstools-ready" ]; then WINEPREFIX=$wine_prefix /usr/lib/wine/wineserver -k 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

configure_args=(-DTSTOOLS_TEST_TIMEOUT="$timeout")
# The shared test data sits beside the checkout, not beside the scratch tree.
[ -d "$root/../shared" ] && configure_args+=(-DTSTOOLS_SHARED_DIR="$(realpath "$root/../shared")")

for p in "${needed[@]}"; do
  echo "== $p: configure and build the named test programs"
  (cd "$scratch" && cmake --preset "$p" "${configure_args[@]}" >"$work/logs/configure-$p.log" 2>&1) ||
    { echo "mutants: the scratch tree does not configure ($work/logs/configure-$p.log)" >&2; exit 2; }
  mapfile -t targets < <(tests_for "$p")
  known=$(ctest --test-dir "$scratch/build/$p" -N | sed -n 's/^ *Test *#[0-9]*: //p')
  for t in "${targets[@]}"; do
    grep -qx "$t" <<<"$known" || { echo "mutants: no test program '$t' in the $p preset: mend the list" >&2; exit 2; }
  done
  cmake --build "$scratch/build/$p" -j "$jobs" --target "${targets[@]}" >"$work/logs/build-$p.log" 2>&1 ||
    { echo "mutants: the unchanged scratch tree does not build ($work/logs/build-$p.log)" >&2; exit 2; }
  if [ "$p" = win64 ]; then
    if [ -z "${DISPLAY:-}" ]; then
      Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
      xvfb_pid=$!
      for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
      [ -s "$work/display" ] || { echo "mutants: Xvfb did not start" >&2; exit 2; }
      export DISPLAY=":$(cat "$work/display")"
    fi
    # Made once (minutes: its 32-bit half is set up under emulation). No persistent server:
    # the Wine system processes it would keep would hold ctest's output open.
    WINEPREFIX=$wine_prefix "$scratch/scripts/wine-prefix.sh"
  fi
done

# run_tests preset log: runs the preset's named tests of the current fault ($row), stopping
# at the first failure; prints nothing when they pass, else the failing tests
# ("name (Failed)", "name (Timeout)").
run_tests() {
  local p=$1 log=$2 names regex failed
  names=$(cut -f"$(column_of "$p")" <<<"$row")
  regex="^($(tr ',' '|' <<<"$names"))\$"
  ctest --test-dir "$scratch/build/$p" -R "$regex" -j "$jobs" --stop-on-failure --output-on-failure \
    >>"$log" 2>&1 </dev/null && return 0
  failed=$(sed -n '/tests FAILED:/,$s/^[[:space:]]*[0-9]* - \([^ ]*\) (\(.*\))$/\1 (\2)/p' "$log" | paste -sd' ')
  echo "${failed:-ctest failed without a test result (see the log)}"
}

echo "== the named tests on the unchanged code (logs/baseline.log)"
row=$(printf 'baseline\t-\t%s\t%s' "$(tests_for native | paste -sd,)" "$(tests_for win64 | paste -sd,)")
rm -f "$work/logs/baseline.log"
for p in "${needed[@]}"; do
  failed=$(run_tests "$p" "$work/logs/baseline.log")
  if [ -n "$failed" ]; then
    echo "mutants: $p tests fail without any fault: $failed ($work/logs/baseline.log)" >&2
    exit 2
  fi
done

# --- the faults

results=$work/results.tsv
printf 'id\tfile\tresult\tseconds\tdetail\n' >"$results"
run_start=$(date +%s)
total=$(wc -l <<<"$selection")
n=0
while IFS=$'\t' read -r -u 4 id file native win64; do
  row=$(printf '%s\t%s\t%s\t%s' "$id" "$file" "$native" "$win64")
  n=$((n + 1))
  log=$work/logs/$id.log
  : >"$log"
  started=$(date +%s)
  result=missed detail=""
  applied=$("${helper[@]}" apply "$list" "$id" "$scratch" "$state")
  if [ "$applied" != ok ]; then
    result=stale detail=${applied#stale: }
  else
    for p in "${needed[@]}"; do
      names=$(cut -f"$(column_of "$p")" <<<"$row")
      [ "$names" = - ] && continue
      echo "== $p: build" >>"$log"
      if ! cmake --build "$scratch/build/$p" -j "$jobs" --target $(tr ',' ' ' <<<"$names") >>"$log" 2>&1; then
        result=no-build detail="$p: $(grep -m1 'error' "$log" | cut -c1-160 || true)"
        break
      fi
      echo "== $p: tests" >>"$log"
      failed=$(run_tests "$p" "$log")
      if [ -n "$failed" ]; then
        result=caught detail="$p: $failed"
        # A test killed by its timeout may leave Windows processes in the server.
        if [ "$p" = win64 ] && grep -q '(Timeout)' <<<"$failed"; then
          WINEPREFIX=$wine_prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
        fi
        break
      fi
    done
    "${helper[@]}" restore "$state"
  fi
  seconds=$(($(date +%s) - started))
  printf '%s\t%s\t%s\t%s\t%s\n' "$id" "$file" "$result" "$seconds" "$detail" >>"$results"
  printf '[%d/%d] %-44s %-8s %4ss  %s\n' "$n" "$total" "$id" "$result" "$seconds" "$detail"
done 4<<<"$selection"

echo
echo "time: $(($(date +%s) - run_start)) s for the faults, $(($(date +%s) - script_start)) s in all (presets: ${needed[*]})"
"${helper[@]}" report "$results"
