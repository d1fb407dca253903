#!/usr/bin/env bash
# The saves' lock against what a stray hand leaves, under an X display:
# - a folder named running.lock in the data home: the first game plays (it
#   locks the next name), and a second one started beside it is refused in
#   its dialog and ends on OK, having written nothing;
# - another user's running.lock (root's, mode 0600: what a start with sudo
#   leaves; the games run as nobody), or without root one this user may not
#   open: the same, the first game locks the next name; as root, also a
#   game as root beside one as nobody, whichever starts first;
# - the refusal's own script damaged (emptied, looping for ever, cut short,
#   waiting without a dialog) or its dialog's script cut short, while another
#   process (this script) holds the lock: a plain notice says why (within
#   five seconds when the dialog shows nothing), and the game ends on its OK
#   (a click, or Return).
# The screenshots go to the artefacts folder.
# Usage: saves_lock_e2e.sh <corvellatrip> <data folder> <artefacts folder>
set -euo pipefail
game=$1
data=$2
artefacts=$3
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png

home=$XDG_DATA_HOME/corvellatrip
dialog="pixel 200 165 $accent"                   # the game's dialog's title band
notice=$plain_notice
listing() { (cd "$home" && find . -printf '%p %s %T@\n' | sort); }

# two_games WHAT NAME SHOT [PREFIX...] [-- PREFIX...]: two games on the data
# home as it stands (each started as PREFIX... game; the words after -- start
# the second one when given): the first plays and saves its player NAME, a
# second one beside it is refused in its dialog (kept as SHOT.png) and ends
# on OK having written nothing, then the first ends on Quit.
two_games() {
  local what=$1 name=$2 picture=$3 first_pid first_window before
  shift 3
  local first=() second=()
  while (($#)) && [[ $1 != -- ]]; do first+=("$1"); shift; done
  if (($#)); then shift; second=("$@"); else second=("${first[@]}"); fi
  start "${first[@]}" "$game"
  pass_splash "$name_entry" "the name entry ($what)"
  enter_name "$name"
  wait_until "$menu" "the main menu ($what)"
  [[ -s "$prefs" ]] || fail "the first game saved nothing ($what)"
  first_pid=$pid first_window=$window
  before=$(listing)
  start "${second[@]}" "$game"
  wait_until "log Telling the player: The game is already running" "the second game's refusal ($what)"
  wait_until "$dialog" "the refusal's dialog ($what)"
  shot "$artefacts/$picture.png"
  wait_then_click 400 408 "$dialog" ended "the end of the refused game after OK ($what)"
  wait_exit "the refused game did not end after OK ($what)"
  [[ "$(listing)" == "$before" ]] ||
    fail "the refused game wrote in the data home ($what): $(diff <(echo "$before") <(listing))"
  pid=$first_pid window=$first_window
  kill -0 "$pid" 2>/dev/null || fail "the first game ended with the refused one ($what)"
  wait_then_click 366 479 "$menu" ended "the end of the first game after Quit ($what)"
  wait_exit "the first game did not end after Quit ($what)"
  [[ $status -eq 0 ]] || fail "exit code $status after Quit ($what)"
}

# ---- running.lock is a folder: a second game is still kept out
mkdir -p "$home/running.lock"
two_games "running.lock a folder" Ada lock_folder_refused

# ---- another user's running.lock: a second game is still kept out
rm -rf "$XDG_DATA_HOME"
mkdir -p "$home"
if [[ $(id -u) -eq 0 ]]; then
  # The games run as nobody; the lock is root's own. From here on every game
  # runs a copy nobody may read.
  as_user=("${as_nobody[@]}")
  game=$(game_for_others "$game" "$data")
  chown -R 65534:65534 "$XDG_DATA_HOME"
  install -m 600 /dev/null "$home/running.lock"
else
  as_user=()
  install -m 000 /dev/null "$home/running.lock"
fi
: >"$log"
two_games "another user's lock" Bea lock_other_user_refused "${as_user[@]}"
grep -q "running.lock cannot serve as the lock: the lock is taken on the next name" "$log" ||
  fail "running.lock was taken though another user's"

# ---- a game as root beside one as that user, whichever starts first: the
# user's game cannot open root's running.lock and locks the next name, and
# the second game is still kept out
if [[ $(id -u) -eq 0 ]]; then
  for first in root user; do
    rm -rf "$XDG_DATA_HOME"
    mkdir -p "$home"
    chown -R 65534:65534 "$XDG_DATA_HOME"
    install -m 600 /dev/null "$home/running.lock"
    : >"$log"
    if [[ $first == root ]]; then
      two_games "root's game first" Cy lock_root_first_refused -- "${as_user[@]}"
    else
      two_games "the user's game first" Di lock_user_first_refused "${as_user[@]}" --
    fi
  done
fi

# ---- a damaged refusal script: a plain notice, and OK ends the game
gamedata=$work/gamedata
cp -rs "$(readlink -f "$data")/." "$gamedata"
export CORVELLATRIP_DATA=$gamedata
refused=$gamedata/assets/scripts/startrefused.lua
original=$(readlink -f "$refused")
rm -f "$home/running.lock"
# This script holds the lock as another game would, until it ends.
exec 9>"$home/running.lock"
flock -n 9 || fail "the lock could not be taken for the test"
okscript=$gamedata/assets/scripts/ok.lua
for damage in emptied looping cut waiting ok_cut; do
  rm -f "$refused"
  case $damage in
    emptied) : >"$refused" ;;
    looping) printf 'while true do end\n' >"$refused" ;;
    cut) head -c 150 "$original" >"$refused" ;;
    waiting) printf 'return function() while true do WaitForMessage() end end\n' >"$refused" ;;
    ok_cut)
      ln -s "$original" "$refused"
      rm "$okscript"
      head -c 40 "$data/assets/scripts/ok.lua" >"$okscript"
      ;;
  esac
  : >"$log"
  before=$(listing)
  start "$game"
  # (a looping script runs until the watchdog stops it, five seconds; a
  # refusal that runs but shows nothing is given a second)
  limit=$E2E_TIMEOUT
  [[ $damage == waiting || $damage == ok_cut ]] && limit=5
  E2E_TIMEOUT=$limit wait_until "log startrefused.lua showed nothing: the refusal shows as a plain notice" \
    "the fallback ($damage)"
  wait_until "$notice" "the plain notice ($damage)"
  shot "$artefacts/plain_refusal_$damage.png"
  if [[ $damage == looping ]]; then
    wait_then_key Return "$notice" ended "the end after Return ($damage)"
  else
    wait_then_click 400 408 "$notice" ended "the end after OK ($damage)"
  fi
  wait_exit "the game did not end after OK ($damage)"
  [[ $status -eq 0 ]] || fail "exit code $status after OK ($damage)"
  [[ "$(listing)" == "$before" ]] || fail "the refused game wrote in the data home ($damage)"
done
echo "saves lock e2e: ok"
