#!/usr/bin/env bash
# Scripts that try to hold the game, played under an X display: the options
# screen of a copy of the game's data begins with one of these ways to run
# without end that the watchdog's first stop does not end by itself, or to
# hold the game's way out:
#   pcall       a loop that catches the watchdog's error with pcall
#   handler     the same with xpcall and an error handler that loops too
#   pattern     one long pattern match, a single library call
#   gc          a finaliser that never returns, collected at once
#   gckept      the same finaliser kept in a global: it runs as the game
#               closes, after the saves (the options screen shows meanwhile)
# or a loop of library calls that each take long and run no Lua instruction:
#   insert      table.insert at the front of a list of four million
#   loadstring  a text of 10 MB compiled
#   quote       string.format('%q') of 32 MB
#   concat      32 MB joined to a letter
#   sub         string.sub of 64 MB
#   collect     a full collection of two million tables
# For each, in one run SIGTERM and in another the window's close button
# (whose confirmation must show, and is answered "yes") must end the game
# within five seconds (times the machine's slowness) of the request through
# its clean way out (exit code 0, prefs.dat there and whole: the saves are
# written as on any quit), and a line must name the script stopped. Where
# the close button is to ask sooner (asks_within), its confirmation must
# show within that many seconds (times the slowness).
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

# Each on one line, the options script's second; "holding" is logged where
# the hold begins (after what the loop works on is made).
holding='DebugOut("options: holding")'
finaliser='getmetatable(p).__gc = function() while true do end end'
big="local s = string.rep('a', 32000000) $holding"
declare -A holds=(
  [pcall]="$holding while true do pcall(function() while true do end end) end"
  [handler]="$holding while true do xpcall(function() while true do end end, function() while true do end end) end"
  [pattern]="$holding string.find(string.rep('a', 3000000), '.-b')"
  [gc]="$holding local p = newproxy(true) $finaliser p = nil collectgarbage()"
  [gckept]="gKept = newproxy(true) local p = gKept $finaliser $holding"
  [insert]="local t = {} for i = 1, 4000000 do t[i] = i end $holding while true do table.insert(t, 1, 0) end"
  [loadstring]="local s = 'return \"' .. string.rep('a', 10000000) .. '\"' $holding while true do loadstring(s) end"
  [quote]="$big while true do local q = string.format('%q', s) end"
  [concat]="$big while true do local c = s .. 'b' end"
  [sub]="local s, sub = string.rep('a', 64000000), string.sub $holding while true do sub(s, 2) end"
  [collect]="local t = {} for i = 1, 2000000 do t[i] = {} end $holding while true do collectgarbage() end"
)
declare -A asks_within=([collect]=2)

options_button="566 359"
looping="log ^Lua: options: holding"

now() { echo "${EPOCHREALTIME/./}"; }  # microseconds

# The line that names the script stopped by REQUEST (term or close).
stopped_line() {
  local request=$1 way=$2
  if [[ $way == gckept ]]; then
    echo "options.lua:2: script stopped: it ran for [0-9.]+ s as its state closed"
  elif [[ $request == close ]]; then
    echo "options.lua:2: script stopped: the window is asked to close"
  else
    echo "options.lua:2: script stopped: the game is asked to quit"
  fi
}

# Ends the game by REQUEST (term or close) and checks how.
quit_by() {
  local request=$1 way=$2 limit ask_limit started asked=
  limit=$((5 * e2e_slowness * 1000000))
  ask_limit=$((${asks_within[$way]:-5} * e2e_slowness * 1000000))
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
    # (The window may be going: the X errors of a look at it then are no news.)
    if [[ $request == close ]] && confirmation 2>/dev/null; then
      if [[ -z $asked ]]; then
        asked=$(($(now) - started))
        shot "$artefacts/${way}_confirmation.png"
        ((asked <= ask_limit)) ||
          fail "$way, close: the confirmation showed $((asked / 1000)) ms after the request (limit $((ask_limit / 1000)) ms)"
      fi
      click $yes
    fi
    sleep 0.1
  done
  echo "$way, $request: ended $((($(now) - started) / 1000)) ms after the request${asked:+, asked after $((asked / 1000)) ms}"
  status=0
  wait "$pid" || status=$?
  pid=
  [[ $status -eq 0 ]] || fail "$way, $request: exit code $status"
  [[ -s "$prefs" ]] || fail "$way, $request: prefs.dat is missing after the quit"
  [[ $request == term || -n $asked ]] || fail "$way, close: the game closed without asking"
}

first=1
for way in "${ways[@]}"; do
  {
    echo 'DebugOut("options: starting")'
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
    holds "log Watchdog: .*$(stopped_line "$request" "$way")" ||
      fail "$way, $request: no line names the script stopped"
  done
done
echo "script hold e2e: ok"
