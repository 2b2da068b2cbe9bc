# Shell functions for the scripts that run the real viewer: an X server of their own, the
# wait for start-up, the quit by SIGTERM, and a run on both video drivers. Sourced, not run.

# open_scratch: sets scratch to a new folder; it goes, with the Xvfb if one was started, when
# the script exits.
open_scratch() {
  scratch=$(mktemp -d)
  xvfb=
  trap close_scratch EXIT
}
close_scratch() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$scratch"
}

# start_xvfb DIR: starts Xvfb on a free display; sets xvfb (its pid) and display (":N").
# -noreset: SDL opens and closes a probe connection first, and a server that resets when its
# last client leaves can refuse the real connection that follows.
start_xvfb() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >"$1/xvfb.log" 2>&1 &
  xvfb=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  display=":$(cat "$1/display")"
}

# wait_started PID OUT: waits up to 30 s for the viewer's first line in OUT; it comes once SDL
# is up and SDL's SIGTERM handler is installed.
wait_started() {
  for _ in $(seq 300); do
    [ -s "$2" ] || ! kill -0 "$1" 2>/dev/null && return 0
    sleep 0.1
  done
}

# wait_handler PID: waits up to 30 s until the viewer catches SIGTERM, that is until SDL is up.
wait_handler() {
  local caught
  for _ in $(seq 300); do
    caught=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null) || return 0
    [ -n "$caught" ] && (((0x$caught >> 14) & 1)) && return 0
    sleep 0.1
  done
}

# quit_viewer PID WHO: SIGTERM, which SDL turns into a quit, and up to 30 s to end. SDL's
# handler has once been seen to lose that quit; it stays installed, so a second SIGTERM
# follows, with a note. Still running after that: SIGKILL, and status 1.
quit_viewer() {
  local pid=$1 who=$2 try
  for try in 1 2; do
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 300); do
      kill -0 "$pid" 2>/dev/null || return 0
      sleep 0.1
    done
    [ "$try" -eq 1 ] && echo "$who: the viewer did not end on SIGTERM; sending a second one"
  done
  kill -KILL "$pid"
  echo "$who: the viewer still ran after two SIGTERMs; killed"
  return 1
}

# run_viewer WHO SECONDS OUT ERR COMMAND...: starts COMMAND with its output in OUT and ERR, lets
# it run SECONDS in its main loop, then quits it; sets status to its exit status.
run_viewer() {
  local who=$1 seconds=$2 out=$3 err=$4 pid
  shift 4
  status=0
  "$@" >"$out" 2>"$err" &
  pid=$!
  wait_started "$pid" "$out"
  sleep "$seconds"
  quit_viewer "$pid" "$who" || true
  wait "$pid" || status=$?
}

# on_both_drivers FUNCTION: calls FUNCTION dummy on SDL's dummy drivers, then FUNCTION x11 on an
# Xvfb of its own (needs open_scratch first); fails when either call fails.
on_both_drivers() {
  local failed=0
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$1" dummy || failed=1
  start_xvfb "$scratch"
  DISPLAY=$display SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$1" x11 || failed=1
  return "$failed"
}
