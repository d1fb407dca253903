#!/usr/bin/env bash
# A game started as root on a player's data home (as `sudo -E` starts it),
# under an X display. The data home is nobody's (65534), with a player who
# has won 3 levels and has 3 best scores:
# - root's game reaches the main menu and ends, by the close button and
#   "yes", by SIGTERM or by kill -9; then the player's game (as nobody) finds
#   the player at once (the main menu, no notice, no name asked), and after
#   it the 3 won levels and the 3 scores are still there, no file was set
#   aside (.bad) and every file and folder in the data home is nobody's;
# - prefs.dat, then hiscore.dat, root's with mode 0600 (what such a game
#   left before): the player's game tells that the file cannot be opened and
#   whose it is, plays on (a name asked when the players cannot be read) and
#   ends on Quit without another word, and the file is left exactly as it
#   was (bytes, owner, mode, time), with nothing set aside.
# Games as two users need root: without it the test says so and is skipped
# (exit code 77). The screenshots go to the artefacts folder.
# Usage: saves_other_user_e2e.sh <corvellatrip> <prepare_player> <qmcrypt> <qm_close_window> <data folder>
#        <artefacts folder>
set -euo pipefail
game=$1
prepare=$2
qmcrypt=$3
close_window=$4
data=$5
artefacts=$6
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

if [[ -z "${_E2E_OWN_DISPLAY_UP:-}" && $(id -u) -ne 0 ]]; then
  echo "saves other user e2e: skipped (a game as root and one as another user need root)"
  exit 77
fi

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
unset CORVELLATRIP_DATA

nobody=65534
as_player=("${as_nobody[@]}")
# Both games run the copy (the checkout may lie where nobody may not enter),
# in the resource folder beside it, which prefs.dat keys its players by.
game=$(game_for_others "$game" "$data")
gamedata=$(dirname "$game")/data
home=$XDG_DATA_HOME/corvellatrip
scores=$home/hiscore.dat
dialog="pixel 200 165 $accent"  # the game's dialog's title band

# The player's data home afresh: Ada with 3 levels won and 3 shift scores, all nobody's.
player_home() {
  rm -rf "$XDG_DATA_HOME"
  "$prepare" "$gamedata" Ada 3 --shifts 3 >/dev/null 2>&1 || fail "the player could not be prepared"
  chown -R $nobody:$nobody "$XDG_DATA_HOME"
}
# What the player has won: the levels opened and their scores, and the best scores' rows.
progress() {
  "$qmcrypt" prefs "$prefs" | grep -E '^ *(name|levelsunlocked|levelscores)='
  "$qmcrypt" scores "$scores" | grep -E '^ *(score|name)='
}
not_nobodys() { find "$XDG_DATA_HOME" ! -uid $nobody -printf '%p (%u)\n'; }
set_aside() { find "$XDG_DATA_HOME" -name '*.bad*'; }
# Bytes, owner, group, mode and the change of content to the nanosecond.
state() { sha256sum "$1" | cut -d' ' -f1; stat -c '%u %g %a %s %y' "$1"; }
# The first screen the player's game settles on after the splash.
settled() { holds "$menu" || holds "$dialog" || holds "$name_entry"; }

# ---- root's game ended three ways, then the player's game
for ending in yes term kill; do
  player_home
  won=$(progress)
  grep -q 'levelsunlocked="4"' <<<"$won" || fail "the player was not prepared with 3 levels won: $won"
  [[ $(grep -c 'name="Ada"' <<<"$won") -eq 4 ]] || fail "the player was not prepared with 3 scores: $won"
  : >"$log"
  start "$game"
  pass_splash "$menu" "root's main menu ($ending)"
  case $ending in
    yes)
      wait_then_do "$close_window $window" "$menu" confirmation "the confirmation ($ending)"
      wait_then_click $yes confirmation ended "the end of root's game after yes"
      ;;
    term) kill -TERM "$pid" ;;
    kill) kill -KILL "$pid" ;;
  esac
  wait_exit "root's game did not end ($ending)"
  [[ $ending == kill || $status -eq 0 ]] || fail "root's game ended with exit code $status ($ending)"

  : >"$log"
  start "${as_player[@]}" "$game"
  pass_splash settled "the player's first screen after root's game ($ending)"
  holds "$menu" || { shot "$artefacts/player_after_root_$ending.png"; fail "the player was not found after root's game ($ending)"; }
  holds "log ^Telling the player" && fail "the player was told something after root's game ($ending)"
  shot "$artefacts/player_after_root_$ending.png"
  wait_then_click 366 479 "$menu" ended "the end of the player's game after Quit ($ending)"
  wait_exit "the player's game did not end after Quit ($ending)"
  [[ $status -eq 0 ]] || fail "the player's game ended with exit code $status ($ending)"
  [[ "$(progress)" == "$won" ]] || fail "the player's progress changed ($ending): $(diff <(echo "$won") <(progress))"
  [[ -z "$(set_aside)" ]] || fail "files were set aside ($ending): $(set_aside)"
  [[ -z "$(not_nobodys)" ]] || fail "files in the data home are not the player's ($ending): $(not_nobodys)"
done

# ---- prefs.dat, then hiscore.dat, root's: told, played on, left as it was
for file in prefs scores; do
  path=$prefs notice=notpermittedsave_profiles
  [[ $file == scores ]] && path=$scores notice=notpermittedsave_scores
  player_home
  chown 0:0 "$path"
  chmod 600 "$path"
  before=$(state "$path")
  : >"$log"
  start "${as_player[@]}" "$game"
  pass_splash "$dialog" "the notice of root's $(basename "$path")"
  wait_until "log ^Telling the player: $notice \\($(basename "$path") in $home, root's\\)" "the notice's words ($file)"
  shot "$artefacts/notpermitted_$file.png"
  if [[ $file == prefs ]]; then
    # No player can be read: the game asks for one, and keeps none.
    wait_then_click 400 408 "$dialog" "$name_entry" "the name entry after the notice"
    enter_name "Bea"
  else
    wait_then_click 400 408 "$dialog" "$menu" "the main menu after the notice"
  fi
  wait_until "$menu" "the main menu ($file)"
  # Quit ends the game at once: the notice said it all.
  wait_then_click 366 479 "$menu" ended "the end after Quit ($file)"
  wait_exit "the game did not end after Quit ($file)"
  [[ $status -eq 0 ]] || fail "exit code $status after Quit ($file)"
  [[ "$(state "$path")" == "$before" ]] || fail "root's $(basename "$path") was changed: $before -> $(state "$path")"
  [[ -z "$(set_aside)" ]] || fail "files were set aside ($file): $(set_aside)"
  [[ "$(not_nobodys)" == "$path (root)" ]] || fail "files besides root's one are not the player's: $(not_nobodys)"
done
echo "saves other user e2e: ok"
