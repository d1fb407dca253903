#!/usr/bin/env bash
# The screens a player reaches from the main menu, played as a person would
# under an X display, with a screenshot of every step kept (each must be
# neither blank nor the step before it):
#  1. a first start: the splash, the name entry, the main menu, the credits
#     and back; an endless shift chosen on the map with its difficulty, the
#     tutorial skipped, a party seated and its order taken until the shift's
#     goal shows the upgrade notice, the upgrade screen's table bought, the
#     next shift with its new tables, the pause screen's Leave, the map,
#     the menu;
#  2. a player prepared at the cruise's last level: its win, the next
#     restaurant's comic, the notice of what opened, the wardrobe's tip and
#     the wardrobe, the best scores with the career's score and back, the
#     extra levels with the cruise's new one played to its level over, a
#     level from the player's own folder played to its level over.
# Each run's log must name no missing file ("not found"), no missing label
# and no unknown customer type.
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

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

game=$game_binary
source "$(dirname "$(readlink -f "$0")")/e2e_lib.sh"

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

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
band="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
wall="^24[0-9] 21[0-9] 17[0-9]$"

click() {
  point "$1" "$2"
  xdotool click 1
  sleep 0.4
}
previous=
# Keeps the step's screenshot: not blank, and not the step before it.
keep() {
  shot "$artefacts/$1.png"
  local n
  n=$(colours "$artefacts/$1.png")
  [[ $n -gt 50 ]] || fail "$1 has only $n colours"
  if [[ -n "$previous" ]]; then
    local differ
    differ=$(compare -metric AE "$artefacts/$previous.png" "$artefacts/$1.png" null: 2>&1 || true)
    [[ ${differ%%.*} -gt 500 ]] || fail "$1 looks like $previous ($differ pixels differ)"
  fi
  previous=$1
}
# Clicks (x, y) until the picture at (px, py) matches, for inputs the game
# may take only once it is ready (a page turning, a party deciding).
click_until() {
  for _ in $(seq "${7:-30}"); do
    shot "$work/now.png"
    pixel "$work/now.png" "$3" "$4" | grep -qE "$5" && return 0
    click "$1" "$2"
    sleep 0.6
  done
  fail "pixel ($3, $4) is $(pixel "$work/now.png" "$3" "$4"), not $5: $6"
}
# Drags the head of the line onto the table whose middle is at (320, y)
# (345: the left table of our own floor, with red chairs).
seat_first_party() {
  local y=${1:-345}
  point 60 500
  xdotool mousedown 1
  for x in 100 160 220 280 320; do point "$x" "$y"; done
  xdotool mouseup 1
  sleep 0.5
}
# "Let's play" shows once the intro's panel has slid in; it slides away.
lets_play() {
  for _ in $(seq 40); do
    shot "$work/now.png"
    pixel "$work/now.png" 180 150 | grep -qE "$band" || return 0
    click 400 402
    sleep 0.6
  done
  fail "Let's play did not start the shift"
}
# A level from its intro to its level over: the impatient guest is seated,
# takes the chairs' bonus and leaves.
play_hasty_level() {
  wait_pixel 180 150 "$band" "the intro's title band ($1)"
  keep "$1_intro"
  lets_play
  # The guest arrives a second into the shift: the drag is tried again
  # until the level-over board shows.
  local seated=
  for _ in $(seq 8); do
    seat_first_party
    [[ -n "$seated" ]] || { keep "$1_seated"; seated=1; }
    for _ in $(seq 16); do
      shot "$work/now.png"
      pixel "$work/now.png" 180 90 | grep -qE "$band" && break 2
      sleep 0.5
    done
  done
  wait_pixel 180 90 "$band" "the level-over board's title band ($1)"
  sleep 1
  keep "$1_levelover"
}
check_log() {
  grep -q "not found" "$log" && fail "the log names something not found: $(grep "not found" "$log" | head -3)"
  grep -q "Missing string" "$log" && fail "the log names a missing label: $(grep "Missing string" "$log" | head -3)"
  grep -q "is not defined" "$log" && fail "the log names an unknown type: $(grep "is not defined" "$log" | head -3)"
  return 0
}

# ---- 1. a first start, the credits, an endless shift with its upgrade
start
point 400 300
xdotool key alt+Return
sleep 0.5
for _ in $(seq 50); do
  shot "$work/now.png"
  [[ $(colours "$work/now.png") -gt 50 ]] && break
  sleep 0.2
done
keep splash
pass_splash 250 160 "$accent" "the name entry's title band"
keep entername
type_name "Ada"
xdotool key Return
wait_pixel 290 485 "$accent" "the main menu's Quit button"
keep mainmenu

click 566 419
wait_pixel 40 100 "^2[45][0-9] 2[34][0-9] 2[12][0-9]$" "the credits' paper"
sleep 1
keep credits
click 400 563
wait_pixel 290 485 "$accent" "the main menu after the credits"

click 566 299
wait_pixel 20 40 "$accent" "the map's Back button (endless)"
sleep 0.5
keep endless_map
click_until 150 180 250 165 "$accent" "the difficulty's title band"
keep difficulty
click 400 260
wait_pixel 180 150 "$band" "the intro's title band (the endless tutorial)"
keep endless_tutorial_intro
lets_play
sleep 1
click_until 702 89 180 150 "$band" "the endless shift's intro after the tutorial is skipped" 20
keep endless_intro
lets_play
# The first party is seated at the shift's first table (upper left), its
# order taken there and handed to the order wheel beside the kitchen's
# opening, each tried again until the goal shows the upgrade notice.
kept=
for _ in $(seq 30); do
  shot "$work/now.png"
  pixel "$work/now.png" 625 570 | grep -qE "$accent" && break
  seat_first_party 272
  [[ -n "$kept" ]] || { keep endless_seated; kept=1; }
  click 320 268
  sleep 1.5
  click 302 62
  sleep 1.5
done
wait_pixel 625 570 "$accent" "the upgrade notice after the shift's goal"
keep endless_goal
click 704 569
wait_pixel 20 20 "$wall" "the upgrade screen's wall"
sleep 0.5
keep upgrade_offers
click 200 178
keep upgrade_chosen
click_until 578 439 5 37 "^2[45][0-9] 2[34][0-9] 2[12][0-9]$" "the game's display after the upgrade" 10
grep -q "endless upgrade: table" "$log" || fail "the table bought was not added"
sleep 1
keep endless_next_shift
xdotool key p
wait_pixel 200 165 "$band" "the pause screen's title band"
keep pause
click 504 408
wait_pixel 20 40 "$accent" "the map's Back button after leaving the shift"
click 104 39
wait_pixel 290 485 "$accent" "the main menu after endless"
click 366 479
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
start
point 400 300
xdotool key alt+Return
sleep 0.5
pass_splash 290 485 "$accent" "the main menu of the prepared player"
keep menu_prepared
click 366 299
wait_pixel 640 576 "$accent" "the map's Play button"
sleep 0.5
keep map_last_level
click 696 569
play_hasty_level last_level
click_until 400 485 740 570 "$accent" "the comic's arrow after Continue"
sleep 0.5
keep comic
click_until 760 567 330 420 "$accent" "the notice's OK after the comic's pages" 15
sleep 0.5
keep unlock_notice
click 400 420
wait_pixel 330 408 "$accent" "the wardrobe's tip"
keep closet_tip
click 400 408
wait_pixel 540 503 "$accent" "the wardrobe's Done button"
sleep 0.5
keep wardrobe
click 612 503
wait_pixel 290 485 "$accent" "the main menu after the wardrobe"
keep menu_after_restaurant

click 366 359
wait_pixel 160 30 "$accent" "the best scores' title band"
sleep 0.5
keep hiscore
# The career's score has a row: ink in the first row's name.
ink=$(convert "$artefacts/hiscore.png" -crop 200x30+124+152 +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
  -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:)
[[ $ink -gt 40 ]] || fail "the best scores show no row ($ink ink pixels)"
click 667 561
wait_pixel 290 485 "$accent" "the main menu after the best scores"

click 366 299
wait_pixel 640 576 "$accent" "the map's Play button (again)"
click 502 569
wait_pixel 656 104 "$accent" "the extra levels' first Play button"
sleep 0.5
keep extra_levels
click 676 217
play_hasty_level extra_level
wait_pixel 430 485 "$accent" "the level over's Leave button"
click 504 485
wait_pixel 656 104 "$accent" "the extra levels after the extra level"
click 676 423
play_hasty_level downloaded_level
wait_pixel 430 485 "$accent" "the level over's Leave button"
click 504 485
wait_pixel 656 104 "$accent" "the extra levels after the downloaded level"
click 400 561
wait_pixel 640 576 "$accent" "the map after the extra levels"
click 104 39
wait_pixel 290 485 "$accent" "the main menu at the end"
click 366 479
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
check_log
cp "$log" "$artefacts/prepared_player.log"
echo "flows e2e: ok ($(ls "$artefacts"/*.png | wc -l) screenshots)"
