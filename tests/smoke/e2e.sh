#!/usr/bin/env bash
# Drives qm_smoke under an X display: clicks and typing must come out as the
# expected event lines, Alt+Return's full screen is refused (no window manager)
# and logged, a screenshot must show the window, and closing the window must
# end the program with exit code 0.
# Usage: e2e.sh <qm_smoke> <qm_close_window>
set -euo pipefail
smoke=$1
close_window=$2

source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"

start "$smoke"
wait_until "log ^smoke: window open$"

point 123 234
wait_until "log ^event type=9 param=0 x=123 y=234 mods=0$" "the pointer's move"
xdotool click 1
wait_until "log ^event type=6 param=0 x=123 y=234 mods=0$" "the button's press"
wait_until "log ^event type=8 param=0 x=123 y=234 mods=0$" "the button's release"

xdotool click 3
wait_until "log ^event type=7 param=1 x=123 y=234 mods=0$"
xdotool keydown ctrl click 1 keyup ctrl
wait_until "log ^event type=7 param=1 x=123 y=234 mods=2$"

xdotool type --delay 60 "hi"
wait_until "log ^event type=12 param=72 x=123 y=234 mods=0$"
wait_until "log ^event type=14 param=104 x=123 y=234 mods=0$"
wait_until "log ^event type=13 param=73 x=123 y=234 mods=0$"
# Key down comes before its character.
grep -E "^event type=(12|14) param=(72|104) " "$log" | head -n 2 | tr '\n' '|' |
  grep -qE "^event type=12 param=72 .*\|event type=14 param=104 " || fail "key down did not come before its character"
xdotool key shift+a
wait_until "log ^event type=14 param=65 x=123 y=234 mods=1$"

# The window is on the screen, showing the engine's blank frame.
centre=$(window_pixel 400 300)
[[ "$centre" == "32 64 96" ]] || fail "window centre shows $centre, not the blank frame"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "window is ${WIDTH}x${HEIGHT}"

# Alt+Return asks for full screen, which no window manager here grants: the
# refusal is logged, the window keeps its size, and the key makes no records.
xdotool key alt+Return
wait_until "log ^Full screen: no window manager here"
if grep -qE "^event type=(12|14) param=13 " "$log"; then
  fail "Alt+Return made key records"
fi
grep -q "^smoke: full screen on$" "$log" && fail "full screen reported on although it was refused"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "window is ${WIDTH}x${HEIGHT} after the refused full screen"

"$close_window" "$window"
wait_exit "the program did not end after its window was closed"
[[ $status -eq 0 ]] || fail "exit code $status"
grep -qE "^event type=5 param=0 x=0 y=0 mods=0$" "$log" || fail "no quit event"
grep -q "^smoke: quit$" "$log" || fail "Main did not return"
echo "e2e: ok"
