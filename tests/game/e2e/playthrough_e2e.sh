#!/usr/bin/env bash
# The whole game as a player meets it, by mouse and keyboard on an X server
# of the given size with no window manager, a screenshot of every screen
# kept (each neither blank nor the screen before it):
#  1. a first start: the splash, the name entry, the main menu; the credits,
#     more games and Quessa's corner, each and back; Play: the opening
#     comic, the map, career level 1 with its tutorial, played by the input
#     each tip teaches (the party dragged to its table, the order, the
#     ticket, the plate, the check, the dishes, two tables at once) to a
#     win; the level-over board, the map; an endless shift with its
#     tutorial skipped, its upgrade bought and the next shift with it on
#     the floor; the options; the window's close
#     button, its confirmation, exit code 0; prefs.dat holds the player and
#     level 1 won, hiscore.dat the score;
#  2. a second start resumes: no name asked, the best scores show the
#     career's score, the map opens level 2, whose floor is paused by the
#     key, resumed by the pause screen's button, paused again and left;
#  3. a player prepared at the cruise's last level: its win, the next
#     restaurant's comic, the notice of what opened, the wardrobe's tip and
#     the wardrobe with the new shoes put on, the extra levels with the
#     cruise's new one played to its level over, a level from the player's
#     own folder played to its level over, Quit.
# Each run's log must name no missing file or window ("not found"), no
# missing label, no unknown customer type and no child a screen's code
# looks up that its script was never promised to build.
#
# The game runs on a copy of its data (linked file by file) in which the
# levels of part 3 stand in for the shipped ones: one impatient guest who
# leaves (without a penalty) after being seated on chairs of his colour
# (the red table on the left of a floor of our own), and an endless shift
# whose guests never walk out, with a first goal of one order, so that a
# step takes seconds. Levels 1 and 2 are the shipped ones, level 1 with its
# tutorial's three parties alone and a goal they reach, so that no goal
# depends on how fast the clicks come on a busy machine. The game's clock
# runs PLAYTHROUGH_TIME_SCALE times as fast as real time (default 2).
# With "first-table" after the size, the run ends after the tutorial's first
# party is served: the window's close button, its confirmation, exit code 0
# (what another screen size changes is where the clicks land, which the
# first screens and the floor show).
# Usage: playthrough_e2e.sh <corvellatrip> <prepare_player> <qmcrypt> <qm_close_window>
#          <data folder> <artefacts folder> [WIDTHxHEIGHT [first-table]]
set -euo pipefail
game_binary=$1
prepare=$2
qmcrypt=$3
close_window=$4
data=$5
artefacts=$6
export E2E_SCREEN=${7:-800x600} E2E_OWN_DISPLAY=1
extent=${8:-whole}

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png "$artefacts/peak_memory.txt"
export CORVELLATRIP_TIME_SCALE=${PLAYTHROUGH_TIME_SCALE:-2}

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
# The endless shift's guests wait as long as it takes: its party is served
# by clicks whose pace a busy machine sets, and a walk-out there ends the
# shift before its goal.
patient = young.replace("<id>young</id>", "<id>patient</id>")
patient = re.sub("<(\\w+_MadMS)>\\d+</\\1>", lambda m: "<%s>3600000</%s>" % (m.group(1), m.group(1)), patient)
replace(config + "/customer.xml", customers.replace("</dataroot>", hasty + "\n" + patient + "\n</dataroot>"))

def level(number, layout, restaurant=None):
    where = "" if restaurant is None else "<restaurant>%d</restaurant>" % restaurant
    return ("<dataroot><career><level>%d</level>%s<goal>0</goal><expert>1000</expert><leavePenalty>0</leavePenalty>"
            "<layout>%s</layout><time1>1000</time1><groupType1>hasty</groupType1><groupDef1>r</groupDef1>"
            "</career></dataroot>\n" % (number, where, layout))

grid = "".join(["-" * 16] * 3 + ["." * 16] * 3 + ["...r4r....b4b..."] * 2 + ["." * 16] * 5)
with open(config + "/../layouts/flows.txt", "w") as out:
    out.write("".join(grid[i:i + 16] + "\n" for i in range(0, len(grid), 16)))
replace(config + "/career/10.xml", level(10, "flows"))
# Level 1 as shipped (its floor and tutorial), but only the three
# parties its tutorial teaches with, and a goal they reach alone: whether
# blind rounds keep up with later parties depends on the machine's load
# (and waiting for them made most of the run's time); the floor bots are
# the ones that judge the shipped level's balance.
first = open(config + "/career/1.xml").read()
first = re.sub("<goal>\\d+</goal>", "<goal>1000</goal>", first)
first = re.sub("<leavePenalty>\\d+</leavePenalty>", "<leavePenalty>0</leavePenalty>", first)
first = re.sub("\\s*<(time|groupType|groupDef)([4-9]|\\d\\d)>[^<]*</\\1\\2>", "", first)
replace(config + "/career/1.xml", first)
replace(config + "/levels/harbour.xml", level(1, grid, 0))
endless = re.sub("<goal1>\\d+</goal1>", "<goal1>50</goal1>", open(config + "/endless.xml").read())
endless = re.sub("<(group\\d+_\\w)>\\w+</\\1>", lambda m: "<%s>patient</%s>" % (m.group(1), m.group(1)), endless)
replace(config + "/endless.xml", endless)
with open(sys.argv[2], "w") as out:
    out.write(level(1, grid, 1).replace("</career>", "<description>A quick lunch on the train.</description></career>"))
PY
export CORVELLATRIP_DATA=$gamedata

# ---- the screens' states
wall="^24[0-9] 21[0-9] 17[0-9]$"
sky="^3[0-9] 5[0-9] 9[0-9]$"
credits="pixel 40 100 $paper"                  # the credits' paper...
credits_back="pixel 340 562 $accent"           # ...and their Back button
endless_map="pixel 20 40 $accent"              # the map's Back button
difficulty="pixel 250 165 $accent"             # the difficulty's title band
skip="pixel 22 164 $accent"                      # "Skip tutorial" (left of its label)
goal="pixel 625 570 $accent"                   # the upgrade notice on the floor
upgrades="pixel 20 20 $wall"                   # the upgrade screen's wall
chosen="pixel 160 128 ^[89][0-9] 1[56][0-9] 1[01][0-9]$"  # the chosen offer's tick
hud="pixel 5 37 $paper"                        # the floor's display
new_table="pixel 319 480 ^1[67][0-9] 10[0-9] 5[0-9]$"    # the table bought (its teak top)
paused="pixel 200 165 $band"                   # the pause screen's title band
leave="pixel 430 485 $accent"                  # the level-over board's Leave, once counted
comic="pixel 740 570 $accent"                  # a comic's arrow
notice="pixel 330 420 $accent"                 # the unlock notice's OK
tip="pixel 330 408 $accent"                    # the wardrobe tip's OK
hiscore="pixel 160 30 $accent"                 # the best scores' title band
extra="pixel 656 104 ^185 177 168$"           # the extra levels' first pack, locked: its padlock's grey button
options="pixel 250 147 $accent"                # the options' title band
dialog="pixel 200 165 $accent"                 # the close confirmation's title band
menu_behind="pixel 200 165 $sky"               # the menu's sky where that dialog stands

# More games and Quessa's corner: a Back button under a sheet of paper,
# with the web site's button on the first only.
more_games() { holds "pixel 330 540 $accent" && holds "pixel 330 445 $accent"; }
corner() { holds "pixel 330 540 $accent" && holds "pixel 330 445 $paper"; }
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

# Keeps the step's screenshot: not the step before it (step), and not blank.
keep() {
  step "$1"
  local n
  n=$(colours "$artefacts/$1.png")
  [[ $n -gt 50 ]] || fail "$1 has only $n colours"
}
check_log() {
  grep -q "not found" "$log" && fail "the log names something not found: $(grep "not found" "$log" | head -3)"
  grep -q "Missing string" "$log" && fail "the log names a missing label: $(grep "Missing string" "$log" | head -3)"
  grep -q "is not defined" "$log" && fail "the log names an unknown type: $(grep "is not defined" "$log" | head -3)"
  grep -q "is not in its statement" "$log" && fail "the log names an unknown child: $(grep "is not in its statement" "$log" | head -3)"
  own_leaks
}
# Under the sanitizers (LSAN_OPTIONS=exitcode=0) the leak report at exit is
# read here: a block the system's libraries keep (the desktop bus, the X
# connection, the GL driver, unloaded by then) is theirs; a stack through
# the game's own code is a leak of ours. The allocation itself is no sign:
# Clang links the sanitizer's malloc and operator new into the executable.
own_leaks() {
  grep -q "ERROR: LeakSanitizer" "$log" || return 0
  # Without a symbolizer no frame is named, and the allocator cannot be told
  # from the game's own code.
  if grep -q "Failed to use and restart external symbolizer" "$log"; then
    fail "the leak report names no function: the sanitizers' llvm-symbolizer is missing (tools/install-deps test)"
  fi
  local ours allocator=" in (__interceptor_)?(malloc|calloc|realloc|reallocarray|memalign|posix_memalign|aligned_alloc|valloc|pvalloc|strdup|strndup|operator new)"
  ours=$(sed -n '/ERROR: LeakSanitizer/,/^SUMMARY/p' "$log" | grep -E "corvellatrip\+|/(engine|game|online|lua)/" |
         grep -vE "$allocator" | head -5) || true
  [[ -z "$ours" ]] || fail "the game leaks: $ours"
  echo "leaks at exit, none through the game's code: $(grep "^SUMMARY: AddressSanitizer" "$log")"
}
# The game's peak resident memory so far (the kernel's high-water mark),
# noted in the artefacts for the run named.
note_peak_memory() {
  local peak
  peak=$(awk '/^VmHWM:/ { print int($2 / 1024) }' "/proc/$pid/status" 2>/dev/null) || return 0
  echo "peak memory, $1: $peak MB" | tee -a "$artefacts/peak_memory.txt"
}
# The program ended by its own hand with exit code 0; its log is kept.
ended_cleanly() {
  wait_exit "$1 did not end the program"
  [[ $status -eq 0 ]] || fail "exit code $status after $1"
  check_log
  cp "$log" "$artefacts/$2.log"
  : >"$log"
}

# ---- 1. a first start
start "$game_binary"
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
# (the corner's link lies in the welcome box, beside Change player)
wait_then_click 498 236 "$menu" corner "Quessa's corner"
keep corner
wait_then_click 400 535 corner "$menu" "the main menu after Quessa's corner"

# Play: the story's first comic, then the map on level 1.
wait_then_click 366 299 "$menu" "not $menu" "the opening comic"
keep opening_comic
page_to_map
keep map_level1
wait_then_click 696 569 "$map" intro "level 1's intro"
wait_until "log level set up: level 1\$" "level 1 set up"
keep level1_intro

# Level 1 and its tutorial. Each tip is followed by the input it teaches;
# the log names the tip on show ("tutorial: KEY"). A tip that waits for the
# floor (a party reading the menu, the cook) holds the next input back: an
# input the tutorial does not take yet is given again until it does.
t1=(320 345)      # the left table, blue chairs ("1" on its ticket)
t2=(565 345)      # the right table, red chairs ("2")
wheel=(302 62)    # the order wheel beside the kitchen's opening
plate1=(372 150)  # the pass's first plate...
plate2=(444 150)  # ...and its second
cart=(665 185)    # the dish cart
reached() { grep -qE "^tutorial: ($1|done)\$" "$log"; }
shown_again() { (($(grep -c "^tutorial: $1\$" "$log") >= 2)); }  # a tip shown a second time
teach() {  # INPUT STATE...: the input, again until the state holds
  local input=$1
  shift
  wait_then_do "$input" "not $*" "$*" "the tutorial: $*"
}
wait_then_click 400 410 intro "log tutorial: tutorial_0\$" "the first tip after Let's play"
keep tutorial_first_party
teach "drag_to ${t2[*]}" reached tutorial_2
keep tutorial_seated
teach "click ${t2[*]}" reached tutorial_4
teach "click ${wheel[*]}" reached tutorial_5
teach "click ${plate1[*]}" reached tutorial_7
teach "click ${t2[*]}" reached tutorial_8
keep tutorial_served
if [[ $extent == first-table ]]; then
  wait_then_do "$close_window $window" "not $dialog" "$dialog" "the close confirmation over the floor"
  keep floor_close_confirmation
  wait_then_click 296 405 "$dialog" ended "the end after yes"
  ended_cleanly "the close button's yes" first_table
  echo "play-through at $E2E_SCREEN to the first table served: ok ($(ls "$artefacts"/*.png | wc -l) screenshots)"
  exit 0
fi
teach "click ${t2[*]}" reached tutorial_10
teach "click ${t2[*]}" reached tutorial_12
# (the tip that waits for the next party is skipped when the party came
# before the dishes reached the cart, as it may on a slow machine)
teach "click ${cart[*]}" reached "waiting|tutorial_14"
# Two parties more, then both tables at once.
wait_until "reached tutorial_14" "the tip on the next party"
keep tutorial_next_party
teach "drag_to ${t1[*]}" reached tutorial_14_a
teach "drag_to ${t2[*]}" reached "tutorial_15w|tutorial_15"
keep tutorial_two_tables
# The chain: both orders in a row (a table still reading its menu takes
# no click yet), then one trip to the wheel with both tickets.
wait_until "reached tutorial_15" "the chain's first order"
keep tutorial_chain
teach "click ${t1[*]}" reached "tutorial_16w|tutorial_16"
teach "click ${t2[*]}" reached tutorial_16a
keep tutorial_post_both
teach "click ${wheel[*]}" reached tutorial_17
teach "clicks ${plate1[*]} ${plate2[*]}" reached tutorial_19
teach "clicks ${t1[*]} ${t2[*]}" reached tutorial_20
keep tutorial_both_served
teach "clicks ${t1[*]} ${t2[*]}" reached "tutorial_21w|tutorial_22"
# Both tables cleared, the dishes in hand: the tip's arrow points at the cart alone.
teach "clicks ${t1[*]} ${t2[*]}" shown_again tutorial_12
keep tutorial_dishes_to_cart
teach "click ${cart[*]}" reached done
# The tutorial's parties were the level's last: it ends as they leave.
wait_until "log level over" "the end of level 1"
grep -q "^level over: won" "$log" || fail "level 1 was not won: $(grep "^level over" "$log")"
wait_until board "the level-over board"
wait_until "$leave" "the board's Leave after the count"
keep level1_over
wait_then_click 504 485 "$leave" "$map" "the map after level 1"
keep map_level2

# An endless shift: its tutorial skipped, a party's order until the shift's
# goal offers an upgrade, a table bought, the next shift with it.
wait_then_click 104 39 "$map" "$menu" "the main menu after the map"
wait_then_click 566 299 "$menu" "$endless_map" "the map in endless mode"
keep endless_map
wait_then_click 150 180 "$endless_map" "$difficulty" "the difficulty of the ship's shift"
keep difficulty
wait_then_click 400 260 "$difficulty" intro "the endless tutorial's intro"
keep endless_tutorial_intro
wait_then_click 400 402 intro "$skip" "the floor with its tutorial"
wait_then_click 102 169 "$skip" intro "the endless shift's intro after the tutorial is skipped"
keep endless_intro
wait_then_click 400 402 intro "not intro" "the endless shift"
# The shift's first party seated at its first table (upper left), its order
# taken there and handed to the order wheel: tried again until the goal
# shows the upgrade notice.
serve_endless_party() {
  drag_to 320 272
  sleep 1  # (her walk to the table)
  click 320 268
  sleep 1.5  # (the order taken, her walk to the wheel)
  click 302 62
}
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
keep endless_pause
wait_then_click 504 408 "$paused" "$endless_map" "the map after leaving the shift"
wait_then_click 104 39 "$endless_map" "$menu" "the main menu after endless"

# The options, and out with OK.
wait_then_click 566 359 "$menu" "$options" "the options"
keep options
wait_then_click 400 411 "$options" "$menu" "the main menu after the options"

# The window's close button asks; yes ends the game.
point 400 300
wait_then_do "$close_window $window" "$menu_behind" "$dialog" "the close confirmation"
keep close_confirmation
note_peak_memory "first start"
wait_then_click 296 408 "$dialog" ended "the end after yes"
ended_cleanly "the close button's yes" first_start

# What is kept: the player and level 1 won (level 2 open) in prefs.dat, the
# score in hiscore.dat (the second start's best scores show it).
players=$("$qmcrypt" prefs "$prefs") || fail "prefs.dat does not read"
grep -q 'name="Ada"' <<<"$players" || fail "prefs.dat has no player Ada"
grep -q 'levelsunlocked="2"' <<<"$players" || fail "prefs.dat does not open level 2: $(grep levelsunlocked <<<"$players")"
hiscores=$XDG_DATA_HOME/corvellatrip/hiscore.dat
[[ -s "$hiscores" ]] || fail "no hiscore.dat after level 1"
cp "$prefs" "$hiscores" "$artefacts/"

# ---- 2. a second start resumes
previous=
start "$game_binary"
pass_splash "$menu" "the main menu of the second start (no name asked)"
keep menu_again
[[ ! -e "$prefs.bad" && ! -e "$hiscores.bad" ]] || fail "a saved file could not be read back"
wait_then_click 366 359 "$menu" "$hiscore" "the best scores"
keep hiscore
# The career's score has a row: ink in the first row's name.
ink=$(convert "$artefacts/hiscore.png" -crop 200x30+124+152 +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
  -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:)
[[ $ink -gt 40 ]] || fail "the best scores show no row ($ink ink pixels)"
wait_then_click 667 561 "$hiscore" "$menu" "the main menu after the best scores"
wait_then_click 366 299 "$menu" "$map" "the map, resumed without the comic"
keep map_resumed
# Level 2, the one after the won level, is chosen on the map. Level 1's
# marker beside it shows its best score in the corner when chosen; level 2
# chosen again shows its own (none yet).
shot "$work/map_level2_chosen.png"
wait_then_click 95 305 "$map" "changed $work/map_level2_chosen.png 100 220x70+565+10" "level 1 chosen on the map"
shot "$work/map_level1_chosen.png"
wait_then_click 122 287 "$map" "changed $work/map_level1_chosen.png 100 220x70+565+10" "level 2 chosen on the map"
keep map_level2_chosen
wait_then_click 696 569 "$map" intro "level 2's intro"
wait_until "log level set up: level 2\$" "level 2 set up (the progress kept)"
keep level2_intro
wait_then_click 400 410 intro "$hud" "level 2's floor"
wait_until "not intro" "the intro gone"
keep level2_floor
wait_then_key p "$hud" "$paused" "the pause screen"
keep level2_paused
wait_then_click 296 402 "$paused" "not $paused" "the floor after Resume"
keep level2_resumed
wait_then_key p "$hud" "$paused" "the pause screen again"
wait_then_click 504 408 "$paused" "$map" "the map after leaving level 2"
wait_then_click 104 39 "$map" "$menu" "the main menu"
note_peak_memory "second start"
wait_then_click 366 479 "$menu" ended "the end after Quit"
ended_cleanly "Quit" second_start

# ---- 3. the cruise's last level and what follows; extra and downloaded levels
rm -rf "$XDG_DATA_HOME"
"$prepare" "$gamedata" Ada 9 >/dev/null 2>&1 || fail "the player could not be prepared"
mkdir -p "$XDG_DATA_HOME/corvellatrip/levels"
cp "$work/downloaded.xml" "$XDG_DATA_HOME/corvellatrip/levels/Quick_lunch.xml"
previous=
start "$game_binary"
pass_splash "$menu" "the main menu of the prepared player"
keep menu_prepared
wait_then_click 366 299 "$menu" "$map" "the map"
keep map_last_level
wait_then_click 696 569 "$map" intro "the last level's intro"
# A level from its intro to its level over: the impatient guest is seated,
# takes the chairs' bonus and leaves. The guest arrives a second into the
# shift: the drag is tried again until the level-over board shows.
play_hasty_level() {
  wait_until intro "the intro ($1)"
  keep "$1_intro"
  wait_then_click 400 402 intro "not intro" "the shift after Let's play ($1)"
  wait_then_do "drag_to 320 345" "not board" board "the level-over board ($1)"
  keep "$1_levelover"
}
play_hasty_level last_level
wait_then_click 296 480 board "$comic" "the comic after Continue"
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

wait_then_click 366 299 "$menu" "$map" "the map again"
wait_then_click 502 569 "$map" "$extra" "the extra levels"
keep extra_levels
wait_then_click 676 217 "$extra" intro "the extra level's intro"
play_hasty_level extra_level
wait_then_click 504 485 "$leave" "$extra" "the extra levels after the extra level"
wait_then_click 676 423 "$extra" intro "the downloaded level's intro"
play_hasty_level downloaded_level
wait_then_click 504 485 "$leave" "$extra" "the extra levels after the downloaded level"
wait_then_click 400 561 "$extra" "$map" "the map after the extra levels"
wait_then_click 104 39 "$map" "$menu" "the main menu at the end"
note_peak_memory "prepared player"
wait_then_click 366 479 "$menu" ended "the end after Quit"
ended_cleanly "Quit" prepared_player
echo "play-through at $E2E_SCREEN: ok ($(ls "$artefacts"/*.png | wc -l) screenshots)"
