#!/usr/bin/env bash
# Installs the Debian packages this project needs; skips those already present.
set -euo pipefail

packages=(
  cmake g++ make          # the build
  libgtest-dev            # unit tests
  libbenchmark-dev        # benchmarks
  valgrind jq             # benchmark report: instruction counts, reading the JSON
  libsdl1.2-dev           # the viewer's window, drawing and events
  xvfb xdotool            # end-to-end tests: an X server, a pointer and keys
  libx11-dev              # end-to-end tests: a window close as a window manager sends it
  imagemagick             # screenshots of the window
  clang                   # fuzz targets: the compiler
  libclang-rt-14-dev      # fuzz targets: libFuzzer and the sanitizer runtimes
  valgrind                # memcheck run of the viewer
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
