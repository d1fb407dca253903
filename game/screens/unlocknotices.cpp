#include "game/screens/unlocknotices.h"

#include "engine/render/texture.h"
#include "engine/window/image.h"
#include "engine/window/showwindow.h"
#include "engine/window/text.h"
#include "game/floor/clothinglayer.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"
#include "game/settings/unlockmanager.h"

namespace {

using screens::Text;

constexpr auto kBody = contract::Child<TText>("body");
const contract::TChildSpec kUnlockChildren[] = {
    kBody,
};
constexpr auto kIcon = contract::Numbered<TImage>("icon%d", 0, TClothingUnlocked::kShown - 1);
constexpr auto kName = contract::Numbered<TText>("name%d", 0, TClothingUnlocked::kShown - 1);
const contract::TChildSpec kClothingChildren[] = {
    kIcon,
    kName,
};

}  // namespace

const contract::TScreenSpec TUnlockWindow::kContract{"TUnlockWindow", "UnlockWindow", "scripts/unlocked.lua", {},
                                                     kUnlockChildren};
const contract::TScreenSpec TClothingUnlocked::kContract{"TClothingUnlocked", "ClothingUnlocked",
                                                         "scripts/unlocked.lua", {}, kClothingChildren};

void TUnlockWindow::PostChildrenInit()
{
    TText* body = Child(kBody);
    if (!body)
        return;
    str text;
    TUnlockManager::EUnlockType type{};
    str name;
    TUnlockManager* unlocks = TUnlockManager::GetInstance();
    while (unlocks && unlocks->GetNextUnlockedItem(&type, &name)) {
        const str shown = Text(name + "_name");
        if (type == TUnlockManager::kOutfit)
            text += Text("newoutfit", shown);
        else if (type == TUnlockManager::kLevel)
            text += Text("newlevel", shown);
        text += "\n";
    }
    body->SetText(text);
}

TClothingUnlocked::TClothingUnlocked()
{
    mRefresh = std::make_unique<TTextureRefresh>([this] { SetupImages(); });
}

TClothingUnlocked::~TClothingUnlocked() = default;

void TClothingUnlocked::PostChildrenInit() { SetupImages(); }

void TClothingUnlocked::SetupImages()
{
    TSettings* settings = TSettings::GetInstance();
    for (int i = 0; i < kShown; ++i) {
        TImage* icon = Child(kIcon, i);
        TText* name = Child(kName, i);
        const TClothingItem* item = mCatalogue.GetUnlockedItem(i);
        if (!item) {
            ShowWindow(icon, false);
            ShowWindow(name, false);
            continue;
        }
        if (settings)
            settings->AddNewClothing(item->file);
        // A private copy, so the tint does not reach the wardrobe's icons.
        if (auto texture = TTexture::Get(str::getFormatted("%s?unique%d", item->icon.c_str(), i))) {
            TClothingLayer::Tint(texture, item->color);
            if (icon)
                icon->SetTexture(texture, 1.0f);
        }
        if (name)
            name->SetText(Text(item->name));
    }
    InvalidateRect(nullptr);
}
