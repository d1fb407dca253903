#include "game/screens/levelintro.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/window/button.h"
#include "engine/window/message.h"
#include "engine/window/text.h"
#include "game/screens/screenchildren.h"
#include "game/screens/windowslide.h"

namespace {

using screens::SetChildText;
using screens::ShowChild;
using screens::TextWithNumber;

constexpr int kButtonMessage = 3;
constexpr float kDoodleX = 363;
constexpr int kDoodleY = 365;

}  // namespace

// What scripts/levelintro.lua builds for the intro.
namespace {
constexpr auto kCareerintro = contract::Child<TText>("careerintro");
constexpr auto kEndlessshiftintro = contract::Child<TText>("endlessshiftintro");
constexpr auto kGoal = contract::Child<TText>("goal");
constexpr auto kExpert = contract::Child<TText>("expert");
constexpr auto kTutoriallevel = contract::Child<TWindow>("tutoriallevel");
constexpr auto kDoodle = contract::Child<TLevelIntroDoodle>("doodle");
constexpr auto kIntrobackground = contract::Child<TWindow>("introbackground");
constexpr auto kLetsplay = contract::Child<TButton>("letsplay");
const contract::TChildSpec kIntroChildren[] = {
    kCareerintro,
    kEndlessshiftintro,
    kGoal,
    kExpert,
    kTutoriallevel,
    kDoodle,
    kIntrobackground,
    kLetsplay,  // its press starts the slide out
};
}  // namespace

const contract::TScreenSpec TLevelIntro::kContract{"TLevelIntro", "LevelIntro", "scripts/levelintro.lua", {},
                                                   kIntroChildren};
const contract::TScreenSpec TLevelIntroDoodle::kContract{"TLevelIntroDoodle", "Doodle", "scripts/levelintro.lua",
                                                         {}, {}};

void TLevelIntro::SetupText(int mode, bool tutorial, const str& text, int goal, int expert)
{
    if (mode == 1) {
        const contract::TChildSpec careerOnly[] = {kCareerintro, kGoal, kExpert, kTutoriallevel};
        for (const contract::TChildSpec& child : careerOnly)
            ShowChild(this, child, false);
        if (tutorial)
            SetChildText(this, kEndlessshiftintro, TextWithNumber("endlessshifttutorial", 0));
        return;
    }
    ShowChild(this, kEndlessshiftintro, false);
    SetChildText(this, kCareerintro, text);
    if (tutorial) {
        ShowChild(this, kGoal, false);
        ShowChild(this, kExpert, false);
        return;
    }
    ShowChild(this, kTutoriallevel, false);
    SetChildText(this, kGoal, TextWithNumber("introgoal", goal));
    SetChildText(this, kExpert, TextWithNumber("introexpert", expert));
}

void TLevelIntro::SetDoodle(const str& file)
{
    if (auto* doodle = Child(kDoodle))
        doodle->SetDoodle(file);
}

bool TLevelIntro::OnMessage(TMessage* message)
{
    if (message->GetType() != kButtonMessage || message->GetName() != str(kLetsplay.name))
        return false;
    if (!mClosing) {
        mClosing = true;
        TWindowSlide::Start(Child(kIntrobackground), -1, kLetsplay.name);
    }
    return false;  // the button's own command (resuming the game) still runs
}

void TLevelIntroDoodle::SetDoodle(const str& file)
{
    mPicture.reset();
    if (file.length() == 0)
        return;
    const std::string name = file.c_str();
    const std::size_t xml = name.find(".xml");
    if (xml == std::string::npos)
        mPicture = TTexture::Get(file, 0);
    else
        mPicture = TAnimatedTexture::Get(str(name.substr(0, name.size() - 4).c_str()) + ".anm");
}

float TLevelIntroDoodle::Scale() const
{
    const float height = mPicture ? static_cast<float>(mPicture->GetHeight()) : 0;
    return height > kMaxHeight ? kMaxHeight / height : 1.0f;
}

void TLevelIntroDoodle::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mPicture || !platform || !platform->Begin2d())
        return;
    TPoint top{0, 0};
    if (TWindow* parent = GetParent())
        parent->ClientToScreen(&top);
    // Sprites are placed relative to the viewport (this window's part of the screen).
    TRect viewport;
    platform->GetViewport(&viewport);
    mPicture->DrawSprite(kDoodleX - static_cast<float>(viewport.x1), static_cast<float>(top.y + kDoodleY - viewport.y1),
                         1.0f, Scale(), 0, 0);
    platform->End2d();
}
