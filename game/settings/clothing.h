// The wardrobe's catalogue of outfit items, read from
// "assets/config/clothing.xml". The wardrobe and the clothing-unlocked
// notice each hold their own; it is never written back.
#pragma once

#include "engine/base/str.h"
#include "game/settings/clothingitem.h"

#include <vector>

class TClothing {
public:
    // Reads the catalogue; a missing or unreadable file leaves it empty.
    TClothing();
    ~TClothing();

    // Whether the item file is available in that colour. The first entry
    // for the file and colour (or "all") decides; an unlisted file never is.
    bool GetStatus(str file, str color);
    // The i-th (from 0) item awarded at the current overall level, or null.
    // Points into the catalogue: valid while it lives.
    TClothingItem* GetUnlockedItem(int i);

    int GetNumItems() const { return static_cast<int>(mItems.size()); }

private:
    void ParseClothing();

    std::vector<TClothingItem> mItems;  // file order
};
