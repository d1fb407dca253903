#!/usr/bin/env bash
# Plays the start of the game as a person would, under an X display: a
# first start asks for a name, then the main menu shows (its screenshot is
# kept and must be neither blank nor one colour), the cursor changes over a button, the window's close button
# asks for confirmation, "no" goes back, "yes" ends the program with exit
# code 0, and prefs.dat reads back cleanly in a second run.
# Usage: e2e.sh <corvellatrip> <qm_close_window> <artefacts folder>
set -euo pipefail
game=$1
close_window=$2
artefacts=$3

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

source "$(dirname "$(readlink -f "$0")")/e2e_lib.sh"

start
# Keys go to the window under the pointer; the game starts in full screen,
# which an X server without a window manager cannot show: leave it.
point 400 300
xdotool key alt+Return
sleep 0.5

# Loading ends in the name entry (its title band); a name leads to the main
# menu: the navy sky at the top left, the logo, the buttons.
menu_button="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
pass_splash 250 160 "$menu_button" "the name entry's title band"
type_name "Ada"
xdotool key Return
wait_pixel 290 485 "$menu_button" "the main menu's Quit button"
wait_pixel 20 20 "^3[0-9] 5[0-9] 9[0-9]$" "the main menu's sky"
shot "$artefacts/mainmenu.png"
n=$(colours "$artefacts/mainmenu.png")
[[ $n -gt 50 ]] || fail "the main menu has only $n colours"
[[ -s "$prefs" ]] || fail "no prefs.dat after the full-screen toggle"

# The cursor: an arrow over the sky, another picture over the Quit button.
# Where the platform draws it depends on how the X server reports the
# pointer: under Xvfb driven by xdotool it can stay where the window put it
# at start-up (the window's centre), elsewhere it follows the pointer. Either
# way its picture must change over the button.
point 40 300;  shot "$work/sky_a.png"
point 140 300; shot "$work/sky_b.png"
point 330 490; shot "$work/button_a.png"
point 420 490; shot "$work/button_b.png"
# (only where the pointer was: the heroine on the menu moves by herself)
convert "$work/sky_a.png" -crop 32x32+40+300 +repage "$work/spot_a.png"
convert "$work/sky_b.png" -crop 32x32+40+300 +repage "$work/spot_b.png"
moved=$(compare -metric AE "$work/spot_a.png" "$work/spot_b.png" null: 2>&1 || true)
if [[ ${moved%%.*} -gt 0 ]]; then
  cursor_mask "$work/sky_a.png" "$work/sky_b.png" 40 300 "$work/arrow.png"
  cursor_mask "$work/button_a.png" "$work/button_b.png" 330 490 "$work/hand.png"
else
  # The pictures of a cursor that stays at the centre, against the sky's
  # picture of that spot with the pointer over the button.
  convert "$work/sky_a.png" -crop 40x40+392+292 +repage "$work/arrow.png"
  convert "$work/button_a.png" -crop 40x40+392+292 +repage "$work/hand.png"
fi
changed=$(compare -metric AE "$work/arrow.png" "$work/hand.png" null: 2>&1 || true)
[[ ${changed%%.*} -gt 40 ]] || fail "the cursor looks the same over the button ($changed pixels differ)"
convert "$work/arrow.png" "$work/hand.png" +append -scale 400% "$artefacts/cursor_sky_then_button.png"

# The close button asks; "no" goes back to the main menu.
dialog_band="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
point 400 300
"$close_window" "$window"
wait_pixel 200 165 "$dialog_band" "the confirmation's title band"
shot "$artefacts/closeconfirm.png"
point 504 408
xdotool click 1
wait_pixel 200 165 "^3[0-9] 5[0-9] 9[0-9]$" "the main menu again after no"
kill -0 "$pid" 2>/dev/null || fail "the program ended after no"

# "yes" ends the program cleanly.
"$close_window" "$window"
wait_pixel 200 165 "$dialog_band" "the confirmation, a second time"
point 296 408
xdotool click 1
wait_exit "the program did not end after yes"
[[ $status -eq 0 ]] || fail "exit code $status after yes"
[[ -s "$prefs" ]] || fail "prefs.dat is missing after quitting"

# prefs.dat reads back: a second run keeps it (a file that cannot be read is
# set aside as prefs.dat.bad) and quits cleanly from the main menu, which
# shows once loading has ended (the player is known: no name is asked).
start
point 400 300
pass_splash 290 485 "$menu_button" "the main menu of the second run"
[[ ! -e "$prefs.bad" ]] || fail "prefs.dat could not be read back"
point 366 479
xdotool click 1
wait_exit "the Quit button did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "e2e: ok"
