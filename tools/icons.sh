#!/usr/bin/env bash
# Makes the hicolor icons in data/icons/ from the viewer's start figure: the real program on a
# private X server, its window captured, cut to the figure and scaled to 48, 128 and 256 pixels.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh test
cmake -S . -B build >/dev/null
cmake --build build --target lsystem-viewer >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The pointer goes to a corner first, so that no square is drawn red.
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp -noreset" bash -c '
  set -euo pipefail
  xdotool mousemove 799 599
  SDL_AUDIODRIVER=dummy build/src/viewer/lsystem-viewer >"$1/words" &
  viewer=$!
  window=$(timeout 10 xdotool search --sync --class lsystem-viewer | head -n1)
  sleep 1
  import -silent -window "$window" "$1/window.png"
  kill "$viewer"
  wait "$viewer"' icons "$work"

# The figure's bounding box, centred on a black square with a margin of a tenth.
read -r w h < <(convert "$work/window.png" -trim -format '%w %h\n' info:)
side=$(((w > h ? w : h) * 11 / 10))
convert "$work/window.png" -trim +repage -background black -gravity center \
  -extent "${side}x${side}" "$work/figure.png"
mkdir -p data/icons
for size in 48 128 256; do
  # No time chunks, so that a rerun gives the same file.
  convert "$work/figure.png" -resize "${size}x${size}" -strip \
    -define png:exclude-chunks=date,time "data/icons/${size}.png"
done
echo "icons: data/icons/{48,128,256}.png from a ${w}x${h} figure, $(wc -l <"$work/words") word(s) printed"
