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
    QM_DISPLAY_E2E_SIZE=$s "$(dirname "$(readlink -f "$0")")/../../support/xserver" "$s" "$0" "$game" "$artefacts"
  done
  exit 0
fi
size=$QM_DISPLAY_E2E_SIZE

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
sky="^3[0-9] 5[0-9] 9[0-9]$"
menu="pixel 330 303 $accent"          # the main menu's Play button
players="pixel 250 60 $accent"        # the player choice's title band
map="pixel 40 42 $accent"             # the map's Back button
options="pixel 250 147 $accent"       # the options' title band
help="pixel 160 165 $accent"          # the help page's title band
name_entry="pixel 250 160 $accent"    # the name entry's title band

start "$game"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ $WIDTH -eq 800 && $HEIGHT -eq 600 ]] || fail "the window is ${WIDTH}x${HEIGHT}, not 800x600"

# The first start: the splash (a click ends it), loading, then the name
# entry.
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_until "log Full screen: no window manager here" "the refused full screen in the log"
# The player asks for full screen (Alt+Return), the desktop refuses again:
# the game says why it stays a window, once; OK returns to the menu.
notice="pixel 250 147 $accent"        # the notice's title band
refusals() { (($(grep -c "cannot switch to full screen" "$log") >= $1)); }
wait_then_key alt+Return "$menu" "$notice" "the notice of the refused full screen"
wait_until "log Telling the player: full screen was refused" "the notice in the log"
import -window root "$artefacts/display_${size}_fullscreen_refused.png"
wait_then_click 400 405 "$notice" "$menu" "OK on the notice"
# The picture fills the window: sky in its top corners, deck at the bottom.
shot "$work/menu.png"
for corner in "1 1" "798 1"; do
  pixel "$work/menu.png" $corner | grep -qE "$sky" || fail "no sky at ($corner): $(pixel "$work/menu.png" $corner)"
done
import -window root "$artefacts/display_${size}_menu.png"

# Change player: the player choice, then Back.
wait_then_click 397 236 "$menu" "$players" "Change player"
import -window root "$artefacts/display_${size}_chooseplayer.png"
wait_then_click 512 507 "$players" "$menu" "Back from the player choice"
# Play: a new career's first comic, paged through with its arrow, then the
# map; its Back returns.
wait_then_click 400 299 "$menu" "not $menu" "Play"
page_to_map
import -window root "$artefacts/display_${size}_map.png"
wait_then_click 104 39 "$map" "$menu" "Back from the map"
# Options, left with OK.
wait_then_click 566 359 "$menu" "$options" "Options"
# Its full-screen box, refused again: it stays clear, and nothing is told twice.
click 208 345
wait_until "refusals 3" "the box's refused switch (the start's and Alt+Return's before it)"
wait_until "$options" "the options back out of the switch's black"
import -window root "$artefacts/display_${size}_options.png"
(($(grep -c "^Telling the player: full screen" "$log") == 1)) || fail "the refused full screen told more than once"
wait_then_click 400 411 "$options" "$menu" "OK on the options"
# How to play, left with Back.
wait_then_click 400 427 "$menu" "$help" "How to play"
import -window root "$artefacts/display_${size}_help.png"
wait_then_click 400 416 "$help" "$menu" "Back from the help"
# Quit ends the program.
wait_then_click 400 491 "$menu" ended "Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "display e2e at $size: ok"
