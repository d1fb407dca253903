#include "game/rules/tutorial.h"

#include "engine/base/debuglog.h"
#include "engine/base/rect.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "engine/window/stringtable.h"
#include "game/settings/settings.h"

namespace {

constexpr int kModeAll = 0, kModeCareer = 1, kModeEndless = 2;
constexpr float kShortWait = 2.0f, kLongWait = 4.0f;
// The text keeps this many pixels of the box free around it.
constexpr int kBoxPadding = 40;

str StepText(const char* key)
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    if (!table || key[0] == '\0')
        return str();
    return table->GetString(key, "", "", "", "", "");
}

bool IsEndless()
{
    const TSettings* settings = TSettings::GetInstance();
    return settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
}

}  // namespace

TTutorial::TTutorial()
{
    mBox = TTexture::Get("ui/tutorialbox", 0);
    mArrow = TTexture::Get("ui/tutorialarrow", 0);
    if (mBox)
        mText = TTextGraphic::Create("", mBox->GetWidth() - kBoxPadding, mBox->GetHeight() - kBoxPadding,
                                     TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                     "assets/fonts/corona.mvec", 20, TColor{0, 0, 0, 1});
    ShowCurrentText();
}

TTutorial::~TTutorial()
{
    TTextGraphic::Destroy(mText);
}

void TTutorial::Reset()
{
    mStep = 0;
    mTimer = 0;
    mDone.fill(false);
    mDoneAtTables = 0;
}

bool TTutorial::Matches(const TTutorialDef& def, int action, int param)
{
    return def.action == action && (def.param == -1 || def.param == param);
}

bool TTutorial::BelongsToOtherMode(const TTutorialDef& def) const
{
    if (def.mode == kModeAll)
        return false;
    return IsEndless() ? def.mode == kModeCareer : def.mode == kModeEndless;
}

void TTutorial::AdvanceState(eTutorialActions action, int param)
{
    if (!mActive)
        return;
    if (Matches(Current(), action, param)) {
        const int doneAction = Current().action;
        mDone[mStep] = true;
        MoveToNextOpenStep();
        // Steps that wait for the same job at any table point at the tables
        // where it is still to be done.
        if (!mActive || Current().action != doneAction)
            mDoneAtTables = 0;
        else if (param >= 0 && param < 32)
            mDoneAtTables |= 1u << param;
        if (mActive) {
            ShowCurrentText();
            mTimer = 0;
        }
        // (the step a player is on, for anyone reading the log of a session)
        WriteDbg("tutorial: %s", mActive ? (Current().key[0] ? Current().key : "waiting") : "done");
        return;
    }
    // Picking up a party is undone whenever the party is let go, so it never
    // counts ahead of its step.
    if (action == kTutorialPickUpParty)
        return;
    for (int row = mStep + 1; row < kTutorialSteps; ++row) {
        if (Matches(gTutorialDefs[row], action, param)) {
            mDone[row] = true;
            return;
        }
    }
}

void TTutorial::MoveToNextOpenStep()
{
    while (mActive && (mDone[mStep] || BelongsToOtherMode(Current()))) {
        if (++mStep >= kTutorialSteps) {
            mStep = kTutorialSteps - 1;
            mActive = false;
        }
    }
}

void TTutorial::RevertState(eTutorialActions action)
{
    if (mStep < 1 || Current().action != action)
        return;
    --mStep;
    if (mActive) {
        ShowCurrentText();
        mTimer = 0;
    }
}

bool TTutorial::AllowAction(eTutorialActions action, int param) const
{
    return !mActive || Matches(Current(), action, param);
}

bool TTutorial::AllowCustomerPickup() const
{
    return !mActive || Current().action == kTutorialPickUpParty || Current().action == kTutorialSeatParty;
}

bool TTutorial::AllowCustomerDropoff(int table) const
{
    return !mActive || Current().action != kTutorialSeatParty || Current().param == -1 || Current().param == table;
}

bool TTutorial::HoldsArrivals() const
{
    if (!mActive)
        return false;
    const int action = Current().action;
    return !(action == kTutorialPartyArrives || (action == kTutorialPickUpParty && !mPartyWaiting));
}

bool TTutorial::IsShowing() const
{
    if (!mActive || Current().boxX < 0)
        return false;
    return Current().action != kTutorialPickUpParty || mPartyWaiting;
}

void TTutorial::Update(float dt)
{
    if (!mActive)
        return;
    mTimer += dt;
    if (Current().action == kTutorialTwoSeconds && mTimer > kShortWait)
        AdvanceState(kTutorialTwoSeconds, -1);
    else if (Current().action == kTutorialFourSeconds && mTimer > kLongWait)
        AdvanceState(kTutorialFourSeconds, -1);
}

// The text graphic exists only when the box loaded; without it the step
// shows nothing.
void TTutorial::ShowCurrentText()
{
    if (mText)
        mText->SetText(StepText(Current().key));
}

bool TTutorial::ShowsArrow(int index) const
{
    if (index < 0 || index > 2)
        return false;
    const TTutorialArrow& arrow = Current().arrows[index];
    if (arrow.x < 0)
        return false;
    return arrow.table < 0 || arrow.table >= 32 || !(mDoneAtTables & (1u << arrow.table));
}

void TTutorial::Draw()
{
    const TTutorialDef& def = Current();
    if (!IsShowing() || !mBox || !mText)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    mBox->DrawSprite(def.boxX, def.boxY, 1.0f, 1.0f, 0.0f, 0);
    for (int i = 0; i < 3; ++i)
        if (ShowsArrow(i) && mArrow)
            mArrow->DrawSprite(def.arrows[i].x, def.arrows[i].y, 1.0f, 1.0f, def.arrows[i].angle, 0);
    const int halfWidth = (mBox->GetWidth() - kBoxPadding) / 2, halfHeight = (mBox->GetHeight() - kBoxPadding) / 2;
    const TRect rect{static_cast<int>(def.boxX - halfWidth), static_cast<int>(def.boxY - halfHeight),
                     static_cast<int>(def.boxX + halfWidth), static_cast<int>(def.boxY + halfHeight)};
    mText->Draw(rect, 1.0f, 0, 1.0f);
    platform->End2d();
}
