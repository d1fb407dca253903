#include "platformfixture.h"

#include <cstdlib>
#include <filesystem>

void PlatformTest::SetUp()
{
    char pattern[] = "/tmp/qm_platform_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    home = pattern;
    ::setenv("XDG_DATA_HOME", (home + "/xdg/data").c_str(), 1);
}

void PlatformTest::TearDown()
{
    platform.reset();
    qm::PlatformHooks() = qm::TPlatformHooks{};
    std::filesystem::remove_all(home);
    ::unsetenv("XDG_DATA_HOME");
}

void PlatformTest::start(unsigned seed)
{
    auto headless = std::make_unique<qm::THeadlessBackend>();
    backend = headless.get();
    backend->now = 5000;
    backend->seed = seed;
    testing::internal::CaptureStderr();
    data = new TPlatformData(0, nullptr, false, std::move(headless));
    platform = std::make_unique<TPlatform>(data);
    testing::internal::GetCapturedStderr();
}

TEvent PlatformTest::next()
{
    TEvent ev;
    platform->GetEvent(&ev);
    return ev;
}

std::vector<TEvent> PlatformTest::drain()
{
    // Everything up to (not including) the first idle that the idle pass made.
    std::vector<TEvent> events;
    for (int guard = 0; guard < 100; ++guard) {
        bool idlePassNext = data->QueuedEventCount() == 0 && backend->pending.empty();
        TEvent ev = next();
        if (idlePassNext)
            break;
        events.push_back(ev);
    }
    return events;
}

TRawEvent Raw(TRawEvent::EKind kind, int x, int y, int modifiers)
{
    TRawEvent raw;
    raw.kind = kind;
    raw.x = x;
    raw.y = y;
    raw.modifiers = modifiers;
    return raw;
}

TRawEvent Key(TRawEvent::EKind kind, unsigned char character, int modifiers)
{
    TRawEvent raw = Raw(kind, 10, 20, modifiers);
    raw.character = character;
    return raw;
}

TRawEvent Button(TRawEvent::EKind kind, int button, int x, int y, int modifiers)
{
    TRawEvent raw = Raw(kind, x, y, modifiers);
    raw.button = button;
    return raw;
}

std::string Describe(const TEvent& ev)
{
    return "type=" + std::to_string(ev.mType) + " param=" + std::to_string(ev.mParam) + " x=" + std::to_string(ev.mX) +
           " y=" + std::to_string(ev.mY) + " mods=" + std::to_string(ev.mModifiers);
}

std::string Describe(const std::vector<TEvent>& events)
{
    std::string out;
    for (const TEvent& ev : events)
        out += Describe(ev) + "\n";
    return out;
}
