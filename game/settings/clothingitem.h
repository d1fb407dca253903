// One entry of the wardrobe's catalogue: an outfit item in one colour (or
// in all of them) and the career level that awards it.
#pragma once

#include "engine/base/str.h"

#include <cstdint>

struct TClothingItem {
    str name;       // string-table label of the item's display name
    str file;       // animation base name in assets/quessa, without ".anm": the item's identity
    str icon;       // texture of the item's icon: "quessascloset/icons/" + file
    str color;      // the colour this entry is for, or "all"
    int32_t unlock; // overall level index (from 0) that awards it; below 1: always available
};
