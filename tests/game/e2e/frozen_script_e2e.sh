#!/usr/bin/env bash
# A screen script that never returns, played under an X display: the
# options screen of a copy of the game's data begins with an endless loop.
# Opened from the main menu, the game stops the script after five seconds
# with a line naming it, and the window's close button still asks before
# quitting: its confirmation shows, and "yes" ends the game (exit code 0).
# In a second run SIGTERM, sent while the loop runs, ends the game cleanly
# (exit code 0, prefs.dat kept).
# Usage: frozen_script_e2e.sh <corvellatrip> <qm_close_window> <data folder> <artefacts folder>
set -euo pipefail
game=$1
close_window=$2
source_data=$3
artefacts=$4

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

# The data: links to the real files, but an options screen that loops for
# ever after saying so.
options_data_copy "$source_data"
{
  echo 'DebugOut("options: looping")'
  echo 'while true do end'
  cat "$options_original"
} >"$options"

options_button="566 359"
looping="log ^Lua: options: looping"
stopped="log options.lua:2: script stopped: it ran for [0-9.]+ s without yielding"
signalled="log options.lua:2: script stopped: the game is asked to quit"

# ---- first run: the watchdog stops the script; the close button asks
start "$game"
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_then_click $options_button "$menu" "$looping" "the options script running"
wait_until "$stopped" "the line naming the stopped script"
shot "$artefacts/frozen_script_stopped.png"
# The screen the script left no longer answers, but the close request asks
# as it always does (over the notice that names the script).
wait_then_do "$close_window $window" - confirmation "the confirmation after the close request"
shot "$artefacts/frozen_script_confirmation.png"
wait_then_click $yes confirmation ended "the end after yes"
wait_exit "the game did not end after yes"
[[ $status -eq 0 ]] || fail "exit code $status after the close request"

# ---- second run: SIGTERM while the script runs
: >"$log"
start "$game"
pass_splash "$menu" "the main menu of the second run"
wait_then_click $options_button "$menu" "$looping" "the options script running again"
kill -TERM "$pid"
wait_exit "the game did not end after SIGTERM"
[[ $status -eq 0 ]] || fail "exit code $status after SIGTERM"
holds "$signalled" || fail "no line says the script was stopped for the signal"
holds "log ^Asked to quit by a signal" || fail "the game did not take the signal as a quit"
[[ -s "$prefs" ]] || fail "prefs.dat is missing after SIGTERM"
echo "frozen script e2e: ok"
