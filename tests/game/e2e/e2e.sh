#!/usr/bin/env bash
# Plays the start of the game as a person would, under an X display: a
# first start shows the splash movie until a click, then asks for a name, then the main menu shows (its screenshot is
# kept and must be neither blank nor one colour), the cursor changes over a
# button, the window's close button asks for confirmation, "no" goes back,
# "yes" ends the program with exit code 0, and prefs.dat reads back cleanly
# in a second run, beside which a third start on the same saves is refused
# in its own dialog.
# Usage: e2e.sh <corvellatrip> <qm_close_window> <artefacts folder>
set -euo pipefail
game=$1
close_window=$2
artefacts=$3

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

sky="^3[0-9] 5[0-9] 9[0-9]$"
dialog="pixel 200 165 $accent"       # the confirmation's title band
menu_behind="pixel 200 165 $sky"     # the menu's sky where the dialog was

start "$game"

# The splash and loading end in the name entry; a name leads to the main menu: the navy
# sky at the top left, the logo, the buttons.
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_until "pixel 20 20 $sky" "the main menu's sky"
shot "$artefacts/mainmenu.png"
n=$(colours "$artefacts/mainmenu.png")
[[ $n -gt 50 ]] || fail "the main menu has only $n colours"
[[ -s "$prefs" ]] || fail "no prefs.dat after the full-screen toggle"

# The cursor: an arrow over the sky, another picture over the Quit button.
# Where the platform draws it depends on how the X server reports the
# pointer: under Xvfb driven by xdotool it can stay where the window put it
# at start-up (the window's centre), elsewhere it follows the pointer. Either
# way its picture must change over the button. The pictures are taken a few
# frames after each move; a measurement that a slow frame spoilt is taken again.
look_at() {  # X Y PNG
  point "$1" "$2"
  sleep 0.4
  shot "$3"
}
cursor_changes_over_the_button() {
  look_at 40 300 "$work/sky_a.png"
  look_at 140 300 "$work/sky_b.png"
  look_at 330 490 "$work/button_a.png"
  look_at 420 490 "$work/button_b.png"
  # (only where the pointer was: the heroine on the menu moves by herself)
  convert "$work/sky_a.png" -crop 32x32+40+300 +repage "$work/spot_a.png"
  convert "$work/sky_b.png" -crop 32x32+40+300 +repage "$work/spot_b.png"
  if [[ $(differ "$work/spot_a.png" "$work/spot_b.png") -gt 0 ]]; then
    cursor_mask "$work/sky_a.png" "$work/sky_b.png" 40 300 "$work/arrow.png"
    cursor_mask "$work/button_a.png" "$work/button_b.png" 330 490 "$work/hand.png"
  else
    # The pictures of a cursor that stays at the centre, against the sky's
    # picture of that spot with the pointer over the button.
    convert "$work/sky_a.png" -crop 40x40+392+292 +repage "$work/arrow.png"
    convert "$work/button_a.png" -crop 40x40+392+292 +repage "$work/hand.png"
  fi
  changed=$(differ "$work/arrow.png" "$work/hand.png")
  [[ $changed -gt 40 ]]
}
# The pixels of a 32x32 square at (x, y) that differ between two pictures,
# as a black and white mask.
cursor_mask() {
  convert "$1" "$2" -crop "32x32+$3+$4" +repage -compose difference -composite \
    -colorspace gray -threshold 3% "$5"
}
wait_until cursor_changes_over_the_button "the cursor looking different over the button"
echo "cursor: $changed pixels differ between the sky and the button"
convert "$work/arrow.png" "$work/hand.png" +append -scale 400% "$artefacts/cursor_sky_then_button.png"

# The close button asks; "no" goes back to the main menu.
point 400 300
wait_then_do "$close_window $window" "$menu_behind" "$dialog" "the confirmation"
shot "$artefacts/closeconfirm.png"
wait_then_click 504 408 "$dialog" "$menu_behind" "the main menu again after no"
kill -0 "$pid" 2>/dev/null || fail "the program ended after no"

# "yes" ends the program cleanly.
wait_then_do "$close_window $window" "$menu_behind" "$dialog" "the confirmation, a second time"
wait_then_click 296 408 "$dialog" ended "the end of the program after yes"
wait_exit "the program did not end after yes"
[[ $status -eq 0 ]] || fail "exit code $status after yes"
[[ -s "$prefs" ]] || fail "prefs.dat is missing after quitting"

# prefs.dat reads back: a second run keeps it (a file that cannot be read is
# set aside as prefs.dat.bad) and quits cleanly from the main menu, which
# shows once loading has ended (the player is known: no name is asked).
start "$game"
pass_splash "$menu" "the main menu of the second run"
[[ ! -e "$prefs.bad" ]] || fail "prefs.dat could not be read back"

# A second game on the same saves, while this one runs, says so in its own
# dialog and quits when it is read, having written nothing.
running_pid=$pid running_window=$window
saved=$(md5sum <"$prefs")
start "$game"
wait_until "log Telling the player: The game is already running" "the refusal's log line"
wait_until "$dialog" "the refusal's dialog"
shot "$artefacts/alreadyrunning.png"
wait_then_click 400 408 "$dialog" ended "the end of the refused game after OK"
wait_exit "the refused game did not end after OK"
[[ "$(md5sum <"$prefs")" == "$saved" ]] || fail "the refused game changed prefs.dat"
pid=$running_pid window=$running_window
kill -0 "$pid" 2>/dev/null || fail "the running game ended with the refused one"

wait_then_click 366 479 "$menu" ended "the end of the program after Quit"
wait_exit "the Quit button did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "e2e: ok"
