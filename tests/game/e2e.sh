#!/usr/bin/env bash
# Plays the start of the game as a person would, under an X display: the
# title screen shows (its screenshot is kept and must be neither blank nor
# one colour), the cursor changes over a button, the window's close button
# asks for confirmation, "no" goes back, "yes" ends the program with exit
# code 0, and prefs.dat reads back cleanly in a second run.
# Usage: e2e.sh <corvellatrip> <qm_close_window> <artefacts folder>
set -euo pipefail
game=$1
close_window=$2
artefacts=$3

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
echo "work folder: $work"
pid=
keep=${QM_E2E_KEEP:-}
cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
  fi
  [[ -n "$keep" ]] || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$artefacts"
log=$work/log
fail() {
  echo "FAIL: $*" >&2
  echo "---- program log:" >&2
  cat "$log" >&2 || true
  exit 1
}

export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/data
prefs=$XDG_DATA_HOME/corvellatrip/prefs.dat

# The window's picture (800x600) as a PNG.
shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}
colours() { convert "$1" -format "%k" info:; }
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# The pixels of a 32x32 square at (x, y) that differ between two pictures,
# as a black and white mask.
cursor_mask() {
  convert "$1" "$2" -crop "32x32+$3+$4" +repage -compose difference -composite \
    -colorspace gray -threshold 3% "$5"
}
# Moves the pointer to window coordinates and lets a few frames pass.
point() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.4
}
start() {
  "$game" 2>>"$log" &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || fail "no window appeared"
}
wait_exit() {
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "$1"
  status=0
  wait "$pid" || status=$?
  pid=
}
# Waits until the picture at (x, y) matches the pattern (grep -E on "r g b").
wait_pixel() {
  for _ in $(seq 50); do
    shot "$work/now.png"
    pixel "$work/now.png" "$1" "$2" | grep -qE "$3" && return 0
    sleep 0.2
  done
  fail "pixel ($1, $2) is $(pixel "$work/now.png" "$1" "$2"), not $3: $4"
}

start
# Keys go to the window under the pointer; the game starts in full screen,
# which an X server without a window manager cannot show: leave it.
point 400 300
xdotool key alt+Return
sleep 0.5

# The title screen: the navy sky at the top left, the logo and the panel.
wait_pixel 20 20 "^3[0-9] 5[0-9] 9[0-9]$" "the title screen's sky"
shot "$artefacts/title.png"
n=$(colours "$artefacts/title.png")
[[ $n -gt 50 ]] || fail "the title screen has only $n colours"
[[ -s "$prefs" ]] || fail "no prefs.dat after the full-screen toggle"

# The cursor: an arrow over the sky, another picture over the Quit button.
# Where the platform draws it depends on how the X server reports the
# pointer: under Xvfb driven by xdotool it can stay where the window put it
# at start-up (the window's centre), elsewhere it follows the pointer. Either
# way its picture must change over the button.
point 40 300;  shot "$work/sky_a.png"
point 140 300; shot "$work/sky_b.png"
point 330 440; shot "$work/button_a.png"
point 420 440; shot "$work/button_b.png"
moved=$(compare -metric AE "$work/sky_a.png" "$work/sky_b.png" null: 2>&1 || true)
if [[ ${moved%%.*} -gt 0 ]]; then
  cursor_mask "$work/sky_a.png" "$work/sky_b.png" 40 300 "$work/arrow.png"
  cursor_mask "$work/button_a.png" "$work/button_b.png" 330 440 "$work/hand.png"
else
  # The pictures of a cursor that stays at the centre, against the sky's
  # picture of that spot with the pointer over the button.
  convert "$work/sky_a.png" -crop 40x40+392+292 +repage "$work/arrow.png"
  convert "$work/button_a.png" -crop 40x40+392+292 +repage "$work/hand.png"
fi
changed=$(compare -metric AE "$work/arrow.png" "$work/hand.png" null: 2>&1 || true)
[[ ${changed%%.*} -gt 40 ]] || fail "the cursor looks the same over the button ($changed pixels differ)"
convert "$work/arrow.png" "$work/hand.png" +append -scale 400% "$artefacts/cursor_sky_then_button.png"

# The close button asks; "no" goes back to the title screen.
dialog_band="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
point 400 300
"$close_window" "$window"
wait_pixel 200 165 "$dialog_band" "the confirmation's title band"
shot "$artefacts/closeconfirm.png"
point 504 408
xdotool click 1
wait_pixel 200 165 "^3[0-9] 5[0-9] 9[0-9]$" "the title screen again after no"
kill -0 "$pid" 2>/dev/null || fail "the program ended after no"

# "yes" ends the program cleanly.
"$close_window" "$window"
wait_pixel 200 165 "$dialog_band" "the confirmation, a second time"
point 296 408
xdotool click 1
wait_exit "the program did not end after yes"
[[ $status -eq 0 ]] || fail "exit code $status after yes"
[[ -s "$prefs" ]] || fail "prefs.dat is missing after quitting"

# prefs.dat reads back: a second run keeps it (a file that cannot be read is
# set aside as prefs.dat.bad) and quits cleanly from the title screen.
start
point 400 300
wait_pixel 20 20 "^3[0-9] 5[0-9] 9[0-9]$" "the title screen of the second run"
[[ ! -e "$prefs.bad" ]] || fail "prefs.dat could not be read back"
point 400 447
xdotool click 1
wait_exit "the Quit button did not end the program"
[[ $status -eq 0 ]] || fail "exit code $status after Quit"
echo "e2e: ok"
