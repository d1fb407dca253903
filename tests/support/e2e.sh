# The end-to-end helper: every e2e script sources this file and drives a
# program under an X display with xdotool, deciding each step by a STATE it
# waits for, never by a fixed sleep.
#
#   source "$(dirname "$(readlink -f "$0")")/../support/e2e.sh"
#   start "$game"                        # the program, its log, its window
#   menu="pixel 330 495 ^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"  # Quit's colour
#   map="pixel 640 576 ^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"   # the map's Play
#   wait_until "$menu" "the main menu"
#   wait_then_click 400 299 "$menu" "$map" "the map after Play"
#   wait_then_click 400 491 "$menu" ended "the end after Quit"
#
# A STATE is a string, checked as often as the helper likes:
#   pixel X Y REGEX   the window's pixel at (X, Y), as "r g b" (0-255),
#                     matches the grep -E pattern (it may hold spaces)
#   log REGEX         a line of the program's log (its standard error) matches
#   file PATH         the file exists and is not empty
#   changed PNG [N [WxH+X+Y]]
#                     the window's picture differs from PNG in more than N
#                     pixels (default 500), within the rectangle if given
#   unchanged PNG [N [WxH+X+Y]]
#                     the opposite: at most N pixels differ (default 0)
#   ended             the program has ended
#   not STATE         the state does not hold
#   anything else     a command (e.g. a shell function of the script) that
#                     succeeds when the state holds; split on blanks
#
# The shape of a step:
#   wait_until STATE [WHAT]
#       Waits for the state; fails the test after E2E_TIMEOUT seconds.
#   wait_then_click X Y BEFORE AFTER [WHAT]
#       Waits for BEFORE, clicks at window point (X, Y), and waits for AFTER.
#       A click the program ignored (a screen still sliding or counting) is
#       repeated every E2E_RETRY seconds, but only while BEFORE still holds,
#       so a click that was taken is never repeated on the next screen.
#       BEFORE "-" means no precondition and a single click.
#   wait_then_key KEYS BEFORE AFTER [WHAT]
#       The same with a key (xdotool key names, e.g. "Return", "alt+Return").
#   wait_then_do COMMAND BEFORE AFTER [WHAT]
#       The same with any command (a string, split on blanks).
#
# Also: holds STATE (checks once), shot PNG (the window's 800x600 picture),
# pixel PNG X Y, colours PNG, point X Y (moves the pointer), click X Y,
# differ A.png B.png (pixels that differ), wait_exit WHAT (waits for the
# program to end; its exit code is in $status), fail MESSAGE (shows the log).
#
# Sourcing runs the script again under a virtual X display (tests/support/xserver) when
# there is no DISPLAY, or always with E2E_OWN_DISPLAY=1 set before it (a
# script that changes the server, e.g. its keyboard layout). That server's
# screen is E2E_SCREEN (default 1280x1024).
#
# Time-outs are whole seconds on an idle machine: E2E_TIMEOUT (default 60)
# bounds each wait, E2E_RETRY (default 3) is how long a click may take to
# show (a script may set either for one step: E2E_TIMEOUT=300 wait_until ...).
# The helper multiplies both by the machine's slowness when it starts
# ($e2e_slowness, from tests/support/slowness: QM_TEST_SLOWNESS, or the load
# per core), so a busy machine makes a test slower, not red. The scripts run
# the game's clock fast (CORVELLATRIP_TIME_SCALE), so levels last seconds. $work is a scratch folder removed at exit (kept with
# QM_E2E_KEEP=1); XDG_DATA_HOME points into it ($prefs is the game's
# prefs.dat); SDL_AUDIODRIVER is dummy.

if [[ -z "${DISPLAY:-}" ]] || [[ -n "${E2E_OWN_DISPLAY:-}" && -z "${_E2E_OWN_DISPLAY_UP:-}" ]]; then
  _E2E_OWN_DISPLAY_UP=1 exec "$(dirname "${BASH_SOURCE[0]}")/xserver" "${E2E_SCREEN:-1280x1024}" "$0" "$@"
fi

E2E_TIMEOUT=${E2E_TIMEOUT:-60}
E2E_RETRY=${E2E_RETRY:-3}
e2e_slowness=$("$(dirname "${BASH_SOURCE[0]}")/slowness")

work=$(mktemp -d)
log=$work/log
: >"$log"
pid=
window=
status=
_e2e_keep=${QM_E2E_KEEP:-}
_e2e_cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  if [[ -n "$_e2e_keep" ]]; then
    echo "work folder kept: $work"
  else
    rm -rf "$work"
  fi
}
trap _e2e_cleanup EXIT

export SDL_AUDIODRIVER=dummy
export XDG_DATA_HOME=$work/data
prefs=$XDG_DATA_HOME/corvellatrip/prefs.dat

fail() {
  echo "FAIL: $*" >&2
  echo "---- program log (last 60 lines):" >&2
  grep -vE "Queueing message|TEXT CALIBRATION" "$log" | tail -n 60 >&2 || true
  if [[ -n "$window" ]] && [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    local name
    name=${artefacts:-$work}/fail-$(date +%s).png
    mkdir -p "$(dirname "$name")"
    shot "$name" 2>/dev/null && echo "---- the window at the failure: $name" >&2
    # A program that no longer answers shows where it waits.
    if command -v gdb >/dev/null; then
      echo "---- its threads:" >&2
      timeout 60 gdb -p "$pid" -batch -ex "thread apply all bt 12" 2>/dev/null |
        grep -E "^(Thread|#)" >&2 || true
    fi
  fi
  exit 1
}

# Starts the program (standard error into $log), waits for its window and
# moves the pointer into it: keys go to the window under the pointer when no
# window manager runs.
start() {
  "$@" 2>>"$log" &
  pid=$!
  local end=$((SECONDS + E2E_TIMEOUT * e2e_slowness))
  window=
  while [[ -z "$window" ]]; do
    kill -0 "$pid" 2>/dev/null || fail "$1 ended before its window appeared"
    ((SECONDS < end)) || fail "no window of $1 appeared"
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    [[ -n "$window" ]] || sleep 0.1
  done
  point 400 300
}

# ---- pictures
_e2e_geometry() { eval "$(xdotool getwindowgeometry --shell "$window")"; }
shot() {
  _e2e_geometry
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}
_e2e_rgb() { sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'; }
# The colour at (x, y) of a PNG, or of the window now, as "r g b" (0-255).
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | _e2e_rgb
}
window_pixel() {
  _e2e_geometry
  import -window root -crop "1x1+$((X + $1))+$((Y + $2))" -depth 8 txt:- | _e2e_rgb
}
colours() { convert "$1" -format "%k" info:; }
# The number of pixels that differ between two pictures, within a rectangle
# (WxH+X+Y) if given.
differ() {
  local n region=${3:+[$3]}
  n=$(compare -metric AE "$1$region" "$2$region" null: 2>&1 || true)
  n=${n%%.*}
  # (a picture that cannot be compared differs everywhere)
  [[ "$n" =~ ^[0-9]+$ ]] && echo "$n" || echo 999999999
}
# The same between a picture and the window now.
_e2e_differ_now() {
  shot "$work/now.png"
  differ "$1" "$work/now.png" "${2:-}"
}

# ---- input
point() { xdotool mousemove --window "$window" "$1" "$2"; }
click() {
  point "$1" "$2"
  xdotool click 1
}

# ---- states
holds() {
  local kind rest x y
  read -r kind rest <<<"$1"
  case "$kind" in
    pixel)
      read -r x y rest <<<"$rest"
      x=$(window_pixel "$x" "$y")
      grep -qE -- "$rest" <<<"$x"
      ;;
    log) grep -qE -- "$rest" "$log" ;;
    file) [[ -s "$rest" ]] ;;
    changed)
      read -r x y rest <<<"$rest"
      (($(_e2e_differ_now "$x" "$rest") > ${y:-500}))
      ;;
    unchanged)
      read -r x y rest <<<"$rest"
      (($(_e2e_differ_now "$x" "$rest") <= ${y:-0}))
      ;;
    ended) ! kill -0 "$pid" 2>/dev/null ;;
    not) ! holds "$rest" ;;
    *) $1 ;;
  esac
}
# What a state looked like, for a failure message.
_e2e_describe() {
  local kind rest x y
  read -r kind rest <<<"$1"
  case "$kind" in
    pixel)
      read -r x y rest <<<"$rest"
      echo "pixel ($x, $y) is $(window_pixel "$x" "$y"), not $rest"
      ;;
    *) echo "not yet: $1" ;;
  esac
}
# Polls the state until it holds or `seconds` (an idle machine's) pass; fails
# only the call.
_e2e_poll() {
  local end=$((SECONDS + $2 * e2e_slowness))
  while :; do
    holds "$1" && return 0
    [[ "$1" == ended ]] || kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for: $1"
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}
wait_until() {
  _e2e_poll "$1" "$E2E_TIMEOUT" ||
    fail "${2:-$1}: $(_e2e_describe "$1") (after $((E2E_TIMEOUT * e2e_slowness)) s)"
}

wait_then_do() {
  local action=$1 before=$2 after=$3 what=${4:-$3}
  [[ "$before" == - ]] || wait_until "$before" "$what (before)"
  local end=$((SECONDS + E2E_TIMEOUT * e2e_slowness))
  $action
  while ! _e2e_poll "$after" "$E2E_RETRY"; do
    ((SECONDS < end)) || fail "$what: $(_e2e_describe "$after")"
    if [[ "$before" != - ]] && holds "$before"; then
      echo "retrying: $what"
      $action
    fi
  done
}
wait_then_click() { wait_then_do "click $1 $2" "$3" "$4" "${5:-}"; }
wait_then_key() { wait_then_do "xdotool key $1" "$2" "$3" "${4:-}"; }

# Waits for the program to end (fails with WHAT otherwise); its exit code is
# left in $status.
wait_exit() {
  _e2e_poll ended "$E2E_TIMEOUT" || fail "$1"
  status=0
  wait "$pid" || status=$?
  pid=
}
