#!/usr/bin/env bash
# The main menu played as a person would, under an X display, from a first
# start: loading ends in the name entry, the menu greets the new player, the
# options' music slider dragged down is kept in prefs.dat, the options lead
# to the credits and back, and the help pages page through and back.
# Screenshots of each screen are kept.
# Usage: menu_e2e.sh <corvellatrip> <qmcrypt> <artefacts folder>
set -euo pipefail
game=$1
qmcrypt=$2
artefacts=$3

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$(readlink -f "$0")")/e2e_lib.sh"

click() {
  point "$1" "$2"
  xdotool click 1
  sleep 0.4
}
# Pixels of the text ink (#3b2a33 and its anti-aliasing) in a rectangle.
ink_in() {
  convert "$1" -crop "$2" +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
    -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:
}
pref() {
  "$qmcrypt" prefs "$prefs" | grep -o "$1[^/]*" | grep -oE '[0-9]+' | tail -n 1
}

start
# The game starts in full screen, which an X server without a window
# manager cannot show: leave it.
point 400 300
xdotool key alt+Return
sleep 0.5

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
sky="^3[0-9] 5[0-9] 9[0-9]$"
paper="^2[45][0-9] 2[34][0-9] 2[12][0-9]$"

# A first start: the loading bar, then the name entry.
shot "$artefacts/menu_loading.png"
wait_pixel 250 160 "$accent" "the name entry's title band"
xdotool type --delay 60 "Ada"
sleep 0.3
shot "$artefacts/menu_entername.png"
xdotool key Return

# The menu greets her.
wait_pixel 330 495 "$accent" "the main menu's Quit button"
shot "$artefacts/menu_greeting.png"
ink=$(ink_in "$artefacts/menu_greeting.png" 340x30+230+186)
[[ $ink -gt 150 ]] || fail "the greeting shows no text ($ink ink pixels)"
"$qmcrypt" prefs "$prefs" | grep -q "Ada" || fail "prefs.dat has no player Ada"

# Options: the music slider dragged to its low end, kept with OK.
click 400 357
wait_pixel 250 147 "$accent" "the options' title band"
music_before=$(pref musiclevel || true)
point 540 253
xdotool mousedown 1
for x in 500 460 420 380 360; do
  xdotool mousemove --window "$window" "$x" 253
  sleep 0.1
done
xdotool mouseup 1
sleep 0.3
shot "$artefacts/menu_options.png"

# The credits, from the link beside OK, and back to the options.
click 567 416
wait_pixel 60 100 "$paper" "the credits' paper"
shot "$artefacts/menu_credits.png"
ink=$(ink_in "$artefacts/menu_credits.png" 300x40+250+70)
[[ $ink -gt 150 ]] || fail "the credits show no title ($ink ink pixels)"
click 400 563
wait_pixel 250 147 "$accent" "the options' title band after the credits"
click 400 411
wait_pixel 330 495 "$accent" "the main menu after the options"
music=$(pref musiclevel)
[[ -n "$music" && $music -lt 200 ]] || fail "musiclevel in prefs.dat is '$music' (before: '$music_before')"

# Help: four pages forward, one back, then Back to the menu.
click 400 421
wait_pixel 160 165 "$accent" "the first help page's title band"
shot "$artefacts/menu_help1.png"
for page in 2 3 4; do
  click 670 301
  shot "$artefacts/menu_help$page.png"
done
differ=$(compare -metric AE "$artefacts/menu_help1.png" "$artefacts/menu_help2.png" null: 2>&1 || true)
[[ ${differ%%.*} -gt 500 ]] || fail "page 2 looks like page 1"
differ=$(compare -metric AE "$artefacts/menu_help3.png" "$artefacts/menu_help4.png" null: 2>&1 || true)
[[ ${differ%%.*} -gt 500 ]] || fail "page 4 looks like page 3"
pixel "$artefacts/menu_help4.png" 680 301 | grep -qE "$sky" || fail "the last page still has a next arrow"
click 100 301
shot "$work/back3.png"
# (the arrow under the pointer differs by its hover look)
to3=$(compare -metric AE "$artefacts/menu_help3.png" "$work/back3.png" null: 2>&1 || true)
to4=$(compare -metric AE "$artefacts/menu_help4.png" "$work/back3.png" null: 2>&1 || true)
[[ ${to3%%.*} -lt ${to4%%.*} ]] || fail "back from page 4 is not page 3 ($to3 pixels differ from it, $to4 from page 4)"
click 400 416
wait_pixel 330 495 "$accent" "the main menu after help"

click 400 491
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "menu e2e: ok (musiclevel $music_before -> $music)"
