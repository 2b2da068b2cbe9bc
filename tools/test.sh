#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the unit, in-process and end-to-end
# tests, the viewer under memcheck and the performance gate (ci); the tests and the viewer
# under AddressSanitizer and UndefinedBehaviorSanitizer (asan); each fuzzer for 60 s (fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh test
cmake --workflow --preset ci
cmake --workflow --preset asan
cmake --workflow --preset fuzz
