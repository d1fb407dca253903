#!/usr/bin/env bash
# Scripts that try to hold the game, played under an X display: the options
# screen of a copy of the game's data begins with one of three ways to run
# without end that the watchdog's first stop does not end by itself:
#   pcall    a loop that catches the watchdog's error with pcall
#   handler  the same with xpcall and an error handler that loops too
#   pattern  one long pattern match, a single library call
# For each, in one run SIGTERM and in another the window's close button
# (answered "yes" if the game asks) must end the game within five seconds
# (times the machine's slowness) of the request through its clean way out
# (exit code 0, prefs.dat there and whole: the saves are written as on any
# quit).
# Usage: script_hold_e2e.sh <corvellatrip> <qm_close_window> <data folder> <artefacts folder> [WAY...]
# (SCRIPT_HOLD_REQUESTS="term" or "close" plays one kind of request only.)
set -euo pipefail
game=$1
close_window=$2
source_data=$3
artefacts=$4
ways=("${@:5}")
((${#ways[@]})) || ways=(pcall handler pattern)

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"

options_data_copy "$source_data"

declare -A holds=(
  [pcall]='while true do pcall(function() while true do end end) end'
  [handler]='while true do xpcall(function() while true do end end, function() while true do end end) end'
  [pattern]="string.find(string.rep('a', 3000000), '.-b')"
)

options_button="566 359"
looping="log ^Lua: options: holding"
# The quit confirmation by its "yes" button (the script's notice has one
# button, in the middle).
# (The window may be going: the X errors of a look at it then are no news.)
confirmation() { { holds "pixel 200 165 $accent" && holds "pixel 230 400 $accent"; } 2>/dev/null; }

now() { echo "${EPOCHREALTIME/./}"; }  # microseconds

# Ends the game by REQUEST (term or close) and checks how.
quit_by() {
  local request=$1 way=$2 limit started
  limit=$((5 * e2e_slowness * 1000000))
  started=$(now)
  if [[ $request == term ]]; then
    kill -TERM "$pid"
  else
    $close_window "$window"
  fi
  while kill -0 "$pid" 2>/dev/null; do
    if (($(now) - started >= limit)); then
      # A game held this way takes no SIGTERM: the helper's clean-up would wait for ever.
      shot "$artefacts/${way}_${request}_held.png" 2>/dev/null || true
      kill -KILL "$pid"
      fail "$way, $request: the game still ran $((limit / 1000000)) s after the request (killed)"
    fi
    if [[ $request == close ]] && confirmation; then
      shot "$artefacts/${way}_confirmation.png"
      click 296 408
    fi
    sleep 0.1
  done
  echo "$way, $request: ended $((($(now) - started) / 1000)) ms after the request"
  status=0
  wait "$pid" || status=$?
  pid=
  [[ $status -eq 0 ]] || fail "$way, $request: exit code $status"
  [[ -s "$prefs" ]] || fail "$way, $request: prefs.dat is missing after the quit"
}

first=1
for way in "${ways[@]}"; do
  {
    echo 'DebugOut("options: holding")'
    echo "${holds[$way]}"
    cat "$options_original"
  } >"$options"
  for request in ${SCRIPT_HOLD_REQUESTS:-term close}; do
    : >"$log"
    start "$game"
    if ((first)); then
      pass_splash "$name_entry" "the name entry"
      enter_name "Ada"
      first=0
    else
      pass_splash "$menu" "the main menu"
    fi
    wait_then_click $options_button "$menu" "$looping" "$way: the options script holding"
    quit_by "$request" "$way"
    if [[ $request == close ]]; then
      holds "log Watchdog: .*options.lua:2: script stopped: the window is asked to close" ||
        fail "$way: no line says the script was stopped for the close request"
    else
      holds "log Watchdog: .*options.lua:2: script stopped: the game is asked to quit" ||
        fail "$way: no line says the script was stopped for the signal"
    fi
  done
done
echo "script hold e2e: ok"
