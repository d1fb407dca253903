// Typing into a screen's text edit through the whole stack: raw key and text
// events as the back end reports them, the platform's translation, the
// window manager's routing and the edit. The characters are what the
// keyboard layout typed, and markup characters stay plain text.
#include "engine/script/windowscript.h"
#include "engine/window/textedit.h"
#include "engine/window/windowmanager.h"
#include "headlessengine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class TypingTest : public qmtest::HeadlessWindowTest {
protected:
    TypingTest() : HeadlessWindowTest("qm_typing_") {}

    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(script->DoLuaString("PushModal('t') MakeDialog { TextEdit { name = 'who', w = 200, h = 20, "
                                      "length = 12 } } RealSetFocus('who')"),
                  0);
        edit = GetCast<TTextEdit>(Find("who"));
        ASSERT_NE(edit, nullptr);
    }

    // A key as the back end reports it: its own code, then what it typed.
    void Press(unsigned char key, const char* typed)
    {
        TRawEvent down;
        down.kind = TRawEvent::kKeyDown;
        down.character = key;
        backend->Inject(down);
        if (typed) {
            TRawEvent text;
            text.kind = TRawEvent::kText;
            std::strncpy(text.text, typed, sizeof text.text - 1);
            backend->Inject(text);
        }
        Deliver();
    }
    void Deliver()
    {
        for (;;) {
            TEvent e;
            engine.platform->GetEvent(&e);
            if (e.mType == TEvent::kIdle)
                break;
            manager->HandleEvent(&e);
        }
        Frame(0);
    }
    // What the edit shows, without the blinking cursor marker.
    std::string Shown()
    {
        std::string shown = edit->TText::GetText().c_str();
        const size_t marker = shown.find("<cursor>");
        if (marker != std::string::npos)
            shown.erase(marker, 8);
        return shown;
    }

    TTextEdit* edit = nullptr;
};

TEST_F(TypingTest, TheCharactersOfAnyLayoutAreTypedAndShownAsThemselves)
{
    // A German keyboard: the key US calls Y types z, the ISO key < and >,
    // AltGr+ß a backslash.
    const struct {
        unsigned char key;
        const char* typed;
    } keys[] = {{'j', "J"}, {'[', "\xC3\xBC"}, {'r', "r"}, {'y', "z"}, {'<', "<"}, {'<', ">"}, {'-', "\\"}, {'-', "\xC3\x9F"}};
    for (const auto& k : keys)
        Press(k.key, k.typed);
    EXPECT_EQ(std::string(edit->GetText().c_str()), "J\xC3\xBCrz<>\\\xC3\x9F");
    EXPECT_EQ(Shown(), "J\xC3\xBCrz\\<\\>\\\\\xC3\x9F");

    // Backspace and the arrows step over whole characters.
    Press('\b', nullptr);
    Press(TEvent::kLeft, nullptr);
    Press(TEvent::kLeft, nullptr);
    Press(TEvent::kLeft, nullptr);
    Press(TEvent::kLeft, nullptr);
    Press('\b', nullptr);
    Press('\b', nullptr);
    EXPECT_EQ(std::string(edit->GetText().c_str()), "Jz<>\\");
    Press(TEvent::kRight, nullptr);
    EXPECT_EQ(edit->GetCursor(), 2);
}

TEST_F(TypingTest, TheLengthLimitCountsCharactersNotBytes)
{
    for (int i = 0; i < 14; ++i)
        Press('[', "\xC3\xBC");
    EXPECT_EQ(edit->GetText().length(), 24);  // twelve two-byte characters
}

}  // namespace
