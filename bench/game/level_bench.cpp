// The level's costs, measured on the game's own data (run under Xvfb with
// Mesa's software renderer, or any X display):
// - a whole career level 1 simulated without drawing, a bot serving every
//   party on a fake 60 Hz clock: wall time per level;
// - one frame of each restaurant's busy floor (its career level with the
//   most tables, the waitress, every table taken, seven parties in line):
//   the floor's update and its drawing, finished on the GPU, per frame, and
//   the CPU time of all the process's threads (the GL driver's included).
// Usage: game_level_bench [frames] [shots]
// With a file name for shots, every 100th busy frame's pixels (800x600 RGBA,
// top row first) are appended to it, so two builds' pictures can be compared.
// game_level_bench career: every career level (1 to 50) played by the bot
// in one process, headless; after each, the peak resident memory so far and
// the resident memory now, so that growth from level to level shows.
// game_level_bench still [frames] [shots]: each restaurant's first career
// floor standing still, drawn as the window keeps it: as it is, with an
// order ticket in the waitress's hand, with the decor choice offering its
// upgrades; CPU a frame and the frames drawn whole.
// game_level_bench played [level] [frames] [shots]: a career level (default
// 38) played by the bot from its start, every frame drawn: how many frames
// were drawn whole, what the frames cost.
// Both keep every 20th frame's pixels in shots when given, and check every
// frame drawn where it changed against the same frame drawn whole.
#include "engine/base/clock.h"
#include "engine/base/task.h"
#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glstats.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "floorbot.h"
#include "game/floor/carryables.h"
#include "game/floor/eatingstation.h"
#include "game/floor/quessa.h"
#include "game/floor/ticketstation.h"
#include "game/play/game.h"
#include "game/play/restaurant.h"
#include "game/play/restaurantstaff.h"
#include "game/rules/scoremanager.h"
#include "game/settings/levelnumbers.h"
#include "game/settings/settings.h"

#include "engine/render/gl/glheaders.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

using TClockNow = std::chrono::steady_clock;
constexpr float kFrame = 1.0f / 60;
int gFrames = 600;
const char* gShots = nullptr;
enum class EMode { kBusy, kCareer, kStill, kPlayed };
EMode gMode = EMode::kBusy;
int gPlayedLevel = 38;  // counted from 1
// A career level is played for at most 15 minutes of game time; one that
// runs to the cap has not ended, and the run says so and fails.
constexpr int kCareerFrameCap = 60 * 900;
int gUnended = 0;

TXmlNode gGlobalDoc;
TXmlNode* gGlobals = nullptr;

double Ms(TClockNow::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (double s : samples)
        sum += s;
    std::printf("%-34s n=%zu mean %.3f ms  median %.3f ms  p95 %.3f ms  max %.3f ms\n", what, samples.size(),
                sum / samples.size(), samples[samples.size() / 2], samples[samples.size() * 95 / 100],
                samples.back());
}

// CPU time of every thread of the process (ours and the GL driver's), which,
// unlike the wall time, hardly depends on how loaded the machine is.
double ProcessCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// CPU time of the calling (main) thread alone: our own work and the GL
// driver's share of it that runs on the caller's thread.
double MainThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Counts per frame (uploads, draw calls): no unit, whole numbers.
void ReportCount(const char* what, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    double sum = 0;
    for (double s : samples)
        sum += s;
    std::printf("%-34s n=%zu mean %.1f  median %.0f  min %.0f  max %.0f\n", what, samples.size(),
                sum / samples.size(), samples[samples.size() / 2], samples.front(), samples.back());
}

// One frame of a level played faster than real time: the game clock (on
// which the figures' animations run) moves a frame, and the platform's tasks
// (the animation scripts) run, as the game's own loop would. Without them a
// party that waits for an animation to end (a smile for the camera, a kiss)
// would wait for ever.
void PlayFrame(TGameData& floor, int frame)
{
    TClock* clock = TSettings::GetInstance()->GetGameClock();
    clock->Pause();
    clock->SetTime(clock->GetTime() + (frame % 3 == 0 ? 16 : 17));
    TPlatform::GetInstance()->GetTaskList()->DoAll(TTask::kEventContext);
    floor.Update(kFrame);
}

void WholeLevels()
{
    TSettings* settings = TSettings::GetInstance();
    std::vector<double> walls;
    int frames = 0, score = 0;
    for (int run = 0; run < 5; ++run) {
        settings->SetCurrentRestaurant(0);
        settings->SetCurrentLevel(0);
        TPlatform::GetInstance()->SeedRand(7);
        TLevelEventLog host;
        TScoreManager scores;
        const auto start = TClockNow::now();
        TGameData floor(gGlobals, &scores, &host.events);
        PlayToFirstFrame(floor);
        TFloorBot bot(floor);
        for (frames = 0; floor.GetState() != kLevelOver && frames < 60 * 600; ++frames) {
            PlayFrame(floor, frames);
            bot.Act();
        }
        walls.push_back(Ms(TClockNow::now() - start));
        score = floor.GetLevelScore();
    }
    std::printf("career level 1, headless: %d frames (%.1f s of play), level score %d\n", frames, frames * kFrame,
                score);
    Report("whole level simulated", walls);
}

// A line of /proc/self/status in MiB: "VmRSS" (resident now) or "VmHWM"
// (the highest resident since the process started).
double StatusMiB(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    const std::string format = std::string(field) + ": %ld kB";
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, format.c_str(), &kib) == 1)
            break;
    std::fclose(status);
    return double(kib) / 1024;
}

double ResidentMiB() { return StatusMiB("VmRSS"); }

// What the allocator has handed out and not had back, in MiB: beside the
// resident memory it tells a leak (both grow) from a heap that keeps what
// was freed (only the resident memory grows).
double HeapInUseMiB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024 * 1024);
}

void CareerLevels()
{
    TSettings* settings = TSettings::GetInstance();
    double peakAfterTenth = 0;
    std::printf("resident memory before the first level: %.1f MiB\n", ResidentMiB());
    for (int level = 0; level < 50; ++level) {
        settings->SetCurrentRestaurant(level / 10);
        settings->SetCurrentLevel(level % 10);
        TPlatform::GetInstance()->SeedRand(7);
        const auto start = TClockNow::now();
        int frames = 0, score = 0;
        {
            TLevelEventLog host;
            TScoreManager scores;
            TGameData floor(gGlobals, &scores, &host.events);
            PlayToFirstFrame(floor);
            TFloorBot bot(floor);
            for (; floor.GetState() != kLevelOver && frames < kCareerFrameCap; ++frames) {
                PlayFrame(floor, frames);
                bot.Act();
            }
            score = floor.GetLevelScore();
        }
        if (frames >= kCareerFrameCap) {
            std::printf("career level %d did not end within %d frames\n", level + 1, kCareerFrameCap);
            ++gUnended;
        }
        const double peak = StatusMiB("VmHWM");
        const double rss = ResidentMiB();
        std::printf("career level %2d: %5d frames, score %6d, %7.1f ms, peak resident so far %.1f MiB, resident "
                    "after %.1f MiB, heap in use %.1f MiB\n",
                    level + 1, frames, score, Ms(TClockNow::now() - start), peak, rss, HeapInUseMiB());
        std::fflush(stdout);
        if (level == 9)
            peakAfterTenth = peak;
    }
    const double peak = StatusMiB("VmHWM");
    std::printf("peak resident after level 10 %.1f MiB, after level 50 %.1f MiB (+%.1f MiB)\n", peakAfterTenth, peak,
                peak - peakAfterTenth);
    std::printf("career levels that did not end: %d\n", gUnended);
}

// Each restaurant's career level with the most eating stations.
std::vector<int> BusiestLevels()
{
    TSettings* settings = TSettings::GetInstance();
    std::vector<int> busiest;
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        int best = restaurant * 10, most = 0;
        for (int level = restaurant * 10; level < restaurant * 10 + 10; ++level) {
            settings->SetCurrentRestaurant(restaurant);
            settings->SetCurrentLevel(level % 10);
            TLevelEventLog host;
            TScoreManager scores;
            TGameData floor(gGlobals, &scores, &host.events);
            floor.SetupLevel();
            const int seats = static_cast<int>(floor.GetEatingStations().size());
            if (seats > most) {
                most = seats;
                best = level;
            }
        }
        busiest.push_back(best);
    }
    return busiest;
}

// Per frame, all threads' CPU of every busy floor measured (update, draw and
// present), for the summary.
std::vector<double> gBusyCpu;
// The same with every frame drawn whole (the partial redraw off), measured
// in the same run right after.
std::vector<double> gBusyWholeCpu;

void MeasureFrames(TPlatform* platform, TGameData& floor, const std::string& what, int count);
// The same with a step of one's own, run before each frame is drawn.
void MeasureFrames(TPlatform* platform, TGameData& floor, const std::string& what, int count,
                   const std::function<void()>& step);

// One frame of play. While pictures are kept the game clock stands still
// and moves a frame at a time, so two runs draw the same pictures.
void Step(TGameData& floor)
{
    if (gShots) {
        TClock* clock = TSettings::GetInstance()->GetGameClock();
        clock->Pause();
        clock->SetTime(clock->GetTime() + 17);
    }
    floor.Update(kFrame);
}

void BusyFrames(TPlatform* platform, int level)
{
    TSettings* settings = TSettings::GetInstance();
    // The same parties and the same moves every run, so runs compare.
    TPlatform::GetInstance()->SeedRand(11);
    if (gShots)
        settings->GetGameClock()->SetTime(0);
    settings->SetCurrentRestaurant(level / 10);
    settings->SetCurrentLevel(level % 10);
    TLevelEventLog host;
    TScoreManager scores;
    TGameData floor(gGlobals, &scores, &host.events);
    PlayToFirstFrame(floor);
    const std::string name = game::RestaurantName(level / 10).c_str();
    MeasureFrames(platform, floor, name + " empty floor", 100);
    TFloorBot bot(floor);
    // Every table taken, then seven more parties in line.
    for (int tries = 0; tries < 200; ++tries) {
        bool free = false;
        for (TEatingStation* station : floor.GetEatingStations())
            free = free || (!station->GetParty() && !station->HasDishes());
        if (!free)
            break;
        if (floor.GetWaitingParties().empty())
            floor.AddNextGroup();
        bot.Act();
        Step(floor);
    }
    while (floor.GetWaitingParties().size() < 7 && floor.AddNextGroup()) {
    }
    int taken = 0;
    for (TEatingStation* station : floor.GetEatingStations())
        taken += station->GetParty() != nullptr;
    std::printf("%s busy floor: career level %d, %d of %zu eating stations taken, %zu parties in line\n",
                name.c_str(), level + 1, taken, floor.GetEatingStations().size(), floor.GetWaitingParties().size());
    MeasureFrames(platform, floor, name + " busy floor", gFrames);
    // Pictures are kept of the frames drawn where they changed only.
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (gShots || !handler || !handler->KeepsWindowAcrossSwaps())
        return;
    handler->SetPartialRedraw(false);
    MeasureFrames(platform, floor, name + " busy floor, drawn whole", gFrames);
    handler->SetPartialRedraw(true);
}

// Pictures are kept of every 100th busy frame, and of every 20th frame of
// the still floors and the played level.
int ShotEvery() { return gMode == EMode::kBusy ? 100 : 20; }

void AppendShot(TPlatform*)
{
    std::vector<unsigned char> pixels(800 * 600 * 4);
    GLint framebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(framebuffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // A frame drawn straight to the window lies bottom row first there.
    if (framebuffer == 0)
        for (int y = 0; y < 300; ++y)
            std::swap_ranges(pixels.begin() + y * 3200, pixels.begin() + (y + 1) * 3200,
                             pixels.begin() + (599 - y) * 3200);
    if (std::FILE* file = std::fopen(gShots, "ab")) {
        std::fwrite(pixels.data(), 1, pixels.size(), file);
        std::fclose(file);
    }
}

void MeasureFrames(TPlatform* platform, TGameData& floor, const std::string& what, int count)
{
    MeasureFrames(platform, floor, what, count, [&floor] { Step(floor); });
}

void MeasureFrames(TPlatform* platform, TGameData& floor, const std::string& what, int count,
                   const std::function<void()>& step)
{
    const bool busy = what.find("busy") != std::string::npos;
    TAnimatedTextureCache cache(100, 120, 80);
    std::vector<double> updates, submits, draws, frames, cpu, presentedCpu, mainCpu, uploads, pixels, calls, switches,
        fragments, redrawn;
    std::int64_t wholeFrames = 0, partialFrames = 0;
    // The pixels the frame's drawing wrote (fragments that passed), from an occlusion query.
    GLuint query = 0;
    glGenQueries(1, &query);
    TEvent event;
    for (int n = 0; n < count + 30;) {
        platform->GetEvent(&event);
        if (event.mType == TEvent::kQuit)
            break;
        if (event.mType != TEvent::kIdle || !platform->BeginDraw(false))
            continue;
        const auto start = TClockNow::now();
        const double cpuStart = ProcessCpuMs();
        const double mainStart = MainThreadCpuMs();
        step();
        const auto updated = TClockNow::now();
        const TGLDrawStats before = GLDrawStats();
        cache.Reset();
        glBeginQuery(GL_SAMPLES_PASSED, query);
        DrawFloor(floor, &cache, nullptr, nullptr);
        const auto submitted = TClockNow::now();
        glFinish();
        const auto drawn = TClockNow::now();
        const double cpuDrawn = ProcessCpuMs();
        const double mainDrawn = MainThreadCpuMs();
        // A recorded frame is drawn at its end, where it changed.
        platform->EndDraw(true);
        glEndQuery(GL_SAMPLES_PASSED);
        glFinish();
        const double cpuPresented = ProcessCpuMs();
        const TGLDrawStats after = GLDrawStats();
        // The picture as the swap left it in the back buffer; the read-back
        // is not the frame's.
        if (gShots && n >= 30 && (n - 30) % ShotEvery() == 0 && (busy || gMode != EMode::kBusy))
            AppendShot(platform);
        GLuint drawnFragments = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &drawnFragments);
        if (n++ >= 30) {
            fragments.push_back(double(drawnFragments));  // textures are loaded in the first frames
            updates.push_back(Ms(updated - start));
            submits.push_back(Ms(submitted - updated));
            draws.push_back(Ms(drawn - updated));
            frames.push_back(Ms(drawn - start));
            cpu.push_back(cpuDrawn - cpuStart);
            presentedCpu.push_back(cpuPresented - cpuStart);
            if (busy)
                (what.find("drawn whole") != std::string::npos ? gBusyWholeCpu : gBusyCpu)
                    .push_back(cpuPresented - cpuStart);
            mainCpu.push_back(mainDrawn - mainStart);
            uploads.push_back(double(after.uploads - before.uploads));
            pixels.push_back(double(after.uploadedPixels - before.uploadedPixels));
            calls.push_back(double(after.drawCalls - before.drawCalls));
            switches.push_back(double(after.textureSwitches - before.textureSwitches));
            redrawn.push_back(double(after.redrawnPixels - before.redrawnPixels));
            wholeFrames += after.wholeFrames - before.wholeFrames;
            partialFrames += after.partialFrames - before.partialFrames;
        }
    }
    Report((what + ": update").c_str(), updates);
    Report((what + ": draw calls made").c_str(), submits);
    Report((what + ": draw (glFinish)").c_str(), draws);
    Report((what + ": update + draw").c_str(), frames);
    Report((what + ": CPU of all threads").c_str(), cpu);
    Report((what + ": CPU of all threads, presented").c_str(), presentedCpu);
    Report((what + ": CPU of the main thread").c_str(), mainCpu);
    ReportCount((what + ": texture uploads").c_str(), uploads);
    ReportCount((what + ": pixels uploaded").c_str(), pixels);
    ReportCount((what + ": draw calls").c_str(), calls);
    ReportCount((what + ": texture switches").c_str(), switches);
    ReportCount((what + ": pixels drawn").c_str(), fragments);
    ReportCount((what + ": pixels of the rectangles redrawn").c_str(), redrawn);
    std::printf("%-34s %lld drawn whole, %lld drawn where they changed, of %zu\n", (what + ": frames").c_str(),
                static_cast<long long>(wholeFrames), static_cast<long long>(partialFrames), updates.size());
    glDeleteQueries(1, &query);
}

// Each restaurant's first career floor as the level starts, standing still
// (the frames drawn only where they changed), then with an order ticket in
// her hand (the wheel's glow pulses, nothing else changes), then as the
// decor choice shows it (the room's scenery moves, the upgraded tables and
// chairs glow over the plain ones).
void StillFloors(TPlatform* platform)
{
    TSettings* settings = TSettings::GetInstance();
    // While pictures are kept nothing follows the clock, so runs compare.
    if (gShots) {
        settings->GetGameClock()->Pause();
        settings->GetGameClock()->SetTime(0);
    }
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        TPlatform::GetInstance()->SeedRand(11);
        settings->SetCurrentRestaurant(restaurant);
        settings->SetCurrentLevel(0);
        TLevelEventLog host;
        TScoreManager scores;
        TGameData floor(gGlobals, &scores, &host.events);
        PlayToFirstFrame(floor);
        TQuessa* her = floor.GetQuessa();
        const auto pulse = [&floor, her] { floor.GetTicketStation().Update(kFrame, her); };
        const std::string name = game::RestaurantName(restaurant).c_str();
        MeasureFrames(platform, floor, name + " still floor", gFrames, pulse);
        her->PickupItem(kCarryTicket, 0, 0);
        MeasureFrames(platform, floor, name + " still floor, a ticket carried", gFrames, pulse);
        her->DropItem(kCarryTicket, -1);
        // The decor choice over the same floor: the upgraded tables and
        // chairs offered over the plain ones, their glow pulsing.
        TRestaurant& room = floor.GetStaff().Restaurant();
        room.EnterUpgradeMode();
        MeasureFrames(platform, floor, name + " still floor, the decor offered", gFrames, [&room, &pulse] {
            pulse();  // the wheel's glow ends with the ticket
            room.Update(kFrame);
        });
        room.LeaveUpgradeMode();
    }
}

// A career level played by the bot from its start as the career run plays
// it, every frame drawn as the game draws the floor.
void PlayedLevel(TPlatform* platform)
{
    TSettings* settings = TSettings::GetInstance();
    const int level = gPlayedLevel - 1;
    settings->SetCurrentRestaurant(level / 10);
    settings->SetCurrentLevel(level % 10);
    TPlatform::GetInstance()->SeedRand(7);
    TLevelEventLog host;
    TScoreManager scores;
    TGameData floor(gGlobals, &scores, &host.events);
    PlayToFirstFrame(floor);
    TFloorBot bot(floor);
    int frame = 0;
    MeasureFrames(platform, floor, "career level " + std::to_string(gPlayedLevel) + " played", gFrames,
                  [&floor, &bot, &frame] {
                      PlayFrame(floor, frame++);
                      bot.Act();
                  });
}

void BenchMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false)) {
        std::fprintf(stderr, "no display\n");
        return;
    }
    TSettings::CreateSettings();
    TSettings* settings = TSettings::GetInstance();
    settings->CreateNewUser("Bench");
    settings->SetCurrentUser(0, true);
    settings->GetGameClock()->Start();
    gGlobalDoc.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    TXmlNode* root = gGlobalDoc.GetChild("dataroot");
    gGlobals = root ? root->GetChild("globals") : nullptr;
    // With pictures kept, every frame drawn where it changed is checked
    // against the same frame drawn whole.
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance(); handler && gShots)
        handler->SetCheckPartialFrames(true);
    if (gMode == EMode::kCareer) {
        CareerLevels();
    } else if (gMode == EMode::kStill) {
        StillFloors(platform);
    } else if (gMode == EMode::kPlayed) {
        PlayedLevel(platform);
    } else {
        WholeLevels();
        for (int level : BusiestLevels())
            BusyFrames(platform, level);
        Report("busy floors, all restaurants: CPU of all threads", gBusyCpu);
        if (!gBusyWholeCpu.empty())
            Report("busy floors, all restaurants, drawn whole: CPU of all threads", gBusyWholeCpu);
    }
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance(); handler && gShots)
        std::printf("frames drawn where they changed that differ from the same frame drawn whole: %d\n",
                    handler->GetPartialFrameMismatches());
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "career") {
        gMode = EMode::kCareer;
    } else if (mode == "still") {
        gMode = EMode::kStill;
        gFrames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;
        gShots = argc > 3 ? argv[3] : nullptr;
    } else if (mode == "played") {
        gMode = EMode::kPlayed;
        gPlayedLevel = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 50) : 38;
        gFrames = argc > 3 ? std::max(10, std::atoi(argv[3])) : 400;
        gShots = argc > 4 ? argv[4] : nullptr;
    } else {
        if (argc > 1)
            gFrames = std::max(10, std::atoi(argv[1]));
        if (argc > 2)
            gShots = argv[2];
    }
    // A folder of its own, so runs side by side do not share (or delete) each other's.
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("qm-level-bench-" + std::to_string(getpid()));
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("CORVELLATRIP_DATA", QM_DATA_DIR, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::filesystem::current_path(QM_DATA_DIR);
    qm::InstallGLDisplayHost(true);  // as the game draws
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, BenchMain, false);
    std::filesystem::remove_all(home);
    return gUnended > 0 ? 1 : 0;
}
