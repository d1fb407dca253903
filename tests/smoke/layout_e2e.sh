#!/usr/bin/env bash
# Typing on a German keyboard layout: keys pressed by position (X key codes)
# must arrive as the characters the German layout shows on them, not as the
# US layout's. Runs on an X server of its own, since it changes the layout.
# Usage: layout_e2e.sh <qm_smoke>
set -euo pipefail
smoke=$1

if [[ "${QM_LAYOUT_OWN_SERVER:-}" != 1 ]]; then
  QM_LAYOUT_OWN_SERVER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$(readlink -f "$0")")/e2e_common.sh"

export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/data
"$smoke" 2>"$log" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || fail "no window appeared"
setxkbmap de || fail "setxkbmap de failed"
# Keys go to the window under the pointer when no window manager runs.
xdotool mousemove --window "$window" 400 300
sleep 0.3

# X key codes by position (US legend -> German legend):
#   50 Shift, 108 AltGr; 44 J, 34 [ -> ü, 27 R, 42 G, 26 E, 57 N,
#   29 Y -> z, 20 - -> ß (AltGr: \), 10 1 (Shift: !), 94 the ISO key -> < (Shift: >)
press() { xdotool "$@"; sleep 0.08; }
press keydown 50 key 44 keyup 50
for code in 34 27 42 26 57 29 20; do press key "$code"; done
press keydown 50 key 10 keyup 50
press key 94
press keydown 50 key 94 keyup 50
press keydown 108 key 20 keyup 108
press key 36   # Return, so the last character is surely logged before it

expected="74 252 114 103 101 110 122 223 33 60 62 92 13"
for _ in $(seq 50); do
  typed=$(grep -oE "^event type=14 param=-?[0-9]+" "$log" | sed 's/.*param=//' | tr '\n' ' ' | sed 's/ $//')
  [[ "$typed" == "$expected" ]] && { echo "typed: $typed"; exit 0; }
  sleep 0.1
done
fail "characters typed: '$typed', expected '$expected' (J ü r g e n z ß ! < > \\ Return)"
