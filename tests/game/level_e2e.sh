#!/usr/bin/env bash
# Plays career level 1 as a person would, under an X display: Play on the
# main menu opens the story's first comic and then the restaurant map, whose
# Play opens the level's intro, "Let's play" starts the shift, the tutorial
# is skipped, the first party is dragged to a table and served with clicks
# (order, ticket, plate, serve, check, dishes, cart), the game is paused and
# resumed with the pause key and the pause screen's button, and the level
# runs on to its level-over screen, which counts up the results; leaving it
# comes back to the map.
# Each step's screenshot is kept and must differ from the one before.
# The game's clock runs LEVEL_TIME_SCALE (default 4) times as fast as real
# time, so the shift lasts about half a minute; a faster clock lets a
# seated party lose patience while a loaded machine is slow to click.
# Usage: level_e2e.sh <corvellatrip> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2

source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
export CORVELLATRIP_TIME_SCALE=${LEVEL_TIME_SCALE:-4}

intro="pixel 180 150 $accent"       # the intro's title band
letsplay="pixel 400 410 $accent"    # its "Let's play"
skip="pixel 622 84 $accent"         # "Skip tutorial" (left of its label) on the floor
paused="pixel 400 160 $accent"      # the pause screen's title band
board="pixel 180 90 $accent"        # the level-over board's title band
leave="pixel 432 480 $accent"       # its Leave (left of its label), once the results are counted

paper="pixel 400 200 ^2[45][0-9] 2[34][0-9] 2[0-2][0-9]$"  # the intro's paper, while it slides away
# The floor once the intro has slid away: Skip tutorial shown and no paper
# over the floor (the button can be seen while the intro still slides).
floor_with_skip() { holds "$skip" && ! holds "$paper"; }
# The tutorial skipped: the button gone, neither in its own colour nor in
# its hover look, with the intro long gone.
skip_gone() { ! holds "pixel 622 84 ^2[2-5][0-9] 1[0-6][0-9] [4-9][0-9]$" && ! holds "$paper"; }

table=(320 340)
drag_first_party_to_the_table() {
  point 60 500
  xdotool mousedown 1
  for x in 100 160 220 280 320; do
    point "$x" 345
    sleep 0.1  # (a drag the game sees step by step)
  done
  xdotool mouseup 1
}
clicks() {  # X Y [X Y...]: a person's clicks in a row
  while (($# >= 2)); do
    click "$1" "$2"
    sleep 0.2
    shift 2
  done
}

start "$game"
# Out of full screen, which an X server without a window manager cannot show.
xdotool key alt+Return

# A first start names its player, then Play on the main menu opens the
# opening comic and the map, where level 1 is chosen: its Play opens the
# level.
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_then_click 366 299 "$menu" "not $menu" "the opening comic"
page_to_map
step map
wait_then_click 696 569 "$map" "$intro" "the level's intro"
step intro

# Let's play: the intro slides away; skip the tutorial.
wait_then_click 400 410 "$letsplay" floor_with_skip "the floor after Let's play"
wait_then_click 680 84 floor_with_skip skip_gone "the tutorial skipped"
step floor
# (the empty table, to know it clear again at the end)
cp "$artefacts/floor.png" "$work/empty_table.png"

# The first party arrives; drag it from the head of the line to the left table.
scored "the first party seated" drag_first_party_to_the_table
step seated

# Serve it with clicks: the order at the table, the ticket to the wheel, the
# plate once cooked, the table again.
scored "the order taken" clicks "${table[@]}"
scored "the party served" clicks 302 62 372 140 "${table[@]}"
step served

# Pause with the key, resume with the pause screen's button.
wait_then_key p "not $paused" "$paused" "the pause screen"
step paused
wait_then_click 296 402 "$paused" "not $paused" "the floor after Resume"
step resumed

# The check once they have eaten, then the dishes to the cart: the table is
# clear again.
scored "the check collected" clicks "${table[@]}"
clear="unchanged $work/empty_table.png 300 140x120+250+280"
wait_then_do "clicks ${table[*]} 665 185" "not $clear" "$clear" "the dishes cleared"

# The rest of the shift runs on to the level-over screen, which counts up
# the results before Leave shows.
E2E_TIMEOUT=300 wait_until "$board" "the level-over board"
step levelover 100
wait_until "$leave" "the level-over board's Leave after the count"
step counted 100

# Leave: back on the restaurant map.
wait_then_click 503 480 "$leave" "$map" "the map after the level"
step backonmap 100
echo "level e2e: ok"
