#!/usr/bin/env bash
# The include check must fail on a tree where engine/sound includes the
# window system, which its README does not allow, and name the line.
set -euo pipefail
source_root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/engine/sound"
cp "$source_root/engine/sound/README.md" "$work/engine/sound/"
printf '#include "engine/sound/sound.h"\n#include "engine/window/button.h"\n' >"$work/engine/sound/planted.cpp"
if out=$("$source_root/tools/layering/check-includes" "$work"); then
  echo "FAIL: the planted include passed the check" >&2
  exit 1
fi
echo "$out"
grep -q '^engine/sound/planted.cpp:2: includes "engine/window/button.h"' <<<"$out" ||
  { echo "FAIL: the report does not name the planted line" >&2; exit 1; }
