// Button sounds on the null sound output: the rollover sound on entering the
// rollover state, the click sound once per click, nothing on pressing, and
// nothing from a hidden button. A sound's stream ids count up from 0, so the
// next id tells how often it was played.
#include "probes.h"
#include "tests/sound/soundtestkit.h"

#include "engine/window/button.h"

namespace {

class ButtonSound : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        manager = std::make_unique<TWindowManager>();
        root = PushProbeModal(*manager, &journal, "root", 0, 0, 800, 600);
        button = new TButton(TButton::kPush);
        button->SetName("ok");
        Place(button, 100, 100, 200, 130);
        root->AdoptChild(button, true);
        click = Tone("click.ogg", 0.05);
        roll = Tone("roll.ogg", 0.05);
        button->SetSound(TButton::kPressed, click.c_str());
        button->SetSound(TButton::kRollover, roll.c_str());
    }
    void TearDown() override
    {
        manager.reset();
        SoundFixture::TearDown();
    }
    void Mouse(int type, int x, int y)
    {
        TEvent e = Event(type, x, y);
        manager->HandleEvent(&e);
    }
    // How often the sound was played so far (and one more now).
    int Plays(const std::string& path) { return TSound::Get(path.c_str(), true, 0)->Play(false); }

    Journal journal;
    std::unique_ptr<TWindowManager> manager;
    ProbeModal* root = nullptr;
    TButton* button = nullptr;
    std::string click, roll;
};

TEST_F(ButtonSound, RolloverOnEnteringClickOncePerClickAndNothingOnPressing)
{
    Mouse(TEvent::kMouseMove, 150, 110);
    Mouse(TEvent::kMouseMove, 151, 111);  // still rollover: no second sound
    Mouse(TEvent::kMouseDown, 150, 110);
    EXPECT_EQ(Plays(click), 0);  // pressing is silent (and this probe is play 0)
    Mouse(TEvent::kMouseUp, 150, 110);
    EXPECT_EQ(Plays(click), 2);  // the click, after the probe's play
    // Rollover was entered twice: on hovering, and from pressed after the click.
    EXPECT_EQ(Plays(roll), 2);
}

TEST_F(ButtonSound, AHiddenButtonIsSilent)
{
    button->ClearFlags(TWindow::kVisible);
    button->SetState(TButton::kRollover);
    button->SetState(TButton::kPressed);
    button->OnMouseUp(TPoint{10, 10});
    EXPECT_EQ(Plays(roll), 0);
    EXPECT_EQ(Plays(click), 0);
}

TEST_F(ButtonSound, ASoundThatDoesNotLoadLeavesTheStateSilent)
{
    testing::internal::CaptureStderr();
    button->SetSound(TButton::kRollover, "no such sound.ogg");
    button->SetSound(static_cast<TButton::EMouseState>(7), roll.c_str());
    testing::internal::GetCapturedStderr();
    Mouse(TEvent::kMouseMove, 150, 110);
    EXPECT_EQ(Plays(roll), 0);
}

}  // namespace
