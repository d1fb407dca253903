#!/usr/bin/env bash
# Without a display the game stops at once with a line saying why, instead
# of running with no window until it is killed; SDL's offscreen driver still
# works when it is asked for.
# Usage: nodisplay_test.sh <corvellatrip>
set -euo pipefail
game=$1
work=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy XDG_DATA_HOME=$work/data
fail() { echo "FAIL: $*" >&2; cat "$work/log" >&2 || true; exit 1; }
# The limits below are an idle machine's, times its slowness now.
slowness=$("$(dirname "$(readlink -f "$0")")/../support/slowness")

# No display and no driver asked for: a clear line and exit code 1.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout $((60 * slowness)) "$game" 2>"$work/log" || status=$?
[[ $status -eq 1 ]] || fail "without a display the game ended with $status, not 1"
grep -q "No display could be reached" "$work/log" || fail "no line says that no display could be reached"

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
