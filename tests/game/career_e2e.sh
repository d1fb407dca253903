#!/usr/bin/env bash
# The restaurant map reached as a person would, under an X display, from a
# first start: the splash, the name entry, Play on the main menu, the
# opening comic, the map with the first level as its only marker (a star,
# chosen) and every other level locked; a click on the marker keeps its best
# score shown; Back returns to the menu.
# The map's screenshot is kept.
# Usage: career_e2e.sh <corvellatrip> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$(readlink -f "$0")")/e2e_lib.sh"

click() {
  point "$1" "$2"
  xdotool click 1
  sleep 0.4
}

start
# Out of full screen, which an X server without a window manager cannot show.
point 400 300
xdotool key alt+Return
sleep 0.5

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
star="^2[3-5][0-9] 1[89][0-9] [3-6][0-9]$"   # the chosen level's gold star
padlock="^1[6-9][0-9] 1[6-8][0-9] 1[5-7][0-9]$"

pass_splash 250 160 "$accent" "the name entry's title band"
type_name "Ada"
xdotool key Return
wait_pixel 290 485 "$accent" "the main menu's Quit button"

# Play opens the story's first comic, paged through with its arrow, then
# the map: level 1 is the star, level 2 a padlock.
click 366 299
page_to_map
wait_pixel 640 576 "$accent" "the map's Play button"
sleep 0.5
shot "$artefacts/career_map.png"
pixel "$artefacts/career_map.png" 95 305 | grep -qE "$star" || fail "level 1 is not the chosen star: $(pixel "$artefacts/career_map.png" 95 305)"
pixel "$artefacts/career_map.png" 118 291 | grep -qE "$padlock" || fail "level 2 is not locked: $(pixel "$artefacts/career_map.png" 118 291)"
[[ $(colours "$artefacts/career_map.png") -gt 1000 ]] || fail "the map is nearly one colour"

# Choosing the marker keeps it chosen; Back goes home.
click 95 305
shot "$work/chosen.png"
pixel "$work/chosen.png" 95 305 | grep -qE "$star" || fail "level 1 is no longer chosen after a click"
click 104 39
wait_pixel 290 485 "$accent" "the main menu after the map"

click 366 479
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "career e2e: ok"
