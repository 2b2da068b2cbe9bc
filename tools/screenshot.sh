#!/usr/bin/env bash
# Captures the viewer's window, the pointer over a bud, to docs/window.png in a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh >/dev/null

work=$(mktemp -d)
xvfb=""
viewer=""
cleanup() {
  # The viewer first: it quits on SIGTERM, but not once its X server has gone.
  if [ -n "$viewer" ]; then kill "$viewer" 2>/dev/null || true; wait "$viewer" || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb takes the first free display number and writes it to descriptor 3. -noreset: SDL's probe
# connection comes and goes first, and a reset then can refuse the viewer's real connection.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  grep -q . "$work/display" && break
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$work/display")"
[ "$DISPLAY" != ":" ] || { echo "screenshot: Xvfb did not start" >&2; exit 1; }

SDL_AUDIODRIVER=dummy build-ci/src/viewer/lsystem-viewer >"$work/words" &
viewer=$!
window=$(timeout 10 xdotool search --sync --class lsystem-viewer | head -n1)

# Over the bud whose square's corner is (227, 201): red once the viewer has seen the move.
xdotool mousemove --window "$window" 230 215
for _ in $(seq 100); do
  pixel=$(import -silent -window "$window" -crop 1x1+230+215 -depth 8 txt:- | tail -n1)
  [[ "$pixel" == *"#FF0000"* ]] && break
  sleep 0.1
done
[[ "$pixel" == *"#FF0000"* ]] || { echo "screenshot: the bud did not turn red" >&2; exit 1; }

mkdir -p docs
# No time chunks, so that a rerun gives the same file.
import -silent -window "$window" -strip -define png:exclude-chunks=date,time docs/window.png
echo "screenshot: docs/window.png, pointer at (230, 215) over the bud, $(wc -l <"$work/words") word(s) printed"
