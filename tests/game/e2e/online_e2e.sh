#!/usr/bin/env bash
# The score server reached from the game as a player reaches it: on a copy
# of the game's data whose string table has the full score screens
# (highscoremode 0) and whose hiscoreserver.txt names a loopback server
# (hiscore_server.py, on 127.0.0.1 at a port the system picks), a new player
# plays an endless shift to its end; the level-over board announces a new
# personal best and leads to the best scores; the world's list is fetched;
# the best score is sent by the submit dialog's clicks, refused by the
# server, met by silence (a connection held open until the game gives up,
# and one closed without a reply), each shown as text in the dialog, and
# then taken: the world's list shows again with the congratulations, and
# the local list offers nothing more to send.
# The screenshots are kept in the artefacts folder (and copied to a second
# folder when one is given).
# Usage: online_e2e.sh <corvellatrip> <data folder> <artefacts folder> [copies folder]
set -euo pipefail
game_binary=$1
data=$2
artefacts=$3
copies=${4:-}
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
export CORVELLATRIP_TIME_SCALE=${ONLINE_TIME_SCALE:-4}

# ---- the data copy: the full score screens, one heart an endless shift
# and no points lost by a walk-out, so that the shift ends soon after its
# first order with those points; guests patient until their order is taken.
gamedata=$work/gamedata
cp -rs "$(readlink -f "$data")/." "$gamedata"
python3 - "$gamedata/assets" <<'PY'
import os, re, sys
assets = sys.argv[1]

def rewrite(path, pattern, replacement, expected):
    text = open(path).read()
    text, n = re.subn(pattern, replacement, text)
    if n < expected:
        sys.exit("%s: %s found %d times" % (path, pattern, n))
    os.remove(path)  # a link to the shipped file
    with open(path, "w") as out:
        out.write(text)

rewrite(assets + "/strings.xml", r'(highscoremode</Data></Cell><Cell><Data ss:Type="String">)2<', r"\g<1>0<", 1)
rewrite(assets + "/config/endless.xml", r"<numStars>\d+</numStars>", "<numStars>1</numStars>", 1)
rewrite(assets + "/config/endless.xml", r"<leavePenalty>\d+</leavePenalty>", "<leavePenalty>0</leavePenalty>", 1)
# The party waits ten times as long in line and for its order to be taken
# (the clicks that seat it and take it come at a busy machine's pace); once
# its order is in, it walks out as soon as before.
rewrite(assets + "/config/customer.xml", r"<(waiting_MadMS|ready_HappyMS|ready_MadMS)>(\d+)<",
        lambda m: "<%s>%d<" % (m.group(1), int(m.group(2)) * 10), 3)
PY
export CORVELLATRIP_DATA=$gamedata

# ---- the loopback score server, stopped with the test (and by itself)
start_score_server "$gamedata" 900
requested_more() { [[ $(requests "$1") -gt $2 ]]; }
failures() { grep -c "^hiscore submission failed: " "$log" || true; }
failed_more() { [[ $(failures) -gt $1 ]]; }

# ---- the screens' states
endless_map="pixel 20 40 $accent"              # the map's Back button
difficulty="pixel 250 165 $accent"             # the difficulty's title band
skip="pixel 22 164 $accent"                    # "Skip tutorial" (left of its label)
hud="pixel 5 37 $paper"                        # the floor's display
hiscore="pixel 160 30 $accent"                 # the best scores' title band
new_best="pixel 370 403 $accent"               # the board's way to the best scores
leave="pixel 430 485 $accent"                  # the board's Leave
view="pixel 632 320 $accent"                   # "World" (between the category arrows)
send="pixel 590 380 $accent"                   # "Send"
view_local="pixel 740 400 $accent"             # "Mine" (where Send is darker)
dialog_send="pixel 212 420 $accent"            # the dialog's Send
dialog_ok="pixel 320 420 $accent"              # the dialog's OK (where Send was)
board() { holds "pixel 180 90 $band" && holds "pixel 160 250 $paper"; }
# The world's list: "Mine" shown, "World" and "Send" gone.
world() { holds "$view_local" && ! holds "$view" && ! holds "$send"; }
local_list() { holds "$view" && ! holds "$view_local"; }
dialog() { holds "$dialog_send"; }
failure_shown() { holds "$dialog_ok" && ! holds "$dialog_send"; }
# Pixels of the text ink (#3b2a33 and its anti-aliasing) in a rectangle of
# the window now.
ink_in() {
  shot "$work/ink.png"
  convert "$work/ink.png" -crop "$1" +repage -fill white -fuzz 12% +opaque "rgb(59,42,51)" \
    -fill black -opaque "rgb(59,42,51)" -format "%[fx:int(w*h*(1-mean))]" info:
}
inked() { [[ $(ink_in "$1") -gt ${2:-40} ]]; }

keep() {
  shot "$artefacts/$1.png"
  [[ $(colours "$artefacts/$1.png") -gt 50 ]] || fail "$1 has too few colours"
  [[ -z "$copies" ]] || { mkdir -p "$copies" && cp "$artefacts/$1.png" "$copies/"; }
}
check_log() {
  grep -q "not found" "$log" && fail "the log names something not found: $(grep "not found" "$log" | head -3)"
  grep -q "Missing string" "$log" && fail "the log names a missing label: $(grep "Missing string" "$log" | head -3)"
  grep -q "is not in its statement" "$log" && fail "the log names an unknown child: $(grep "is not in its statement" "$log" | head -3)"
  return 0
}

# ---- a new player's endless shift, to its end
start "$game_binary"
pass_splash "$name_entry" "the name entry"
enter_name "Ada"
wait_then_click 566 299 "$menu" "$endless_map" "the map in endless mode"
wait_then_click 150 180 "$endless_map" "$difficulty" "the difficulty of the ship's shift"
wait_then_click 400 260 "$difficulty" intro "the endless tutorial's intro"
wait_then_click 400 402 intro "$skip" "the floor with its tutorial"
wait_then_click 102 169 "$skip" intro "the endless shift's intro after the tutorial is skipped"
wait_then_click 400 402 intro "not intro" "the endless shift"
wait_until "$hud" "the floor's display"
# The first party seated at the table on the upper left and its order taken
# (the order's points); left alone then, it walks out, and with its only
# heart the shift is over.
take_order() {
  drag_to 320 272
  sleep 1  # (her walk to the table)
  click 320 268
}
(($(requests tables) == 0)) || fail "the game asked the score server before the best scores were opened"
E2E_TIMEOUT=180 E2E_RETRY=6 wait_then_do take_order "not log level over" "log level over" "the shift's end"
grep -qE "^level over: game over, [1-9][0-9]* points, a new personal best$" "$log" ||
  fail "the shift did not end on a new best: $(grep "^level over" "$log")"
wait_until board "the level-over board"
wait_until "$new_best" "the board's way to the best scores"
wait_until "$leave" "the board's Leave"
keep levelover_new_best
[[ ! -s "$server/requests" ]] || fail "the game asked the score server in play: $(cat "$server/requests")"

# ---- the best scores: the local list, then the world's
wait_then_click 448 403 "$new_best" "$hiscore" "the best scores from the board"
wait_until local_list "the local list with its world-list button"
wait_until "$send" "the local list's Send (the shift's score is eligible)"
keep hiscore_local
wait_then_click 667 329 local_list world "the world's list"
(($(requests tables) == 1 && $(requests get) == 1)) || fail "the world's list was not asked once: $(cat "$server/requests")"
grep -qE "^get .*type=corvellatrip_(easy|medium|hard)" "$server/requests" ||
  fail "the world's list was not asked for the endless table: $(grep "^get" "$server/requests")"
wait_until "inked 200x30+124+152" "the world list's first row"
keep hiscore_world

# ---- the submit dialog: refused, silence, no reply, then taken
wait_then_click 667 401 world local_list "the local list again"
wait_then_click 667 391 "$send" dialog "the submit dialog"
wait_until "inked 200x26+396+199 20" "the player's name in the dialog"
keep hiscore_submit

behave refuse
before=$(failures)
wait_then_click 290 426 dialog failure_shown "the server's refusal"
wait_until "failed_more $before" "the refusal's line in the log"
grep -q "^hiscore submission failed: This name may not send scores today\.$" "$log" ||
  fail "the refusal's text was not shown: $(grep "^hiscore submission failed" "$log")"
wait_until "inked 440x170+180+197" "the refusal's text in the dialog"
keep submit_refused

behave silent
wait_then_click 400 426 failure_shown dialog "the dialog's form after OK"
before=$(failures)
submits=$(requests submit)
wait_then_click 290 426 dialog "requested_more submit $submits" "the submission to the silent server"
# (the game gives a silent server 30 seconds)
E2E_TIMEOUT=180 wait_until "failed_more $before" "the game giving up on the silent server"
grep "^hiscore submission failed: " "$log" | tail -n 1 | grep -q "Unable to connect to server" ||
  fail "the silence was not told: $(grep "^hiscore submission failed" "$log" | tail -n 1)"
wait_until failure_shown "the failure's OK after the silence"
wait_until "inked 440x170+180+197" "the failure's text in the dialog"
keep submit_silent

behave noreply
wait_then_click 400 426 failure_shown dialog "the dialog's form after OK"
before=$(failures)
wait_then_click 290 426 dialog failure_shown "the submission closed without a reply"
wait_until "failed_more $before" "the failure's line in the log"
grep "^hiscore submission failed: " "$log" | tail -n 1 | grep -q "Unable to connect to server" ||
  fail "the closed connection was not told: $(grep "^hiscore submission failed" "$log" | tail -n 1)"

behave accept
wait_then_click 400 426 failure_shown dialog "the dialog's form after OK"
tables=$(requests tables)
wait_then_click 290 426 dialog world "the world's list after the score was taken"
requested_more tables "$tables" || fail "the world's list was not asked again after the submission"
(($(requests submit) == 4)) || fail "not four submissions: $(grep "^submit" "$server/requests")"
keep hiscore_submitted
wait_then_click 667 401 world local_list "the local list after the submission"
holds "$send" && fail "the local list still offers a score to send"

# ---- back to the board, the map, the menu and out
wait_then_click 667 561 "$hiscore" board "the board after the best scores"
wait_then_click 504 485 "$leave" "$endless_map" "the map after the board"
wait_then_click 104 39 "$endless_map" "$menu" "the main menu"
wait_then_click 366 479 "$menu" ended "the end after Quit"
wait_exit "Quit did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status"
check_log
cp "$log" "$artefacts/online.log"
cp "$server/requests" "$artefacts/server_requests.txt"
echo "online: ok ($(wc -l <"$server/requests") requests to the score server)"
