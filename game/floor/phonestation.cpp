#include "game/floor/phonestation.h"

#include "engine/base/debuglog.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/image.h"
#include "engine/window/showwindow.h"
#include "engine/window/window.h"
#include "game/floor/entertainer.h"
#include "game/floor/floorart.h"
#include "game/floor/hostess.h"
#include "game/floor/quessa.h"
#include "game/floor/shelves.h"
#include "game/floor/staff.h"
#include "game/rules/scoremanager.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

// The "_a" and "_b" button pictures of each staff kind.
str ButtonArt(int kind, char variant)
{
    switch (kind) {
    case TPhoneStation::kBusBoy: return str::getFormatted("ui/phone_busser_%c", variant);
    case TPhoneStation::kDrinkServer: return str::getFormatted("ui/phone_drinkserver_%c", variant);
    case TPhoneStation::kHostess: return str::getFormatted("ui/phone_hostess_%c", variant);
    default: break;
    }
    TSettings* settings = TSettings::GetInstance();
    const str name = settings ? settings->GetCurrentRestaurantName() : str("cruise");
    return str::getFormatted("ui/levelspecific/phone_%s_entertainer_%c", name.c_str(), variant);
}

}  // namespace

TPhoneStation::TPhoneStation()
{
    floorart::InitGameAnimation(mPhone, "furniture/phone_station.anm");
    mPhone.Play("Idle", false);
    floorart::InitGameAnimation(mPoof, "ui/personpoof.anm");
    mArrivalSound = floorart::LoadSound("audio/sfx/powerup_appear.ogg");
    mPickupSound = floorart::LoadSound("audio/sfx/highchair_pickup.ogg");
    mButtonKinds.fill(kNone);
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::Publish(script->GetState(), "PhoneButton", "TPhoneStation", this, mLifeline,
                         qm::lua::Method<&TPhoneStation::PhoneButton>);
    SetButtons(false);
}

TPhoneStation::~TPhoneStation() = default;

void TPhoneStation::SetPowerups(TQuessa* waitress, TBusBoy* busBoy, TDrinkServer* drinkServer, THostess* hostess,
                                TEntertainer* entertainer)
{
    mWaitress = waitress;
    mBusBoy = busBoy;
    mDrinkServer = drinkServer;
    mHostess = hostess;
    mEntertainer = entertainer;
}

void TPhoneStation::SetButtonHost(TWindow* host)
{
    mButtonHost = host;
    mButtonHostAlive = host ? host->Lifeline().Handle() : TLifeHandle();
    // The screen builds its boxes visible; they show only while she is on the phone.
    SetButtons(false);
}

TWindow* TPhoneStation::ButtonHost() const { return mButtonHostAlive.IsAlive() ? mButtonHost : nullptr; }

bool TPhoneStation::HitTest(const TPoint& point, TTutorial*, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (!mPresent)
        return false;
    auto art = mPhone.GetAnimatedTexture();
    if (!art)
        return false;
    TRect box = art->BoundingBox();
    box.Offset(mPosition.x, mPosition.y);
    return box.Contains(point);
}

bool TPhoneStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (!mPresent)
        return false;
    floorart::Play(mPickupSound);
    SetButtons(true);
    if (rules.score)
        rules.score->BreakChain(eScoreAction(0));
    mPhone.Play("Charge1", false);
    if (waitress)
        waitress->TalkingOnPhone(true);
    return true;
}

void TPhoneStation::LeavingStation(TQuessa* waitress)
{
    if (waitress)
        waitress->TalkingOnPhone(false);
    mPhone.Play("Idle", false);
    SetButtons(false);
}

std::array<int, TPhoneStation::kButtons> TPhoneStation::OfferedStaff() const
{
    std::array<int, kButtons> offered;
    offered.fill(kNone);
    int count = 0;
    offered[std::size_t(count++)] = kBusBoy;
    TDrinkStation* drinks = mDrinkServer ? mDrinkServer->GetDrinkStation() : nullptr;
    if (drinks && drinks->IsEnabled())
        offered[std::size_t(count++)] = kDrinkServer;
    if (mHostess && mHostess->Available())
        offered[std::size_t(count++)] = kHostess;
    if (mEntertainer && mEntertainer->Available())
        offered[std::size_t(count++)] = kEntertainer;
    return offered;
}

int TPhoneStation::ButtonKind(int index) const
{
    return index >= 0 && index < kButtons ? mButtonKinds[std::size_t(index)] : kNone;
}

void TPhoneStation::SetButtons(bool show)
{
    TWindow* host = ButtonHost();
    for (int box = 2; box <= 4; ++box)
        ShowWindow(host ? host->GetChildWindow(str::getFormatted("phonebox%d", box), -1) : nullptr, false);
    if (!show)
        return;
    mButtonKinds = OfferedStaff();
    int count = 0;
    while (count < kButtons && mButtonKinds[std::size_t(count)] != kNone)
        ++count;
    if (!host)
        return;
    TWindow* box = host->GetChildWindow(str::getFormatted("phonebox%d", std::max(count, 2)), -1);
    ShowWindow(box, true);
    if (!box)
        return;
    for (int i = 0; i < kButtons; ++i) {
        TWindow* button = box->GetChildWindow(str::getFormatted("phone%d", i + 1), -1);
        const int kind = mButtonKinds[std::size_t(i)];
        ShowWindow(button, kind != kNone);
        if (!button || kind == kNone)
            continue;
        for (int image = 0; image < 3; ++image) {
            auto* picture = ::GetCast<TImage>(button->GetChildWindow(str::getFormatted("image%d", image), -1));
            if (picture)
                picture->SetTexture(TTexture::Get(ButtonArt(kind, image == 0 ? 'a' : 'b')), 1.0f);
        }
    }
}

void TPhoneStation::PhoneButton(int index)
{
    static const char* const kStaffNames[] = {"busboy", "drink server", "hostess", "entertainer", "nobody"};
    WriteDbg("phone: button %d calls the %s", index, kStaffNames[std::clamp(ButtonKind(index), 0, int(kNone))]);
    switch (ButtonKind(index)) {
    case kBusBoy:
        if (mBusBoy)
            mBusBoy->Activate(720, 200, mStaffTime);
        break;
    case kDrinkServer:
        if (mDrinkServer)
            mDrinkServer->Activate(600, 200, mStaffTime);
        break;
    case kHostess:
        if (mHostess)
            mHostess->Activate(mStaffTime);
        break;
    case kEntertainer:
        if (mEntertainer)
            mEntertainer->Activate(mStaffTime);
        break;
    default: break;
    }
    floorart::Play(mArrivalSound);
    SetButtons(false);
    if (mWaitress)
        mWaitress->TalkingOnPhone(false);
    mPresent = false;
    mPoof.Play("DoAnim", false);
}

void TPhoneStation::Update(TQuessa*, float) {}

void TPhoneStation::Reset()
{
    mPhone.Play("Idle", false);
    SetButtons(false);
    mPoof.Stop();
}

void TPhoneStation::Draw()
{
    if (mPoof.IsPlaying())
        mPoof.Draw(float(mPosition.x), float(mPosition.y), 1.0f, 1.0f, 0.0f, 0);
    if (mPresent)
        mPhone.Draw(float(mPosition.x), float(mPosition.y), 1.0f, 1.0f, 0.0f, 1);
}
