#include "settings_fixture.h"

#include "engine/platform/platformdata.h"
#include "engine/platform/services.h"
#include "engine/script/windowscript.h"
#include "engine/sound/null/nulloutput.h"
#include "engine/sound/soundhost.h"

#include "lua.h"

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

void SettingsTest::SetUp()
{
    ASSERT_TRUE(mScratch.Enter("qm_settings_"));
    mHome = mScratch.Path();
}

void SettingsWithPlayerTest::SetUp()
{
    SettingsTest::SetUp();
    StartPlatform();
    Create();
    mSettings->CreateNewUser("Ann");
}

void SettingsTest::TearDown()
{
    StopPlatform();
    mScratch.Leave();
}

void SettingsTest::WriteStrings(const std::vector<std::pair<std::string, std::string>>& rows)
{
    std::ofstream out(mHome / "assets" / "strings.xml", std::ios::binary);
    out << "<?xml version=\"1.0\"?>\n<Workbook>\n<Worksheet>\n<Table>\n";
    for (const auto& [label, text] : rows)
        out << "<Row><Cell><Data>" << label << "</Data></Cell><Cell><Data>" << text << "</Data></Cell></Row>\n";
    out << "</Table>\n</Worksheet>\n</Workbook>\n";
}

void SettingsTest::StartPlatform()
{
    qm::PlatformHooks().makeSoundHost = [](TPlatformData&) {
        return qm::MakeSoundHost(std::make_unique<TNullAudioOutput>());
    };
    mEngine.Start([](TPlatform& platform) { platform.InitSound(); });
    mBackend = mEngine.backend;
    mPlatform = mEngine.platform.get();
}

void SettingsTest::StopPlatform()
{
    TSettings::DeleteSettings();
    mSettings = nullptr;
    mEngine.Stop();
    mBackend = nullptr;
    mPlatform = nullptr;
}

std::string SettingsTest::Create()
{
    testing::internal::CaptureStderr();
    mSettings = TSettings::CreateSettings();
    return testing::internal::GetCapturedStderr();
}

std::string SettingsTest::Lua(const std::string& text)
{
    TWindowScript* script = TWindowScript::Get();
    EXPECT_NE(script, nullptr);
    if (!script)
        return "";
    testing::internal::CaptureStderr();
    script->DoLuaString(text.c_str());
    const std::string log = testing::internal::GetCapturedStderr();
    lua_State* L = script->GetState();
    lua_pushstring(L, "gProbe");
    lua_rawget(L, LUA_GLOBALSINDEX);
    const std::string value = qmtest::PopLuaText(L);
    if (value == "nil" && !log.empty())
        return log;
    return value;
}

std::string SettingsTest::PrefsPath() const { return (mHome / "data" / "corvellatrip" / "prefs.dat").string(); }

std::string SettingsTest::ReadPrefsBytes() const
{
    std::ifstream in(PrefsPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
