#!/usr/bin/env bash
# The phone played as a person would, under an X display: a player who has
# reached the blimp's fifth level picks it on the map, drags the first party
# to a table and serves it, then sends the waitress to the phone, whose
# bubble offers the staff; the busboy's button calls him, the phone goes,
# and he works while she stays at the phone: he takes the party's check and
# clears its dishes. The screenshots are kept and checked.
#
# The game runs on a copy of its data in which the player already exists
# (a main loop that makes her) and the level brings one party only (no
# snacks), so every step of the party can be waited for.
# Usage: phone_e2e.sh <corvellatrip> <data folder> <artefacts folder>
set -euo pipefail
game=$1
data=$2
artefacts=$3

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$(readlink -f "$0")")/e2e_lib.sh"

# The game's data, linked file by file; the main loop and level 35 are our own.
cp -rs "$(readlink -f "$data")/." "$work/gamedata"
rm "$work/gamedata/assets/scripts/mainloop.lua" "$work/gamedata/assets/config/career/35.xml"
cat >"$work/gamedata/assets/scripts/mainloop.lua" <<'LUA'
ReadFile("scripts/ui.lua")
return function()
    AllowQuitCofirm(true)
    if GetNumUsers() == 0 then
        CreateNewUser("Ada")
        SetCurrentUser(0, true)
        UnlockLevel(3, 4)
    end
    DoModal("scripts/mainmenu.lua")
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
LUA
# Level 35 on the blimp's fifth floor: one party of four who want no dessert
# and no snack; the next comes long after the test.
cat >"$work/gamedata/assets/config/career/35.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<dataroot>
    <career>
        <level>35</level>
        <goal>3200</goal>
        <expert>4650</expert>
        <leavePenalty>400</leavePenalty>
        <layout>blimp05</layout>
        <snackChance>0</snackChance>
        <time1>3000</time1>
        <groupType1>fitness</groupType1>
        <groupDef1>yyyy</groupDef1>
        <time2>600000</time2>
        <groupType2>fitness</groupType2>
        <groupDef2>y</groupDef2>
    </career>
</dataroot>
XML
export CORVELLATRIP_DATA=$work/gamedata

click() {
  point "$1" "$2"
  xdotool click 1
}
# Waits up to 40 s for a line matching the pattern (grep -E) in the game's log.
wait_log() {
  for _ in $(seq 200); do
    grep -qE -- "$1" "$log" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for: $1"
    sleep 0.2
  done
  fail "no line matching: $1"
}
# Waits until the picture at (x, y) no longer matches the pattern.
wait_pixel_not() {
  for _ in $(seq 50); do
    shot "$work/now.png"
    pixel "$work/now.png" "$1" "$2" | grep -qE "$3" || return 0
    sleep 0.2
  done
  fail "pixel ($1, $2) is still $(pixel "$work/now.png" "$1" "$2"): $4"
}

start
# Out of full screen, which an X server without a window manager cannot show.
point 400 300
xdotool key alt+Return

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
wait_pixel 330 495 "$accent" "the main menu's Quit button"
click 400 299
wait_pixel 640 576 "$accent" "the map's Play button"
shot "$artefacts/phone_map.png"

# The map: level 35, then Play; the intro, then "Let's play".
click 252 438
wait_pixel 252 438 "$accent" "level 35's marker, chosen"
click 696 569
band="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
wait_pixel 180 150 "$band" "the intro's title band"
shot "$artefacts/phone_intro.png"
click 400 402
wait_pixel_not 180 150 "$band" "the intro went away"
shot "$artefacts/phone_floor.png"

# The party arrives: the head of the line shows its hearts; it is dragged to
# the table for four with the yellow chairs.
heart="^2[12][0-9] [5-7][0-9] [7-9][0-9]$"
wait_pixel 30 443 "$heart" "the first party's hearts in line"
point 60 495
xdotool mousedown 1
for at in "150 430" "300 300" "420 220" "440 210"; do point $at; done
xdotool mouseup 1
wait_pixel_not 30 443 "$heart" "the party left the line for the table"
shot "$artefacts/phone_seated.png"

# The staff bubble over the phone shows once she stands at the phone; the
# table's number badge shows while the party waits for its food.
paper="^25[01] 24[0-9] 2[12][0-9]$"
tabletop="^24[5-7] 23[5-7] 2(09|1[01])$"
table="495 235"
ticket="325 140"
food="365 160"
phone="760 410"
# Clicks the stations in turn, then waits a while for her to reach the phone
# with the badge's pixel matching the pattern; again until both hold. A visit
# the party refuses drops the ones after it, so she reaches the phone only
# when every visit before it was taken.
visits_until_phone() {
  local badge=$1 why=$2
  shift 2
  for _ in $(seq 12); do
    for at in "$@"; do click $at; done
    for _ in $(seq 25); do
      shot "$work/now.png"
      if pixel "$work/now.png" 770 256 | grep -qE "$paper" && pixel "$work/now.png" 502 232 | grep -qE "$badge"; then
        return 0
      fi
      sleep 0.2
    done
  done
  fail "she never reached the phone with $why"
}
# The order: she takes it, posts the ticket, then goes to the phone.
visits_until_phone "$paper" "the order taken" "$table" "$ticket" "$phone"
shot "$artefacts/phone_ordered.png"
# The food: she takes the plate when it is ready and serves it.
visits_until_phone "$tabletop" "the food served" "$food" "$table" "$phone"
shot "$artefacts/phone_served.png"

# The busboy's button, the first in the bubble: he comes, the phone goes.
click 472 318
wait_pixel_not 770 256 "$paper" "the bubble goes with the call"
wait_log "phone: button 0 calls the busboy"
shot "$artefacts/phone_busboy.png"

# He works while she stands at the phone: the party's check, then its
# dishes, to the cart; the table is clean (no plate or dirt in its white).
wait_log "busboy: took the check of table"
shot "$artefacts/phone_check.png"
wait_log "busboy: cleared the dishes of table"
wait_log "busboy: 1 load\\(s\\) of dishes to the cart"
shot "$artefacts/phone_cleared.png"
plates=$(convert "$artefacts/phone_cleared.png" -crop 160x140+420+160 +repage -fill black +opaque "rgb(251,251,246)" \
           -fill white -opaque "rgb(251,251,246)" -format "%[fx:int(w*h*mean)]" info:)
[[ $plates -eq 0 ]] || fail "the table still shows $plates pixels of plates or dishes"
[[ $(colours "$artefacts/phone_cleared.png") -gt 1000 ]] || fail "the floor is nearly one colour"
kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "phone e2e: ok"
