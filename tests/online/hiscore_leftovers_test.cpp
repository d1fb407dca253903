// A save of hiscore.dat killed mid-write leaves "hiscore.dat.XXXXXX" behind;
// the next load or save removes it, and the scores stay.
#include "online/hiscores.h"
#include "online_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

TEST_F(OnlineFolders, HiscoreLeftoversGoAtTheNextLoadOrSave)
{
    auto make = [] {
        auto hiscores = std::make_unique<TQmHiscores>("corvellatrip", kTestKey, "1.2", true);
        hiscores->SetProperty(TQmHiscores::kUserName, "Ann");
        hiscores->SetProperty(TQmHiscores::kTableType, "career");
        return hiscores;
    };
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"load", [&] { make(); }},
        {"save", [&] { make()->LogScore(5, "", "", false); }},
    };
    make()->LogScore(10, "", "", false);
    for (const auto& [name, action] : actions) {
        SCOPED_TRACE(name);
        WriteBytes(DataFile("hiscore.dat.k1LL3d"), "partial");
        WriteBytes(DataFile("hiscore.dat.bad"), "kept aside earlier");
        action();
        EXPECT_FALSE(std::filesystem::exists(DataFile("hiscore.dat.k1LL3d")));
        EXPECT_TRUE(std::filesystem::exists(DataFile("hiscore.dat.bad")));
        EXPECT_GE(make()->GetScoreCount(true), 1);
    }
}
