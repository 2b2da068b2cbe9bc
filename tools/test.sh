#!/usr/bin/env bash
# Sets up the machine, builds the project and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
