#!/usr/bin/env bash
# Ctrl+C while the stand-alone interpreter runs a script ends the script as
# the 5.0 interpreter ends it: "interrupted!" with a traceback, exit status 1.
# The interrupt is sent once the script is seen spinning in its endless loop
# (it wrote its start file and has used CPU time since), so the traceback
# always points into the loop.
# Usage: interpreter_interrupt.sh <lua50> <folder with spin.lua>
set -euo pipefail
slowness=$("$(dirname "$(readlink -f "$0")")/../support/slowness")
limit=$((30 * slowness))
lua=$(readlink -f "$1")
cd "$2"
work=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -s $work/err ]] && { echo "---- standard error" >&2; cat "$work/err" >&2; }
  exit 1
}

# field N of the interpreter's /proc stat line (3 its state, 14 its user CPU
# time in clock ticks; the name before them holds no blank), empty once the
# shell has collected its end
stat() { awk -v n="$1" '{ print $n }' "/proc/$pid/stat" 2>/dev/null || true; }
running() { [[ ! $(stat 3) =~ ^(Z|)$ ]]; }
# waits_for WHAT COMMAND...: until the command succeeds, while lua50 runs
waits_for() {
  local what=$1 end=$((SECONDS + limit))
  shift
  until "$@"; do
    ((SECONDS < end)) || fail "$what: not within $limit s"
    running || fail "$what: lua50 ended first"
    sleep 0.01
  done
}

"$lua" spin.lua "$work/started" >"$work/out" 2>"$work/err" &
pid=$!
waits_for "the script's start" test -s "$work/started"
ticks=$(stat 14)
spun() { (($(stat 14) >= ticks + 2)); }
waits_for "the script's loop" spun
kill -INT "$pid"
end=$((SECONDS + limit))
while running; do
  ((SECONDS < end)) || fail "lua50 still runs $limit s after the interrupt"
  sleep 0.01
done
status=0
wait "$pid" || status=$?
pid=

expected=$'lua50: interrupted!\nstack traceback:\n\tspin.lua:3: in main chunk\n\t[C]: ?'
actual=$(sed "s|^$lua: |lua50: |" "$work/err")
[[ $status == 1 ]] || fail "exit status $status, expected 1"
[[ $actual == "$expected" ]] || fail "standard error differs; expected:"$'\n'"$expected"
[[ ! -s $work/out ]] || fail "unexpected output: $(cat "$work/out")"
echo "interrupt: ok"
