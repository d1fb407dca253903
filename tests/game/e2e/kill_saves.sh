#!/usr/bin/env bash
# The player's progress survives kill -9 at any instant: a program writes it
# step after step as the game does (save_churn play), is killed at a random
# moment, and the next start (save_churn check) must find prefs.dat and
# hiscore.dat readable, nothing set aside as damaged, and every step that was
# reported saved still there. Prints a table of the rounds at the end.
# Usage: kill_saves.sh <save_churn> [rounds] [seed]
set -euo pipefail
churn=$(readlink -f "$1")
rounds=${2:-100}
seed=${3:-$$}
RANDOM=$seed
echo "kill test: $rounds rounds, seed $seed"
# (a busy machine may start the program slowly)
limit=$((60 * $("$(dirname "$(readlink -f "$0")")/../../support/slowness")))

work=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data
folder=$XDG_DATA_HOME/corvellatrip
cd "$work"

fail() {
  echo "FAIL (round $round): $*" >&2
  for f in out err check.out check.err; do
    [[ -s $work/$f ]] && { echo "---- $f" >&2; tail -n 20 "$work/$f" >&2; }
  done
  ls -l "$folder" >&2 || true
  exit 1
}

saved=0            # the last step any run reported saved
before_first=0     # rounds killed before their first save
mid_run=0          # rounds killed among their saves
leftovers=0        # unfinished saves cleaned up by the next start
for round in $(seq "$rounds"); do
  : >"$work/out"
  "$churn" play >"$work/out" 2>"$work/err" &
  pid=$!
  # A random moment: after 0 to 3 reported saves, then 0 to 9 ms more, so
  # the kill lands in start-up, between saves and inside a write alike.
  want=$((RANDOM % 4))
  end=$((SECONDS + limit))
  while (($(wc -l <"$work/out") < want)); do
    ((SECONDS < end)) || fail "no save reported in $limit s"
    kill -0 "$pid" 2>/dev/null || fail "save_churn play ended by itself"
    sleep 0.001
  done
  sleep "0.00$((RANDOM % 10))"
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
  last=$(tail -n 1 "$work/out" | sed -n 's/^saved \([0-9]*\)$/\1/p')
  if [[ -n "$last" ]]; then
    saved=$last
    mid_run=$((mid_run + 1))
  else
    before_first=$((before_first + 1))
  fi

  "$churn" check "$saved" >"$work/check.out" 2>"$work/check.err" || fail "$(cat "$work/check.out")"
  if grep -E "cannot be read|Checksum did not match|Cannot save|could not write" "$work/check.err" "$work/err"; then
    fail "a file was damaged or not written"
  fi
  grep -q "left by a save that did not finish" "$work/check.err" && leftovers=$((leftovers + 1))
  strays=$(ls -A "$folder" | grep -vxE "prefs.dat|hiscore.dat" || true)
  [[ -z "$strays" ]] || fail "files other than the saves: $strays"
done

printf '%-40s %s\n' "rounds" "$rounds" "killed before the round's first save" "$before_first" \
  "killed among the round's saves" "$mid_run" "unfinished saves cleaned at the next start" "$leftovers" \
  "steps saved in all" "$saved" "steps lost" 0 "files damaged" 0
echo "kill test: ok"
