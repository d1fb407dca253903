#!/usr/bin/env bash
# The saves' lock on a data home with no room for a new file, under an X
# display: the data home is a small tmpfs of its own whose inodes are all
# taken, and running.lock is gone (a player's prefs.dat is there). No lock
# can be made, so a game started there tells the player so and writes
# nothing; neither does a second one started beside it. Mounting needs root:
# without it the test says so and is skipped (exit code 77).
# The screenshot goes to the artefacts folder.
# Usage: saves_no_room_e2e.sh <corvellatrip> <artefacts folder>
set -euo pipefail
game=$1
artefacts=$2
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

if [[ -z "${_E2E_OWN_DISPLAY_UP:-}" ]]; then
  probe=$(mktemp -d)
  if [[ $(id -u) -ne 0 ]] || ! mount -t tmpfs -o size=64k tmpfs "$probe" 2>/dev/null; then
    rmdir "$probe"
    echo "saves no room e2e: skipped (mounting a tmpfs needs root)"
    exit 77
  fi
  umount "$probe"
  rmdir "$probe"
fi

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png

mkdir -p "$XDG_DATA_HOME"
mount -t tmpfs -o size=2m,nr_inodes=64 tmpfs "$XDG_DATA_HOME"
trap 'umount -l "$XDG_DATA_HOME" 2>/dev/null || true; _e2e_cleanup' EXIT
home=$XDG_DATA_HOME/corvellatrip
dialog="pixel 200 165 $accent"
refusal="log ^Telling the player: The game cannot lock its saves in .*$home"
listing() { (cd "$XDG_DATA_HOME" && find . -printf '%p %s %T@\n' | sort); }

# A player saved by a first run.
start "$game"
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_until "$menu" "the main menu"
wait_then_click 366 479 "$menu" ended "the end after Quit"
wait_exit "the first run did not end after Quit"
[[ -s "$prefs" ]] || fail "the first run saved nothing"

# Every inode taken, and no lock file left.
rm "$home/running.lock"
n=0
while touch "$XDG_DATA_HOME/taken$n" 2>/dev/null; do
  n=$((n + 1))
done
[[ $n -gt 0 ]] || fail "no file could be made on the fresh tmpfs"
before=$(listing)

# ---- a game there is refused and touches nothing, and so is a second beside it
: >"$log"
start "$game"
wait_until "$refusal" "the refusal for want of a lock"
wait_until "$dialog" "the refusal's dialog"
shot "$artefacts/no_room_refused.png"
first_pid=$pid first_window=$window
start "$game"
wait_until "$dialog" "the second game's refusal's dialog"
[[ $(grep -c "Telling the player: The game cannot lock its saves" "$log") -eq 2 ]] ||
  fail "the second game was not refused for want of a lock"
wait_then_click 400 408 "$dialog" ended "the end of the second game after OK"
wait_exit "the second game did not end after OK"
[[ $status -eq 0 ]] || fail "exit code $status after OK (second game)"
pid=$first_pid window=$first_window
wait_then_click 400 408 "$dialog" ended "the end of the first game after OK"
wait_exit "the first game did not end after OK"
[[ $status -eq 0 ]] || fail "exit code $status after OK (first game)"
[[ "$(listing)" == "$before" ]] || fail "a refused game wrote in the data home: $(diff <(echo "$before") <(listing))"
echo "saves no room e2e: ok"
