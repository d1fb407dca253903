#!/usr/bin/env bash
# tools/deadcode/list-uncalled on a small tree of its own: what nothing calls
# is listed, what the product calls is not, what only tests call is marked
# (and left out with --tests-call); a mention in a comment or a string is no
# call, and neither is a function's own declaration or definition.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/game/floor" "$work/game/play" "$work/tests/game"
cat >"$work/game/floor/tray.h" <<'EOF'
#pragma once
class TTray {
public:
    TTray() {}
    ~TTray() {}
    int Plates() const { return mPlates; }
    int Cups() const { return mCups; }
    void Stack();
    void Polish();
    bool operator==(const TTray&) const = default;

private:
    int mPlates = 0;
    int mCups = 0;
};
int CountTrays();
EOF
cat >"$work/game/floor/tray.cpp" <<'EOF'
#include "game/floor/tray.h"
// Polish() is mentioned here only in a comment.
void TTray::Stack() { mPlates++; }
void TTray::Polish() { const char* why = "Polish() in a string"; (void)why; }
int CountTrays() { return 1; }
EOF
cat >"$work/game/play/room.cpp" <<'EOF'
#include "game/floor/tray.h"
int FillRoom()
{
    TTray tray;
    tray.Stack();
    return tray.Plates() + FillRoom();
}
int main() { return FillRoom(); }
EOF
cat >"$work/tests/game/tray_test.cpp" <<'EOF'
#include "game/floor/tray.h"
int Check() { TTray t; return t.Cups() + CountTrays(); }
EOF

out=$("$tool" --root "$work")
echo "$out"
expect() {
  grep -qxF "$1" <<<"$out" || { echo "FAIL: missing line: $1" >&2; exit 1; }
}
refuse() {
  if grep -q "$1" <<<"$out"; then
    echo "FAIL: listed $1" >&2
    exit 1
  fi
}
expect "game/floor/tray.cpp:4: TTray::Polish"
expect "game/floor/tray.h:7: TTray::Cups  (tests only)"
expect "game/floor/tray.cpp:5: CountTrays  (tests only)"
refuse "Stack"
refuse "Plates"
refuse "TTray::TTray"
refuse "operator"
refuse "main"
[[ $(wc -l <<<"$out") -eq 3 ]] || { echo "FAIL: expected three lines" >&2; exit 1; }

out=$("$tool" --root "$work" --tests-call)
[[ "$out" == "game/floor/tray.cpp:4: TTray::Polish" ]] || { echo "FAIL: with --tests-call: $out" >&2; exit 1; }
[[ $("$tool" --root "$work" --count) == 3 ]] || { echo "FAIL: --count" >&2; exit 1; }
echo "list-uncalled: all cases hold"
