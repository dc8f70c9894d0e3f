#!/usr/bin/env bash
# fuzz-run.sh <fuzzer> <work dir> <seed dir> <seconds>: a short libFuzzer run for the tests.
set -euo pipefail
fuzzer=$1 work=$2 seeds=$3 seconds=$4
mkdir -p "$work/corpus"
dirs=("$work/corpus")
[ -d "$seeds" ] && dirs+=("$seeds")
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
     -artifact_prefix="$work/" -print_final_stats=1 "${dirs[@]}"
