#!/usr/bin/env bash
# The main menu played as a person would, under an X display, from a first
# start: the splash and loading end in the name entry, the menu greets the
# new player, the options' music slider dragged down is kept in prefs.dat,
# the options lead to the credits and back, and the help pages page through
# and back. Screenshots of each screen are kept.
# Usage: menu_e2e.sh <corvellatrip> <qmcrypt> <artefacts folder>
set -euo pipefail
game=$1
qmcrypt=$2
artefacts=$3

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

# Pixels of the text ink (#3b2a33 and its anti-aliasing) in a rectangle.
ink_in() {
  convert "$1" -crop "$2" +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
    -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:
}
pref() {
  "$qmcrypt" prefs "$prefs" 2>/dev/null | grep -o "$1[^/]*" | grep -oE '[0-9]+' | tail -n 1
}

sky="^3[0-9] 5[0-9] 9[0-9]$"
paper="^2[45][0-9] 2[34][0-9] 2[12][0-9]$"
options="pixel 250 147 $accent"         # the options' title band
help="pixel 160 165 $accent"            # a help page's title band
# Each help page by one of its pictures: the door the party waits by,
# the pass lamp's glow, the dish cart, the goal bar.
page1="pixel 210 200 ^1[34][0-9] [89][0-9] [34][0-9]$"
page2="pixel 414 207 ^24[0-9] 2[01][0-9] 1[3-6][0-9]$"
page3="pixel 405 263 ^1[12][0-9] 1[34][0-9] 1[67][0-9]$"
page4="pixel 581 252 ^[0-3][0-9] 1[67][0-9] 1[01][0-9]$"

start "$game"

# A first start: the loading bar, then the name entry.
shot "$artefacts/menu_loading.png"
pass_splash "$name_entry" "the name entry"
shot "$work/noname.png"
click 400 287
xdotool type --delay 60 "Ada"
wait_until "changed $work/noname.png 30" "the name typed"
shot "$artefacts/menu_entername.png"
wait_then_key Return "$name_entry" "$menu" "the main menu after the name"

# The menu greets her.
greeted() {
  shot "$artefacts/menu_greeting.png"
  ink=$(ink_in "$artefacts/menu_greeting.png" 340x30+230+186)
  [[ $ink -gt 150 ]]
}
ink=0
wait_until greeted "the greeting's text"
echo "greeting: $ink ink pixels"
"$qmcrypt" prefs "$prefs" | grep -q "Ada" || fail "prefs.dat has no player Ada"

# Options: the music slider dragged to its low end, kept with OK.
wait_then_click 566 359 "$menu" "$options" "the options"
music_before=$(pref musiclevel || true)
shot "$work/options_before.png"
point 540 253
xdotool mousedown 1
for x in 500 460 420 380 360; do
  xdotool mousemove --window "$window" "$x" 253
  sleep 0.1  # (a drag the program sees step by step)
done
xdotool mouseup 1
wait_until "changed $work/options_before.png 30" "the slider moved"
shot "$artefacts/menu_options.png"

# The credits, from the link beside OK, and back to the options.
credits="pixel 60 100 $paper"
wait_then_click 567 416 "$options" "$credits" "the credits' paper"
shot "$artefacts/menu_credits.png"
ink=$(ink_in "$artefacts/menu_credits.png" 300x40+250+70)
[[ $ink -gt 150 ]] || fail "the credits show no title ($ink ink pixels)"
wait_then_click 400 563 "$credits" "$options" "the options' title band after the credits"
wait_then_click 400 411 "$options" "$menu" "the main menu after the options"
music_is_low() {
  music=$(pref musiclevel)
  [[ -n "$music" && $music -lt 200 ]]
}
music=
wait_until music_is_low "a low musiclevel in prefs.dat (before: '$music_before')"

# Help: four pages forward, one back, then Back to the menu.
wait_then_click 366 419 "$menu" "$page1" "the first help page"
wait_until "$help" "the help page's title band"
shot "$artefacts/menu_help1.png"
for page in 2 3 4; do
  previous=page$((page - 1))
  current=page$page
  wait_then_click 670 301 "${!previous}" "${!current}" "help page $page"
  shot "$artefacts/menu_help$page.png"
done
differ=$(differ "$artefacts/menu_help1.png" "$artefacts/menu_help2.png")
[[ $differ -gt 500 ]] || fail "page 2 looks like page 1"
differ=$(differ "$artefacts/menu_help3.png" "$artefacts/menu_help4.png")
[[ $differ -gt 500 ]] || fail "page 4 looks like page 3"
pixel "$artefacts/menu_help4.png" 680 301 | grep -qE "$sky" || fail "the last page still has a next arrow"
wait_then_click 100 301 "$page4" "$page3" "back to help page 3"
shot "$work/back3.png"
# (the arrow under the pointer differs by its hover look)
to3=$(differ "$artefacts/menu_help3.png" "$work/back3.png")
to4=$(differ "$artefacts/menu_help4.png" "$work/back3.png")
[[ $to3 -lt $to4 ]] || fail "back from page 4 is not page 3 ($to3 pixels differ from it, $to4 from page 4)"
wait_then_click 400 416 "$page3" "$menu" "the main menu after help"

wait_then_click 366 479 "$menu" ended "the end after Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "menu e2e: ok (musiclevel $music_before -> $music)"
