#!/usr/bin/env bash
# Installs the Debian packages this project needs; skips those already present.
#   bash tools/setup.sh run    what building and running the viewer needs
#   bash tools/setup.sh test   that, and everything the tests, fuzzers and benchmarks need
set -euo pipefail

run=(
  cmake g++ make          # the build
  ninja-build             # the build presets' generator
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
  libxml2-utils           # end-to-end tests: xmllint checks that --svg writes well-formed XML
  librsvg2-bin            # end-to-end tests and the pictures: rsvg-convert renders the SVG
  imagemagick             # the pictures: the window and the icons as pictures
  clang                   # fuzz targets and the clang build: the compiler
  libclang-rt-14-dev      # fuzz targets: libFuzzer and the sanitizer runtimes
  libsdl1.2-compat        # the viewer's tests again on sdl12-compat, SDL 1.2 on top of SDL2
  g++-aarch64-linux-gnu   # ARM64: the cross compiler for the libraries and their unit tests
  googletest              # ARM64: GoogleTest's sources, built for the target
  qemu-user               # ARM64: runs those tests with qemu-aarch64
  dpkg-dev                # the package: dpkg-buildflags, dpkg-shlibdeps
  lintian                 # the package: Debian's checks
  desktop-file-utils      # the package: desktop-file-validate
  appstream               # the package: appstreamcli validate
  mandoc                  # the package: the manual page's lint
  emscripten              # the web site: the viewer compiled to WebAssembly
  chromium                # web test: the browser it drives
)
# Web test: Node and npm, from Debian unless a Node with npm is installed already.
command -v npm >/dev/null || test+=(nodejs npm)

# Web test: its Node packages, as locked in tests/web; the browser is Debian's, not downloaded.
node_packages() {
  local web
  web="$(dirname "$0")/../tests/web"
  [ "${1:-test}" = test ] && [ ! -d "$web/node_modules" ] || return 0
  echo "setup: installing the web test's Node packages in tests/web"
  (cd "$web" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
}

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
[ ${#missing[@]} -eq 0 ] && { node_packages "${1:-test}"; exit 0; }

echo "setup: installing ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
node_packages "${1:-test}"
