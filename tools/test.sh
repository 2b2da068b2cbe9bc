#!/usr/bin/env bash
# Sets up the machine, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh test
cmake --workflow --preset web  # the site in build-web/site, for the web test in the ci tests
cmake --workflow --preset ci
cmake --workflow --preset package  # the Debian package: built, linted, unpacked and run
bash tools/sanitize.sh  # ASan and UBSan build: the unit tests, the viewer for a few seconds
bash tools/memcheck.sh  # the viewer under valgrind's memcheck
bash tools/hostile.sh   # the viewer with its standard output closed or its reader gone
bash tools/fuzz.sh 60   # every fuzz target for 60 seconds
