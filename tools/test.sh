#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test, one workflow preset at a time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh test
# CTest runs as many tests at once as the machine has cores; Ninja builds as wide by itself.
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
cmake --workflow --preset web      # the site in build-web/site, and its test in headless Chromium
cmake --workflow --preset ci       # unit, viewer, end-to-end, memcheck, performance gate
ctest --preset sdl12-compat        # the viewer's tests again, on SDL 1.2 over SDL2
cmake --workflow --preset clang    # the ci tests, built by clang
cmake --workflow --preset asan     # the ci tests under AddressSanitizer and UBSan
cmake --workflow --preset arm64    # the libraries' tests, cross-built, run under qemu-aarch64
cmake --workflow --preset package  # the Debian package: built, linted, unpacked and run
cmake --workflow --preset fuzz     # each fuzzer for 60 seconds
