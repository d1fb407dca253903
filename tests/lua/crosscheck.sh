#!/bin/sh
# Re-checks the goldens of the scripts marked "-- golden: lua5.1" on their
# first line against Debian's lua5.1 (the subset where 5.0 and 5.1 agree).
# Usage: crosscheck.sh <lua5.1> <scripts folder>
lua51="$1"
cd "$2" || exit 1
status=0
for script in *.lua; do
    head -n 1 "$script" | grep -q '^-- golden: lua5.1' || continue
    name="${script%.lua}"
    if ! "$lua51" "$script" 2>&1 | cmp -s - "$name.expected"; then
        echo "golden of $script differs from lua5.1's output"
        "$lua51" "$script" 2>&1 | diff "$name.expected" - | head -20
        status=1
    fi
done
exit $status
