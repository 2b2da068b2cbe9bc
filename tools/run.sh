#!/usr/bin/env bash
# Sets up the machine, builds the project and starts the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
exec build/src/viewer/lsystem-viewer
