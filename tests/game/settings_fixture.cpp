#include "settings_fixture.h"

#include "engine/platform/platformdata.h"
#include "engine/platform/services.h"
#include "engine/script/windowscript.h"
#include "engine/sound/null/nulloutput.h"
#include "engine/sound/soundhost.h"
#include "engine/window/windowhost.h"

#include "lua.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

void SettingsTest::SetUp()
{
    char pattern[] = "/tmp/qm_settings_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    mHome = pattern;
    ::setenv("XDG_DATA_HOME", (mHome / "data").c_str(), 1);
    fs::create_directories(mHome / "assets");
    mPreviousDir = fs::current_path();
    fs::current_path(mHome);
}

void SettingsTest::TearDown()
{
    StopPlatform();
    fs::current_path(mPreviousDir);
    fs::remove_all(mHome);
    ::unsetenv("XDG_DATA_HOME");
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
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    qm::PlatformHooks().makeSoundHost = [](TPlatformData&) {
        return qm::MakeSoundHost(std::make_unique<TNullAudioOutput>());
    };
    auto headless = std::make_unique<qm::THeadlessBackend>();
    mBackend = headless.get();
    testing::internal::CaptureStderr();
    mPlatform = std::make_unique<TPlatform>(new TPlatformData(0, nullptr, false, std::move(headless)));
    mPlatform->InitSound();
    testing::internal::GetCapturedStderr();
}

void SettingsTest::StopPlatform()
{
    TSettings::DeleteSettings();
    mSettings = nullptr;
    mPlatform.reset();
    qm::PlatformHooks() = qm::TPlatformHooks{};
    TWindowHost::SetScriptFactory({});
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
    std::string value = lua_isnil(L, -1)       ? "nil"
                        : lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                        : lua_tostring(L, -1)  ? lua_tostring(L, -1)
                                               : "<value>";
    lua_pop(L, 1);
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
