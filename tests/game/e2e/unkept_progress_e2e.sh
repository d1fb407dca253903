#!/usr/bin/env bash
# Quitting while the saves still fail, under an X display: the data home is
# a small tmpfs of its own (mounting needs root: without it the test says
# so and passes), a new player is named, the disk is filled to the last
# byte, and Quit on the main menu brings a notice that the progress cannot be
# kept, naming the folder and the reason; the game ends on its OK. A second
# run makes room while the notice shows: OK then keeps the progress.
# The screenshot goes to the artefacts folder.
# Usage: unkept_progress_e2e.sh <corvellatrip> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png

mkdir -p "$XDG_DATA_HOME"
if [[ $(id -u) -ne 0 ]] || ! mount -t tmpfs -o size=512k tmpfs "$XDG_DATA_HOME" 2>/dev/null; then
  echo "unkept progress e2e: skipped (mounting a tmpfs needs root)"
  exit 0
fi
trap 'umount -l "$XDG_DATA_HOME" 2>/dev/null || true; _e2e_cleanup' EXIT
home=$XDG_DATA_HOME/corvellatrip
notice="log ^Telling the player: Your progress since the last save cannot be kept: it cannot be written in .*$home \\(the disk is full\\)"
dialog="pixel 200 165 $accent"
fill_disk() {
  dd if=/dev/zero of="$XDG_DATA_HOME/filler" bs=4k 2>/dev/null || true
  dd if=/dev/zero of="$XDG_DATA_HOME/filler2" bs=1 2>/dev/null || true
}

# ---- a full disk at Quit: told, and OK ends the game
start "$game"
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_until "$menu" "the main menu"
[[ -s "$prefs" ]] || fail "the player was not saved before the disk was filled"
fill_disk
wait_then_click 366 479 "$menu" "$notice" "the notice after Quit"
wait_until "$dialog" "the notice's dialog"
grep -q "^Telling the player: Your progress could not be saved" "$log" && fail "the save failure's own notice showed too"
shot "$artefacts/unkept_progress.png"
click 400 408
wait_until ended "the end after one OK"
wait_exit "the game did not end after OK"
[[ $status -eq 0 ]] || fail "exit code $status after OK"

# ---- room made while the notice shows: the progress is kept
rm -f "$XDG_DATA_HOME/filler" "$XDG_DATA_HOME/filler2"
: >"$log"
start "$game"
pass_splash "$menu" "the main menu of the second run"
fill_disk
wait_then_click 366 479 "$menu" "$notice" "the notice after Quit, the disk still full"
wait_until "$dialog" "the notice's dialog again"
rm -f "$XDG_DATA_HOME/filler" "$XDG_DATA_HOME/filler2"
touch -d 2001-01-01 "$prefs"
wait_then_click 400 408 "$dialog" ended "the end after OK with room made"
wait_exit "the game did not end after OK"
[[ $status -eq 0 ]] || fail "exit code $status after OK"
(($(stat -c %Y "$prefs") > $(date -d 2001-01-02 +%s))) || fail "prefs.dat was not written once room was made"
echo "unkept progress e2e: ok"
