// TSettings on the headless platform with the window system, the window
// script and a null sound output; prefs.dat, hiscore.dat and the working
// folder live in a fresh temporary folder per test.
#pragma once

#include "game/settings/settings.h"
#include "headlessengine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The string table the platform loads at start-up (label, text pairs);
    // call before StartPlatform.
    void WriteStrings(const std::vector<std::pair<std::string, std::string>>& rows);
    void StartPlatform();
    void StopPlatform();
    // CreateSettings with the engine's log captured; returns the log.
    std::string Create();
    // Runs Lua text in the window script; returns the global gProbe as text.
    std::string Lua(const std::string& text);
    std::string PrefsPath() const;
    std::string ReadPrefsBytes() const;

    qmtest::TScratchHome mScratch;
    qmtest::THeadlessEngine mEngine;
    std::filesystem::path mHome;
    qm::THeadlessBackend* mBackend = nullptr;
    TPlatform* mPlatform = nullptr;  // owned by mEngine
    TSettings* mSettings = nullptr;
};

// The settings made on a started platform, with one player, "Ann".
class SettingsWithPlayerTest : public SettingsTest {
protected:
    void SetUp() override;
};
