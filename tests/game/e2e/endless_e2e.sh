#!/usr/bin/env bash
# Plays the upgrade screen between three endless shifts and then the hiscore
# screen as a person would, under an X display, on the demonstration program
# (endless_screens_demo): a copy of the game's data whose main loop opens
# them. Each chosen upgrade must reach the game ("applied: ..." in its log);
# the screenshots are kept and must be neither blank nor one colour.
# Usage: endless_e2e.sh <endless_screens_demo> <data folder> <artefacts folder>
set -euo pipefail
demo=$1
data=$2
artefacts=$3

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
mkdir -p "$artefacts"

# The game's data, linked file by file, with a main loop of its own.
cp -rs "$(readlink -f "$data")/." "$work/gamedata"
rm "$work/gamedata/assets/scripts/mainloop.lua"
cat >"$work/gamedata/assets/scripts/mainloop.lua" <<'LUA'
ReadFile("scripts/ui.lua")
return function()
    for shift = 1, 3 do
        DoModal("scripts/upgrade.lua")
    end
    DoModal("scripts/hiscore.lua")
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
LUA
export CORVELLATRIP_DATA=$work/gamedata

# A kept picture must be neither blank nor one colour.
kept() {
  shot "$artefacts/$1"
  [[ $(colours "$artefacts/$1") -gt 50 ]]
}
keep() { wait_until "kept $1" "$1 with more than 50 colours"; }
# Pixels of the text ink (#3b2a33 and its anti-aliasing) in a rectangle.
ink_in() {
  convert "$1" -crop "$2" +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
    -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:
}
described() {
  shot "$work/now.png"
  [[ $(ink_in "$work/now.png" 280x50+120+355) -gt 50 ]]
}
applied() { grep -c "^applied: " "$log" || true; }
applied_more_than() { [[ $(applied) -gt $1 ]]; }

wall="^24[0-9] 21[0-9] 17[0-9]$"
orange="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
tick="^[89][0-9] 1[5-7][0-9] 1[01][0-9]$"   # the chosen offer's green tick
# A new shift: the wall, and no Continue until an offer is chosen.
offers() { holds "pixel 20 20 $wall" && holds "pixel 502 440 $wall"; }

start "$demo"

# Offer k is centred at (200 + 150 k, 178), its tick at (160 + 150 k, 120);
# Continue appears at the lower right once one is chosen.
for shift in 1 2 3; do
  wait_until offers "the upgrade screen (shift $shift)"
  [[ $shift == 1 ]] && keep upgrade_offers.png
  [[ $shift == 3 ]] && keep upgrade_third_shift.png
  point 350 178
  wait_until described "the pointed offer's description (shift $shift)"
  [[ $shift == 1 ]] && keep upgrade_pointed.png
  choice=$(( shift == 2 ? 1 : 0 ))
  wait_then_click $((200 + 150 * choice)) 178 offers "pixel $((160 + 150 * choice)) 120 $tick" \
    "offer $choice chosen (shift $shift)"
  wait_until "pixel 502 440 $orange" "Continue (shift $shift)"
  [[ $shift == 1 ]] && keep upgrade_chosen.png
  before=$(applied)
  wait_then_click 578 439 "pixel 502 440 $orange" "applied_more_than $before" "an upgrade bought in shift $shift"
done
grep -q "^applied: table$" "$log" || fail "the first shift's table was not added"

# The hiscore screen with the player's endless score.
sky="pixel 20 20 ^3[0-9] 5[0-9] 9[0-9]$"
wait_until "$sky" "the hiscore screen's sky"
keep hiscore.png
wait_then_click 667 561 "$sky" ended "the end after the hiscore screen"
wait_exit "the program did not end after the hiscore screen"
[[ $status -eq 0 ]] || fail "the program ended with exit code $status"
echo "upgrades bought: $(grep "^applied: " "$log" | sed 's/^applied: //' | paste -sd, -)"
