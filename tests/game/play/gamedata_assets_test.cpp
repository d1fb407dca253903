// What a level loads stays for the next level of its restaurant and goes
// when another restaurant's level starts: career levels built on the
// headless floor with the game's own data.
#include "floor_data_fixture.h"

#include "engine/base/asset.h"
#include "game/play/gamedata.h"
#include "game/rules/scoremanager.h"
#include "game/settings/levelnumbers.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using TKept = std::vector<std::pair<std::string, std::weak_ptr<TAsset>>>;

TKept KeptNow()
{
    TAssetManager* assets = TAssetManager::GetInstance();
    TKept kept;
    for (const str& key : assets->KeptKeys())
        kept.emplace_back(key.c_str(), assets->GetAsset(key));
    return kept;
}

bool IsOfRestaurant(const std::string& key, int restaurant)
{
    return key.find(std::string("restaurants/") + game::RestaurantName(restaurant).c_str() + "/") !=
           std::string::npos;
}

}  // namespace

class LevelAssets : public FloorTest {
protected:
    // A career level set up and played for a second, as the game window does.
    void PlayBriefly(int restaurant, int level)
    {
        mSettings->SetCurrentRestaurant(restaurant);
        mSettings->SetCurrentLevel(level);
        TLevelEventLog log;
        TScoreManager score;
        TGameData floor(mGlobals, &score, &log.events);
        floor.SetupStars();
        floor.SetupLevel();
        floor.StartIntro();
        floor.DoSkipTutorial();
        for (int frame = 0; frame < 60; ++frame)
            floor.Update(1.0f / 60);
    }
};

TEST_F(LevelAssets, TheNextLevelOfARestaurantLoadsNothingAgainAndAnotherRestaurantFreesIt)
{
    PlayBriefly(0, 0);
    const TKept first = KeptNow();
    int ofTheRoom = 0;
    for (const auto& [key, asset] : first) {
        EXPECT_FALSE(asset.expired()) << key << " outlives the level";
        ofTheRoom += IsOfRestaurant(key, 0);
    }
    EXPECT_GT(ofTheRoom, 2) << "the room's pictures are among what is kept";

    PlayBriefly(0, 1);
    for (const auto& [key, asset] : first)
        EXPECT_EQ(TAssetManager::GetInstance()->GetAsset(key.c_str()), asset.lock())
            << key << " is the same, not loaded again";

    PlayBriefly(1, 0);
    int stillThere = 0;
    for (const auto& [key, asset] : first)
        stillThere += !asset.expired();
    EXPECT_EQ(stillThere, 0) << "nothing of the first restaurant stays";
    int ofTheNewRoom = 0;
    for (const auto& [key, asset] : KeptNow())
        ofTheNewRoom += IsOfRestaurant(key, 1);
    EXPECT_GT(ofTheNewRoom, 2);

    // The system running low on memory lets it all go.
    const TKept second = KeptNow();
    TAssetManager::GetInstance()->DropKept();
    for (const auto& [key, asset] : second)
        EXPECT_TRUE(asset.expired()) << key;
}
