#!/usr/bin/env bash
# Starts the game's start-up bench several times and reports each run and the
# median time from process start to the first frame presented (a buffer
# swap), to the first frame of the main menu after a key pressed at the
# first splash frame, and from that frame to the first frame of the name
# entry after the preloader's run (each run a first start). Usage: startup.sh <game_startup_bench> [runs]   (under an X display;
# runs itself under Xvfb when there is none)
set -euo pipefail
bench=$1
runs=${2:-7}
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME=$home SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
firsts=()
times=()
loads=()
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for _ in $(seq "$runs"); do
  rm -rf "${home:?}"/*
  out=$(QM_LAUNCH_NS=$(date +%s%N) "$bench" 2>/dev/null)
  line=$(grep '^startup:' <<<"$out")
  if grep -q 'the game ended' <<<"$line"; then echo "$line" >&2; exit 1; fi
  load=$(grep '^preload:' <<<"$out")
  echo "$line; $load"
  firsts+=("$(sed -E 's/.* ([0-9.]+) ms to the first presented frame.*/\1/' <<<"$line")")
  times+=("$(sed -E 's/.* ([0-9.]+) ms to the main menu/\1/' <<<"$line")")
  loads+=("$(sed -E 's/preload: ([0-9.]+) ms.*/\1/' <<<"$load")")
done
echo "startup median over $runs runs: $(median "${firsts[@]}") ms to the first presented frame"
echo "startup median over $runs runs: $(median "${times[@]}") ms to the first presented main menu frame, a key pressed at the first splash frame (target: under 1000 ms)"
echo "preload median over $runs runs: $(median "${loads[@]}") ms from the main menu's first frame to the name entry's (target: under 1500 ms)"
