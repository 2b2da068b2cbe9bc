#!/usr/bin/env bash
# Installs the Debian packages this project needs; skips those already present.
#   bash tools/setup.sh run    what building and running the viewer needs
#   bash tools/setup.sh test   that, and everything the tests, fuzzers and benchmarks need
set -euo pipefail

run=(
  cmake g++ make          # the build
  libsdl1.2-dev           # the viewer's window, drawing and events
)
test=(
  libgtest-dev            # unit tests
  libbenchmark-dev        # benchmarks
  libbenchmark-tools      # benchmarks: compare.py, before against after
  python3-scipy python3-numpy  # benchmarks: the statistics of compare.py
  valgrind                # memcheck run of the viewer; instruction counts for the gate
  xvfb xauth xdotool      # end-to-end tests: an X server (xvfb-run), a pointer and keys
  libx11-dev              # end-to-end tests: window captures and close requests
  imagemagick             # tools/screenshot.sh: the window as a picture
  clang                   # fuzz targets: the compiler
  libclang-rt-14-dev      # fuzz targets: libFuzzer and the sanitizer runtimes
)

case "${1:-test}" in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  *) echo "usage: bash tools/setup.sh run|test" >&2; exit 2 ;;
esac

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
