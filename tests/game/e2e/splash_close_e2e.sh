#!/usr/bin/env bash
# The window's close button while the splash movie plays, under an X
# display: the quit confirmation must show (the movie no longer covers it)
# and take its answers: "no" goes on to the game (the name entry of a first
# start), and in a second start "yes" ends the game with exit code 0.
# Usage: splash_close_e2e.sh <corvellatrip> <qm_close_window> <artefacts folder>
set -euo pipefail
game=$1
close_window=$2
artefacts=$3

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

# The confirmation and the name entry share their title band: the
# confirmation by its "yes" button, the entry by its text field.
confirmation() { holds "pixel 200 165 $accent" && holds "pixel 230 400 $accent"; }
entry() { holds "$name_entry" && holds "pixel 300 283 ^25[0-5] 25[0-5] 2[3-5][0-9]$"; }
dialog=confirmation
# The movie shows: the plate's cream in the middle and the teal sky at the
# upper right (black around the confirmation, night blue on later screens).
movie_shows() {
  holds "pixel 400 380 ^25[0-5] 2[34][0-9] 2[0-3][0-9]$" && holds "pixel 700 150 ^[2-5][0-9] [5-9][0-9] [6-9][0-9]$"
}
movie=movie_shows

# ---- first start: "no" goes on
start "$game"
wait_until "$movie" "the splash movie"
shot "$artefacts/splash_movie.png"
wait_then_do "$close_window $window" "$movie" "$dialog" "the confirmation over the splash"
shot "$artefacts/splash_confirmation.png"
wait_then_click 504 408 "$dialog" entry "the name entry after no"
shot "$artefacts/splash_no.png"

# and the confirmation still works afterwards: "yes" there quits.
wait_then_do "$close_window $window" entry "$dialog" "the confirmation over the name entry"
wait_then_click 296 408 "$dialog" ended "the end of the program after yes"
wait_exit "the program did not end after yes"
[[ $status -eq 0 ]] || fail "exit code $status after yes"

# ---- second start: "yes" during the splash quits
start "$game"
wait_until "$movie" "the splash movie of the second start"
wait_then_do "$close_window $window" "$movie" "$dialog" "the confirmation over the second splash"
wait_then_click 296 408 "$dialog" ended "the end of the program after yes"
wait_exit "the program did not end after yes during the splash"
[[ $status -eq 0 ]] || fail "exit code $status after yes during the splash"
echo "splash close e2e: ok"
