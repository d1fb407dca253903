// The SDL back end on a real (virtual) display: the window and GL context,
// the blank frame, and SDL events going through the translation rules.
#include "engine/platform/platform.h"
#include "engine/platform/sdl/sdlbackend.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

class SdlPlatformTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qm_sdl_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        ::setenv("XDG_DATA_HOME", home.c_str(), 1);
        testing::internal::CaptureStderr();
        platform = std::make_unique<TPlatform>(
            new TPlatformData(0, nullptr, false, std::make_unique<qm::TSdlBackend>()));
        ASSERT_TRUE(platform->SetDisplay(800, 600, false));
        testing::internal::GetCapturedStderr();
    }
    void TearDown() override
    {
        platform.reset();
        std::filesystem::remove_all(home);
        ::unsetenv("XDG_DATA_HOME");
    }

    // The next event that the test itself caused (a few frames' worth of
    // tries). The X server shared with other tests may also send pointer
    // crossings, moves and focus changes at any time: those are skipped.
    TEvent nextEvent()
    {
        TEvent ev;
        for (int i = 0; i < 200; ++i) {
            platform->GetEvent(&ev);
            if (!isAmbient(ev.mType))
                return ev;
        }
        return ev;
    }

    static bool isAmbient(int type)
    {
        return type == TEvent::kIdle || type == TEvent::kMouseMove || type == TEvent::kMouseLeave ||
               type == TEvent::kActivate;
    }

    void drainPending()
    {
        TEvent ev;
        for (int i = 0; i < 50; ++i)
            platform->GetEvent(&ev);
    }

    std::string home;
    std::unique_ptr<TPlatform> platform;
};

}  // namespace

TEST_F(SdlPlatformTest, BlankFrameFillsTheWindow)
{
    int w = 0, h = 0;
    platform->GetPlatformData()->GetDrawableSize(&w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    ASSERT_TRUE(platform->BeginDraw(true));
    unsigned char pixel[4] = {};
    glReadPixels(400, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 32);
    EXPECT_EQ(pixel[1], 64);
    EXPECT_EQ(pixel[2], 96);
    platform->EndDraw(true);
    // A compatibility context: the fixed-function calls the engine uses exist.
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_EQ(profile & GL_CONTEXT_CORE_PROFILE_BIT, 0);
}

TEST_F(SdlPlatformTest, SdlKeyAndMouseEventsBecomeEngineEvents)
{
    drainPending();
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_a;
    key.key.keysym.mod = KMOD_LSHIFT;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    TEvent down = nextEvent();
    EXPECT_EQ(down.mType, TEvent::kKeyDown);
    EXPECT_EQ(down.mParam, 'A');
    EXPECT_EQ(down.mModifiers, TEvent::kShiftKey);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "\xC3\xA4!");  // ä as the layout typed it, then !
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    TEvent typed = nextEvent();
    EXPECT_EQ(typed.mType, TEvent::kChar);
    EXPECT_EQ(typed.mParam, 0xE4);
    EXPECT_EQ(nextEvent().mParam, '!');

    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.x = 123;
    button.button.y = 456;
    ASSERT_EQ(SDL_PushEvent(&button), 1);
    TEvent right = nextEvent();
    EXPECT_EQ(right.mType, TEvent::kExtendedMouse);
    EXPECT_EQ(right.mParam, TPlatform::kRightMouseDown);
    EXPECT_EQ(right.mX, 123);
    EXPECT_EQ(right.mY, 456);

    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = -2;
    ASSERT_EQ(SDL_PushEvent(&wheel), 1);
    EXPECT_EQ(nextEvent().mParam, TPlatform::kVerticalWheelDown);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_EQ(nextEvent().mType, TEvent::kQuit);
    TEvent again;
    platform->GetEvent(&again);
    EXPECT_EQ(again.mType, TEvent::kQuit);
}
