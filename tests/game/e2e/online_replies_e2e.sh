#!/usr/bin/env bash
# Replies a score server should never send, met from the best scores as a
# player meets them: on a copy of the game's data with the full score
# screens (highscoremode 0) and a loopback server (hiscore_server.py),
# - a refusal of about a megabyte, sent at once: its text is on the screen
#   within 5 seconds of the click on "World";
# - a reply that comes one byte at a time: the window's close button,
#   answered "yes" while it comes, ends the game within 5 seconds, prefs.dat
#   written.
# (Both limits are an idle machine's, times its slowness now.) The
# screenshots go to the artefacts folder.
# Usage: online_replies_e2e.sh <corvellatrip> <qm_close_window> <data folder> <artefacts folder>
set -euo pipefail
game_binary=$1
close_window=$2
data=$3
artefacts=$4
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png

# ---- the data copy with the full score screens
gamedata=$work/gamedata
cp -rs "$(readlink -f "$data")/." "$gamedata"
strings=$gamedata/assets/strings.xml
shipped=$(readlink -f "$strings")
rm "$strings"
sed 's|\(highscoremode</Data></Cell><Cell><Data ss:Type="String">\)2<|\10<|' "$shipped" >"$strings"
grep -q 'highscoremode</Data></Cell><Cell><Data ss:Type="String">0<' "$strings" || fail "highscoremode not set to 0"
export CORVELLATRIP_DATA=$gamedata

# ---- the loopback score server, stopped with the test (and by itself)
start_score_server "$gamedata" 600
asked() { [[ $(requests tables) -gt $1 ]]; }

hiscore="pixel 160 30 $accent"      # the best scores' title band
view="pixel 632 320 $accent"        # "World"
# Pixels of the text ink (#3b2a33 and its anti-aliasing) in the list.
list_inked() {
  shot "$work/ink.png"
  local n
  n=$(convert "$work/ink.png" -crop 400x140+80+210 +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
    -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:)
  [[ $n -gt 400 ]]
}
now() { date +%s.%N; }
# Seconds from $1 to now, and whether that is within $2 idle seconds.
within() { awk -v a="$1" -v b="$(now)" -v s="$e2e_slowness" -v l="$2" 'BEGIN { printf "%.1f", b - a; exit !(b - a <= l * s) }'; }

# ---- a refusal of a megabyte, sent at once
behave bigrefusal
start "$game_binary"
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_then_click 274 330 "$menu" "$hiscore" "the best scores"
wait_until "$view" "the World button"
list_inked && fail "the list shows text before the world's list was asked for"
clicked=$(now)
wait_then_click 667 329 "$view" "asked 0" "the world's list asked for"
E2E_TIMEOUT=30 wait_until list_inked "the refusal's text in the list"
took=$(within "$clicked" 5) || fail "the refusal took $took s to show"
echo "the megabyte refusal showed $took s after the click"
shot "$artefacts/megabyte_refusal.png"
grep -q "^HiScore User Message: refused refused" "$log" || fail "the refusal was not read"
wait_then_do "$close_window $window" "$hiscore" confirmation "the close confirmation"
wait_then_click $yes confirmation ended "the end after yes"
wait_exit "the game did not end after yes"
[[ $status -eq 0 ]] || fail "exit code $status"

# ---- a reply one byte at a time: a quit while it comes
behave trickle
: >"$log"
[[ -s "$prefs" ]] || fail "prefs.dat is missing after the first run"
touch -d "2001-01-01" "$prefs"
start "$game_binary"
pass_splash "$menu" "the main menu of the second start"
wait_then_click 274 330 "$menu" "$hiscore" "the best scores again"
wait_until "$view" "the World button again"
tables=$(requests tables)
wait_then_click 667 329 "$view" "asked $tables" "the world's list asked for, slowly answered"
shot "$artefacts/slow_reply.png"
wait_then_do "$close_window $window" "$hiscore" confirmation "the close confirmation during the slow reply"
wait_until confirmation "the confirmation during the slow reply"
answered=$(now)
E2E_TIMEOUT=30 wait_then_click $yes confirmation ended "the end after yes during the slow reply"
took=$(within "$answered" 5) || fail "the game took $took s to end during the slow reply"
echo "the game ended $took s after yes, during the slow reply"
wait_exit "the game did not end"
[[ $status -eq 0 ]] || fail "exit code $status after yes during the slow reply"
[[ -s "$prefs" && $(stat -c %Y "$prefs") -gt $(date -d 2001-01-02 +%s) ]] || fail "prefs.dat was not written on the way out"
echo "online replies e2e: ok"
