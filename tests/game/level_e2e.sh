#!/usr/bin/env bash
# Plays career level 1 as a person would, under an X display: Play on the
# main menu opens the restaurant map, whose Play opens the level's intro, "Let's play" starts the shift, the
# tutorial is skipped, the first party is dragged to a table and served with
# clicks (order, ticket, plate, serve, check, dishes, cart), the game is
# paused and resumed with the pause key and the pause screen's button, and
# the level runs on to its level-over screen, which counts up the results;
# leaving it comes back to the map.
# Each step's screenshot is kept and must differ from the one before.
# Usage: level_e2e.sh <corvellatrip> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$0")/../smoke/e2e_common.sh"
mkdir -p "$artefacts"

export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/data

shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
point() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.3
}
click() {
  point "$1" "$2"
  xdotool click 1
  sleep "${3:-0.5}"
}
# Waits until the picture at (x, y) matches the pattern (grep -E on "r g b").
wait_pixel() {
  local tries=$5
  for _ in $(seq "$tries"); do
    shot "$work/now.png"
    pixel "$work/now.png" "$1" "$2" | grep -qE "$3" && return 0
    sleep 0.5
  done
  fail "pixel ($1, $2) is $(pixel "$work/now.png" "$1" "$2"), not $3: $4"
}
previous=
# Keeps the step's screenshot and checks that it differs from the last one.
step() {
  shot "$artefacts/$1.png"
  if [[ -n "$previous" ]]; then
    local differ
    differ=$(compare -metric AE "$artefacts/$previous.png" "$artefacts/$1.png" null: 2>&1 || true)
    [[ ${differ%%.*} -gt ${2:-500} ]] || fail "$1 looks like $previous ($differ pixels differ)"
    echo "$1: $differ pixels differ from $previous"
  fi
  previous=$1
}

"$game" 2>>"$log" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || fail "no window appeared"
point 400 300
xdotool key alt+Return
sleep 0.5
# A first start names its player, then Play on the main menu opens the map,
# where level 1 is chosen: its Play opens the level.
accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
wait_pixel 250 160 "$accent" "the name entry's title band" 50
xdotool type --delay 60 "Ada"
xdotool key Return
wait_pixel 330 495 "$accent" "the main menu's Quit button" 50
click 400 299 1
wait_pixel 640 576 "$accent" "the map's Play button" 20
step map
click 696 569 2
wait_pixel 180 150 "^2[23][0-9] 1[01][0-9] [4-7][0-9]$" "the intro's title band" 20
step intro

# Let's play: the intro slides away; skip the tutorial.
click 400 402 2
click 700 84 1
step floor

# The first party arrives; drag it from the head of the line to the left table.
sleep 2
point 60 500
xdotool mousedown 1
for x in 100 160 220 280 320; do point "$x" 345; done
xdotool mouseup 1
sleep 0.5
step seated

# Serve it with clicks: order, the order wheel, the plate on the pass, the
# table again.
sleep 5
click 320 340 3
click 302 62 5
click 372 140 3
click 320 340 2
step served

# Pause with the key, resume with the pause screen's button.
xdotool key p
sleep 1
step paused
click 296 402 1
step resumed

# The check, the dishes and the cart once they have eaten.
sleep 9
click 320 340 3
click 320 340 3
click 665 185 2

# The rest of the shift runs on to the level-over screen.
wait_pixel 180 90 "^2[23][0-9] 1[01][0-9] [4-7][0-9]$" "the level-over board's title band" 400
step levelover 100
sleep 5
step counted 100
kill -0 "$pid" 2>/dev/null || fail "the program ended"

# Leave: back on the restaurant map.
click 503 480 2
wait_pixel 640 576 "$accent" "the map's Play button after the level" 20
step backonmap 100
echo "level e2e: ok"
