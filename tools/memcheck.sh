#!/usr/bin/env bash
# Runs the viewer under valgrind's memcheck for a few seconds, ended by SIGTERM (SDL turns it
# into a quit): once on SDL's dummy drivers, once on an X server of its own (Xvfb). Fails on
# any invalid access, any use of uninitialised memory and any leak outside SDL and X.
# Usage: tools/memcheck.sh [seconds in the main loop, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/viewer_lib.sh
seconds=${1:-3}
viewer=build-ci/src/viewer/lsystem-viewer
[ -x "$viewer" ] || bash tools/build.sh
open_scratch

# run NAME: the viewer under memcheck with the environment already set.
run() {
  local name=$1 log="$scratch/$1.log" out="$scratch/$1.out"
  run_viewer "memcheck: $name" "$seconds" "$out" "$scratch/$1.err" \
    valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99 --num-callers=40 \
    --suppressions=tools/memcheck.supp --log-file="$log" "$viewer"
  local summary
  summary=$(sed -n 's/^==[0-9]*== ERROR SUMMARY: //p' "$log")
  echo "memcheck: $name: exit $status, $(wc -l <"$out") line(s) printed," \
    "errors: ${summary:-none reported}"
  if [ "$status" -ne 0 ] || [ "$(wc -l <"$out")" -ne 1 ]; then
    cat "$log"
    return 1
  fi
}

on_both_drivers run
echo "memcheck: clean"
