#!/usr/bin/env bash
# Captures the viewer's window, the pointer over a bud, to docs/window.png on an X server of its
# own (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${LSV_IN_XVFB:-}" ]; then
  bash tools/setup.sh
  bash tools/build.sh >/dev/null
  # -noreset: SDL's probe connection comes and goes first, and a reset then can refuse the
  # viewer's real connection.
  LSV_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0"
fi

words=$(mktemp)
SDL_AUDIODRIVER=dummy build-ci/src/viewer/lsystem-viewer >"$words" &
viewer=$!
# The viewer first, while its X server is still there.
trap 'kill "$viewer"; wait "$viewer" || true; rm -f "$words"' EXIT
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
echo "screenshot: docs/window.png, pointer at (230, 215) over the bud, $(wc -l <"$words") word(s) printed"
