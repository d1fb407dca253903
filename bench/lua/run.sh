#!/bin/sh
# Runs every benchmark script under our interpreter and, when installed,
# Debian's lua5.1 and lua5.4, and reports the times and the ratios to lua5.1.
# The scripts use only what the three languages share.
# Usage: run.sh <lua50> [scripts folder] [repetitions]
ours="$1"
dir="${2:-$(dirname "$0")}"
reps="${3:-3}"
[ -x "$ours" ] || { echo "usage: $0 <lua50> [dir] [reps]"; exit 1; }
now() { date +%s.%N; }
# best of $reps runs, in seconds
timeit() {
    best=""
    i=0
    while [ $i -lt "$reps" ]; do
        start=$(now)
        "$1" "$2" > /dev/null || { echo "FAILED"; return; }
        end=$(now)
        t=$(echo "$start $end" | awk '{ printf "%.3f", $2 - $1 }')
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
        i=$((i + 1))
    done
    echo "$best"
}
lua51=$(command -v lua5.1)
lua54=$(command -v lua5.4)
printf "%-14s %8s %8s %8s %10s\n" benchmark ours lua5.1 lua5.4 ours/5.1
results=""
for script in "$dir"/*.lua; do
    name=$(basename "$script" .lua)
    t_ours=$(timeit "$ours" "$script")
    t_51=-; t_54=-; ratio=-
    [ -n "$lua51" ] && t_51=$(timeit "$lua51" "$script")
    [ -n "$lua54" ] && t_54=$(timeit "$lua54" "$script")
    if [ "$t_51" != "-" ] && [ "$t_51" != "FAILED" ] && [ "$t_ours" != "FAILED" ]; then
        ratio=$(echo "$t_ours $t_51" | awk '{ printf "%.2f", ($2 > 0) ? $1 / $2 : 0 }')
        results="$results $ratio"
    fi
    printf "%-14s %8s %8s %8s %10s\n" "$name" "$t_ours" "$t_51" "$t_54" "$ratio"
done
if [ -n "$results" ]; then
    echo "$results" | awk '{ s = 0; for (i = 1; i <= NF; i++) s += log($i); printf "geometric mean ours/lua5.1: %.2f\n", exp(s / NF) }'
fi
