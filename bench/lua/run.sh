#!/usr/bin/env bash
# Runs every benchmark script under our interpreter and, when installed,
# Debian's lua5.1 and lua5.4, and reports the best time of each and the
# ratios to lua5.1 and lua5.4 with their geometric means. The scripts use
# only what the three languages share.
# Usage: run.sh <lua50> [scripts folder] [repetitions] [label=interpreter ...]
# Each label=interpreter (another build of lua50, say before=/tmp/lua50-old)
# is timed beside ours and gets ratios of its own. In every repetition all
# interpreters take their turn at a script one after the other, so a change
# in the machine's load falls on all of them alike; pin the whole run to
# cores with taskset on a shared machine. The load average is printed first
# and last.
set -u
ours="${1:-}"
dir="${2:-$(dirname "$0")}"
reps="${3:-3}"
[ -x "$ours" ] || { echo "usage: $0 <lua50> [dir] [reps] [label=interpreter ...]"; exit 1; }
shift $(($# < 3 ? $# : 3))

labels=(ours)
programs=("$ours")
for extra in "$@"; do
    labels+=("${extra%%=*}")
    programs+=("${extra#*=}")
done
for peer in lua5.1 lua5.4; do
    if command -v "$peer" > /dev/null; then
        labels+=("$peer")
        programs+=("$(command -v "$peer")")
    fi
done

now() { date +%s.%N; }
# seconds one run of program $1 on script $2 takes, or FAILED
timeone() {
    local start end
    start=$(now)
    "$1" "$2" > /dev/null 2>&1 || { echo FAILED; return; }
    end=$(now)
    echo "$start $end" | awk '{ printf "%.3f", $2 - $1 }'
}
lower() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(b == "" || a < b) }'; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-12s" benchmark
for label in "${labels[@]}"; do printf " %8s" "$label"; done
echo
declare -A best
scripts=("$dir"/*.lua)
for script in "${scripts[@]}"; do
    name=$(basename "$script" .lua)
    for ((r = 0; r < reps; r++)); do
        for ((p = 0; p < ${#programs[@]}; p++)); do
            t=$(timeone "${programs[p]}" "$script")
            key="$name/$p"
            if [ "$t" = FAILED ] || [ "${best[$key]:-}" = FAILED ]; then
                best[$key]=FAILED
            elif lower "$t" "${best[$key]:-}"; then
                best[$key]=$t
            fi
        done
    done
    printf "%-12s" "$name"
    for ((p = 0; p < ${#programs[@]}; p++)); do printf " %8s" "${best[$name/$p]}"; done
    echo
done

# ratios of every interpreter that is not a peer to each peer
for peer in lua5.1 lua5.4; do
    q=-1
    for ((p = 0; p < ${#labels[@]}; p++)); do [ "${labels[p]}" = "$peer" ] && q=$p; done
    [ $q -ge 0 ] || continue
    for ((p = 0; p < ${#labels[@]}; p++)); do
        case "${labels[p]}" in lua5.1 | lua5.4) continue ;; esac
        line=""
        for script in "${scripts[@]}"; do
            name=$(basename "$script" .lua)
            line="$line $name ${best[$name/$p]} ${best[$name/$q]}"
        done
        echo "$line" | awk -v who="${labels[p]}" -v peer="$peer" '{
            s = 0; n = 0; worst = 0; text = ""
            for (i = 1; i + 2 <= NF; i += 3) {
                if ($(i + 1) == "FAILED" || $(i + 2) == "FAILED" || $(i + 2) <= 0) continue
                r = $(i + 1) / $(i + 2); s += log(r); n++
                text = text sprintf(" %s %.2f", $i, r)
                if (r > worst) { worst = r; worstname = $i }
            }
            if (n > 0)
                printf "%s/%s: geometric mean %.2f, worst %s %.2f;%s\n", who, peer, exp(s / n), worstname, worst, text
        }'
    done
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
