#!/usr/bin/env bash
# Drives qm_smoke under an X display: clicks and typing must come out as the
# expected event lines, Alt+Return's full screen is refused (no window manager)
# and logged, a screenshot must show the window, and closing the window must
# end the program with exit code 0.
# Usage: e2e.sh <qm_smoke> <qm_close_window>
set -euo pipefail
smoke=$1
close_window=$2

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$(readlink -f "$0")")/e2e_common.sh"

# The colour of one pixel of a screenshot as "r,g,b".
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/data
"$smoke" 2>"$log" &
pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || fail "no window appeared"
wait_for "^smoke: window open$"

# Keys go to the window under the pointer when no window manager runs.
xdotool mousemove --window "$window" 400 300
sleep 0.3
xdotool mousemove --window "$window" 123 234
wait_for "^event type=9 param=0 x=123 y=234 mods=0$"

xdotool click 1
wait_for "^event type=6 param=0 x=123 y=234 mods=0$"
wait_for "^event type=8 param=0 x=123 y=234 mods=0$"

xdotool click 3
wait_for "^event type=7 param=1 x=123 y=234 mods=0$"
xdotool keydown ctrl click 1 keyup ctrl
wait_for "^event type=7 param=1 x=123 y=234 mods=2$"

xdotool type --delay 60 "hi"
wait_for "^event type=12 param=72 x=123 y=234 mods=0$"
wait_for "^event type=14 param=104 x=123 y=234 mods=0$"
wait_for "^event type=13 param=73 x=123 y=234 mods=0$"
# Key down comes before its character.
grep -E "^event type=(12|14) param=(72|104) " "$log" | head -n 2 | tr '\n' '|' |
  grep -qE "^event type=12 param=72 .*\|event type=14 param=104 " || fail "key down did not come before its character"
xdotool key shift+a
wait_for "^event type=14 param=65 x=123 y=234 mods=1$"

# The window is on the screen, showing the engine's blank frame.
import -window root "$work/windowed.png"
eval "$(xdotool getwindowgeometry --shell "$window")"
centre=$(pixel "$work/windowed.png" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)))
[[ "$centre" == "32,64,96" ]] || fail "window centre shows $centre, not the blank frame"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "window is ${WIDTH}x${HEIGHT}"

# Alt+Return asks for full screen, which no window manager here grants: the
# refusal is logged, the window keeps its size, and the key makes no records.
xdotool key alt+Return
wait_for "^Full screen: no window manager here"
if grep -qE "^event type=(12|14) param=13 " "$log"; then
  fail "Alt+Return made key records"
fi
grep -q "^smoke: full screen on$" "$log" && fail "full screen reported on although it was refused"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "window is ${WIDTH}x${HEIGHT} after the refused full screen"

"$close_window" "$window"
status=0
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after its window was closed"
wait "$pid" || status=$?
pid=
[[ $status -eq 0 ]] || fail "exit code $status"
grep -qE "^event type=5 param=0 x=0 y=0 mods=0$" "$log" || fail "no quit event"
grep -q "^smoke: quit$" "$log" || fail "Main did not return"
echo "e2e: ok"
