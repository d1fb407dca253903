// Game-play tests: TSettings on the headless engine (see SettingsTest) with
// a string table and an actionpoints.xml of the test's own.
#pragma once

#include "settings_fixture.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

class PlayTest : public SettingsTest {
protected:
    // Strings first (read at start-up), then the platform and the settings.
    void StartGame(const std::vector<std::pair<std::string, std::string>>& strings)
    {
        WriteStrings(strings);
        StartPlatform();
        Create();
    }
    // A file under the scratch home's assets/, folders made as needed.
    void WriteAsset(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = mHome / "assets" / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
};
