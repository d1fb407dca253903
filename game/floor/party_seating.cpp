// Where a party stands and sits: the line, the bench, being picked up and
// dragged, seat preview and seating, and drawing its members and hearts.
#include "game/floor/party.h"
#include "game/floor/seatgroup.h"

#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "game/floor/bench.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kLineSpacing = 25, kHandHolderSpacing = 32;
constexpr float kHeartFadeStart = 1.25f;

bool YoungInSpace(float age)
{
    return InSpaceRestaurant() && age < SPACE_TOTAL_MATERIALIZE_TIME;
}

}  // namespace

void TParty::SetInLine(TPoint point, bool cancelWave)
{
    if (mOnBench)
        return;
    if (cancelWave)
        CancelWave();
    mState = kStateWaitingInLine;
    for (const auto& member : mMembers)
        if (mSeatedLook)
            member->StartAnimation(kStateWaitingInLine);
    mSeatedLook = false;
    mLocation = mNoiseLocation = point;
    const int spacing = HasHandHolders() ? kHandHolderSpacing : kLineSpacing;
    int x = point.x;
    for (TCustomer* member : MembersInBuildOrder()) {
        member->SetStandLocation({x, point.y});
        x += spacing;
    }
    SortDrawList();
    SetHeartLocation(point.x + 50, point.y - 90, false);
}

bool TParty::SitOnBench(TBench* bench, int heartBoost, float multiplier)
{
    if (!bench || (!mOnBench && bench->occupied))
        return false;
    CancelWave();
    mOnBench = true;
    mBench = bench;
    bench->occupied = true;
    const int size = GetSize();
    int seat = (size < 3 ? 1 : 0) + (size < 6 ? 1 : 0);
    for (TCustomer* member : MembersInBuildOrder()) {
        const TPoint at = bench->GetSeatLocation(seat++);
        member->StartAnimation(kStateWaitingForFood);
        member->SetLocation({at.x - member->GetSitOffset().x, at.y}, false, false);
        member->PlayBabyAnim(mHearts >= 4);
    }
    SortDrawList();
    mSeatedLook = true;
    // The hearts lie in a row under the bench, as under a table: the bench
    // stands on the floor near the bottom edge, where a column would run off.
    const TRect box = bench->BoundingBox();
    const int heartW = mHeartImages[0] ? mHeartImages[0]->GetWidth() : 0;
    SetHeartLocation(box.x1 + box.Width() / 2 + (kHeartSlots - 1) * heartW / 2, box.y2 + 10, false);
    if (heartBoost > 0)
        HeartBoost(heartBoost, true);
    if (multiplier != 1.0f)
        ScaleLineWait(multiplier);
    return true;
}

void TParty::GetOffBench(TBench* bench)
{
    if (!mOnBench)
        return;
    mOnBench = false;
    if (bench)
        bench->occupied = false;
    mBench = nullptr;
    for (const auto& member : mMembers)
        member->PlayBabyAnim(false);
}

bool TParty::PickupParty(TPoint point)
{
    if (YoungInSpace(mAge))
        return false;
    for (TCustomer* member : MembersInBuildOrder()) {
        if (member->BoundingBox().Contains(point)) {
            CancelWave();
            ResetPartyMouseState();
            mDragged = member;
            return true;
        }
    }
    return false;
}

bool TParty::PartyRollover(TPoint point)
{
    const bool waving = mWaveDelay <= 0 && mWaveTime > 0;
    TCustomer* over = nullptr;
    if (!YoungInSpace(mAge))
        for (TCustomer* member : MembersInBuildOrder())
            if (member->BoundingBox().Contains(point)) {
                over = member;
                break;
            }
    for (const auto& member : mMembers)
        if (member.get() == over || !waving)
            member->SetRollover(member.get() == over);
    return over != nullptr;
}

void TParty::PickSeats(TPoint point, TEatingStation* table)
{
    ISeatGroup* station = SeatsOf(table);
    if (!station)
        return;
    CancelWave();
    if (!mSeatedLook)
        for (const auto& member : mMembers)
            member->StartAnimation(kStateWaitingForFood);
    mSeatedLook = true;

    const int first = station->GetFirstSeat(), last = station->GetEndSeat();
    const int count = station->GetChairCount();
    int c = station->GetClosestChair(point);
    if (c < 0)
        c = 0;
    for (int i = std::max(first, 0); i < last && i < count; ++i)
        station->OccupyChair(i, false);

    const std::list<TCustomer*> order = MembersInBuildOrder();
    const std::vector<TCustomer*> members(order.begin(), order.end());
    const int m = static_cast<int>(members.size());
    int k = 0;
    for (int i = 0; i < m; ++i)
        if (members[i] == mDragged)
            k = i;

    int s = c, lo = std::max(0, first), hi = std::min(count, last);
    if (!station->IsTable()) {
        s = first + k;
        if (c >= s)
            s = last - c < m - k ? last - (m - k) : c;
        lo = std::max(s - k, first);
        hi = std::min(s + m - k, last);
    }
    if (hi <= lo)
        return;  // no chair to sit on
    auto wrap = [&](int i) { return lo + ((i - lo) % (hi - lo) + (hi - lo)) % (hi - lo); };
    for (int i = 0; i < m; ++i) {
        const int chair = wrap(s + (i - k));
        bool mirrored = false;
        const TPoint at = station->GetChairLocation(chair, &mirrored);
        const TPoint offset = members[i]->GetSitOffset();
        members[i]->SetLocation({mirrored ? at.x - offset.x : at.x + offset.x, at.y + offset.y}, mirrored, false);
        members[i]->chairIndex = chair;
        station->OccupyChair(chair, true);
    }
    SortDrawList();
    const TPoint hearts = station->GetHeartLocation();
    SetHeartLocation(hearts.x, hearts.y, false);
    mLocation = station->GetLocation();
    mNoiseLocation = station->GetNoiseLocation();
    mTableId = station->GetTableNumber();
    mRingYFactor = station->IsTable() && count == 6 ? 1.2f : 1.0f;
}

bool TParty::CheckClick(TPoint point) const
{
    if (mState == kStateLeaving || mState == kStateLeavingAngry)
        return false;
    for (const auto& member : mMembers)
        if (member->CheckClick(point, true))
            return true;
    return false;
}

void TParty::StartWave(float delay)
{
    mWaveDelay = delay == 0 ? 0.001f : delay;
    mWaveTime = 1.0f;
}

void TParty::CancelWave()
{
    mWaveDelay = mWaveTime = 0;
    for (const auto& member : mMembers)
        member->SetRollover(false);
}

void TParty::ResetPartyMouseState()
{
    mDragged = nullptr;
    if (mWaveDelay <= 0 && mWaveTime > 0)
        return;
    for (const auto& member : mMembers)
        member->SetRollover(false);
    SortDrawList();
}

void TParty::SetHeartLocation(int x, int y, bool vertical)
{
    mHeartLocation = {x, y};
    mHeartsVertical = vertical;
    const float w = mHeartImages[0] ? static_cast<float>(mHeartImages[0]->GetWidth()) : 0.0f;
    for (int i = 0; i < kHeartSlots; ++i) {
        mHeartFlips[i].homeX = static_cast<float>(x) - w * static_cast<float>(kHeartSlots - 1 - i);
        mHeartFlips[i].homeY = static_cast<float>(y);
    }
}

TRect TParty::HeartsBox() const
{
    if (!mHeartImages[0])
        return {};
    const int w = mHeartImages[0]->GetWidth(), h = mHeartImages[0]->GetHeight();
    const int back = (kHeartSlots - 1) * (mHeartsVertical ? h : w);
    const TPoint at = mHeartLocation;
    if (mHeartsVertical)
        return {at.x - w / 2, at.y - h / 2, at.x + w - w / 2, at.y + back + h - h / 2};
    return {at.x - back - w / 2, at.y - h / 2, at.x + w - w / 2, at.y + h - h / 2};
}

void TParty::DrawLegs()
{
    for (TCustomer* member : mDrawList)
        member->DrawLegs();
}

void TParty::Draw(TAnimatedTextureCache* cache, bool foodInHand)
{
    const int thoughtMember = mMembers.empty() ? 0 : mThoughtMember % static_cast<int>(mMembers.size());
    TCustomer::EThought thought = TCustomer::kThoughtNone;
    if (mMopWanted)
        thought = TCustomer::kThoughtMop;
    else if (mState == kStateWantsDessert)
        thought = TCustomer::kThoughtDessert;
    else if (mSnackWanted)
        thought = TCustomer::kThoughtSnack;
    else if (mPictureWanted)
        thought = TCustomer::kThoughtPicture;
    int i = 0;
    for (TCustomer* member : mDrawList)
        member->Draw(cache, mState, foodInHand, i++ == thoughtMember ? thought : TCustomer::kThoughtNone, mAge);
}

void TParty::DrawHearts()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !mHeartImages[0] || !platform->Begin2d())
        return;
    float alpha = 1.0f;
    if (YoungInSpace(mAge))
        alpha = mAge < kHeartFadeStart ? 0.0f : std::min(1.0f, 2.0f * (mAge - kHeartFadeStart));
    const float w = static_cast<float>(mHeartImages[0]->GetWidth());
    const float h = static_cast<float>(mHeartImages[0]->GetHeight());
    for (int i = 0; i < kHeartSlots; ++i) {
        THeartFlip& flip = mHeartFlips[i];
        if (flip.hopping) {
            if (mHeartImages[0])
                mHeartImages[0]->DrawSprite(flip.homeX, flip.y, 1.0f, 1.0f, 0, 0);
            continue;
        }
        if (flip.done)
            continue;
        const auto& image = mHearts >= 2 * i + 2 ? mHeartImages[0] : mHearts == 2 * i + 1 ? mHeartImages[1] : mHeartImages[2];
        if (!image)
            continue;
        const float back = static_cast<float>(kHeartSlots - 1 - i);
        const float x = mHeartsVertical ? static_cast<float>(mHeartLocation.x) : static_cast<float>(mHeartLocation.x) - w * back;
        const float y = mHeartsVertical ? static_cast<float>(mHeartLocation.y) + h * back : static_cast<float>(mHeartLocation.y);
        image->DrawSprite(x, y, alpha, 1.0f, 0, 0);
    }
    platform->End2d();
}
