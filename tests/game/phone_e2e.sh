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

source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

# The game's data, linked file by file; the main loop and level 35 are our own.
cp -rs "$(readlink -f "$data")/." "$work/gamedata"
rm "$work/gamedata/assets/scripts/mainloop.lua" "$work/gamedata/assets/config/career/35.xml"
cat >"$work/gamedata/assets/scripts/mainloop.lua" <<'LUA'
ReadFile("scripts/ui.lua")
ReadFile("scripts/career.lua")
return function()
    AllowQuitCofirm(true)
    if GetNumUsers() == 0 then
        CreateNewUser("Ada")
        SetCurrentUser(0, true)
        UnlockLevel(3, 4)
    end
    while DoModal("scripts/mainmenu.lua") == "play" do
        PlayCareer()
    end
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

start "$game"
# Out of full screen, which an X server without a window manager cannot show.
xdotool key alt+Return

pass_splash "$menu" "the main menu"
wait_then_click 366 299 "$menu" "$map" "the map"
shot "$artefacts/phone_map.png"

# The map: level 35, then Play; the intro, then "Let's play".
wait_then_click 252 438 "$map" "pixel 252 438 $accent" "level 35's marker, chosen"
band="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
wait_then_click 696 569 "$map" "pixel 180 150 $band" "the intro's title band"
shot "$artefacts/phone_intro.png"
wait_then_click 400 402 "pixel 180 150 $band" "not pixel 180 150 $band" "the intro went away"
shot "$artefacts/phone_floor.png"

# The party arrives: the head of the line shows its hearts; it is dragged to
# the table for four with the red chairs.
heart="^2[12][0-9] [5-7][0-9] [7-9][0-9]$"
wait_until "pixel 30 474 $heart" "the first party's hearts in line"
point 60 530
xdotool mousedown 1
for at in "150 430" "300 330" "420 280" "460 270"; do
  point $at
  sleep 0.1  # (a drag the game sees step by step)
done
xdotool mouseup 1
wait_until "not pixel 30 474 $heart" "the party left the line for the table"
shot "$artefacts/phone_seated.png"

# The staff bubble over the phone shows once she stands at the phone; the
# table's number badge shows while the party waits for its food.
paper="^25[01] 24[0-9] 2[12][0-9]$"
tabletop="^24[5-7] 23[5-7] 2(09|1[01])$"
table="460 270"
ticket="302 62"
food="372 140"
phone="760 410"
bubble="pixel 770 256 $paper"
clicks() {  # X Y [X Y...]: a person's clicks in a row
  while (($# >= 2)); do
    click "$1" "$2"
    sleep 0.2
    shift 2
  done
}
# Clicks the stations in turn until the table's middle shows what they did
# (a party that is not ready lets the visits pass), then sends her to the
# phone and waits for its bubble, which covers the table.
visits_then_phone() {
  local badge=$1 why=$2
  shift 2
  E2E_RETRY=6 wait_then_do "clicks $*" "not pixel 466 259 $badge" "pixel 466 259 $badge" "$why"
  wait_then_click $phone "not $bubble" "$bubble" "the phone's bubble after $why"
}
# The order: she takes it and posts the ticket, then goes to the phone.
visits_then_phone "$paper" "the order taken" $table $ticket
shot "$artefacts/phone_ordered.png"
# The food: she takes the plate when it is ready and serves it.
visits_then_phone "$tabletop" "the food served" $food $table
shot "$artefacts/phone_served.png"

# The busboy's button, the first in the bubble: he comes, the phone goes.
wait_then_click 472 318 "$bubble" "not $bubble" "the bubble gone with the call"
wait_until "log phone: button 0 calls the busboy"
shot "$artefacts/phone_busboy.png"

# He works while she stands at the phone: the party's check, then its
# dishes, to the cart; the table is clean (no plate or dirt in its white).
wait_until "log busboy: took the check of table"
shot "$artefacts/phone_check.png"
wait_until "log busboy: cleared the dishes of table"
wait_until "log busboy: 1 load\\(s\\) of dishes to the cart"
shot "$artefacts/phone_cleared.png"
plates=$(convert "$artefacts/phone_cleared.png" -crop 140x140+390+200 +repage -fill black +opaque "rgb(251,251,246)" \
           -fill white -opaque "rgb(251,251,246)" -format "%[fx:int(w*h*mean)]" info:)
[[ $plates -eq 0 ]] || fail "the table still shows $plates pixels of plates or dishes"
[[ $(colours "$artefacts/phone_cleared.png") -gt 1000 ]] || fail "the floor is nearly one colour"
kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "phone e2e: ok"
