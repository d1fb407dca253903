#!/usr/bin/env bash
# Typing on a German keyboard layout: keys pressed by position (X key codes)
# must arrive as the characters the German layout shows on them, not as the
# US layout's. Runs on an X server of its own, since it changes the layout.
# Usage: layout_e2e.sh <qm_smoke>
set -euo pipefail
smoke=$1

E2E_OWN_DISPLAY=1
source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"

start "$smoke"
wait_until "log ^smoke: window open$"
setxkbmap de || fail "setxkbmap de failed"

# X key codes by position (US legend -> German legend):
#   50 Shift, 108 AltGr; 44 J, 34 [ -> ü, 27 R, 42 G, 26 E, 57 N,
#   29 Y -> z, 20 - -> ß (AltGr: \), 10 1 (Shift: !), 94 the ISO key -> < (Shift: >)
# Each key waits for its character before the next goes.
typed() { grep -oE "^event type=14 param=-?[0-9]+" "$log" | sed 's/.*param=//' | tr '\n' ' ' | sed 's/ $//'; }
expected=
press() {  # CHARACTER-CODE XDOTOOL-ARGS...
  expected+=${expected:+ }$1
  shift
  xdotool "$@"
  wait_until "typed_is $expected" "characters typed: expected '$expected'"
}
typed_is() { [[ "$(typed)" == "$*" ]]; }
press 74 keydown 50 key 44 keyup 50
press 252 key 34
press 114 key 27
press 103 key 42
press 101 key 26
press 110 key 57
press 122 key 29
press 223 key 20
press 33 keydown 50 key 10 keyup 50
press 60 key 94
press 62 keydown 50 key 94 keyup 50
press 92 keydown 108 key 20 keyup 108
press 13 key 36   # Return
echo "typed: $(typed) (J ü r g e n z ß ! < > \\ Return)"
