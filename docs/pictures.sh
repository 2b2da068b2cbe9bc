#!/usr/bin/env bash
# Remakes the pictures from the real viewer, on the X server that the target pictures starts
# for it: the hicolor icons in data/icons/ from its start figure, docs/window.png with the
# pointer over a bud, a curve's window without and with --fit, and the README's own L-systems,
# the book's three in lines, the book's notation's three files and a plant's growth in docs/
# from --svg. From the source folder:
#   pictures.sh VIEWER
set -euo pipefail
viewer=$1
work=$(mktemp -d)
xdotool mousemove 1023 767  # off the window: no square is red
SDL_AUDIODRIVER=dummy "$viewer" >"$work/words" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" || true; rm -rf "$work"' EXIT  # while X is still there
window=$(timeout 10 xdotool search --sync --class lsystem-viewer | head -n1)
# No time chunks in the PNG files, so that a rerun gives the same files.
shot() { import -silent -window "$window" -strip -define png:exclude-chunks=date,time "$@"; }

sleep 1
shot "$work/figure.png"
# The icons: the figure's bounding box, centred on a black square with a margin of a tenth.
read -r w h < <(convert "$work/figure.png" -trim -format '%w %h\n' info:)
side=$(((w > h ? w : h) * 11 / 10))
for size in 48 128 256; do
  convert "$work/figure.png" -trim +repage -background black -gravity center \
    -extent "${side}x${side}" -resize "${size}x${size}" -strip \
    -define png:exclude-chunks=date,time "data/icons/$size.png"
done

# Over the bud whose square's corner is (227, 201): red once the viewer has seen the move.
xdotool mousemove --window "$window" 230 215
for _ in $(seq 100); do
  [[ "$(shot -crop 1x1+230+215 -depth 8 txt:- | tail -n1)" == *"#FF0000"* ]] && break
  sleep 0.1
done
shot docs/window.png
kill "$pid"
wait "$pid" || true

# A curve too large for the window, as the window shows it without and with --fit.
windowOf() {  # windowOf NAME OPTION...
  SDL_AUDIODRIVER=dummy "$viewer" "${@:2}" >/dev/null &
  pid=$!
  window=$(timeout 10 xdotool search --sync --class lsystem-viewer | head -n1)
  sleep 1
  shot "docs/$1.png"
  kill "$pid"
  wait "$pid" || true
}
snowflake=(-g '{a:a+a--a+a;}a--a--a' -n 4 -a 60 -s 7)
windowOf snowflake "${snowflake[@]}"
windowOf snowflake-fit "${snowflake[@]}" --fit

# The README's L-systems: the SVG's box of squares, drawn where the window of --size shows it.
own() {  # own NAME OPTION... (the options give --size)
  local name=$1 size x y
  shift
  size=$(grep -oE -- '--size [0-9]+x[0-9]+' <<<"$*" | cut -d' ' -f2)
  "$viewer" "$@" --svg "$work/$name.svg" >/dev/null
  read -r x y < <(grep -oE 'viewBox="-?[0-9]+ -?[0-9]+' "$work/$name.svg" | cut -d'"' -f2)
  rsvg-convert -b black --page-width "${size%x*}" --page-height "${size#*x}" --left="$x" \
    --top="$y" -o "docs/$name.png" "$work/$name.svg"
}
own bush -g '{a:aa;o:a[-o]a[++o]-o;}[---o][-o][+o][+++o]' -n 5 -a 16 -s 5 --origin 300,390 \
  --size 600x400
own dandelion -g '{s:aaaaas;q:[o]+[o]+[o]+[o]+;o:|ao;}s_qqqq' -n 7 -a 22.5 -s 7 \
  --origin 200,470 --size 400x480
own curve -g '{x:a-yxay+a;y:a+xyax-a;}aox' -n 6 -a 90 -s 5 --origin 70,300 --size 600x400
# One grammar whose blocks each grow a bud another way, three seeds: a tree each.
for seed in 4 9 17; do
  "$viewer" -g '{o:a[+o]a[-o]o;a:a;}{o:a[-o]a[+o]o;a:aa;}{o:a[+o][-o]ao;}o' -n 7 -a 24 -s 7 \
    --stochastic "$seed" --svg "$work/grove-$seed.svg" >/dev/null
  rsvg-convert -b black -h 300 -o "$work/grove-$seed.png" "$work/grove-$seed.svg"
done
convert "$work"/grove-{4,9,17}.png -background black -splice 20x0 +append -chop 20x0 -strip \
  -define png:exclude-chunks=date,time docs/grove.png

# The book's grammars in lines, each SVG drawn whole at the zoom given after its name.
book() {  # book NAME ZOOM OPTION...
  "$viewer" "${@:3}" --svg "$work/$1.svg" >/dev/null
  rsvg-convert -b black -z "$2" -o "docs/$1.png" "$work/$1.svg"
}
book hilbert 1 -g '{A:+BF-AFA-FB+;B:-AF+BFB+FA-;}A' -n 5 -a 90 -s 12 --segments F --lines \
  --width 2
plant=(-g '{X:F+[[X]-X]-F[-FX]+X;F:FF;}X' --segments F --buds X -a 25 --lines --heading -25)
book plant 0.2 "${plant[@]}" -n 6 --width 10 --paper
book dragon 1 -g '{X:X+YF+;Y:-FX-Y;}FX' -n 12 -a 90 -s 6 --heading -90 --segments F --lines \
  --width 2

# The book's notation: the files of data/book, each SVG drawn whole at the zoom after its name.
bookFile() {  # bookFile NAME ZOOM OPTION...
  "$viewer" --book "data/book/$1.lsys" "${@:3}" --svg "$work/book-$1.svg" >/dev/null
  rsvg-convert -b black -z "$2" -o "$work/book-$1.png" "$work/book-$1.svg"
  convert "$work/book-$1.png" -strip -define png:exclude-chunks=date,time "docs/book-$1.png"
}
bookFile tree 1 -s 4
bookFile signal 2 -s 24 --width 2
# The weighted plant from three seeds, side by side.
for seed in 1 2 3; do
  "$viewer" --book data/book/weighted.lsys -s 5 --stochastic "$seed" \
    --svg "$work/weighted-$seed.svg" >/dev/null
  rsvg-convert -b black -h 300 -o "$work/weighted-$seed.png" "$work/weighted-$seed.svg"
done
convert "$work"/weighted-{1,2,3}.png -background black -splice 20x0 +append -chop 20x0 -strip \
  -define png:exclude-chunks=date,time docs/book-weighted.png

# The plant at generations 0 to 4 at 2/5, left to right, each panel as wide as its own figure
# and all as high as their union, so that the start point is at the same height in each.
viewBoxOf() { grep -oE 'viewBox="[^"]*"' "$1" | cut -d'"' -f2; }
# The line style's view boxes are decimals: the sums are awk's.
calc() { awk "BEGIN { print $1 }"; }
for k in 0 1 2 3 4; do
  "$viewer" "${plant[@]}" -n "$k" --width 5 --svg "$work/growth-$k.svg" >/dev/null
  viewBoxOf "$work/growth-$k.svg"
done >"$work/growth-boxes"
read -r top bottom < <(awk 'NR == 1 || $2 < t { t = $2 } NR == 1 || $2 + $4 > b { b = $2 + $4 }
  END { print t, b }' "$work/growth-boxes")
for k in 0 1 2 3 4; do
  read -r _ y width _ < <(viewBoxOf "$work/growth-$k.svg")
  rsvg-convert -b black -z 0.4 --page-width "$(calc "int(($width * 2 + 4) / 5)")" \
    --page-height "$(calc "int((($bottom - $top) * 2 + 4) / 5)")" \
    --top "$(calc "($y - $top) * 0.4")" \
    -o "$work/growth-$k.png" "$work/growth-$k.svg"
done
convert "$work"/growth-{0,1,2,3,4}.png -background black -splice 30x0 +append -chop 30x0 +repage \
  -bordercolor black -border 10 \
  -strip -define png:exclude-chunks=date,time docs/growth.png
echo "pictures: data/icons/{48,128,256}.png from a ${w}x${h} figure; docs/window.png;" \
  "docs/{snowflake,snowflake-fit,bush,dandelion,curve,grove,hilbert,plant,dragon,growth}.png;" \
  "docs/book-{tree,signal,weighted}.png"
