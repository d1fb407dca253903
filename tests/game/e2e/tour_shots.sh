#!/usr/bin/env bash
# A tour of the game's screens that a player reaches only after hours of
# play, kept as screenshots to look at; not a CTest test (it takes minutes
# and judges no picture beyond its coming). The game runs by mouse and
# keyboard at 800x600 on an X server of its own, on a copy of its data in
# which a few levels are quickened (below):
#   line_NAME.png            seven parties waiting in line in each
#                            restaurant's late level, the HUD above
#   comic_after_level10.png  the story's comic after the cruise's last level
#   comic_finale.png         the closing comic after the career's last level
#   wardrobe_tip_finale.png  the wardrobe's tip over it (a first visit)
#   wardrobe_finale.png      the wardrobe then: every piece open
#   wardrobe_finale_third_pieces.png  each slot's right arrow pressed twice
#   endless_start.png        a first endless shift (the ship, Easy), its
#                            tutorial skipped: the HUD at shift 1, score 0
#   endless_end.png          the board when that shift is over
#   endless_tutorial_NN_KEY.png  the same first shift with its tutorial
#                            followed, a picture per tip
#   endless_tutorial_upgrade_button.png  its tip on the upgrade button
#   endless_tutorial_upgrade_screen.png  the upgrade screen it opens
#   endless_tutorial_shift_intro.png, endless_tutorial_shift.png  the first
#                            shift after the tutorial: its intro, its HUD
#   endless_tutorial_end.png the board at that shift's end
#   endless_tutorial_intro.png  the endless tutorial's intro
#   decor_NAME_4_offered.png, _glowing, _chosen, _kept  each restaurant's
#                            fourth decor item in the decor choice before its
#                            third level: offered, under the pointer, chosen,
#                            and kept in the room with the display over it
#   level45_intro.png, corner.png, extra_levels.png  level 45's intro,
#                            Quessa's corner, the extra levels page with
#                            two packs still locked, a downloaded level and
#                            one cut short
#   extra_levels_padlock.png the pointer over a locked pack's padlock;
#   extra_levels_padlock_told.png  what its click tells
#   expert_board.png, expert_map.png, expert_corner.png  expert service's
#                            mark on the won level's board, on the map and
#                            in Quessa's corner; expert_marks.png the three
#                            marks side by side, four times enlarged
#   level45_lost.png, level46_lost.png  the boards of levels 45 and 46
#                            played with nobody served
# The opening comic, the career tutorial's chain and the map after level 1
# are the play-through's (playthrough_e2e.sh).
#
# The data copy: in each restaurant's level shot for its line the first
# seven parties arrive half a second apart; levels 10 and 50, and each
# restaurant's second, are one impatient guest who leaves after being seated
# (the play-through's stand-in), so that a career's end and a decor choice
# take seconds.
# Usage: tour_shots.sh <corvellatrip> <prepare_player> <data folder> <out folder>
#        (TOUR_PARTS="line comics decor texts marks endless tutorial" picks parts)
set -euo pipefail
game_binary=$1
prepare=$2
data=$3
out=$4
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

content_tools=$(dirname "$(readlink -f "$0")")/../../../tools/content  # (its PNG reader)
source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$out"
artefacts=$out
parts=${TOUR_PARTS:-line comics decor texts marks endless tutorial}

# ---- the data copy
gamedata=$work/gamedata
cp -rs "$(readlink -f "$data")/." "$gamedata"
python3 - "$gamedata/assets/config" <<'PY'
import os, re, sys
config = sys.argv[1]

def replace(path, text):
    os.remove(path)  # a link to the shipped file
    with open(path, "w") as out:
        out.write(text)

customers = open(config + "/customer.xml").read()
young = customers[customers.index("<customer>"):customers.index("</customer>") + len("</customer>")]
hasty = young.replace("<id>young</id>", "<id>hasty</id>")
for key, value in (("deciding_DurationMS", 500), ("ready_HappyMS", 300), ("ready_MadMS", 300)):
    hasty = re.sub("<%s>\\d+</%s>" % (key, key), "<%s>%d</%s>" % (key, value, key), hasty)
replace(config + "/customer.xml", customers.replace("</dataroot>", hasty + "\n</dataroot>"))

# The line's levels: the first party two seconds in, the next six half a
# second apart.
for number in (9, 19, 28, 39, 49):
    path = "%s/career/%d.xml" % (config, number)
    text = open(path).read()
    for n in range(1, 8):
        text = re.sub("<time%d>\\d+</time%d>" % (n, n), "<time%d>%d</time%d>" % (n, 2000 if n == 1 else 500, n), text)
    replace(path, text)

def level(number, layout, expert=1000):
    return ("<dataroot><career><level>%d</level><goal>0</goal><expert>%d</expert><leavePenalty>0</leavePenalty>"
            "<layout>%s</layout><time1>1000</time1><groupType1>hasty</groupType1><groupDef1>r</groupDef1>"
            "</career></dataroot>\n" % (number, expert, layout))

grid = "".join(["-" * 16] * 3 + ["." * 16] * 3 + ["...r4r....b4b..."] * 2 + ["." * 16] * 5)
with open(config + "/../layouts/tour.txt", "w") as out:
    out.write("".join(grid[i:i + 16] + "\n" for i in range(0, len(grid), 16)))
for number in (10, 50):
    replace("%s/career/%d.xml" % (config, number), level(number, "tour"))
# The second level of each restaurant: won at once, so that the decor
# choice before its third comes in seconds.
# (The cruise's is won with expert service, for the marks' part.)
for number in (2, 12, 22, 32, 42):
    replace("%s/career/%d.xml" % (config, number), level(number, "tour", 0 if number == 2 else 1000))
PY
export CORVELLATRIP_DATA=$gamedata

# ---- the screens' states (as in the play-through)
endless_map="pixel 20 40 $accent"
difficulty="pixel 250 165 $accent"
skip="pixel 22 164 $accent"
hud="pixel 5 37 $paper"
heart="^2[0-4][0-9] [4-8][0-9] [6-9][0-9]$"      # a full heart over a party
comic="pixel 740 570 $accent"
notice="pixel 330 420 $accent"
tip="pixel 330 408 $accent"
board() { holds "pixel 180 90 $band" && holds "pixel 160 250 $paper"; }
wardrobe() { holds "pixel 540 503 $accent" && ! holds "$tip" && ! holds "$notice"; }
after_comic() { holds "$notice" || holds "$tip" || wardrobe; }

# Keeps a picture in the out folder under NAME.png and says so.
keep() {
  shot "$out/$1.png"
  echo "kept $out/$1.png"
}
# The game ended between parts: what it would save next is not wanted.
quit_game() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
}
# A fresh player NAME who has won the first WON career levels (the first
# EXPERT of them with expert service).
fresh_player() {
  rm -rf "$XDG_DATA_HOME"
  if (($2 > 0)); then
    "$prepare" "$gamedata" "$1" "$2" --expert "${3:-0}" >/dev/null 2>&1 || fail "the player could not be prepared"
  fi
}
# The game started for a prepared player, on the main menu.
start_prepared() {
  start "$game_binary"
  pass_splash "$menu" "the main menu"
}

# ---- seven parties in line, in each restaurant
line_level() {  # NAME LEVEL (1-50)
  fresh_player Ada $(($2 - 1))
  start_prepared
  wait_then_click 366 299 "$menu" "$map" "the map"
  wait_then_click 696 569 "$map" intro "level $2's intro"
  wait_then_click 400 410 intro "not intro" "level $2's floor"
  wait_until "$hud" "the HUD of level $2"
  # The seventh party's first heart, high above the head of the line.
  E2E_TIMEOUT=120 wait_until "pixel 20 61 $heart" "the seventh party in line"
  sleep 1.5  # (its walk into its place)
  keep "line_$1"
  quit_game
}
if [[ " $parts " == *" line "* ]]; then
  line_level cruise 9
  line_level train 19
  line_level sub 28
  line_level blimp 39
  line_level spaceship 49
fi

# ---- a restaurant's last level and the career's: the comics after them
hasty_win() {  # the last level from the map to its board's Continue
  wait_then_click 696 569 "$map" intro "the last level's intro"
  wait_then_click 400 402 intro "not intro" "the shift after Let's play"
  wait_then_do "drag_to 320 345" "not board" board "the level-over board"
  wait_then_click 296 480 board "$comic" "the comic after Continue"
}
if [[ " $parts " == *" comics "* ]]; then
  fresh_player Ada 9
  start_prepared
  wait_then_click 366 299 "$menu" "$map" "the map"
  hasty_win
  keep comic_after_level10
  quit_game

  fresh_player Ada 49
  start_prepared
  wait_then_click 366 299 "$menu" "$map" "the map"
  hasty_win
  keep comic_finale
  # The last level opens nothing new (the last piece comes with level 49),
  # so no notice shows; the wardrobe's tip does, on the first visit.
  E2E_RETRY=1 wait_then_click 760 567 "not after_comic" after_comic "the wardrobe after the closing comic"
  if holds "$notice"; then
    keep unlock_finale
    wait_then_click 400 420 "$notice" "not $notice" "the notice closed"
  fi
  if holds "$tip"; then
    keep wardrobe_tip_finale
    wait_then_click 400 408 "$tip" wardrobe "the wardrobe"
  fi
  wait_until wardrobe "the wardrobe"
  keep wardrobe_finale
  # Each slot's right arrow twice: what the career opened comes up.
  for arrow in 247,103 247,256 247,502 657,104 657,321; do
    shot "$work/closet_before.png"
    clicks "${arrow%,*}" "${arrow#*,}"
    wait_until "changed $work/closet_before.png 100" "the next piece ($arrow)"
    shot "$work/closet_before.png"
    clicks "${arrow%,*}" "${arrow#*,}"
    wait_until "changed $work/closet_before.png 100" "the third piece ($arrow)"
  done
  keep wardrobe_finale_third_pieces
  quit_game
fi

# ---- the fourth decor item of each restaurant, offered, lit and kept
# The decor choice before a restaurant's third level: its second is won at
# once (the data copy), and the first choice of a player explains itself
# in a dialog first.
# NAME ITEM: the item's picture as "x y w h", where upgrades.xml places it,
# and a point on the item low on its left (the pointer's hand hides little
# of it there), as "px py".
decor_box() {
  local folder=$gamedata/assets/restaurants/$1/upgrades
  python3 - "$folder/upgrades.xml" "$2" "$folder/$2_1.png" "$content_tools" <<'PY'
import sys
import xml.etree.ElementTree as tree
sys.path.insert(0, sys.argv[4])
from qmcontent import png
frame = tree.parse(sys.argv[1]).find(".//frame[@name='%s_1.png']" % sys.argv[2])
x, y = -int(frame.get("regx")), -int(frame.get("regy"))
offer = png.read(sys.argv[3])
solid = [(i % offer.width, i // offer.width) for i, p in enumerate(offer.pixels) if p[3] > 200]
bottom = max(py for _, py in solid) - 4
left = min(px for px, py in solid if py == bottom)
print(x, y, offer.width, offer.height, x + left + 2, y + bottom)
PY
}
decor_choice() {  # NAME RESTAURANT (0-4)
  fresh_player Ada $(($2 * 10 + 1))
  start_prepared
  wait_then_click 366 299 "$menu" "$map" "the map"
  wait_then_click 696 569 "$map" intro "the second level's intro"
  wait_then_click 400 402 intro "not intro" "the second level"
  wait_then_do "drag_to 320 345" "not board" board "the level-over board"
  wait_then_click 296 480 board "$tip" "the decor choice's first tip"
  wait_then_click 400 408 "$tip" "not $tip" "the decor choice"
  local x y w h px py
  read -r x y w h px py <<<"$(decor_box "$1" 4)"
  local at=${w}x${h}+$x+$y
  point 30 400
  sleep 1  # (the offers fade in)
  keep "decor_$1_4_offered"
  point "$px" "$py"
  wait_until "changed $out/decor_$1_4_offered.png 50 $at" "the item lit under the pointer"
  sleep 0.3
  keep "decor_$1_4_glowing"
  click "$px" "$py"
  point 30 400
  sleep 0.3
  keep "decor_$1_4_chosen"
  wait_then_click 620 549 "not intro" intro "the third level's intro after Keep"
  wait_then_click 400 402 intro "not intro" "the third level"
  wait_until "$hud" "the HUD of the third level"
  keep "decor_$1_4_kept"
  quit_game
}
if [[ " $parts " == *" decor "* ]]; then
  decor_choice cruise 0
  decor_choice train 1
  decor_choice sub 2
  decor_choice blimp 3
  decor_choice spaceship 4
fi

# ---- texts a player meets later: level 45's intro, Quessa's corner, the
# extra levels page with a pack still locked
# Levels 45 and 46 played with nobody served, so lost: the words the
# board has for them.
lost_level() {  # LEVEL (1-50)
  wait_then_click 696 569 "$map" intro "level $1's intro"
  wait_then_click 400 402 intro "not intro" "level $1's floor"
  E2E_TIMEOUT=600 wait_until "log ^level over" "level $1's end"
  wait_until board "level $1's board"
  sleep 3  # (the board's count)
  keep "level$1_lost"
}
if [[ " $parts " == *" texts "* ]]; then
  export CORVELLATRIP_TIME_SCALE=16
  fresh_player Ada 44
  start_prepared
  wait_then_click 366 299 "$menu" "$map" "the map"
  wait_then_click 696 569 "$map" intro "level 45's intro"
  keep level45_intro
  quit_game
  for level in 45 46; do
    fresh_player Ada $((level - 1))
    start_prepared
    wait_then_click 366 299 "$menu" "$map" "the map"
    lost_level $level
    quit_game
  done
  unset CORVELLATRIP_TIME_SCALE

  fresh_player Ada 10
  mkdir -p "$XDG_DATA_HOME/corvellatrip/levels"
  cp "$gamedata/assets/config/levels/harbour.xml" "$XDG_DATA_HOME/corvellatrip/levels/Late_supper.xml"
  printf '<dataroot><career><level>1</level><goal>5' >"$XDG_DATA_HOME/corvellatrip/levels/Torn_page.xml"
  start_prepared
  wait_then_click 498 236 "$menu" "not $menu" "Quessa's corner"
  point 760 560  # (off her tips)
  sleep 1  # (its panel drawn)
  keep corner
  wait_then_click 400 535 "not $menu" "$menu" "the main menu after Quessa's corner"
  wait_then_click 366 299 "$menu" "$map" "the map"
  wait_then_click 502 569 "$map" "not $map" "the extra levels"
  sleep 1  # (the page drawn)
  keep extra_levels
  point 676 97  # the first pack's padlock
  sleep 0.5  # (the pointer drawn)
  keep extra_levels_padlock
  click 676 97
  sleep 1  # (the notice slid in)
  keep extra_levels_padlock_told
  xdotool key Return
  sleep 1
  quit_game
fi

# ---- expert service's mark: on the won level's board, on the map, in
# Quessa's corner
expert_on_board="pixel 190 388 ^2[34][0-9] 1[89][0-9] [3-6][0-9]$"  # the badge's gold
if [[ " $parts " == *" marks "* ]]; then
  fresh_player Ada 1 1
  start_prepared
  wait_then_click 366 299 "$menu" "$map" "the map"
  wait_then_click 696 569 "$map" intro "level 2's intro"
  wait_then_click 400 402 intro "not intro" "level 2"
  wait_then_do "drag_to 320 345" "not board" board "the level-over board"
  wait_until "$expert_on_board" "the expert mark on the board"
  point 760 560  # (off the board)
  sleep 1  # (its buttons shown)
  keep expert_board
  wait_then_click 504 485 board "$map" "the map after the board"
  point 760 300
  sleep 0.5  # (the markers drawn)
  keep expert_map
  wait_then_click 104 39 "$map" "$menu" "the main menu"
  wait_then_click 498 236 "$menu" "not $menu" "Quessa's corner"
  point 760 560
  sleep 1  # (its panel drawn)
  keep expert_corner
  quit_game
  # The board's badge, the map's first level's marker and the corner's tip
  # icon, side by side.
  convert \( "$out/expert_board.png" -crop 72x72+176+352 +repage \) \
    \( "$out/expert_map.png" -crop 72x72+59+269 +repage \) \
    \( "$out/expert_corner.png" -crop 72x72+238+288 +repage \) \
    +append -scale 400% "$out/expert_marks.png"
  echo "kept $out/expert_marks.png"
fi

# ---- the first endless shift: a new player, Endless, the ship, Easy
endless_first_start() {  # up to the floor with the endless tutorial's first tip
  fresh_player Ada 0
  start "$game_binary"
  pass_splash "$name_entry" "the name entry"
  enter_name Ada
  wait_then_click 566 299 "$menu" "$endless_map" "the map in endless mode"
  wait_then_click 150 180 "$endless_map" "$difficulty" "the difficulty of the ship's shift"
  wait_then_click 400 260 "$difficulty" intro "the endless tutorial's intro"
  point 760 300  # (off its text)
  keep endless_tutorial_intro
  wait_then_click 400 402 intro "$skip" "the floor with its tutorial"
}
if [[ " $parts " == *" endless "* ]]; then
  export CORVELLATRIP_TIME_SCALE=8
  endless_first_start
  wait_then_click 102 169 "$skip" intro "the shift's intro after the tutorial is skipped"
  wait_then_click 400 402 intro "not intro" "the endless shift"
  wait_until "$hud" "the HUD of shift 1"
  keep endless_start
  # Nobody seated: the parties walk out until the hearts are gone.
  # (the log first: the intro's panel sliding away passes for the board)
  E2E_TIMEOUT=600 wait_until "log ^level over" "the shift's end"
  wait_until board "the board at the shift's end"
  sleep 3  # (the board's count)
  keep endless_end
  quit_game
  unset CORVELLATRIP_TIME_SCALE
fi

# ---- the same first shift with its tutorial followed
# The endless tutorial plays on the first career level's floor: table 1 of
# the tutorial is the red one on the right, table 0 the blue one on the left.
t0=(320 345)
t1=(565 345)
wheel=(302 62)
plate1=(372 150)
plate2=(444 150)
cart=(665 185)
upgrade_button=(650 560)
offer=(200 178)            # the upgrade screen's first offer
continue_button=(578 439)  # and its continue
reached() { grep -qE "^tutorial: ($1|done)\$" "$log"; }
past_upgrade_tip() { [[ $(grep -E "^tutorial: " "$log" | tail -n 1) != "tutorial: tutorial_upgradebutton" ]]; }
tips=0
# The tip on show now, kept once under its order and key.
keep_tip() {
  local key
  key=$(grep -E "^tutorial: " "$log" | tail -n 1 | cut -d' ' -f2)
  tips=$((tips + 1))
  keep "$(printf 'endless_tutorial_%02d_%s' "$tips" "$key")"
}
teach() {  # INPUT STATE...: the input, again until the state holds
  local input=$1
  shift
  wait_then_do "$input" "not $*" "$*" "the tutorial: $*"
  sleep 0.5  # (the tip's box drawn)
  keep_tip
}
if [[ " $parts " == *" tutorial "* ]]; then
  export CORVELLATRIP_TIME_SCALE=4
  endless_first_start
  wait_until "log tutorial: tutorial_0\$" "the first tip"
  keep_tip
  teach "drag_to ${t1[*]}" reached tutorial_2
  teach "click ${t1[*]}" reached tutorial_4
  teach "click ${wheel[*]}" reached tutorial_5
  teach "click ${plate1[*]}" reached tutorial_7
  teach "click ${t1[*]}" reached tutorial_8
  teach "click ${t1[*]}" reached tutorial_upgradebutton
  # The first check reaches the tutorial's goal: the upgrade button shows
  # where the tip points, and opens the upgrade screen with its offer.
  sleep 1  # (the check's coins counted up to the goal)
  keep endless_tutorial_upgrade_button
  teach "click ${upgrade_button[*]}" reached tutorial_10a
  keep endless_tutorial_upgrade_screen
  clicks "${offer[@]}" "${continue_button[@]}"
  # The rest of the tutorial as on the career's first level (table 0 here
  # is the career's table 1), then its two tips of its own.
  teach "click ${t1[*]}" reached tutorial_12
  teach "click ${cart[*]}" reached "waiting|tutorial_14"
  wait_until "reached tutorial_14" "the tip on the next party"
  teach "drag_to ${t0[*]}" reached tutorial_14_a
  teach "drag_to ${t1[*]}" reached "tutorial_15w|tutorial_15"
  wait_until "reached tutorial_15" "the chain's first order"
  teach "click ${t0[*]}" reached "tutorial_16w|tutorial_16"
  teach "click ${t1[*]}" reached tutorial_16a
  teach "click ${wheel[*]}" reached tutorial_17
  teach "clicks ${plate1[*]} ${plate2[*]}" reached tutorial_19
  teach "clicks ${t0[*]} ${t1[*]}" reached tutorial_20
  teach "clicks ${t0[*]} ${t1[*]}" reached "tutorial_21w|tutorial_22"
  teach "clicks ${t0[*]} ${t1[*]} ${cart[*]}" reached tutorial_endless_lives
  wait_until "reached tutorial_endless_end" "the tutorial's last tip"
  keep_tip
  # Its end starts the first real shift: its intro, then shift 1 at 0.
  wait_until intro "the first shift's intro"
  keep endless_tutorial_shift_intro
  wait_then_click 400 402 intro "not intro" "the first shift"
  wait_until "$hud" "the HUD of shift 1"
  keep endless_tutorial_shift
  E2E_TIMEOUT=900 wait_until "log ^level over" "the shift's end"
  wait_until board "the board at the shift's end"
  sleep 3  # (the board's count)
  keep endless_tutorial_end
  quit_game
fi
