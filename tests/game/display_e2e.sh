#!/usr/bin/env bash
# A first start on X servers of three sizes with no window manager, as a
# player would meet it: the game asks for full screen, which nothing here
# grants, so it stays an 800x600 window and says so in its log. The picture
# fills that window, and a click on each main-menu button does what the
# button says: Change player, Play (the opening comic, the map, then Back),
# Options, How to play, and Quit ends the program. Screenshots of the whole
# screen at each size are kept.
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

source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

sky="^3[0-9] 5[0-9] 9[0-9]$"
play="pixel 330 303 $accent"             # the main menu's Play button
chooseplayer="pixel 250 60 $accent"      # the player choice's title band
options="pixel 250 147 $accent"          # the options' title band
help="pixel 160 165 $accent"             # a help page's title band

start "$game"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "the window is ${WIDTH}x${HEIGHT}, not 800x600"

# The first start: the splash (a click ends it), loading, then the name
# entry.
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_until "$play" "the main menu's Play button"
grep -q "Full screen: no window manager here" "$log" || fail "the refused full screen is not in the log"
# The picture fills the window: sky in its top corners, deck at the bottom.
shot "$work/menu.png"
for corner in "1 1" "798 1"; do
  pixel "$work/menu.png" $corner | grep -qE "$sky" || fail "no sky at ($corner): $(pixel "$work/menu.png" $corner)"
done
import -window root "$artefacts/display_${size}_menu.png"

# Change player: the player choice, then Back.
wait_then_click 397 236 "$play" "$chooseplayer" "the player choice"
import -window root "$artefacts/display_${size}_chooseplayer.png"
wait_then_click 512 507 "$chooseplayer" "$play" "the main menu after the player choice"
# Play: a new career's first comic, paged through with its arrow, then the
# map; its Back returns.
wait_then_click 400 299 "$play" "not $play" "the opening comic"
page_to_map
import -window root "$artefacts/display_${size}_map.png"
wait_then_click 104 39 "$map" "$play" "the main menu after the map"
# Options, left with OK.
wait_then_click 566 359 "$play" "$options" "the options"
import -window root "$artefacts/display_${size}_options.png"
wait_then_click 400 411 "$options" "$play" "the main menu after the options"
# How to play, left with Back.
wait_then_click 400 427 "$play" "$help" "the help"
import -window root "$artefacts/display_${size}_help.png"
wait_then_click 400 416 "$help" "$play" "the main menu after the help"
# Quit ends the program.
wait_then_click 400 491 "$play" ended "the end after Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "display e2e at $size: ok"
