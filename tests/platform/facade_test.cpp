// The TPlatform facade: singleton, constructor seams, display, 2D bracket
// checks, frame-rate log, teardown order, time, files and the engine entry.
#include "engine/base/task.h"
#include "engine/base/timesource.h"
#include "platformfixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string captured(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST_F(PlatformTest, ASingletonThatRunsWithoutAnyService)
{
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    start();
    EXPECT_EQ(TPlatform::GetInstance(), platform.get());
    EXPECT_EQ(platform->GetWindowManager(), nullptr);
    EXPECT_EQ(platform->GetStringTable(), nullptr);
    EXPECT_EQ(platform->GetSoundManager(), nullptr);
    EXPECT_EQ(platform->GetDisplayHandler(), nullptr);
    EXPECT_NE(captured([&] { EXPECT_FALSE(platform->InitSound()); }), "");
    platform->Init3d();
    EXPECT_FALSE(platform->BeginDraw(true));  // no window yet
    EXPECT_TRUE(platform->SetDisplay(800, 600, false));
    EXPECT_TRUE(platform->BeginDraw(true));
    platform->EndDraw(true);
    EXPECT_EQ(backend->clears, 1);
    EXPECT_EQ(backend->swaps, 1);
    platform.reset();
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
}

TEST_F(PlatformTest, ConstructorAttachesTheWindowScriptAndTurnsStringLookupsOnOnlyWhenTheTableLoads)
{
    for (bool loads : {true, false}) {
        FakeWindowHost* host = nullptr;
        qm::PlatformHooks().makeWindowHost = [&](TPlatformData&) {
            auto made = std::make_unique<FakeWindowHost>();
            made->loadSucceeds = loads;
            host = made.get();
            return made;
        };
        start();
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(host->attached, 1);
        EXPECT_EQ(host->loaded, (std::vector<std::string>{"assets/strings.xml"}));
        EXPECT_EQ(host->enabled, loads ? 1 : 0);
        platform.reset();
    }
}

TEST_F(PlatformTest, FirstSetDisplayMakesTheRootScreenAndLaterOnesKeepItsSize)
{
    qm::PlatformHooks().makeWindowHost = [](TPlatformData&) { return std::make_unique<FakeWindowHost>(); };
    qm::PlatformHooks().makeDisplayHost = [](TPlatformData&) { return std::make_unique<FakeDisplayHost>(); };
    start();
    platform->Init3d();
    auto* windows = static_cast<FakeWindowHost*>(data->GetWindowHost());
    auto* display = static_cast<FakeDisplayHost*>(data->GetDisplayHost());
    EXPECT_TRUE(platform->SetDisplay(800, 600, false));
    EXPECT_TRUE(windows->root);
    EXPECT_EQ(windows->rootWidth, 800);
    EXPECT_TRUE(platform->SetDisplay(1024, 768, true));
    EXPECT_EQ(windows->rootWidth, 800);
    EXPECT_EQ(windows->rootHeight, 600);
    EXPECT_EQ(backend->width, 1024);
    EXPECT_TRUE(platform->IsFullscreen());
    EXPECT_EQ(display->calls, (std::vector<std::string>{"SetDisplay 800x600 window", "SetDisplay 1024x768 full"}));
    EXPECT_EQ(backend->warps, 2);
}

TEST_F(PlatformTest, FailedDisplayAndFullScreenChangesKeepTheMode)
{
    start();
    backend->windowFails = true;
    EXPECT_NE(captured([&] { EXPECT_FALSE(platform->SetDisplay(800, 600, false)); }), "");
    EXPECT_FALSE(data->HasDisplay());
    EXPECT_FALSE(platform->SetFullscreen(true));
    EXPECT_FALSE(platform->IsFullscreen());

    backend->windowFails = false;
    platform->SetDisplay(800, 600, false);
    backend->fullscreenFails = true;
    captured([&] { EXPECT_FALSE(platform->SetFullscreen(true)); });
    EXPECT_FALSE(platform->IsFullscreen());
    int warps = backend->warps;
    EXPECT_TRUE(platform->SetFullscreen(false));  // the current mode: true without touching the display
    EXPECT_EQ(backend->warps, warps);
    backend->fullscreenFails = false;
    EXPECT_TRUE(platform->SetFullscreen(true));
    EXPECT_TRUE(platform->IsFullscreen());
}

TEST_F(PlatformTest, TwoDimensionalBracketChecks)
{
    start();
    auto display = std::make_unique<FakeDisplayHost>();
    FakeDisplayHost* fake = display.get();
    data->SetDisplayHandler(std::move(display));

    EXPECT_EQ(captured([&] { EXPECT_FALSE(platform->CheckDrawState()); }),
              "DrawVertices called when not in Begin2d or Begin3d state\n");
    EXPECT_EQ(captured([&] { platform->End2d(); }), "End2d called when not in Begin2d state\n");
    EXPECT_EQ(fake->end2d, 0);

    EXPECT_EQ(captured([&] { EXPECT_TRUE(platform->Begin2d()); }), "");
    EXPECT_TRUE(platform->In2d());
    EXPECT_TRUE(platform->CheckDrawState());
    EXPECT_EQ(captured([&] { EXPECT_FALSE(platform->Begin2d()); }), "Begin2d called when already in Begin2d state\n");
    EXPECT_TRUE(platform->In2d());
    EXPECT_EQ(fake->begin2d, 1);
    platform->End2d();
    EXPECT_FALSE(platform->In2d());
    EXPECT_EQ(fake->end2d, 1);

    data->mIn3d = true;
    EXPECT_EQ(captured([&] { EXPECT_FALSE(platform->Begin2d()); }), "Begin2d called when already in Begin3d state\n");
    data->mIn3d = false;

    // The handler's answer becomes the 2D flag.
    fake->begin2dResult = false;
    EXPECT_FALSE(platform->Begin2d());
    EXPECT_FALSE(platform->In2d());
}

TEST_F(PlatformTest, FrameRateLogReportsAboutOnceASecondOnlyWhenAsked)
{
    for (bool asked : {false, true}) {
        if (asked)
            ::setenv("LANTERNKIT_SHOWFPS", "", 1);
        else
            ::unsetenv("LANTERNKIT_SHOWFPS");
        start();
        platform->SetDisplay(800, 600, false);
        std::string log = captured([&] {
            for (int i = 0; i < 60; ++i) {
                backend->now += 100;  // 10 frames a second
                platform->EndDraw(true);
            }
        });
        // Frames 15, 30, 45, 60 end a ring; each spans 1.4 s, so every one logs.
        EXPECT_EQ(log, asked ? "fps: 10.714286\nfps: 10.714286\nfps: 10.714286\nfps: 10.714286\n" : "");
        platform.reset();
    }
    ::unsetenv("LANTERNKIT_SHOWFPS");
}

TEST_F(PlatformTest, TeardownRemovesWindowsAndTasksThenSoundThenDisplayThenWindow)
{
    std::vector<std::string> order;
    start();
    backend->log = &order;
    auto windows = std::make_unique<FakeWindowHost>();
    windows->log = &order;
    data->SetWindowHost(std::move(windows));
    auto sound = std::make_unique<FakeSoundHost>();
    sound->log = &order;
    data->SetSoundHost(std::move(sound));
    auto display = std::make_unique<FakeDisplayHost>();
    display->log = &order;
    data->SetDisplayHandler(std::move(display));
    struct Noting : TTask {
        std::vector<std::string>* order;
        TPlatformData* data;
        ~Noting() override
        {
            order->push_back("task");
            // Services deleted before this point are no longer reachable.
            EXPECT_EQ(data->GetWindowHost(), nullptr);
            EXPECT_NE(data->GetSoundHost(), nullptr);
        }
        bool DoTask() override { return true; }
    };
    auto* task = new Noting;
    task->order = &order;
    task->data = data;
    platform->AdoptTask(task);
    platform.reset();
    EXPECT_EQ(order, (std::vector<std::string>{"windows", "task", "sound", "display", "backend"}));
}

TEST_F(PlatformTest, TimerCountsFromStartUpAndDrivesTasks)
{
    start();
    EXPECT_EQ(platform->Timer(), 0u);
    backend->now += 1234;
    EXPECT_EQ(platform->Timer(), 1234u);
    EXPECT_EQ(qm::Timer(), 1234u);  // tasks and clocks see the platform timer
    backend->now = 5000 - 10;      // the system counter wrapped past start
    EXPECT_EQ(platform->Timer(), 0xFFFFFFF6u);
    platform.reset();
    EXPECT_NE(qm::Timer(), 0xFFFFFFF6u);  // the default source again
}

TEST_F(PlatformTest, RandIsNonNegativeAndRepeatableWhenSeeded)
{
    start();
    platform->SeedRand(42);
    std::vector<int> first;
    for (int i = 0; i < 50; ++i) {
        first.push_back(platform->Rand());
        EXPECT_GE(first.back(), 0);
    }
    platform->SeedRand(42);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(platform->Rand(), first[i]);
}

// A test on the fake clock must play the same course every run: the
// headless platform starts from its back end's seed, never from the time.
TEST_F(PlatformTest, RandStartsFromTheBackEndsSeedSoAHeadlessRunRepeats)
{
    auto course = [&] {
        std::vector<int> numbers;
        for (int i = 0; i < 20; ++i)
            numbers.push_back(platform->Rand());
        return numbers;
    };
    start();
    const std::vector<int> fresh = course();
    platform->SeedRand(qm::THeadlessBackend::kDefaultSeed);
    EXPECT_EQ(course(), fresh) << "a fresh platform is seeded with the back end's seed";
    platform.reset();

    start(2);
    EXPECT_NE(course(), fresh) << "another seed, another course";
    platform->SeedRand(2);
    const std::vector<int> second = course();
    platform.reset();
    start(2);
    EXPECT_EQ(course(), second);
}

TEST_F(PlatformTest, VersionIsFourNumbers)
{
    start();
    EXPECT_TRUE(std::regex_match(platform->GetVersion(), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")))
        << platform->GetVersion();
}

TEST_F(PlatformTest, DataFoldersAreCreatedWithTheirParentsAndPrivate)
{
    start();
    char user[qm::kPathBufferSize];
    char common[qm::kPathBufferSize];
    platform->GetDataDirectory(user, false);
    platform->GetDataDirectory(common, true);
    EXPECT_EQ(std::string(user), home + "/xdg/data/corvellatrip");
    EXPECT_NE(std::string(common), std::string(user));
    for (const char* folder : {user, common}) {
        struct stat info;
        ASSERT_EQ(::stat(folder, &info), 0) << folder;
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0077, 0u) << folder;
    }
}

TEST_F(PlatformTest, OpenFileLooksInTheWorkingDirectoryThenAssets)
{
    start();
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    std::filesystem::create_directories(home + "/res/assets");
    std::ofstream(home + "/res/top.txt") << "top";
    std::ofstream(home + "/res/assets/inner.txt") << "inner";
    ASSERT_EQ(::chdir((home + "/res").c_str()), 0);
    std::string cwd = std::filesystem::current_path().string();

    char path[qm::kPathBufferSize];
    std::FILE* top = platform->OpenFile("top.txt", path);
    ASSERT_NE(top, nullptr);
    std::fclose(top);
    EXPECT_EQ(std::string(path), cwd + "/top.txt");
    EXPECT_EQ(std::string(platform->TranslateResource(str("inner.txt")).c_str()), cwd + "/assets/inner.txt");
    EXPECT_EQ(platform->TranslateResource(str("missing.txt")).length(), 0);
    EXPECT_EQ(platform->OpenFile("missing.txt", path), nullptr);
    EXPECT_EQ(std::string(path), cwd + "/assets/missing.txt");
    // A name too long for the path buffer fails cleanly.
    std::string huge(2 * qm::kPathBufferSize, 'n');
    EXPECT_EQ(platform->OpenFile(huge.c_str(), path), nullptr);
    ASSERT_EQ(::chdir(saved), 0);
}

TEST_F(PlatformTest, OpenBrowserTakesOnlyWebAddresses)
{
    start();
    captured([&] {
        for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "http://", "https://", "http://a\nb",
                                    "https://a\tb", "--help", "-x http://example.org", "ftp://example.org",
                                    "/etc/passwd", "", static_cast<const char*>(nullptr)})
            EXPECT_FALSE(platform->OpenBrowser(refused)) << (refused ? refused : "(null)");
    });
    EXPECT_TRUE(platform->OpenBrowser("https://example.org/a?b=\"c\";d=$(e)"));
    EXPECT_TRUE(platform->OpenBrowser("HTTP://example.org"));
    EXPECT_EQ(backend->urls, (std::vector<std::string>{"https://example.org/a?b=\"c\";d=$(e)", "HTTP://example.org"}));
}

TEST_F(PlatformTest, WindowTitleIsUtf8AndLatin1IsConverted)
{
    start();
    platform->SetWindowTitle("Caf\xC3\xA9");
    EXPECT_EQ(backend->title, "Caf\xC3\xA9");
    platform->SetWindowTitle("Caf\xE9");
    EXPECT_EQ(backend->title, "Caf\xC3\xA9");
}

TEST_F(PlatformTest, HideCursorKeepsTheFlag)
{
    start();
    platform->SetDisplay(800, 600, false);
    backend->cursorVisible = true;
    platform->HideCursor(true);
    EXPECT_FALSE(data->IsCursorShown());
    EXPECT_FALSE(backend->cursorVisible);
    platform->HideCursor(false);  // the mouse is in the content: stays hidden
    EXPECT_TRUE(data->IsCursorShown());
    EXPECT_FALSE(backend->cursorVisible);
}

// ------------------------------------------------------------ engine entry

namespace {

std::string gCommandLine;
TPlatform* gSeen = nullptr;

void recordingMain(TPlatform* platform, const char* commandLine)
{
    gSeen = platform;
    gCommandLine = commandLine;
    EXPECT_EQ(TPlatform::GetInstance(), platform);
    EXPECT_TRUE(platform->SetDisplay(800, 600, false));
    TEvent ev;
    platform->GetEvent(&ev);
    EXPECT_EQ(ev.mType, TEvent::kIdle);
}

}  // namespace

TEST_F(PlatformTest, RunEngineCallsMainOnceWithTheCommandLine)
{
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    char program[] = "/nowhere/prog";
    char arg[] = "-x";
    char* argv[] = {program, arg, nullptr};
    testing::internal::CaptureStderr();
    int code = qm::RunEngine(2, argv, recordingMain, false, std::make_unique<qm::THeadlessBackend>());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0);
    EXPECT_NE(gSeen, nullptr);
    EXPECT_EQ(gCommandLine, "/nowhere/prog -x ");
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    ASSERT_EQ(::chdir(saved), 0);

    char* none[] = {program, nullptr};
    EXPECT_EQ(std::string(qm::BuildCommandLine(1, none).c_str()), "/nowhere/prog ");
    EXPECT_EQ(qm::BuildCommandLine(0, none).length(), 0);
}

// The engine enters the resource folder and tells the game which one it
// is, by its full path, and that it could enter it (the game tells the
// player when it could not).
TEST_F(PlatformTest, RunEngineEntersTheResourceFolderAndSaysWhichOne)
{
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    std::filesystem::create_directories(home + "/res");
    ::setenv("CORVELLATRIP_DATA", (home + "/res/.").c_str(), 1);
    static std::string folder;
    static int error = -1;
    char program[] = "/nowhere/prog";
    char* argv[] = {program, nullptr};
    testing::internal::CaptureStderr();
    qm::RunEngine(
        1, argv,
        [](TPlatform* platform, const char*) {
            folder = platform->GetResourceFolder().c_str();
            error = platform->GetResourceFolderError();
        },
        false, std::make_unique<qm::THeadlessBackend>());
    testing::internal::GetCapturedStderr();
    ::unsetenv("CORVELLATRIP_DATA");
    EXPECT_EQ(folder, std::filesystem::canonical(home + "/res").string());
    EXPECT_EQ(error, 0);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(home + "/res"));
    ASSERT_EQ(::chdir(saved), 0);
}
