#!/usr/bin/env bash
# The screens a player reaches from the main menu, played as a person would
# under an X display, with a screenshot of every step kept (each must be
# neither blank nor the step before it):
#  1. a first start: the splash, the name entry, the main menu, the credits,
#     more games and Quessa's corner, each and back; an endless shift
#     chosen on the map with its difficulty, the tutorial skipped, a party
#     seated and its order taken until the shift's goal shows the upgrade
#     notice, the upgrade screen's table bought, the next shift with its new
#     table, the pause screen's Leave, the map, the menu;
#  2. a player prepared at the cruise's last level: its win, the next
#     restaurant's comic, the notice of what opened, the wardrobe's tip and
#     the wardrobe with the new shoes put on, the best scores with the career's score and back, the
#     extra levels with the cruise's new one played to its level over, a
#     level from the player's own folder played to its level over.
# Each run's log must name no missing file or window ("not found"), no
# missing label, no unknown customer type and no child a screen's code
# looks up that its script was never promised to build.
#
# The game runs on a copy of its data (linked file by file) in which the
# levels played stand in for the shipped ones: one impatient guest who
# leaves (without a penalty) after being seated on chairs of his colour
# (the red table on the left of a floor of our own),
# and an endless first goal of one order, so that a step takes seconds.
# Usage: flows_e2e.sh <corvellatrip> <prepare_player> <data folder> <artefacts folder>
set -euo pipefail
game_binary=$1
prepare=$2
data=$3
artefacts=$4

source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

# ---- the data copy
gamedata=$work/gamedata
cp -rs "$(readlink -f "$data")/." "$gamedata"
python3 - "$gamedata/assets/config" "$work/downloaded.xml" <<'PY'
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

def level(number, layout, restaurant=None):
    where = "" if restaurant is None else "<restaurant>%d</restaurant>" % restaurant
    return ("<dataroot><career><level>%d</level>%s<goal>0</goal><expert>1000</expert><leavePenalty>0</leavePenalty>"
            "<layout>%s</layout><time1>1000</time1><groupType1>hasty</groupType1><groupDef1>r</groupDef1>"
            "</career></dataroot>\n" % (number, where, layout))

grid = "".join(["-" * 16] * 3 + ["." * 16] * 3 + ["...r4r....b4b..."] * 2 + ["." * 16] * 5)
with open(config + "/../layouts/flows.txt", "w") as out:
    out.write("".join(grid[i:i + 16] + "\n" for i in range(0, len(grid), 16)))
replace(config + "/career/10.xml", level(10, "flows"))
replace(config + "/levels/harbour.xml", level(1, grid, 0))
endless = re.sub("<goal1>\\d+</goal1>", "<goal1>50</goal1>", open(config + "/endless.xml").read())
replace(config + "/endless.xml", endless)
with open(sys.argv[2], "w") as out:
    out.write(level(1, grid, 1).replace("</career>", "<description>A quick lunch on the train.</description></career>"))
PY
export CORVELLATRIP_DATA=$gamedata

band="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
paper="^2[45][0-9] 2[34][0-9] 2[12][0-9]$"
wall="^24[0-9] 21[0-9] 17[0-9]$"
credits="pixel 40 100 $paper"                  # the credits' paper...
credits_back="pixel 340 562 $accent"           # ...and their Back button
endless_map="pixel 20 40 $accent"              # the map's Back button
difficulty="pixel 250 165 $accent"             # the difficulty's title band
intro=intro                                    # a level's intro (below)
skip="pixel 622 84 $accent"                    # "Skip tutorial" (left of its label)
goal="pixel 625 570 $accent"                   # the upgrade notice on the floor
upgrades="pixel 20 20 $wall"                   # the upgrade screen's wall
chosen="pixel 160 128 ^[89][0-9] 1[56][0-9] 1[01][0-9]$"  # the chosen offer's tick
hud="pixel 5 37 $paper"                        # the floor's display
new_table="pixel 319 480 ^2[34][0-9] 24[0-9] 24[0-9]$"    # the table bought
paused="pixel 200 165 $band"                   # the pause screen's title band
board=board                                    # the level-over board (below)
leave="pixel 430 485 $accent"                  # its Leave, once counted
comic="pixel 740 570 $accent"                  # a comic's arrow
notice="pixel 330 420 $accent"                 # the unlock notice's OK
tip="pixel 330 408 $accent"                    # the wardrobe tip's OK
hiscore="pixel 160 30 $accent"                 # the best scores' title band
extra="pixel 656 104 $accent"                  # the extra levels' first button

# More games and Quessa's corner: a Back button under a sheet of paper,
# with the web site's button on the first only.
more_games() { holds "pixel 330 540 $accent" && holds "pixel 330 445 $accent"; }
corner() { holds "pixel 330 540 $accent" && holds "pixel 330 445 $paper"; }
# A level's intro: its title band and "Let's play" (the difficulty's
# dialog has the same band, and its buttons higher).
intro() { holds "pixel 180 150 $band" && holds "pixel 400 412 $accent"; }
# The level-over board: its title band over its paper (the floor's "Goal
# reached!" banner has the same band, over the floor).
board() { holds "pixel 180 90 $band" && holds "pixel 160 250 $paper"; }
# The wardrobe: its Done button, and no tip over it.
wardrobe() { holds "pixel 540 503 $accent" && ! holds "$tip"; }
# A picture at all: the splash movie's first frames.
pictured() {
  shot "$work/now.png"
  [[ $(colours "$work/now.png") -gt 50 ]]
}

previous=
# Keeps the step's screenshot: not blank, and not the step before it.
keep() {
  shot "$artefacts/$1.png"
  local n
  n=$(colours "$artefacts/$1.png")
  [[ $n -gt 50 ]] || fail "$1 has only $n colours"
  if [[ -n "$previous" ]]; then
    n=$(differ "$artefacts/$previous.png" "$artefacts/$1.png")
    [[ $n -gt 500 ]] || fail "$1 looks like $previous ($n pixels differ)"
  fi
  previous=$1
}
# Drags the head of the line onto the table whose middle is at (320, y)
# (345: the left table of our own floor, with red chairs).
seat_first_party() {
  local y=${1:-345}
  point 60 500
  xdotool mousedown 1
  for x in 100 160 220 280 320; do
    point "$x" "$y"
    sleep 0.1  # (a drag the game sees step by step)
  done
  xdotool mouseup 1
}
# The endless shift's first party seated at the shift's first table (upper
# left), its order taken there and handed to the order wheel beside the
# kitchen's opening: a person's clicks, each waiting for her to walk.
serve_endless_party() {
  seat_first_party 272
  sleep 1  # (her walk to the table)
  click 320 268
  sleep 1.5  # (the order taken, her walk to the wheel)
  click 302 62
}
# A level from its intro to its level over: the impatient guest is seated,
# takes the chairs' bonus and leaves. The guest arrives a second into the
# shift: the drag is tried again until the level-over board shows.
play_hasty_level() {
  wait_until "$intro" "the intro ($1)"
  keep "$1_intro"
  wait_then_click 400 402 "$intro" "not $intro" "the shift after Let's play ($1)"
  wait_then_do seat_first_party "not $board" "$board" "the level-over board ($1)"
  keep "$1_levelover"
}
check_log() {
  grep -q "not found" "$log" && fail "the log names something not found: $(grep "not found" "$log" | head -3)"
  grep -q "Missing string" "$log" && fail "the log names a missing label: $(grep "Missing string" "$log" | head -3)"
  grep -q "is not defined" "$log" && fail "the log names an unknown type: $(grep "is not defined" "$log" | head -3)"
  grep -q "is not in its statement" "$log" && fail "the log names an unknown child: $(grep "is not in its statement" "$log" | head -3)"
  return 0
}

# ---- 1. a first start, the credits, an endless shift with its upgrade
start "$game_binary"
# Out of full screen, which an X server without a window manager cannot show.
xdotool key alt+Return
wait_until pictured "the splash movie"
keep splash
pass_splash "$name_entry" "the name entry"
keep entername
enter_name "Ada"
keep mainmenu

wait_then_click 566 419 "$menu" "$credits_back" "the credits"
wait_until "$credits" "the credits' paper"
keep credits
wait_then_click 400 563 "$credits_back" "$menu" "the main menu after the credits"
wait_then_click 566 479 "$menu" more_games "more games"
keep more_games
wait_then_click 400 540 more_games "$menu" "the main menu after more games"
# (the corner's link lies in the menu's upsell strip)
wait_then_click 465 577 "$menu" corner "Quessa's corner"
keep corner
wait_then_click 400 535 corner "$menu" "the main menu after Quessa's corner"

wait_then_click 566 299 "$menu" "$endless_map" "the map in endless mode"
keep endless_map
wait_then_click 150 180 "$endless_map" "$difficulty" "the difficulty of the ship's shift"
keep difficulty
wait_then_click 400 260 "$difficulty" "$intro" "the endless tutorial's intro"
keep endless_tutorial_intro
wait_then_click 400 402 "$intro" "$skip" "the floor with its tutorial"
wait_then_click 702 89 "$skip" "$intro" "the endless shift's intro after the tutorial is skipped"
keep endless_intro
wait_then_click 400 402 "$intro" "not $intro" "the endless shift"
# The party's order, tried again until the shift's goal shows its upgrade
# notice.
E2E_RETRY=5 wait_then_do serve_endless_party "not $goal" "$goal" "the upgrade notice after the shift's goal"
keep endless_goal
wait_then_click 704 569 "$goal" "$upgrades" "the upgrade screen"
keep upgrade_offers
wait_then_click 200 178 "$upgrades" "$chosen" "the new table chosen"
keep upgrade_chosen
wait_then_click 578 439 "$chosen" "$hud" "the game's display after the upgrade"
wait_until "log endless upgrade: table" "the table bought added to the floor"
wait_until "$new_table" "the new table on the floor"
keep endless_next_shift
wait_then_key p "$hud" "$paused" "the pause screen"
keep pause
wait_then_click 504 408 "$paused" "$endless_map" "the map after leaving the shift"
wait_then_click 104 39 "$endless_map" "$menu" "the main menu after endless"
wait_then_click 366 479 "$menu" ended "the end after Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
check_log
cp "$log" "$artefacts/first_start.log"

# ---- 2. the cruise's last level and what follows; extra and downloaded levels
: >"$log"
rm -rf "$XDG_DATA_HOME"
"$prepare" "$gamedata" Ada 9 >/dev/null 2>&1 || fail "the player could not be prepared"
mkdir -p "$XDG_DATA_HOME/corvellatrip/levels"
cp "$work/downloaded.xml" "$XDG_DATA_HOME/corvellatrip/levels/Quick_lunch.xml"
previous=
start "$game_binary"
xdotool key alt+Return
pass_splash "$menu" "the main menu of the prepared player"
keep menu_prepared
wait_then_click 366 299 "$menu" "$map" "the map"
keep map_last_level
wait_then_click 696 569 "$map" "$intro" "the last level's intro"
play_hasty_level last_level
wait_then_click 296 480 "$board" "$comic" "the comic after Continue"
keep comic
E2E_RETRY=1 wait_then_click 760 567 "not $notice" "$notice" "the unlock notice after the comic's pages"
keep unlock_notice
wait_then_click 400 420 "$notice" "$tip" "the wardrobe's tip"
keep closet_tip
wait_then_click 400 408 "$tip" wardrobe "the wardrobe"
keep wardrobe
# The shoes' right arrow puts the new boots on: the mirror's feet change.
# (one click: a second would turn the two pairs back)
shot "$work/closet_before.png"
click 247 502
wait_until "changed $work/closet_before.png 150 140x60+330+520" "the new shoes in the mirror"
keep wardrobe_shoes
wait_then_click 612 503 wardrobe "$menu" "the main menu after the wardrobe"
keep menu_after_restaurant

wait_then_click 366 359 "$menu" "$hiscore" "the best scores"
keep hiscore
# The career's score has a row: ink in the first row's name.
ink=$(convert "$artefacts/hiscore.png" -crop 200x30+124+152 +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
  -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:)
[[ $ink -gt 40 ]] || fail "the best scores show no row ($ink ink pixels)"
wait_then_click 667 561 "$hiscore" "$menu" "the main menu after the best scores"

wait_then_click 366 299 "$menu" "$map" "the map again"
wait_then_click 502 569 "$map" "$extra" "the extra levels"
keep extra_levels
wait_then_click 676 217 "$extra" "$intro" "the extra level's intro"
play_hasty_level extra_level
wait_then_click 504 485 "$leave" "$extra" "the extra levels after the extra level"
wait_then_click 676 423 "$extra" "$intro" "the downloaded level's intro"
play_hasty_level downloaded_level
wait_then_click 504 485 "$leave" "$extra" "the extra levels after the downloaded level"
wait_then_click 400 561 "$extra" "$map" "the map after the extra levels"
wait_then_click 104 39 "$map" "$menu" "the main menu at the end"
wait_then_click 366 479 "$menu" ended "the end after Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
check_log
cp "$log" "$artefacts/prepared_player.log"
echo "flows e2e: ok ($(ls "$artefacts"/*.png | wc -l) screenshots)"
