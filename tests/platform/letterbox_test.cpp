#include "engine/platform/letterbox.h"
#include "engine/platform/sdl/sdlkeys.h"

#include <gtest/gtest.h>

TEST(Letterbox, FitsTheGameFrameAndMapsTheMouseBack)
{
    qm::TLetterbox same = qm::ComputeLetterbox(800, 600, 800, 600);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.width, 800);

    // Taller window: bars above and below.
    qm::TLetterbox tall = qm::ComputeLetterbox(1280, 1024, 800, 600);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 32);
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 960);

    // Wider window: bars left and right.
    qm::TLetterbox wide = qm::ComputeLetterbox(1920, 1080, 800, 600);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);

    int x = 0, y = 0;
    qm::WindowToGame(wide, 800, 600, 240, 0, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    qm::WindowToGame(wide, 800, 600, 1679, 1079, &x, &y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    qm::WindowToGame(wide, 800, 600, 960, 540, &x, &y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    qm::WindowToGame(wide, 800, 600, 239, 10, &x, &y);  // in the left bar
    EXPECT_EQ(x, -1);

    qm::TLetterbox empty = qm::ComputeLetterbox(0, 600, 800, 600);
    EXPECT_EQ(empty.width, 0);
    qm::WindowToGame(empty, 800, 600, 12, 34, &x, &y);
    EXPECT_EQ(x, 12);
}

TEST(SdlKeys, CharactersOfKeys)
{
    using qm::sdl::KeyCharacter;
    EXPECT_EQ(KeyCharacter(SDLK_a, 0), 'a');
    EXPECT_EQ(KeyCharacter(SDLK_a, KMOD_LSHIFT), 'A');
    EXPECT_EQ(KeyCharacter(SDLK_a, KMOD_CAPS), 'A');
    EXPECT_EQ(KeyCharacter(SDLK_a, KMOD_CAPS | KMOD_RSHIFT), 'a');
    EXPECT_EQ(KeyCharacter(SDLK_1, KMOD_LSHIFT), '1');  // what Shift types comes as text
    EXPECT_EQ(KeyCharacter(SDLK_SLASH, KMOD_LSHIFT), '/');
    EXPECT_EQ(KeyCharacter(SDLK_SPACE, 0), ' ');
    EXPECT_EQ(KeyCharacter(SDLK_RETURN, KMOD_LALT), 13);
    EXPECT_EQ(KeyCharacter(SDLK_KP_ENTER, 0), 13);
    EXPECT_EQ(KeyCharacter(SDLK_ESCAPE, 0), 27);
    EXPECT_EQ(KeyCharacter(SDLK_LEFT, 0), 28);
    EXPECT_EQ(KeyCharacter(SDLK_RIGHT, 0), 29);
    EXPECT_EQ(KeyCharacter(SDLK_BACKSPACE, 0), 8);
    EXPECT_EQ(KeyCharacter(SDLK_KP_7, 0), '7');
    EXPECT_EQ(KeyCharacter(0xE9, KMOD_LSHIFT), 0xC9);  // é -> É on layouts that have it
    EXPECT_EQ(KeyCharacter(SDLK_LSHIFT, KMOD_LSHIFT), 0);
    EXPECT_EQ(KeyCharacter(SDLK_F1, 0), 0);
    EXPECT_EQ(KeyCharacter(0x20AC, 0), 0);  // the euro sign has no byte

    EXPECT_EQ(qm::sdl::EngineModifiers(KMOD_LSHIFT | KMOD_RCTRL | KMOD_LALT), 7);
    EXPECT_EQ(qm::sdl::EngineModifiers(KMOD_NUM | KMOD_CAPS), 0);
}
