#include "game/screens/levelintro.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/window/button.h"
#include "engine/window/message.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "game/screens/childwindows.h"
#include "game/screens/windowslide.h"

namespace {

constexpr int kButtonMessage = 3;
constexpr float kDoodleX = 363;
constexpr int kDoodleY = 365;

str Formatted(const char* key, int value)
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    const str number = str::getFormatted("%d", value);
    return table ? table->GetString(key, number, "", "", "", "") : number;
}

}  // namespace

// What scripts/levelintro.lua builds for the intro.
namespace {
using contract::Child;
const contract::TChildSpec kIntroChildren[] = {
    Child("careerintro", &TText::ClassId),
    Child("endlessshiftintro", &TText::ClassId),
    Child("goal", &TText::ClassId),
    Child("expert", &TText::ClassId),
    Child("tutoriallevel"),
    Child("doodle", &TLevelIntroDoodle::ClassId),
    Child("introbackground"),
    Child("letsplay", &TButton::ClassId),  // its press starts the slide out
};
}  // namespace

const contract::TScreenSpec TLevelIntro::kContract{"TLevelIntro", "LevelIntro", "scripts/levelintro.lua", {},
                                                   kIntroChildren};
const contract::TScreenSpec TLevelIntroDoodle::kContract{"TLevelIntroDoodle", "Doodle", "scripts/levelintro.lua",
                                                         {}, {}};

void TLevelIntro::SetChildText(const char* name, const str& text) { childwindows::SetText(this, name, text); }

void TLevelIntro::Hide(const char* name) { childwindows::Show(this, name, false); }

void TLevelIntro::SetupText(int mode, bool tutorial, const str& text, int goal, int expert)
{
    if (mode == 1) {
        for (const char* name : {"careerintro", "goal", "expert", "tutoriallevel"})
            Hide(name);
        if (tutorial)
            SetChildText("endlessshiftintro", Formatted("endlessshifttutorial", 0));
        return;
    }
    Hide("endlessshiftintro");
    SetChildText("careerintro", text);
    if (tutorial) {
        Hide("goal");
        Hide("expert");
        return;
    }
    Hide("tutoriallevel");
    SetChildText("goal", Formatted("introgoal", goal));
    SetChildText("expert", Formatted("introexpert", expert));
}

void TLevelIntro::SetDoodle(const str& file)
{
    if (auto* doodle = Child<TLevelIntroDoodle>("doodle"))
        doodle->SetDoodle(file);
}

bool TLevelIntro::OnMessage(TMessage* message)
{
    if (message->GetType() != kButtonMessage || message->GetName() != str("letsplay"))
        return false;
    if (!mClosing) {
        mClosing = true;
        TWindowSlide::Start(Child("introbackground"), -1, "letsplay");
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
