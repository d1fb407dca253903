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

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

star="^2[3-5][0-9] 1[89][0-9] [3-6][0-9]$"   # the chosen level's gold star
padlock="^1[6-9][0-9] 1[6-8][0-9] 1[5-7][0-9]$"
back_hover="^24[0-9] 1[45][0-9] [78][0-9]$"

start "$game"

pass_splash "$name_entry" "the name entry"
enter_name "Ada"

# Play opens the story's first comic, paged through with its arrow, then
# the map: level 1 is the star, level 2 a padlock.
wait_then_click 366 299 "$menu" "not $menu" "the opening comic"
page_to_map
wait_until "pixel 95 305 $star" "level 1 as the chosen star"
shot "$artefacts/career_map.png"
pixel "$artefacts/career_map.png" 95 305 | grep -qE "$star" || fail "level 1 is not the chosen star: $(pixel "$artefacts/career_map.png" 95 305)"
pixel "$artefacts/career_map.png" 118 291 | grep -qE "$padlock" || fail "level 2 is not locked: $(pixel "$artefacts/career_map.png" 118 291)"
[[ $(colours "$artefacts/career_map.png") -gt 1000 ]] || fail "the map is nearly one colour"

# Choosing the marker keeps it chosen; Back goes home.
# (the pointer then goes over Back: once Back shows its hover look, the
# click on the marker has been taken and drawn)
click 95 305
point 104 39
wait_until "pixel 60 45 $back_hover" "the Back button's hover look"
shot "$work/chosen.png"
pixel "$work/chosen.png" 95 305 | grep -qE "$star" || fail "level 1 is no longer chosen after a click"
wait_then_click 104 39 "$map" "$menu" "the main menu after the map"

wait_then_click 366 479 "$menu" ended "the end after Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "career e2e: ok"
