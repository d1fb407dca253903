#!/bin/sh
# Runs conformance scripts under one interpreter and reports each one.
#   run.sh INTERPRETER [all|stock|shared]
# all    every script (the engine's own interpreter)
# stock  every script but the dialect_* ones (any Lua 5.0 interpreter)
# shared the scripts that Lua 5.0 and 5.1 agree on (neither dialect_* nor *_50)
# A script passes when it exits with status 0 and its last line is "ok".
set -u
lua=${1:?usage: run.sh INTERPRETER [all|stock|shared]}
set_name=${2:-all}
dir=$(dirname "$0")
failed=0
for script in "$dir"/*.lua; do
  name=$(basename "$script")
  [ "$name" = errmsg.lua ] && continue  # the shared helper, not a script
  case "$set_name:$name" in
    stock:dialect_*|shared:dialect_*|shared:*_50.lua) continue ;;
  esac
  out=$(cd "$dir" && "$lua" "$name" 2>&1)
  status=$?
  last=$(printf '%s\n' "$out" | tail -n 1)
  if [ $status -eq 0 ] && [ "$last" = "ok" ]; then
    echo "pass $name"
  else
    echo "FAIL $name"
    printf '%s\n' "$out" | sed 's/^/    /'
    failed=$((failed + 1))
  fi
done
[ $failed -eq 0 ]
