#!/usr/bin/env bash
# The damaged-data sweep: the game played under an X display with one of its
# files damaged at a time (cut to one byte or in half, emptied, deleted, bits
# flipped, a folder in its place, garbage), each kind of file the game reads:
# screen scripts, the string table, configuration and level files, floor
# plans, pictures, sounds, animations and their scripts, fonts, palettes and
# the player's own saves. Each row starts the game, goes where the file is
# read (the main menu, or level 1 of the career), asks the window to close
# (answering "yes" when the game asks), and records:
#   named  - how many log lines name the file (0: the damage went unnoticed)
#   notice - for the player's saves: whether the game told the player
#   exit   - how the game ended: "closed" (exit code 0 on the close request,
#            after its confirmation when one showed), or what went wrong
# and a row passes when the file was named, the notice (if due) was shown and
# the game closed cleanly. The table goes to <artefacts>/damage_sweep.md, the
# log and last picture of each row beside it.
#
# Usage: damage_sweep.sh <corvellatrip> <qm_close_window> <data folder> <artefacts folder> [short]
# "short" runs a few rows (one of each outcome: a screen script, a level
# file, a picture, prefs.dat); without it every row runs (some minutes).
set -uo pipefail
game=$1
close_window=$2
source_data=$3
artefacts=$4
subset=${5:-full}

# A display of its own, 800x600 (also under a test run's larger one): full
# screen (where a start without saved options begins) and the window are
# then the same picture, and no row has to find out which one it got.
if [[ -z "${QM_DAMAGE_SWEEP_DISPLAY:-}" ]]; then
  export QM_DAMAGE_SWEEP_DISPLAY=1
  exec "$(dirname "$(readlink -f "$0")")/../../support/xserver" 800x600 "$0" "$@"
fi

mkdir -p "$artefacts"
work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  [[ -n "${QM_E2E_KEEP:-}" ]] || rm -rf "$work"
}
trap cleanup EXIT

export SDL_AUDIODRIVER=dummy
# Every count of tries below is an idle machine's, times its slowness now.
slowness=$("$(dirname "$(readlink -f "$0")")/../../support/slowness")
# One copy of the resource folder for every row (links to the real files; a
# damaged file replaces its link and is put back after the row), so that the
# saved player, whose section is keyed by this folder, is found in each run.
data=$work/data
cp -rs "$(readlink -f "$source_data")/." "$data"
export CORVELLATRIP_DATA=$data
home=$work/home
export XDG_DATA_HOME=$home
userdir=$home/corvellatrip
log=$work/log

# ---------------------------------------------------------------- the game

shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1" 2>/dev/null
}
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info: 2>/dev/null
}
point() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.3
}
click() {
  point "$1" "$2"
  xdotool click 1
  sleep "${3:-0.5}"
}
alive() { [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; }
accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
# A row's damage may keep away for good the screen a wait looks for (a
# broken menu script shows its notice instead of the menu): once the log
# names the row's file (`row_key`) and the picture has stood still for a
# few looks, the damage has shown what it does and the wait ends.
row_key=
still_looks=0
last_look=
settled() {
  [[ -n "$row_key" ]] || return 1
  local look
  look=$(md5sum <"$work/now.png")
  if [[ "$look" == "$last_look" ]]; then
    still_looks=$((still_looks + 1))
  else
    still_looks=0
    last_look=$look
  fi
  ((still_looks >= 4)) && grep -qF -- "$row_key" "$log"
}
# True once the picture at (x, y) matches, within about `tries` half seconds
# (false at once when the game has ended, or once the row's damage has
# settled), or once a notice about the saves shows; an ACTION, when given,
# is done before each wait.
seen() {
  local tries=$4 action=${5:-}
  last_look=
  for _ in $(seq $((tries * slowness))); do
    alive || return 1
    shot "$work/now.png"
    pixel "$work/now.png" "$1" "$2" | grep -qE "$3" && return 0
    grep -q "^Telling the player" "$log" && return 0
    settled && return 1
    [[ -z "$action" ]] || $action
    sleep 0.5
  done
  return 1
}

start() {
  : >"$log"
  "$game" 2>>"$log" &
  pid=$!
  window=$(timeout $((20 * slowness)) xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
  [[ -n "$window" ]]
}

# The splash movie clicked away (the sky at the upper right, where no later
# screen has anything to press) until the picture at (x, y) matches, within
# about `tries` half seconds; true at once on a notice about the saves.
past_splash() { seen "$1" "$2" "$3" "$4" "click 700 150 0"; }

# The main menu (its Quit button) or a notice about the saves, as far as the
# damage lets it show.
menu_x=290 menu_y=485
to_menu() { past_splash $menu_x $menu_y "$accent" 24 || true; }

# Clicks at (x, y) while the picture at (bx, by) matches `before`, until the
# one at (ax, ay) matches `after` ("!" before it: no longer matches); a click
# the game let pass while a screen slid in is given again. False after about
# `tries` half seconds, or once the row's damage has settled.
advance() {
  local x=$1 y=$2 bx=$3 by=$4 before=$5 ax=$6 ay=$7 after=$8 tries=$9
  local last=0
  last_look=
  for i in $(seq $((tries * slowness))); do
    alive || return 1
    shot "$work/now.png"
    if [[ "$after" == !* ]]; then
      pixel "$work/now.png" "$ax" "$ay" | grep -qE "${after#!}" || return 0
    else
      pixel "$work/now.png" "$ax" "$ay" | grep -qE "$after" && return 0
    fi
    settled && return 1
    if pixel "$work/now.png" "$bx" "$by" | grep -qE "$before" && (( i - last >= 4 || last == 0 )); then
      click "$x" "$y" 0
      last=$i
    fi
    sleep 0.5
  done
  return 1
}

# Level 1 of the career: Play, the map's Play, "Let's play", skip the
# tutorial, and a few seconds of the level (the first parties arrive).
intro_band="^2[23][0-9] 1[01][0-9] [4-7][0-9]$"
to_level() {
  past_splash $menu_x $menu_y "$accent" 24 || return 0
  advance 366 299 $menu_x $menu_y "$accent" $menu_x $menu_y "!$accent" 30 || return 0
  # A new career opens with the story's first comic: its pages turned until
  # the map's Play button shows.
  advance 760 567 640 576 "." 640 576 "$accent" 40 || return 0
  advance 696 569 640 576 "$accent" 180 150 "$intro_band" 30 || return 0
  advance 400 410 400 410 "$accent" 680 84 "$accent" 24 || return 0
  advance 680 84 680 84 "$accent" 680 84 "!$accent" 16 || return 0
  sleep 6
}

# Asks the window to close; answers "yes" when the game asks. Sets `how` to
# how it ended.
close_game() {
  if ! alive; then
    wait "$pid" 2>/dev/null
    how="ended by itself ($?)"
    pid=
    return
  fi
  "$close_window" "$window"
  local asked=
  for i in $(seq $((40 * slowness))); do
    alive || break
    # Still running after a moment: the confirmation shows; "yes" (retried
    # while the dialog may still be building).
    if (( i % 8 == 4 )); then
      click 296 402 0.2
      asked=" after yes"
    fi
    sleep 0.25
  done
  if alive; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=
    how="KILLED: the close request did not end it"
    return
  fi
  wait "$pid"
  local status=$?
  pid=
  if [[ $status -eq 0 ]]; then how="closed$asked"; else how="exit code $status$asked"; fi
}

# ---------------------------------------------------------------- damage

damage() {
  local file=$1 kind=$2
  # A link into the real data folder becomes a copy of its own first.
  if [[ -L "$file" ]]; then
    local real
    real=$(readlink -f "$file")
    rm -f "$file"
    [[ -n "$real" && -f "$real" ]] && cp "$real" "$file"
  fi
  case $kind in
    cut1) head -c 1 "$file" >"$file.t" && mv "$file.t" "$file" ;;
    half) head -c $(( $(stat -c %s "$file") / 2 )) "$file" >"$file.t" && mv "$file.t" "$file" ;;
    empty) : >"$file" ;;
    deleted) rm -f "$file" ;;
    folder) rm -f "$file"; mkdir -p "$file/inside" ;;
    garbage) head -c 300 /dev/urandom >"$file" ;;
    short) printf 'short' >"$file" ;;
    flip)
      python3 -c '
import random, sys
p = sys.argv[1]
b = bytearray(open(p, "rb").read())
r = random.Random(7)
for _ in range(8):
    i = r.randrange(len(b))
    b[i] ^= 1 << r.randrange(8)
open(p, "wb").write(b)' "$file" ;;
    script)
      # The animation's own script: its first "end" becomes "enq".
      python3 -c '
import sys
p = sys.argv[1]
b = bytearray(open(p, "rb").read())
at = b.find(b"end", b.find(b"SCRP"))
b[at + 2] = ord("q")
open(p, "wb").write(b)' "$file" ;;
  esac
}

# Puts back what a row damaged.
restore() {
  local file=$1 original=$2
  rm -rf "$file"
  [[ -n "$original" ]] && ln -s "$original" "$file"
  return 0
}

# ---------------------------------------------------------------- the saved player

# A first start names a player; the saves it leaves are the rows' starting point.
rm -rf "$home"
start || { echo "FAIL: no window appeared"; cat "$log"; exit 1; }
past_splash 250 160 "$accent" 50 || { echo "FAIL: no name entry"; cat "$log"; exit 1; }
click 400 287  # the field, in case a click meant for the splash took its focus
xdotool type --delay 60 "Ada"
xdotool key Return
seen $menu_x $menu_y "$accent" 30 || { echo "FAIL: no main menu after the name"; cat "$log"; exit 1; }
close_game
[[ "$how" == closed* ]] || { echo "FAIL: the first run did not close: $how"; cat "$log"; exit 1; }
[[ -s "$userdir/prefs.dat" ]] || { echo "FAIL: no prefs.dat"; exit 1; }
cp "$userdir/prefs.dat" "$work/prefs.good"

# ---------------------------------------------------------------- the rows

# file (below the data folder, or prefs.dat / hiscore.dat) | damages | where | what names it
rows_full=(
  "assets/scripts/mainmenu.lua|cut1 half empty deleted|menu|scripts/mainmenu.lua"
  "assets/scripts/closeconfirm.lua|cut1 half empty deleted|menu|scripts/closeconfirm.lua"
  "assets/scripts/game.lua|cut1 empty deleted|level|scripts/game.lua"
  "assets/scripts/levelintro.lua|cut1 empty deleted|level|scripts/levelintro.lua"
  "assets/strings.xml|half empty deleted|menu|strings.xml"
  "assets/config/global.xml|cut1 half empty deleted|level|config/global.xml"
  "assets/config/career/1.xml|cut1 half empty deleted|level|career/1.xml"
  "assets/layouts/cruise01.txt|cut1 half empty deleted|level|layouts/cruise01.txt"
  "assets/config/customer.xml|half empty deleted|level|config/customer.xml"
  "assets/config/actionpoints.xml|half empty deleted|level|config/actionpoints.xml"
  "assets/config/unlocks.xml|half empty deleted|menu|config/unlocks.xml"
  "assets/restaurants/cruise/upgrades/upgrades.xml|half empty deleted|level|upgrades/upgrades.xml"
  "assets/quessa/colors.inf|half empty deleted|level|quessa/colors.inf"
  "assets/ui/menu/welcome.png|cut1 half empty deleted|menu|ui/menu/welcome"
  "assets/audio/music/mainmenumusic.ogg|cut1 half empty deleted|menu|mainmenumusic.ogg"
  "assets/audio/sfx/customer_ditch.ogg|half deleted|level|customer_ditch.ogg"
  "assets/ui/ui_globe.anm|cut1 half empty deleted|level|ui/ui_globe.anm"
  "assets/quessa/base.anm|script|menu|quessa/base"
  "assets/fonts/corona.mvec|cut1 half empty deleted|menu|fonts/corona.mvec"
  "assets/customers/young_female/red.pal|cut1 empty deleted|level|young_female/red.pal"
  "prefs.dat|cut1 half empty flip folder|menu|prefs.dat"
  "hiscore.dat|garbage short empty folder|menu|hiscore.dat"
)
rows_short=(
  "assets/scripts/mainmenu.lua|cut1|menu|scripts/mainmenu.lua"
  "assets/config/career/1.xml|half|level|career/1.xml"
  "assets/ui/menu/welcome.png|empty|menu|ui/menu/welcome"
  "prefs.dat|half|menu|prefs.dat"
)
if [[ "$subset" == short ]]; then rows=("${rows_short[@]}"); else rows=("${rows_full[@]}"); fi

table=$artefacts/damage_sweep.md
{
  echo "| file | damage | where | named | notice | exit | verdict |"
  echo "|---|---|---|---|---|---|---|"
} >"$table"
failures=0
for row in "${rows[@]}"; do
  IFS='|' read -r file damages where key <<<"$row"
  for kind in $damages; do
    # The saved player as the first run left it; the row's damage on top.
    rm -rf "$userdir"
    mkdir -p "$userdir"
    cp "$work/prefs.good" "$userdir/prefs.dat"
    save=
    case $file in
      prefs.dat|hiscore.dat) target=$userdir/$file; save=yes; original= ;;
      *) target=$data/$file; original=$(readlink -f "$target" 2>/dev/null || true) ;;
    esac
    damage "$target" "$kind"

    name=$(echo "$file" | tr '/.' '__')_$kind
    row_key=$key
    if start; then
      if [[ "$where" == level ]]; then to_level; else to_menu; fi
      shot "$artefacts/$name.png"
      close_game
    else
      how="no window"
    fi
    cp "$log" "$artefacts/$name.log"
    named=$(grep -cF -- "$key" "$log")
    notice=-
    if [[ -n "$save" ]]; then
      if grep -q "^Telling the player: damagedsave_" "$log"; then notice=shown; else notice=MISSING; fi
    fi
    verdict=ok
    [[ $named -gt 0 ]] || verdict=SILENT
    [[ "$notice" != MISSING ]] || verdict=FAIL
    [[ "$how" == closed* ]] || verdict=FAIL
    [[ "$verdict" == ok ]] || failures=$((failures + 1))
    line="| $file | $kind | $where | $named | $notice | $how | $verdict |"
    echo "$line" >>"$table"
    echo "$line"

    if [[ -n "$save" ]]; then rm -rf "$target"; else restore "$target" "$original"; fi
  done
done

echo
echo "table: $table"
if [[ $failures -gt 0 ]]; then
  echo "FAIL: $failures rows went unnoticed or did not close cleanly"
  exit 1
fi
echo "damage sweep: every row named and closed cleanly"
