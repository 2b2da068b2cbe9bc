#!/usr/bin/env bash
# Times the benchmarks of the ci build on one core and writes bench/REPORT.md (bench/report.sh).
#   bash tools/bench.sh [--repetitions N] [BEFORE.json]
# BEFORE.json, the results.json of an earlier run kept aside, adds compare.py's comparison.
set -euo pipefail
cd "$(dirname "$0")/.."
export LSV_BENCH_REPETITIONS=10 LSV_BENCH_BEFORE=
if [ "${1:-}" = --repetitions ]; then LSV_BENCH_REPETITIONS=$2; shift 2; fi
LSV_BENCH_BEFORE=$(if [ -n "${1:-}" ]; then realpath "$1"; fi)
bash tools/setup.sh test
cmake --preset ci >/dev/null
cmake --build --preset ci --target bench_report
