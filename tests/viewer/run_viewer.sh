#!/usr/bin/env bash
# The real viewer as a CTest test, run for a few seconds in its main loop and then quit:
#   run_viewer.sh dummy VIEWER [COMMAND...]  on SDL's dummy drivers, ended by SIGTERM
#   run_viewer.sh x11 VIEWER [COMMAND...]    on an X server of its own, ended by a key press
#   run_viewer.sh hostile VIEWER             on an X server of its own: with standard output
#     closed (descriptor 1 must become /dev/null, exit 0), then into a pipe whose reader has
#     gone (the first line ends it by SIGPIPE, exit 141, as for any Unix producer)
# COMMAND (valgrind, say) runs the viewer. A run passes on exit status 0, the start word as the
# one line printed, and no sanitizer report on standard error.
set -euo pipefail
mode=$1 viewer=$2
shift 2
if [ "$mode" != dummy ] && [ -z "${LSV_IN_XVFB:-}" ]; then
  # -noreset: SDL opens and closes a probe connection first, and a server that resets when its
  # last client leaves can refuse the real connection that follows.
  LSV_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24 -noreset" \
    bash "${BASH_SOURCE[0]}" "$mode" "$viewer" "$@"
fi
start_word='aa[+aa[+aa[+ao]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao'
export SDL_VIDEODRIVER=$mode SDL_AUDIODRIVER=dummy
[ "$mode" = dummy ] || export SDL_VIDEODRIVER=x11
scratch=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT

# quit: SIGTERM on the dummy drivers, the key q over the window on X; a second try after 30 s
# (SDL can lose a quit that arrives while it reads its event queue); sets status.
quit() {
  for _ in 1 2; do
    if [ "$mode" = dummy ]; then kill -TERM "$pid" || true; else
      xdotool mousemove --window "$window" 50 50 key q || true; fi
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.1; done
    echo "the viewer did not quit; trying once more"
  done
  kill -KILL "$pid" 2>/dev/null || true
  status=0
  wait "$pid" || status=$?
  pid=
}

# find_window: the viewer's window once it is mapped; keys before that go to the root window.
find_window() {
  window=$(timeout 60 xdotool search --sync --onlyvisible --class lsystem-viewer | head -n1) ||
    { echo "no window of class lsystem-viewer"; exit 1; }
}

if [ "$mode" = hostile ]; then
  "$viewer" >&- 2>"$scratch/err" &
  pid=$!
  find_window
  sleep 1  # into the main loop: the start word cannot tell, it goes nowhere
  target=$(readlink "/proc/$pid/fd/1" || echo "nothing: the viewer has gone")
  quit
  echo "standard output closed: descriptor 1 is $target, exit $status"
  [ "$target" = /dev/null ] && [ "$status" -eq 0 ] || exit 1
  status=0
  timeout -s KILL 60 "$viewer" 2>>"$scratch/err" | true || status=$?
  echo "reader gone: exit $status (141 is SIGPIPE)"
  [ "$status" -eq 141 ] && ! grep -E 'Sanitizer|runtime error:' "$scratch/err"
  exit
fi

"$@" "$viewer" >"$scratch/out" 2>"$scratch/err" &
pid=$!
# The start word comes once SDL is up, its SIGTERM handler installed and the window open.
for _ in $(seq 600); do
  [ -s "$scratch/out" ] || ! kill -0 "$pid" 2>/dev/null && break
  sleep 0.1
done
[ "$mode" = dummy ] || find_window
sleep 2
quit
lines=$(wc -l <"$scratch/out")
echo "viewer on $mode: exit $status, $lines line(s) printed"
grep -h 'ERROR SUMMARY' "$scratch/err" || true  # valgrind's, if it ran the viewer
if [ "$status" -ne 0 ] || [ "$(cat "$scratch/out")" != "$start_word" ] ||
  grep -q -E 'Sanitizer|runtime error:' "$scratch/err"; then
  grep -v '^ALSA' "$scratch/err" || true
  exit 1
fi
