#!/usr/bin/env bash
# Starts the game's start-up bench several times and reports each run and the
# median time from process start to the first presented frame of the title
# screen. Usage: startup.sh <game_startup_bench> [runs]   (under an X display;
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
times=()
for _ in $(seq "$runs"); do
  line=$(QM_LAUNCH_NS=$(date +%s%N) "$bench" 2>/dev/null | grep '^startup:')
  echo "$line"
  times+=("$(sed -E 's/.* ([0-9.]+) ms to the first presented frame/\1/' <<<"$line")")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "startup median over $runs runs: $median ms to the first presented frame (target: under 1000 ms)"
