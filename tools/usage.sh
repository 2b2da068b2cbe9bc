#!/usr/bin/env bash
# CPU time and peak memory of the viewer on an X server of its own (Xvfb), on classic SDL 1.2
# and on sdl12-compat (the SDL 1.2 interface on SDL2, chosen with LD_LIBRARY_PATH): the CPU
# time of the start-up (to the start word), then of the SECONDS that follow in the main loop,
# and the peak resident memory at their end. SIGTERM ends each run.
# Usage: tools/usage.sh [seconds, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/viewer_lib.sh
seconds=${1:-5}
viewer=build-ci/src/viewer/lsystem-viewer
compat=/usr/lib/$(gcc -dumpmachine)/sdl12-compat
[ -x "$viewer" ] || bash tools/build.sh
[ -e "$compat/libSDL-1.2.so.0" ] || { echo "usage: no sdl12-compat in $compat" >&2; exit 1; }
open_scratch
start_xvfb "$scratch"
tick=$(getconf CLK_TCK)

# cpu_ticks PID: its user and system time in clock ticks, the 14th and 15th fields of its stat;
# the name in parentheses before them may hold spaces.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }

# measure NAME LIBRARY_PATH: one run; prints its CPU time, share of one core and peak memory.
measure() {
  local name=$1 out="$scratch/$1.out" pid start up end ticks0 ticks rss sdl
  start=$(date +%s.%N)
  DISPLAY=$display SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy LD_LIBRARY_PATH=$2 \
    "$viewer" >"$out" 2>"$scratch/$1.err" &
  pid=$!
  wait_started "$pid" "$out"
  up=$(date +%s.%N)
  ticks0=$(cpu_ticks "$pid")
  sleep "$seconds"
  ticks=$(cpu_ticks "$pid")
  end=$(date +%s.%N)
  rss=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  sdl=$(grep -o '/[^ ]*libSDL-1.2[^ ]*' "/proc/$pid/maps" | sort -u | tr '\n' ' ')
  quit_viewer "$pid" "usage: $name" || true
  status=0
  wait "$pid" || status=$?
  awk -v n="$name" -v c0="$ticks0" -v c="$ticks" -v t="$tick" -v s="$start" -v u="$up" \
    -v e="$end" -v r="$rss" -v x="$status" -v l="$sdl" 'BEGIN {
      printf "usage: %-12s start-up %4.2f s, %4.2f s CPU; then %4.2f s CPU in %4.2f s (%3.0f%% " \
             "of one core); peak RSS %5.1f MiB; exit %d; %s\n", n, u - s, c0 / t,
             (c - c0) / t, e - u, 100 * (c - c0) / t / (e - u), r / 1024, x, l }'
  [ "$status" -eq 0 ] && [ "$(wc -l <"$out")" -eq 1 ]
}

measure classic ""
measure sdl12-compat "$compat"
