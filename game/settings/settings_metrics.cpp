// TSettings: the metrics log for play testing. "metrics.txt" in the user
// data folder, appended to across sessions, one record per line with fields
// separated by ", ": a header when the file is new, event lines, and a
// session summary at shut-down. Kept only while the string-table entry
// "metrics" reads as 1.
#include "game/settings/settings.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/prefs.h"
#include "engine/base/safefile.h"
#include "engine/platform/platform.h"
#include "engine/window/modalwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/windowmanager.h"

#include <ctime>
#include <string>

namespace {

struct TProgressMark {
    std::uint32_t ms;
    const char* event;
};
const TProgressMark kProgressMarks[] = {
    {900000, "Progress-15"}, {1800000, "Progress-30"}, {2700000, "Progress-45"}, {3540000, "Progress-59"}};

const char* const kClosetScreen = "scripts/quessascloset.lua";

bool MetricsWanted()
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    return table && table->GetString(str("metrics"), str(), str(), str(), str(), str()).to_int() == 1;
}

// ", %f" of a number of seconds.
str Seconds(float seconds) { return str::getFormatted(", %f", static_cast<double>(seconds)); }

}  // namespace

str TSettings::TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return str::getFormatted("%02d.%02d.%04d, %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
                             local.tm_hour, local.tm_min, local.tm_sec);
}

void TSettings::OpenMetrics()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !MetricsWanted())
        return;
    char folder[qm::kPathBufferSize] = "";
    platform->GetDataDirectory(folder, false);
    const std::string path = std::string(folder) + "/metrics.txt";
    // (never a pipe or a device by that name: the game would wait on it)
    mMetricsFile = qm::OpenForAppending(str(path.c_str()));
    if (!mMetricsFile)
        WriteDbg("metrics: cannot open %s", path.c_str());
}

void TSettings::WriteMetricsHeader()
{
    if (!mMetricsFile)
        return;
    std::fseek(mMetricsFile, 0, SEEK_END);
    if (std::ftell(mMetricsFile) != 0)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    const str system = platform ? platform->GetSystemData() : str();
    std::fprintf(mMetricsFile, "\"GraphicsCard\", %s, \"%s\"\n%s\n", TimeStamp().c_str(), system.c_str(),
                 std::string(71, '-').c_str());
    std::fflush(mMetricsFile);
}

void TSettings::RecordEventMetric(str event, str detail)
{
    if (!mMetricsFile)
        return;
    std::fprintf(mMetricsFile, "\"%s\", %s, %s\n", event.c_str(), TimeStamp().c_str(), detail.c_str());
    std::fflush(mMetricsFile);
}

void TSettings::CurrentScreenMetric()
{
    TPlatform* platform = TPlatform::GetInstance();
    TWindowManager* manager = platform ? platform->GetWindowManager() : nullptr;
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    const str name = top ? top->GetName() : str();
    if (name == mCurrentScreenName)
        return;
    // Time is credited to the screen being left.
    mScreenTimes[mCurrentScreenName] += mScreenClock.GetTime();
    mScreenClock.Reset();
    mScreenClock.Start();
    mCurrentScreenName = name;
}

void TSettings::UpdateSessionTime()
{
    const std::uint32_t now = mTotalPlayClock.GetTime();
    for (const TProgressMark& mark : kProgressMarks) {
        if (mLastProgressTime < mark.ms && mark.ms <= now) {
            str detail = str::getFormatted("%d", mPrefs->GetInt("highestlevel", 0, -1));
            detail += Seconds(mTotalStoryTime) + Seconds(mTotalEndlessTime) + Seconds(ClosetTotalSeconds()) +
                      Seconds(mTotalSecretTime);
            RecordEventMetric(mark.event, detail);
            break;  // one line per call, however many marks were passed
        }
    }
    mLastProgressTime = now;
}

float TSettings::GetScreenTime(str name) const
{
    const auto found = mScreenTimes.find(name);
    return found == mScreenTimes.end() ? 0.0f : static_cast<float>(found->second) / 1000.0f;
}

float TSettings::ClosetTotalSeconds() const { return mTotalClosetTime + GetScreenTime(kClosetScreen); }

void TSettings::RecordAggregateMetrics()
{
    if (!mMetricsFile)
        return;
    const auto sum = [this](std::initializer_list<const char*> names) {
        float total = 0;
        for (const char* name : names)
            total += GetScreenTime(name);
        return total;
    };
    const int user = GetCurrentUser();
    TPlatform* platform = TPlatform::GetInstance();
    str line = str("\"SessionData\", ") + TimeStamp() + ", " + (platform ? platform->GetVersion() : "");
    line += Seconds(static_cast<float>(mSessionClock.GetTime()) / 1000.0f);
    line += Seconds(GetScreenTime("scripts/mainmenu.lua"));
    line += Seconds(mSessionStoryTime) + Seconds(mSessionEndlessTime);
    line += Seconds(GetScreenTime(kClosetScreen)) + str::getFormatted(", %d", mClosetVisits);
    line += Seconds(sum({"scripts/comic_1_1.lua", "scripts/comic_1_2.lua", "scripts/comic_2_1.lua",
                         "scripts/comic_3_1.lua", "scripts/comic_4_1.lua", "scripts/comic_5_1.lua",
                         "scripts/comic_6_1.lua"}));
    line += Seconds(mSessionSecretTime);
    line += Seconds(static_cast<float>(mUpgradeClock.GetTime()) / 1000.0f + GetScreenTime("scripts/upgrade.lua"));
    line += Seconds(static_cast<float>(mPauseClock.GetTime()) / 1000.0f);
    line += Seconds(sum({"scripts/help1.lua", "scripts/help2.lua", "scripts/help3.lua", "scripts/help4.lua"}));
    line += Seconds(GetScreenTime("scripts/chooserestaurant.lua")) + Seconds(GetScreenTime("scripts/options.lua")) +
            Seconds(GetScreenTime("scripts/levelover.lua")) + Seconds(GetScreenTime("scripts/hiscore.lua"));
    line += GetScreenTime("scripts/quessascorner1.lua") > 0 ? ", 1" : ", 0";
    line += mSkipTutorial[kCareerMode] ? ", 1" : ", 0";
    line += mSkipTutorial[kEndlessMode] ? ", 1" : ", 0";
    line += str::getFormatted(", %d", mPrefs->GetInt("fullscreen", 1, -1));
    line += str::getFormatted(", %d, %d, %d, %d", mPrefs->GetInt("soundoff", 0, user),
                              mPrefs->GetInt("soundlevel", 750, user), mPrefs->GetInt("musiclevel", 750, user),
                              mPrefs->GetInt("environmentlevel", 750, user));
    std::fprintf(mMetricsFile, "%s\n", line.c_str());
    std::fflush(mMetricsFile);
}

void TSettings::CloseMetrics()
{
    if (!mMetricsFile)
        return;
    RecordAggregateMetrics();
    std::fclose(mMetricsFile);
    mMetricsFile = nullptr;
    mPrefs->SetInt("totalplay", static_cast<int>(mTotalPlayClock.GetTime()), -1, false);
    mPrefs->SetInt("totalstory", static_cast<int>(mTotalStoryTime), -1, false);
    mPrefs->SetInt("totalsecret", static_cast<int>(mTotalSecretTime), -1, false);
    mPrefs->SetInt("totalendless", static_cast<int>(mTotalEndlessTime), -1, false);
    mPrefs->SetInt("totalcloset", static_cast<int>(ClosetTotalSeconds()), -1, true);
}
