// Tests on the headless floor with the game's own data: the art, layouts,
// configuration and strings of the source tree's data folder (linked into
// the scratch home), a player "Bot", and the globals of global.xml.
#pragma once

#include "floorbot.h"
#include "play_fixture.h"

#include "engine/base/xml.h"
#include "game/rules/scoremanager.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <memory>

class FloorTest : public PlayTest {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        PlayTest::SetUp();
        const fs::path assets = fs::path(QM_DATA_DIR) / "assets";
        for (const fs::directory_entry& entry : fs::directory_iterator(assets))
            if (entry.is_directory())
                fs::create_directory_symlink(entry.path(), mHome / "assets" / entry.path().filename());
        fs::copy_file(assets / "strings.xml", mHome / "assets" / "strings.xml");
        StartPlatform();
        Create();
        mSettings->CreateNewUser("Bot");
        mSettings->SetCurrentUser(0, true);
        mGlobalDoc.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
        TXmlNode* root = mGlobalDoc.GetChild("dataroot");
        mGlobals = root ? root->GetChild("globals") : nullptr;
    }

    // A career level of the shipped data, built into `floor` as the game
    // window builds it, the tutorial skipped, played up to its first frame
    // of play.
    TGameData& OpenShippedLevel(std::unique_ptr<TGameData>& floor, TScoreManager& score, int restaurant, int level,
                                unsigned seed)
    {
        mSettings->SetCurrentRestaurant(restaurant);
        mSettings->SetCurrentLevel(level);
        mPlatform->SeedRand(seed);
        floor.reset();
        floor = std::make_unique<TGameData>(mGlobals, &score, &mHost.events);
        PlayToFirstFrame(*floor);
        EXPECT_EQ(floor->GetState(), kPlaying);
        return *floor;
    }

    TXmlNode mGlobalDoc;
    TXmlNode* mGlobals = nullptr;
    TLevelEventLog mHost;
};
