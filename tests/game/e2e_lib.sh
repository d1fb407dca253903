# What the game's end-to-end scripts share: a work folder removed at exit
# (kept with QM_E2E_KEEP=1), the game started with its own data folder and
# log, screenshots of its window, pixels, the pointer, waiting for a picture
# or for the end. Sourced after the script has set `game` and `artefacts`.

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
# The start: the splash movie plays until a click (or a key), then the
# loading screen. Clicks the sky at the upper right (where no later screen
# has anything to press) until the picture at (x, y) matches the pattern
# (grep -E on "r g b"). A click may still land on the first screen after the
# splash: a script that types into a field clicks it first.
pass_splash() {
  for _ in $(seq 60); do
    shot "$work/now.png"
    pixel "$work/now.png" "$1" "$2" | grep -qE "$3" && return 0
    xdotool mousemove --window "$window" 700 150 click 1
    sleep 0.5
  done
  fail "pixel ($1, $2) is $(pixel "$work/now.png" "$1" "$2"), not $3: $4"
}
# The name entry's field, clicked for the keyboard's focus, then the name.
type_name() {
  xdotool mousemove --window "$window" 400 287 click 1
  sleep 0.3
  xdotool type --delay 60 "$1"
}
# A new career opens with a comic: its right arrow turns the pages until
# the map's Play button shows.
page_to_map() {
  local accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
  for _ in $(seq 40); do
    shot "$work/now.png"
    pixel "$work/now.png" 640 576 | grep -qE "$accent" && return 0
    xdotool mousemove --window "$window" 760 567 click 1
    sleep 0.5
  done
  fail "the comic did not lead to the map"
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
