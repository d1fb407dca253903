# The game's own steps every game e2e script shares, on top of the general
# helper (source tests/support/e2e.sh first, then this file):
#
#   pass_splash STATE [WHAT]   the splash movie clicked away until STATE
#   enter_name NAME            the name entry's field focused, NAME typed and
#                              shown, Return: the main menu
#   page_to_map                the opening comic paged through to the map
#   step NAME [N]              the window kept as $artefacts/NAME.png, which
#                              must differ from the last step's in over N
#                              pixels (default 500)
#   scored WHAT ACTION...      the action repeated until the HUD's score
#                              shows another number
#   clicks X Y [X Y...]        a person's clicks in a row
#   drag_to X Y                the head of the line dragged onto the table
#                              whose middle is at (X, Y)
#   options_data_copy DATA     a copy of the data whose options screen the
#                              script writes ($options, $options_original)
#   game_for_others GAME DATA  a copy of the game and its data that any user
#                              may read, for games started as another user;
#                              prints the copy's path
#   "${as_nobody[@]}" PROGRAM  PROGRAM started as the user nobody (as root),
#                              with a home of its own in $work
#   start_score_server DATA LIFETIME
#                              the loopback score server (hiscore_server.py)
#                              in $server, stopped with the test (and by
#                              itself after LIFETIME seconds), its address
#                              in DATA/hiscoreserver.txt; behave BEHAVIOUR,
#                              requests ACTION (how many the server had)
#
# and the states of the screens they pass: $accent (the buttons' and title
# bands' colour), $name_entry, $menu (the main menu's Quit button), $map (the
# map's Play button), confirmation (the close confirmation, by its title band
# and its "yes" button at $yes; a notice with one button in the middle has
# none there), $plain_notice (the OK box of the notice drawn without the
# game's data, at 400 408).

# options_data_copy DATA: a copy of the game's data folder (links to its
# files) for the game started later, whose options screen the script writes
# itself: $options is that file, $options_original the shipped one.
options_data_copy() {
  local data=$work/gamedata
  cp -rs "$(readlink -f "$1")/." "$data"
  options=$data/assets/scripts/options.lua
  options_original=$(readlink -f "$options")
  rm "$options"
  export CORVELLATRIP_DATA=$data
}

# game_for_others GAME DATA: the game and its data copied into $work/game
# (the data beside the program, where the game looks first), readable by
# every user, and the copy's path printed. Games started as another user
# run it: the checkout may lie in a folder only its owner may enter (a
# private home, a mktemp -d folder), where that user reads nothing.
game_for_others() {
  local copy=$work/game
  mkdir -p "$copy"
  cp "$1" "$copy/"
  cp -rL "$(readlink -f "$2")/." "$copy/data"
  chmod -R a+rX "$copy"
  chmod 755 "$work"
  echo "$copy/$(basename "$1")"
}

# The words that start a program as the user nobody, for games of another
# user than root's: what they may not use is root's.
as_nobody=(env HOME="$work/nobody" setpriv --reuid=65534 --regid=65534 --clear-groups)

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
name_entry="pixel 250 160 $accent"
menu="pixel 290 485 $accent"
map="pixel 640 576 $accent"
confirmation() { holds "pixel 200 165 $accent" && holds "pixel 230 400 $accent"; }
yes="296 408"
plain_notice="pixel 400 408 ^(6[0-9]|5[89]) (8[5-9]|9[0-3]) 1(3[6-9]|4[0-4])$"
band="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
paper="^2[45][0-9] 2[34][0-9] 2[12][0-9]$"

# The level intro, slid in whole: its title band, and "Let's play" with
# paper above and below it. The difficulty screen it follows has the same
# band and buttons in those rows, so the paper tells the two apart; the
# pixels lie left of the button's click point, where the drawn cursor never
# covers them after a click.
intro() {
  holds "pixel 180 150 $band" && holds "pixel 325 412 $accent" &&
    holds "pixel 325 375 $paper" && holds "pixel 325 440 $paper"
}

# The splash movie plays until a click or a key. The sky at the upper right
# is clicked (no later screen has anything to press there) while STATE does
# not hold yet; loading follows the movie and takes no clicks.
pass_splash() {
  E2E_RETRY=1 wait_then_click 700 150 "not $1" "$1" "${2:-$1} after the splash"
}

# A click meant for the splash may land on the name entry and take the
# field's focus away: the field is clicked before the name is typed.
enter_name() {
  wait_until "$name_entry" "the name entry"
  shot "$work/noname.png"
  click 400 287
  xdotool type --delay 60 "$1"
  wait_until "changed $work/noname.png 30 300x40+250+270" "the name typed"
  wait_then_key Return "$name_entry" "$menu" "the main menu after the name"
}

# A new career opens with the story's first comic: its right arrow turns
# the pages until the map's Play button shows. (Play on the menu is taken
# first, so no click of the arrow's lands on the menu.)
page_to_map() {
  E2E_RETRY=1 wait_then_click 760 567 "not $map" "$map" "the map after the opening comic"
}

previous=
# Keeps the step's screenshot and checks that it differs from the last one.
step() {
  shot "$artefacts/$1.png"
  if [[ -n "$previous" ]]; then
    local n
    n=$(differ "$artefacts/$previous.png" "$artefacts/$1.png")
    [[ $n -gt ${2:-500} ]] || fail "$1 looks like $previous ($n pixels differ)"
    echo "$1: $n pixels differ from $previous"
  fi
  previous=$1
}

# The floor's work is seen in the score: seating, taking an order, serving
# and the check each raise it. The action is repeated until the score shows
# another number: a party that is not ready yet, or a plate still cooking,
# lets a round of clicks pass without effect.
score_box=80x22+345+0
scored() {
  local what=$1
  shift
  shot "$work/score.png"
  wait_then_do "$*" "unchanged $work/score.png 10 $score_box" "changed $work/score.png 10 $score_box" "$what"
}

clicks() {  # X Y [X Y...]: a person's clicks in a row
  while (($# >= 2)); do
    click "$1" "$2"
    sleep 0.2
    shift 2
  done
}

# The pointer moves in steps the game sees.
drag_to() {
  local i
  point 60 540
  xdotool mousedown 1
  for i in 1 2 3 4 5 6; do
    point $((60 + ($1 - 60) * i / 6)) $((540 + ($2 - 540) * i / 6))
    sleep 0.05
  done
  sleep 0.1
  xdotool mouseup 1
}

start_score_server() {
  server=$work/server
  mkdir -p "$server"
  python3 "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/hiscore_server.py" "$server" "$2" &
  server_pid=$!
  trap 'kill "$server_pid" 2>/dev/null || true; _e2e_cleanup' EXIT
  local end=$((SECONDS + E2E_TIMEOUT))
  until [[ -s "$server/port" ]]; do
    kill -0 "$server_pid" 2>/dev/null || fail "the score server ended before it listened"
    ((SECONDS < end)) || fail "the score server did not listen"
    sleep 0.1
  done
  echo "http://127.0.0.1:$(cat "$server/port")/go/hiscore" >"$1/hiscoreserver.txt"
}
behave() { echo "$1" >"$server/behaviour"; }
requests() {  # ACTION: how many such requests the server had
  if [[ -f "$server/requests" ]]; then grep -c "^$1 " "$server/requests" || true; else echo 0; fi
}
