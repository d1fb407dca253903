#!/usr/bin/env bash
# Folders the game cannot use, under an X display at 800x600. Each start is
# refused with a notice that says where and why, ends when it is answered
# (exit code 0), and leaves the player's data home as it was:
# - its resource folder (CORVELLATRIP_DATA) empty, or one this user may not
#   read (as root: root's folder of mode 0700 holding the data, the game run
#   as nobody; otherwise a folder of mode 000), or one inside it: a plain
#   notice, "The game's files cannot be read", ended by OK, Return or the
#   window's close button;
# - its data home one this user may not write in (as root: root's, mode
#   0755, the game run as nobody; otherwise mode 0555), or missing where it
#   may not be made: the refusal's dialog names that cause, and OK ends it.
# The screenshots go to the artefacts folder.
# Usage: unusable_folders_e2e.sh <corvellatrip> <qm_close_window> <data folder> <artefacts folder>
set -euo pipefail
game=$1
close_window=$2
data=$3
artefacts=$4
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png

home=$XDG_DATA_HOME/corvellatrip
dialog="pixel 200 165 $accent"  # the game's dialog's title band
# What the data home holds (nothing when there is none).
listing() { if [[ -d "$home" ]]; then (cd "$home" && find . -printf '%p %u %m %s %T@\n' | sort); fi; }

# As root every game runs as nobody, from a copy of the game that user may
# read; what it may not use is root's. Without root the modes keep this
# user out.
if [[ $(id -u) -eq 0 ]]; then
  as_user=("${as_nobody[@]}")
  game=$(game_for_others "$game" "$data")
  user_owns() { chown -R 65534:65534 "$@"; }
  keep_out() { chmod 700 "$1"; }
  no_writes() { chown root:root "$1" && chmod 755 "$1"; }
else
  as_user=()
  user_owns() { :; }
  keep_out() { chmod 000 "$1"; }
  no_writes() { chmod 555 "$1"; }
fi
trap 'chmod -R u+rwX "$work" 2>/dev/null || true; _e2e_cleanup' EXIT

# refused WHAT SHOT LOG_TEXT STATE ANSWER: a game started with the data home
# as it stands must say LOG_TEXT in its log and show STATE (kept as
# SHOT.png); ANSWER ends it, with exit code 0 and the data home untouched.
refused() {
  local what=$1 picture=$2 text=$3 shown=$4 answer=$5 before
  before=$(listing)
  : >"$log"
  start "${as_user[@]}" "$game"
  point 790 590  # (the pointer kept off the text in the picture)
  wait_until "log ^Telling the player: $text" "the refusal's words ($what)"
  wait_until "$shown" "the refusal on screen ($what)"
  shot "$artefacts/$picture.png"
  wait_then_do "$answer" "$shown" ended "the end after the answer ($what)"
  wait_exit "the refused game did not end ($what)"
  [[ $status -eq 0 ]] || fail "exit code $status ($what)"
  [[ "$(listing)" == "$before" ]] ||
    fail "the refused game wrote in the data home ($what): $(diff <(echo "$before") <(listing))"
}
close_it() { "$close_window" "$window"; }

# ---- the resource folder
mkdir -p "$home"
user_owns "$XDG_DATA_HOME"
files="The game cannot read its files in"

mkdir "$work/empty"
export CORVELLATRIP_DATA=$work/empty
refused "an empty folder" unreadable_data_empty \
  "$files $work/empty: that folder holds none of the game's files" "$plain_notice" "click 400 408"

mkdir "$work/private"
cp -rL "$(readlink -f "$data")/." "$work/private/data"
keep_out "$work/private"
export CORVELLATRIP_DATA=$work/private
refused "a folder this user may not read" unreadable_data_private \
  "$files $work/private: this user may not read that folder" "$plain_notice" "xdotool key Return"
export CORVELLATRIP_DATA=$work/private/data
refused "a folder inside one this user may not enter" unreadable_data_inside_private \
  "$files $work/private/data: this user may not read that folder" "$plain_notice" close_it
unset CORVELLATRIP_DATA

# ---- the data home
locked="The game cannot lock its saves in"

no_writes "$home"
refused "a data home this user may not write in" unwritable_home \
  "$locked $home: this user may not write in that folder\." "$dialog" "click 400 408"
grep -q "Cannot open the lock file $home/running.lock (Permission denied)" "$log" ||
  fail "the log does not give the first error met on running.lock"

rm -rf "$XDG_DATA_HOME"
mkdir -p "$XDG_DATA_HOME"
no_writes "$XDG_DATA_HOME"
refused "a data home that this user may not make" unmakeable_home \
  "$locked $home: that folder is missing, and this user may not create it\." "$dialog" "click 400 408"
[[ ! -e "$home" ]] || fail "the data home was made after all"

export XDG_DATA_HOME=/proc/nothing-here
home=$XDG_DATA_HOME/corvellatrip
refused "a data home that cannot be made at all" unmakeable_proc_home \
  "$locked /proc/nothing-here/corvellatrip: that folder is missing and cannot be made \(No such file or directory\)\." \
  "$dialog" "click 400 408"
echo "unusable folders e2e: ok"
