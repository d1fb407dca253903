#!/usr/bin/env bash
# Without a display the game stops at once with a line saying why, instead
# of running with no window until it is killed; so it does on an X server
# without GLX and with a GL driver that cannot load (where Xlib would end it
# with a report of its own). SDL's offscreen driver still works when it is
# asked for.
# Usage: nodisplay_test.sh <corvellatrip>
set -euo pipefail
game=$1
work=$(mktemp -d)
pid=
servers=()
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
  for server in "${servers[@]}"; do
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy XDG_DATA_HOME=$work/data
fail() { echo "FAIL: $*" >&2; cat "$work/log" >&2 || true; exit 1; }
# The limits below are an idle machine's, times its slowness now.
slowness=$("$(dirname "$(readlink -f "$0")")/../../support/slowness")

# No display and no driver asked for: a clear line and exit code 1.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout $((60 * slowness)) "$game" 2>"$work/log" || status=$?
[[ $status -eq 1 ]] || fail "without a display the game ended with $status, not 1"
grep -q "No display could be reached" "$work/log" || fail "no line says that no display could be reached"

# An X server of its own (extra Xvfb arguments given); its display number in $number.
xvfb() {
  local fifo=$work/number.$RANDOM
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset "$@" 3>"$fifo" 2>>"$work/xvfb.log" &
  servers+=($!)
  read -r -t $((30 * slowness)) number <"$fifo" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
}
# The game on that display must end by itself with exit code 1 and one line
# saying the window could not be opened, and why ($1).
stops_with_a_line() {
  local why=$1
  shift
  : >"$work/log"
  status=0
  env "$@" DISPLAY=:$number timeout $((60 * slowness)) "$game" 2>"$work/log" || status=$?
  [[ $status -eq 1 ]] || fail "$why: the game ended with $status, not 1"
  [[ $(grep -c "^The game window could not be opened" "$work/log") -eq 1 ]] ||
    fail "$why: no one line says the window could not be opened"
  grep "^The game window could not be opened" "$work/log" | grep -qiE "$why" ||
    fail "$why: the line does not say why"
  grep -q "^X Error of failed request" "$work/log" && fail "$why: Xlib ended the game"
  true
}

# No GLX on the X server.
xvfb -extension GLX
stops_with_a_line "GLX is not supported"

# GLX, but the GL driver cannot be loaded: the server refuses the context
# (Mesa falls back on an indirect one, which Xvfb does not offer).
xvfb
stops_with_a_line "BadValue|context" LIBGL_DRIVERS_PATH=/nonexistent

# The offscreen driver asked for: the game starts (it has nothing to close, so it is stopped).
: >"$work/log"
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen "$game" 2>"$work/log" &
pid=$!
for _ in $(seq $((300 * slowness))); do
  grep -q "^User data dir:" "$work/log" && break
  kill -0 "$pid" 2>/dev/null || fail "the game ended on the offscreen driver"
  sleep 0.1
done
grep -q "^User data dir:" "$work/log" || fail "the game did not start on the offscreen driver"
grep -q "No display could be reached" "$work/log" && fail "the offscreen driver asked for was refused"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
echo "PASS"
