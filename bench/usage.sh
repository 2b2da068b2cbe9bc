#!/usr/bin/env bash
# CPU time and peak memory of the viewer in its main loop for SECONDS (default 5), on an X
# server of its own, on classic SDL 1.2 and on sdl12-compat (SDL 1.2 over SDL2, chosen with
# LD_LIBRARY_PATH), without options and with --fit --explore. Either loop waits for events, and
# nothing comes while it is measured.
#   bash bench/usage.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${LSV_IN_XVFB:-}" ]; then
  cmake --preset ci >/dev/null && cmake --build --preset ci --target lsystem-viewer >/dev/null
  LSV_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24 -noreset" bash "$0" "$@"
fi
seconds=${1:-5}
tick=$(getconf CLK_TCK)
cpu() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }  # user + system, in ticks

measure() {  # NAME LIBRARY_PATH [OPTION...]
  local out pid start up c0 c1 rss sdl
  out=$(mktemp)
  start=$(date +%s.%N)
  SDL_AUDIODRIVER=dummy LD_LIBRARY_PATH=$2 build-ci/src/viewer/lsystem-viewer "${@:3}" >"$out" &
  pid=$!
  until [ -s "$out" ]; do sleep 0.02; done  # the start word comes once SDL is up
  up=$(date +%s.%N) c0=$(cpu "$pid")
  sleep "$seconds"
  c1=$(cpu "$pid") rss=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  sdl=$(grep -o '/[^ ]*libSDL-1.2[^ ]*' "/proc/$pid/maps" | head -n1)
  kill "$pid"
  wait "$pid"
  awk -v n="$1" -v s="$start" -v u="$up" -v c="$((c1 - c0))" -v t="$tick" -v d="$seconds" \
    -v r="$rss" -v l="$sdl" 'BEGIN { printf "usage: %-29s start-up %.2f s; %.2f s CPU in %d s " \
    "(%.0f%% of one core); peak RSS %.1f MiB; %s\n", n, u - s, c / t, d, 100 * c / t / d,
    r / 1024, l }'
  rm -f "$out"
}
compat=/usr/lib/$(gcc -dumpmachine)/sdl12-compat
measure classic ""
measure sdl12-compat "$compat"
measure "classic, --fit --explore" "" --fit --explore
measure "sdl12-compat, --fit --explore" "$compat" --fit --explore
