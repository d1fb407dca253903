#include "game/settings/clothing.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <cstring>
#include <string>

namespace {

const char* const kClothingFile = "assets/config/clothing.xml";

bool SameText(const str& a, const str& b) { return std::strcmp(a.c_str(), b.c_str()) == 0; }

}  // namespace

TClothing::TClothing() { ParseClothing(); }

TClothing::~TClothing() = default;

void TClothing::ParseClothing()
{
    TXmlNode document;
    if (!game::ReadConfigDocument(kClothingFile, &document, "clothing", "no clothing items"))
        return;
    TXmlNode* clothing = document.GetChild("clothing");
    str name;
    TXmlNode* element = nullptr;
    clothing->ResetChildren();
    while (clothing->GetNextChild(&name, &element)) {
        if (!SameText(name, str("item")))
            continue;
        // Nothing is checked: the catalogue is authored by us, and a
        // duplicate or incomplete entry only ever answers "not available".
        TClothingItem item;
        const str color = element->GetAttribute("color");
        item.color = color.length() > 0 ? color : str("all");
        item.file = element->GetAttribute("file");
        item.name = element->GetAttribute("name");
        item.icon = str((std::string("quessascloset/icons/") + item.file.c_str()).c_str());
        item.unlock = element->GetAttribute("unlock").to_int();
        mItems.push_back(item);
    }
}

bool TClothing::GetStatus(str file, str color)
{
    for (const TClothingItem& item : mItems) {
        if (!SameText(item.file, file))
            continue;
        if (!SameText(item.color, str("all")) && !SameText(item.color, color))
            continue;
        if (item.unlock < 1)
            return true;
        TSettings* settings = TSettings::GetInstance();
        return settings && settings->GetNumUnlockedLevels() > item.unlock;
    }
    return false;
}

TClothingItem* TClothing::GetUnlockedItem(int i)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings || i < 0)
        return nullptr;
    const int level = settings->GetCurrentTotalLevel();
    int count = 0;
    for (TClothingItem& item : mItems) {
        if (item.unlock != level)
            continue;
        if (count == i)
            return &item;
        ++count;
    }
    return nullptr;
}
