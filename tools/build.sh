#!/usr/bin/env bash
# Configures and builds the development tree in build-ci/ (warnings as errors).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset ci >/dev/null
cmake --build --preset ci
