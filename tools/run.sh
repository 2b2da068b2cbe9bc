#!/usr/bin/env bash
# Installs what the viewer needs, builds the viewer alone in build/ and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh run
cmake -S . -B build
cmake --build build -j "$(nproc)"
exec build/src/viewer/lsystem-viewer
