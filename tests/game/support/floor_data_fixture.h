// Tests on the headless floor with the game's own data: the art, layouts,
// configuration and strings of the source tree's data folder (linked into
// the scratch home), a player "Bot", and the globals of global.xml.
#pragma once

#include "floorbot.h"
#include "play_fixture.h"

#include "engine/base/xml.h"
#include "game/settings/settings.h"

#include <filesystem>

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

    TXmlNode mGlobalDoc;
    TXmlNode* mGlobals = nullptr;
    TLevelEventLog mHost;
};
