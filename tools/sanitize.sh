#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/, runs
# the unit tests there, then runs that viewer for a few seconds on SDL's dummy drivers and on
# an X server of its own; any sanitizer report, leak included, fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/viewer_lib.sh
cmake --preset asan >/dev/null
cmake --build --preset asan >/dev/null
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
# Every test, the end-to-end sessions of the sanitized viewer on X included.
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

open_scratch

# run NAME: the sanitized viewer in its main loop for 2 s, then SIGTERM; exit 0, no report.
run() {
  local out="$scratch/$1.out" err="$scratch/$1.err"
  run_viewer "sanitize: $1" 2 "$out" "$err" build-asan/src/viewer/lsystem-viewer
  echo "sanitize: viewer on $1: exit $status"
  if [ "$status" -ne 0 ] || grep -q -E 'Sanitizer|runtime error:' "$err"; then
    grep -v '^ALSA' "$err"
    return 1
  fi
}

on_both_drivers run
echo "sanitize: clean"
