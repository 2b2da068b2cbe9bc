#!/usr/bin/env bash
# Sets up the machine, builds the project and starts the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
if [ -x build/src/viewer/lsystem-viewer ]; then
  exec build/src/viewer/lsystem-viewer "$@"
fi
echo "run: built the libraries; the viewer is not part of the build yet"
