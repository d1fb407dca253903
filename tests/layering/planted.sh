#!/usr/bin/env bash
# The include check must fail, and say why, on trees it must refuse: engine/sound
# including the window system; the floor including the game window above it;
# two game folders whose READMEs let them include each other; a game folder
# without a README. The loop check must fail on two pieces of one folder
# that include each other, header and source.
set -euo pipefail
source_root=$1
check="$source_root/tools/layering/check-includes"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the check on $work, which must fail and print a line matching $1.
must_refuse() {
  local expected=$1 what=$2 out
  if out=$("$check" "$work" 2>&1); then
    echo "FAIL: $what passed the check" >&2
    exit 1
  fi
  echo "$out"
  grep -qE "$expected" <<<"$out" || { echo "FAIL: the report does not name $what" >&2; exit 1; }
  rm -rf "${work:?}"/*
}

mkdir -p "$work/engine/sound"
cp "$source_root/engine/sound/README.md" "$work/engine/sound/"
printf '#include "engine/sound/sound.h"\n#include "engine/window/button.h"\n' >"$work/engine/sound/planted.cpp"
must_refuse '^engine/sound/planted.cpp:2: includes "engine/window/button.h"' "the sound system's include"

# The floor reaching up into the game window.
mkdir -p "$work/game/floor" "$work/game/play"
cp "$source_root/game/floor/README.md" "$work/game/floor/"
cp "$source_root/game/play/README.md" "$work/game/play/"
printf '#include "game/rules/scoremanager.h"\n#include "game/play/gamedata.h"\n' >"$work/game/floor/planted.cpp"
must_refuse '^game/floor/planted.cpp:2: includes "game/play/gamedata.h"' "the floor's upward include"

# Two folders whose rules allow each other: the includes pass the rules, the
# cycle does not.
mkdir -p "$work/game/upper" "$work/game/lower"
printf '# upper\n\nMay include: game/lower.\n' >"$work/game/upper/README.md"
printf '# lower\n\nMay include: game/upper.\n' >"$work/game/lower/README.md"
printf '#include "game/lower/a.h"\n' >"$work/game/upper/b.h"
printf '#include "game/upper/b.h"\n' >"$work/game/lower/a.h"
must_refuse '^include cycle between folders:.*game/(lower|upper)' "the cycle"

# A game folder that states nothing.
mkdir -p "$work/game/stray"
printf '#include "game/floor/party.h"\n' >"$work/game/stray/stray.cpp"
must_refuse '^game/stray: no README.md' "the folder without a README"

# A table whose header includes the party, and a party whose source
# includes the table.
mkdir -p "$work/game/floor"
printf '#include "game/floor/party.h"\n' >"$work/game/floor/table.h"
printf '#include "game/floor/table.h"\n' >"$work/game/floor/table.cpp"
printf '#pragma once\n' >"$work/game/floor/party.h"
printf '#include "game/floor/party.h"\n#include "game/floor/table.h"\n' >"$work/game/floor/party_seats.cpp"
check="$source_root/tools/layering/include-loops"
must_refuse '^include loop: game/floor/party <-> game/floor/table$' "the loop between a header and a source"
