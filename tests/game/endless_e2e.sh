#!/usr/bin/env bash
# Plays the upgrade screen between three endless shifts and then the hiscore
# screen as a person would, under an X display, on the demonstration program
# (endless_screens_demo): a copy of the game's data whose main loop opens
# them. Each chosen upgrade must reach the game ("applied: ..." in its log);
# the screenshots are kept and must be neither blank nor one colour.
# Usage: endless_e2e.sh <endless_screens_demo> <data folder> <artefacts folder>
set -euo pipefail
demo=$1
data=$2
artefacts=$3

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$artefacts"
log=$work/log
fail() {
  echo "FAIL: $*" >&2
  echo "---- program log:" >&2
  grep -v "Queueing message" "$log" | tail -40 >&2 || true
  exit 1
}

# The game's data, linked file by file, with a main loop of its own.
cp -rs "$(readlink -f "$data")/." "$work/gamedata"
rm "$work/gamedata/assets/scripts/mainloop.lua"
cat >"$work/gamedata/assets/scripts/mainloop.lua" <<'LUA'
ReadFile("scripts/ui.lua")
return function()
    for shift = 1, 3 do
        DoModal("scripts/upgrade.lua")
    end
    DoModal("scripts/hiscore.lua")
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
LUA
export CORVELLATRIP_DATA=$work/gamedata
export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/data

shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}
colours() { convert "$1" -format "%k" info:; }
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
point() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.4
}
click() {
  point "$1" "$2"
  xdotool click 1
  sleep 0.4
}
wait_pixel() {
  for _ in $(seq 50); do
    shot "$work/now.png"
    pixel "$work/now.png" "$1" "$2" | grep -qE "$3" && return 0
    sleep 0.2
  done
  fail "pixel ($1, $2) is $(pixel "$work/now.png" "$1" "$2"), not $3: $4"
}
keep() {
  shot "$artefacts/$1"
  local n
  n=$(colours "$artefacts/$1")
  [[ $n -gt 50 ]] || fail "$1 has only $n colours"
}
applied() { grep -c "^applied: " "$log" || true; }

"$demo" 2>>"$log" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1) || fail "no window appeared"
# The game starts in full screen, which an X server without a window manager cannot show: leave it.
point 400 300
xdotool key alt+Return
sleep 0.5

wall="^24[0-9] 21[0-9] 17[0-9]$"
# Offer k is centred at (200 + 150 k, 178); continue appears at the lower right.
for shift in 1 2 3; do
  wait_pixel 20 20 "$wall" "the upgrade screen's wall (shift $shift)"
  sleep 0.3
  [[ $shift == 1 ]] && keep upgrade_offers.png
  [[ $shift == 3 ]] && keep upgrade_third_shift.png
  point 350 178
  [[ $shift == 1 ]] && keep upgrade_pointed.png
  choice=$(( shift == 2 ? 1 : 0 ))
  click $((200 + 150 * choice)) 178
  [[ $shift == 1 ]] && keep upgrade_chosen.png
  before=$(applied)
  click 578 439
  for _ in $(seq 25); do [[ $(applied) -gt $before ]] && break; sleep 0.2; done
  [[ $(applied) -gt $before ]] || fail "continue bought nothing in shift $shift"
  [[ $shift == 3 ]] || sleep 0.3
done
grep -q "^applied: table$" "$log" || fail "the first shift's table was not added"

# The hiscore screen with the player's endless score.
wait_pixel 20 20 "^3[0-9] 5[0-9] 9[0-9]$" "the hiscore screen's sky"
sleep 0.3
keep hiscore.png
click 667 561
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the hiscore screen"
wait "$pid" || fail "the program ended with an error"
pid=
echo "upgrades bought: $(grep "^applied: " "$log" | sed 's/^applied: //' | paste -sd, -)"
