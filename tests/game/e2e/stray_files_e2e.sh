#!/usr/bin/env bash
# What stands in the data home where the game's files belong, under an X
# display:
# - prefs.dat a pipe and hiscore.dat a link to the zero device, then the
#   other way round: the game opens all the same, tells the player of both
#   as damaged saves, sets them aside (.bad) and plays on;
# - a pipe, a file cut short and a link to the zero device among the
#   downloaded levels: the extra levels page opens and lists the first two
#   (the third is past the rows shown) by name, each saying why it cannot be
#   read, and offers neither to play;
# - prefs.dat replaced by a folder while the game runs: Quit tells that the
#   progress cannot be kept, naming the file and what is wrong with it.
# The screenshots go to the artefacts folder.
# Usage: stray_files_e2e.sh <corvellatrip> <prepare_player> <data folder> <artefacts folder>
set -euo pipefail
game=$1
prepare=$2
data=$(readlink -f "$3")
artefacts=$4
export E2E_SCREEN=800x600 E2E_OWN_DISPLAY=1

source "$(dirname "$(readlink -f "$0")")/../../support/e2e.sh"
source "$(dirname "$(readlink -f "$0")")/game_e2e.sh"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
export CORVELLATRIP_DATA=$data

home=$XDG_DATA_HOME/corvellatrip
scores=$home/hiscore.dat
dialog="pixel 200 165 $accent"                 # the game's dialog's title band
extra="pixel 656 104 ^185 177 168$"           # the extra levels' first pack, locked: its padlock's grey button
download_play() { echo "pixel 676 $((423 + 58 * ($1 - 1))) $accent"; }  # the downloaded levels' rows' play buttons
field="pixel 300 285 ^25[0-5] 2[45][0-9] 2[34][0-9]$"  # the name entry's field (a dialog has its title band too)

# ---- prefs.dat and hiscore.dat a pipe and a link to the zero device
for round in pipe_prefs zero_prefs; do
  rm -rf "$XDG_DATA_HOME"
  mkdir -p "$home"
  if [[ $round == pipe_prefs ]]; then
    mkfifo "$prefs"
    ln -s /dev/zero "$scores"
  else
    ln -s /dev/zero "$prefs"
    mkfifo "$scores"
  fi
  : >"$log"
  start "$game"
  pass_splash "$dialog" "the damaged saves' notice ($round)"
  wait_until "log Telling the player: damagedsave_profiles \\(prefs.dat.bad\\)" "the players' file told ($round)"
  shot "$artefacts/damaged_$round.png"
  wait_then_click 400 408 "$dialog" "log Telling the player: damagedsave_scores \\(hiscore.dat.bad\\)" \
    "the scores' file told ($round)"
  wait_then_click 400 408 "$dialog" "$field" "the name entry after the notices ($round)"
  enter_name "Ada"
  wait_until "$menu" "the main menu ($round)"
  if [[ $round == pipe_prefs ]]; then
    [[ -p "$prefs.bad" && -L "$scores.bad" ]] || fail "the pipe and the link were not set aside ($round)"
  else
    [[ -L "$prefs.bad" && -p "$scores.bad" ]] || fail "the link and the pipe were not set aside ($round)"
  fi
  [[ -f "$prefs" && ! -L "$prefs" && -s "$prefs" ]] || fail "the player was not saved in a new prefs.dat ($round)"
  wait_then_click 366 479 "$menu" ended "the end after Quit ($round)"
  wait_exit "the game did not end after Quit ($round)"
  [[ $status -eq 0 ]] || fail "exit code $status after Quit ($round)"
done

# ---- a pipe, a file cut short and a link to the zero device among the downloaded levels
rm -rf "$XDG_DATA_HOME"
"$prepare" "$data" Ada 10 >/dev/null 2>&1 || fail "the player could not be prepared"
mkdir -p "$home/levels"
mkfifo "$home/levels/Pipe_dream.xml"
printf '<dataroot><career><level>1</level><goal>5' >"$home/levels/Torn_page.xml"
ln -s /dev/zero "$home/levels/Zeros.xml"
: >"$log"
start "$game"
pass_splash "$menu" "the main menu of the prepared player"
wait_then_click 366 299 "$menu" "$map" "the map"
wait_then_click 502 569 "$map" "$extra" "the extra levels"
wait_until "log Pipe_dream.xml cannot be read \\(it is no regular file" "the pipe named in the log"
wait_until "log Torn_page.xml ends inside an element" "the file cut short named in the log"
wait_until "log Zeros.xml cannot be read \\(it is no regular file" "the link named in the log"
point 400 300  # (off the rows)
wait_until "not $(download_play 1)" "the pipe's row without a play button"
wait_until "not $(download_play 2)" "the row of the file cut short without a play button"
shot "$artefacts/unreadable_downloads.png"
wait_then_click 400 561 "$extra" "$map" "the map after the extra levels"
wait_then_click 104 39 "$map" "$menu" "the main menu"
wait_then_click 366 479 "$menu" ended "the end after Quit (downloaded levels)"
wait_exit "the game did not end after Quit (downloaded levels)"
[[ $status -eq 0 ]] || fail "exit code $status after Quit (downloaded levels)"

# ---- prefs.dat replaced by a folder while the game runs
: >"$log"
start "$game"
pass_splash "$menu" "the main menu (prefs.dat to become a folder)"
rm "$prefs"
mkdir "$prefs"
wait_then_click 366 479 "$menu" "$dialog" "the notice after Quit"
told="log ^Telling the player: Your progress since the last save cannot be kept: it cannot be written in .*$home"
wait_until "$told \\(a folder named prefs.dat stands where that file belongs\\)" "the notice naming prefs.dat"
shot "$artefacts/unkept_progress_folder.png"
wait_then_click 400 408 "$dialog" ended "the end after OK"
wait_exit "the game did not end after OK"
[[ $status -eq 0 ]] || fail "exit code $status after OK"
echo "stray files e2e: ok"
