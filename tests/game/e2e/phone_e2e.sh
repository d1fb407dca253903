#!/usr/bin/env bash
# The phone played as a person would, under an X display: a player who has
# reached the blimp's fifth level picks it on the map, drags the first party
# to a table and serves it, then sends the waitress to the phone, whose
# bubble offers the staff; the busboy's button calls him, the phone goes,
# and he works on his own: he takes the party's check and clears its dishes
# to the cart. The screenshots are kept and checked.
#
# The game runs on a copy of its data in which the player already exists
# (a main loop that makes her) and the level brings one party only (no
# snacks) that never walks out, so every step of the party can be waited
# for. The game's clock
# runs PHONE_TIME_SCALE times as fast as real time (default 4 on an idle
# machine, divided by its slowness, at least 1).
# Usage: phone_e2e.sh <corvellatrip> <data folder> <artefacts folder>
set -euo pipefail
game=$1
data=$2
artefacts=$3

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
# (on a busy machine the clicks come slower: the clock runs slower with them,
# lest the party lose patience and leave before the busboy comes)
default_scale=$((4 / e2e_slowness))
export CORVELLATRIP_TIME_SCALE=${PHONE_TIME_SCALE:-$((default_scale > 1 ? default_scale : 1))}

# The game's data, linked file by file; the main loop, level 35 and its
# patient fitness fans are our own.
cp -rs "$(readlink -f "$data")/." "$work/gamedata"
rm "$work/gamedata/assets/scripts/mainloop.lua" "$work/gamedata/assets/config/career/35.xml"
# The party waits as long as the clicks take: on a busy machine they come
# slowly enough that guests with the fans' own patience walked out before
# their plates came, and the busboy had no check to take. They look and
# order as the fans do.
python3 - "$work/gamedata/assets/config/customer.xml" <<'PY'
import os, re, sys
path = sys.argv[1]
customers = open(path).read()
start = customers.rindex("<customer>", 0, customers.index("<id>fitness</id>"))
fans = customers[start:customers.index("</customer>", start) + len("</customer>")]
patient = fans.replace("<id>fitness</id>", "<id>patientfitness</id>")
patient = re.sub("<(\\w+_MadMS)>\\d+</\\1>", lambda m: "<%s>3600000</%s>" % (m.group(1), m.group(1)), patient)
os.remove(path)  # a link to the shipped file
with open(path, "w") as out:
    out.write(customers.replace("</dataroot>", patient + "\n</dataroot>"))
PY
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
# Level 35 on the blimp's fifth floor: one party of four who want no snack;
# the next comes long after the test.
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
        <groupType1>patientfitness</groupType1>
        <groupDef1>yyyy</groupDef1>
        <time2>600000</time2>
        <groupType2>patientfitness</groupType2>
        <groupDef2>y</groupDef2>
    </career>
</dataroot>
XML
export CORVELLATRIP_DATA=$work/gamedata

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
menu="pixel 290 485 $accent"        # the main menu's Quit button
map="pixel 640 576 $accent"         # the map's Play button
marker="pixel 252 438 $accent"      # level 35's marker, chosen
intro="pixel 180 150 $accent"       # the intro's title band
letsplay="pixel 400 410 $accent"    # its "Let's play"
heart="pixel 20 488 ^2[0-3][0-9] [3-7][0-9] [6-9][0-9]$"  # the head of the line's first heart
paper="^2[45][0-9] 2[34][0-9] 2[0-2][0-9]$"
bubble="pixel 770 256 $paper"       # the staff bubble over the phone

table=(460 265)     # the table for four with the red chairs
wheel=(302 62)      # the order wheel
plate=(372 140)     # the first plate on the pass
phone=(760 410)
# The state "the table is clear": its cloth, inside its red trim, shows its
# own colour only (no plate, glass or crumb), with the pointer off it; or
# only within a band of it given as WxH+X+Y.
tabletop_clear() {
  local band=${1:-54x68+433+231} n
  shot "$work/top.png"
  n=$(convert "$work/top.png" -crop "$band" +repage -fill black +opaque "rgb(246,236,210)" \
        -fill white -opaque "rgb(246,236,210)" -format "%[fx:int(w*h*mean+0.5)]" info:)
  local size=${band%%+*}
  ((n == ${size%x*} * ${size#*x}))
}
# The party's plates on the table: the two on its far side show above the
# pointer, which stays where the table was clicked (moved away at once, it
# could take the click with it on a slow machine: the game may see the
# press, the release and the move in one frame). The plates are told by
# their white (a hundred pixels or so in that band): the guests' hands and
# their puffs of impatience reach into it too, and are not white.
plated() {
  shot "$work/top.png"
  local n
  n=$(convert "$work/top.png" -crop 60x15+430+225 +repage -fuzz 6% -fill black +opaque white \
        -fill white -opaque white -format "%[fx:int(w*h*mean+0.5)]" info:)
  ((n > 40))
}

start "$game"
pass_splash "$menu" "the main menu"

# The map: level 35, then Play; the intro, then "Let's play".
wait_then_click 400 299 "$menu" "$map" "the map"
wait_then_click 252 438 "$map" "$marker" "level 35's marker, chosen"
step map
wait_then_click 696 569 "$marker" "$intro" "the level's intro"
step intro
# The floor: the party arrives, its hearts show at the head of the line; it
# is dragged to the table.
wait_then_click 400 410 "$letsplay" "$heart" "the first party's hearts in line"
step floor
wait_then_do "drag_to ${table[*]}" "$heart" "not $heart" "the party left the line for the table"
step seated

# Served with clicks: the order at the table, the ticket to the wheel, then
# the plate and the table again until the plates stand on the table (the
# plate may still be cooking; the score is no sign of them, as the order's
# coin may land at any moment).
scored "the order taken" clicks "${table[@]}" "${wheel[@]}"
step ordered
wait_then_do "clicks ${plate[*]} ${table[*]}" "not plated" plated "the plates on the table after serving"
step served

# The phone: she walks there and picks it up; the staff bubble shows.
wait_then_click "${phone[@]}" "not $bubble" "$bubble" "the staff bubble over the phone"
step bubble
# The busboy's button, the first in the bubble: he comes, the phone goes.
wait_then_click 472 318 "$bubble" "not $bubble" "the bubble goes with the call"
wait_until "log phone: button 0 calls the busboy"
step busboy

# He works on his own: the party's check, then its dishes, to the cart; the
# table is clean again.
E2E_TIMEOUT=180 wait_until "log busboy: took the check of table"
step check
E2E_TIMEOUT=120 wait_until "log busboy: cleared the dishes of table"
E2E_TIMEOUT=120 wait_until "log busboy: 1 load\\(s\\) of dishes to the cart"
wait_until tabletop_clear "the table clear again"
step cleared
[[ $(colours "$artefacts/cleared.png") -gt 1000 ]] || fail "the floor is nearly one colour"
holds "not ended" || fail "the program ended"
echo "phone e2e: ok"
