#!/usr/bin/env bash
# A first start on X servers of three sizes with no window manager, as a
# player would meet it: the game asks for full screen, which nothing here
# grants, so it stays an 800x600 window and says so in its log. The picture
# fills that window, and a click on each main-menu button does what the
# button says: Change player, Play (the map, then Back), Options, How to
# play, and Quit ends the program. Screenshots of the whole screen at each
# size are kept.
# Usage: display_e2e.sh <corvellatrip> <artefacts folder> [WIDTHxHEIGHT...]
set -euo pipefail
game=$1
artefacts=$2
shift 2

# Each size on an X server of its own, whatever display the caller has.
if [[ -z "${QM_DISPLAY_E2E_SIZE:-}" ]]; then
  sizes=("$@")
  [[ ${#sizes[@]} -gt 0 ]] || sizes=(800x600 1024x768 1280x1024)
  for s in "${sizes[@]}"; do
    echo "---- $s"
    QM_DISPLAY_E2E_SIZE=$s xvfb-run -a -s "-screen 0 ${s}x24" "$0" "$game" "$artefacts"
  done
  exit 0
fi
size=$QM_DISPLAY_E2E_SIZE

source "$(dirname "$(readlink -f "$0")")/e2e_lib.sh"

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
sky="^3[0-9] 5[0-9] 9[0-9]$"
paper="^2[3-5][0-9] 2[2-4][0-9] 2[0-2][0-9]$"

# True when the window's picture at (x, y) matches the pattern now.
shows() {
  shot "$work/now.png"
  pixel "$work/now.png" "$1" "$2" | grep -qE "$3"
}
# Clicks (x, y) and waits for the picture at (dx, dy) to match; the click
# is given again while the screen it was meant for still shows (a screen
# that slides in may not take clicks yet).
press() {
  local x=$1 y=$2 dx=$3 dy=$4 want=$5 what=$6
  for _ in 1 2 3 4; do
    point "$x" "$y"
    xdotool click 1
    for _ in $(seq 25); do
      shows "$dx" "$dy" "$want" && return 0
      sleep 0.2
    done
  done
  fail "$what: pixel ($dx, $dy) is $(pixel "$work/now.png" "$dx" "$dy"), not $want"
}
main_menu() { wait_pixel 330 303 "$accent" "the main menu's Play button ($1)"; }

start
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "the window is ${WIDTH}x${HEIGHT}, not 800x600"

# The first start: loading, then the name entry. Keys go to the window
# under the pointer.
wait_pixel 250 160 "$accent" "the name entry's title band"
point 400 300
xdotool type --delay 60 "Ada"
xdotool key Return
main_menu "after the name"
grep -q "Full screen: no window manager here" "$log" || fail "the refused full screen is not in the log"
# The picture fills the window: sky in its top corners, deck at the bottom.
shot "$work/menu.png"
for corner in "1 1" "798 1"; do
  pixel "$work/menu.png" $corner | grep -qE "$sky" || fail "no sky at ($corner): $(pixel "$work/menu.png" $corner)"
done
import -window root "$artefacts/display_${size}_menu.png"

# Change player: the player choice, then Back.
press 397 236 250 60 "$accent" "Change player"
import -window root "$artefacts/display_${size}_chooseplayer.png"
press 512 507 330 303 "$accent" "Back from the player choice"
# Play: the map; its Back returns.
press 400 299 40 42 "$accent" "Play"
import -window root "$artefacts/display_${size}_map.png"
press 104 39 330 303 "$accent" "Back from the map"
# Options, left with OK.
press 400 363 250 147 "$accent" "Options"
import -window root "$artefacts/display_${size}_options.png"
press 400 411 330 303 "$accent" "OK on the options"
# How to play, left with Back.
press 400 427 160 165 "$accent" "How to play"
import -window root "$artefacts/display_${size}_help.png"
press 400 416 330 303 "$accent" "Back from the help"
# Quit ends the program.
point 400 491
xdotool click 1
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "display e2e at $size: ok"
