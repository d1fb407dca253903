// The translation of raw events into TEvents, the event stack and the idle pass.
#include "engine/base/animtask.h"
#include "platformfixture.h"

namespace {

std::string Expect(std::initializer_list<TEvent> events)
{
    return Describe(std::vector<TEvent>(events));
}

constexpr int kShift = TEvent::kShiftKey;
constexpr int kCtrl = TEvent::kControlKey;
constexpr int kAlt = TEvent::kOptionKey;

}  // namespace

TEST_F(PlatformTest, KeyDownComesBeforeItsCharacter)
{
    start();
    backend->Inject(Key(TRawEvent::kKeyDown, 'q', kShift));
    backend->Inject(Key(TRawEvent::kKeyUp, 'q'));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kKeyDown, 'Q', 10, 20, kShift},
                                         {TEvent::kChar, 'q', 10, 20, kShift},
                                         {TEvent::kKeyUp, 'Q', 10, 20, 0}}));
}

TEST_F(PlatformTest, OneOperatingSystemEventPerCallAndTheStackIsLastInFirstOut)
{
    start();
    backend->Inject(Key(TRawEvent::kKeyDown, 'a'));
    backend->Inject(Key(TRawEvent::kKeyDown, 'b'));
    EXPECT_EQ(next().mType, TEvent::kKeyDown);
    EXPECT_EQ(backend->pending.size(), 1u);  // 'b' still waits in the system
    EXPECT_EQ(data->QueuedEventCount(), 1);  // the character of 'a'
    EXPECT_EQ(next().mParam, 'a');
    EXPECT_EQ(next().mParam, 'B');
    EXPECT_EQ(next().mParam, 'b');

    // Events queued directly come out newest first.
    data->QueueEvent(Raw(TRawEvent::kMouseMoved, 1, 1));
    data->QueueEvent(Raw(TRawEvent::kMouseMoved, 2, 2));
    EXPECT_EQ(next().mX, 2);
    EXPECT_EQ(next().mX, 1);
}

TEST_F(PlatformTest, ButtonUpComesBeforeItsMove)
{
    start();
    backend->Inject(Button(TRawEvent::kButtonDown, 1, 100, 200));
    backend->Inject(Button(TRawEvent::kButtonUp, 1, 101, 201));
    backend->Inject(Raw(TRawEvent::kMouseMoved, 150, 250, kShift));
    backend->Inject(Raw(TRawEvent::kMouseExited, -5, 30));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kMouseDown, 0, 100, 200, 0},
                                         {TEvent::kMouseUp, 0, 101, 201, 0},
                                         {TEvent::kMouseMove, 0, 101, 201, 0},
                                         {TEvent::kMouseMove, 0, 150, 250, kShift},
                                         {TEvent::kMouseLeave, 0, -5, 30, 0}}));
}

TEST_F(PlatformTest, ControlAndAltTurnClicksIntoOtherButtons)
{
    start();
    backend->Inject(Button(TRawEvent::kButtonDown, 1, 5, 6, kCtrl));
    backend->Inject(Button(TRawEvent::kButtonDown, 1, 5, 6, kAlt));
    backend->Inject(Button(TRawEvent::kButtonDown, 1, 5, 6, kCtrl | kAlt));
    backend->Inject(Button(TRawEvent::kButtonDown, 2, 5, 6));
    backend->Inject(Button(TRawEvent::kButtonDown, 3, 5, 6));
    backend->Inject(Button(TRawEvent::kButtonDown, 4, 5, 6));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kExtendedMouse, 1, 5, 6, kCtrl},
                                         {TEvent::kExtendedMouse, 3, 5, 6, kAlt},
                                         {TEvent::kExtendedMouse, 1, 5, 6, kCtrl | kAlt},
                                         {TEvent::kExtendedMouse, 1, 5, 6, 0},
                                         {TEvent::kExtendedMouse, 3, 5, 6, 0},
                                         {TEvent::kIdle, 0, 0, 0, 0}}));
}

TEST_F(PlatformTest, WheelParameters)
{
    start();
    auto wheel = [](int axis, int delta) {
        TRawEvent raw = Raw(TRawEvent::kWheel, 7, 8);
        raw.axis = axis;
        raw.delta = delta;
        return raw;
    };
    backend->Inject(wheel(TRawEvent::kHorizontalAxis, 2));
    backend->Inject(wheel(TRawEvent::kHorizontalAxis, -1));
    backend->Inject(wheel(TRawEvent::kVerticalAxis, 0));
    backend->Inject(wheel(TRawEvent::kVerticalAxis, -3));
    backend->Inject(wheel(TRawEvent::kOtherAxis, 1));
    std::vector<int> params;
    for (const TEvent& ev : drain()) {
        EXPECT_EQ(ev.mType, TEvent::kExtendedMouse);
        EXPECT_EQ(ev.mX, 7);
        params.push_back(ev.mParam);
    }
    EXPECT_EQ(params, (std::vector<int>{4, 5, 6, 7, 0}));
}

TEST_F(PlatformTest, KeysThatTypeNothingNeverMakeKeyCodeZero)
{
    start();
    backend->Inject(Key(TRawEvent::kKeyDown, 0));
    backend->Inject(Key(TRawEvent::kKeyUp, 0));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kIdle, 0, 0, 0, 0}, {TEvent::kIdle, 0, 0, 0, 0}}));
}

TEST_F(PlatformTest, CharactersAreSignedBytesAndOnlyAsciiLettersAreUpperCased)
{
    start();
    backend->Inject(Key(TRawEvent::kKeyDown, 0xE9));  // é in Latin-1
    backend->Inject(Key(TRawEvent::kKeyDown, '1'));
    std::vector<TEvent> events = drain();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].mParam, -23);
    EXPECT_EQ(events[1].mParam, -23);
    EXPECT_EQ(events[2].mParam, '1');
}

TEST_F(PlatformTest, AltReturnTogglesFullScreenAndReportsTheNewMode)
{
    start();
    platform->SetDisplay(800, 600, false);
    backend->Inject(Key(TRawEvent::kKeyDown, '\r', kAlt));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kDisplayChanged, 0, 0, 0, kAlt}}));
    EXPECT_TRUE(platform->IsFullscreen());
    EXPECT_TRUE(backend->fullscreen);

    backend->Inject(Key(TRawEvent::kKeyDown, '\r', kAlt));
    drain();
    EXPECT_FALSE(platform->IsFullscreen());

    // Return without Alt is an ordinary key.
    backend->Inject(Key(TRawEvent::kKeyDown, '\r'));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kKeyDown, 13, 10, 20, 0}, {TEvent::kChar, 13, 10, 20, 0}}));
}

TEST_F(PlatformTest, ActivationIsReportedOnlyOnARealChange)
{
    start();
    auto sound = std::make_unique<FakeSoundHost>();
    FakeSoundHost* fakeSound = sound.get();
    data->SetSoundHost(std::move(sound));

    backend->Inject(Raw(TRawEvent::kActivated));    // already active
    backend->Inject(Raw(TRawEvent::kDeactivated));
    backend->Inject(Raw(TRawEvent::kCollapsed));    // already inactive
    backend->Inject(Raw(TRawEvent::kExpanded));
    backend->Inject(Raw(TRawEvent::kActivated));
    EXPECT_EQ(Describe(drain()), Expect({{TEvent::kIdle, 0, 0, 0, 0},
                                         {TEvent::kActivate, 0, 0, 0, 0},
                                         {TEvent::kIdle, 0, 0, 0, 0},
                                         {TEvent::kActivate, 1, 0, 0, 0},
                                         {TEvent::kIdle, 0, 0, 0, 0}}));
    EXPECT_EQ(fakeSound->pauses, (std::vector<bool>{true, false}));
}

TEST_F(PlatformTest, QuitIsSticky)
{
    start();
    backend->Inject(Raw(TRawEvent::kWindowClosed));
    backend->Inject(Key(TRawEvent::kKeyDown, 'x'));
    EXPECT_EQ(next().mType, TEvent::kIdle);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(next().mType, TEvent::kQuit);
    EXPECT_EQ(backend->pending.size(), 1u);  // nothing more is read after quit

    // Events already on the stack still come out first.
    data->QueueEvent(Raw(TRawEvent::kMouseMoved, 3, 4));
    EXPECT_EQ(next().mType, TEvent::kMouseMove);
    EXPECT_EQ(next().mType, TEvent::kQuit);
}

TEST_F(PlatformTest, SystemQuitRequestAlsoQuits)
{
    start();
    backend->Inject(Raw(TRawEvent::kQuit));
    next();
    EXPECT_EQ(next().mType, TEvent::kQuit);
}

TEST_F(PlatformTest, IdlePassRunsTasksAndSoundAndCarriesModifiers)
{
    start();
    auto sound = std::make_unique<FakeSoundHost>();
    FakeSoundHost* fakeSound = sound.get();
    data->SetSoundHost(std::move(sound));
    struct Counter : TAnimTask {
        int* runs;
        explicit Counter(int* r) : TAnimTask(nullptr), runs(r) {}
        bool Animate() override
        {
            ++*runs;
            SetDelay(100, false, true, false);
            return true;
        }
    };
    int runs = 0;
    platform->AdoptTask(new Counter(&runs));
    backend->modifiers = kShift;
    EXPECT_EQ(Describe(next()), Describe(TEvent{TEvent::kIdle, 0, 0, 0, kShift}));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(fakeSound->notifications, 1);
    next();
    EXPECT_EQ(runs, 1);  // not due again yet
    backend->now += 100;
    next();
    EXPECT_EQ(runs, 2);
    // A null record is ignored.
    platform->GetEvent(nullptr);
    EXPECT_EQ(runs, 2);
}

TEST_F(PlatformTest, InactiveIdleSleepGrowsToOneSecondAndResetsWhenActive)
{
    start();
    backend->Inject(Raw(TRawEvent::kDeactivated));
    EXPECT_EQ(next().mType, TEvent::kActivate);
    for (int i = 0; i < 102; ++i)
        next();
    ASSERT_EQ(backend->sleeps.size(), 102u);
    EXPECT_EQ(backend->sleeps[0], 10);
    EXPECT_EQ(backend->sleeps[1], 20);
    EXPECT_EQ(backend->sleeps[2], 30);
    EXPECT_EQ(backend->sleeps[99], 1000);
    EXPECT_EQ(backend->sleeps[101], 1000);

    backend->Inject(Raw(TRawEvent::kActivated));
    EXPECT_EQ(next().mType, TEvent::kActivate);
    next();
    EXPECT_EQ(data->IdleSleep(), 0);
    EXPECT_EQ(backend->sleeps.size(), 102u);  // active passes never sleep
}

TEST_F(PlatformTest, FullScreenDeactivationMinimisesAndIdleRaises)
{
    start();
    platform->SetDisplay(800, 600, true);
    int raises = backend->raises;
    next();
    EXPECT_EQ(backend->raises, raises + 1);
    backend->Inject(Raw(TRawEvent::kDeactivated));
    next();
    EXPECT_EQ(backend->minimises, 1);
    next();
    EXPECT_EQ(backend->raises, raises + 1);  // not while inactive
}

TEST_F(PlatformTest, DisplayChangeRebuildsTheDisplayHandler)
{
    start();
    auto display = std::make_unique<FakeDisplayHost>();
    FakeDisplayHost* fake = display.get();
    data->SetDisplayHandler(std::move(display));
    backend->Inject(Raw(TRawEvent::kDisplayChanged));
    EXPECT_EQ(next().mType, TEvent::kIdle);
    EXPECT_EQ(fake->rebuilds, 1);
}

TEST_F(PlatformTest, MouseEnterHidesTheSystemCursorAndLeavingOutsideShowsIt)
{
    start();
    platform->SetDisplay(800, 600, false);
    backend->cursorVisible = true;
    backend->Inject(Raw(TRawEvent::kMouseEntered));
    EXPECT_EQ(next().mType, TEvent::kIdle);
    EXPECT_FALSE(backend->cursorVisible);
    backend->mouseX = 900;  // outside the content
    backend->Inject(Raw(TRawEvent::kMouseExited, 900, 10));
    EXPECT_EQ(next().mType, TEvent::kMouseLeave);
    EXPECT_TRUE(backend->cursorVisible);
}
