#include "game/floor/bar.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/floorart.h"

#include <algorithm>
#include <array>

TBar::TBar(const int* stoolColors, TPoint location) : mLocation(location)
{
    mBar.Init("furniture/bar.anm", "", "");
    mDivider = TTexture::Get("furniture/bar_divider", 0);
    const std::array<int, kStools> chains{};
    std::array<int, kStools> colors{};
    for (int i = 0; i < kStools; ++i)
        colors[i] = stoolColors ? stoolColors[i] : kColorGrey;
    CreateNewStation(0, kStools, colors.data(), chains.data());
}

TBar::~TBar() = default;

bool TBar::DividerAnchor(int end, TPoint* anchor) const
{
    const auto art = mBar.GetAnimatedTexture();
    int x = 0, y = 0;
    if (!art || !art->GetAnchorPoint(0, str::getFormatted("divider%d", end), &x, &y))
        return false;
    *anchor = {x, y};
    return true;
}

TPoint TBar::BarAnchor(const char* name) const
{
    const auto art = mBar.GetAnimatedTexture();
    int x = 0, y = 0;
    if (art)
        art->GetAnchorPoint(0, name, &x, &y);
    return {x, y};
}

void TBar::SortStations()
{
    mStations.sort([](const auto& a, const auto& b) { return a->GetFirstSeat() < b->GetFirstSeat(); });
}

TEatingStation* TBar::CreateNewStation(int first, int end, const int* colors, const int* chains)
{
    int number = TEatingStation::kBarNumberBase;
    for (int n = TEatingStation::kBarNumberBase; n < TEatingStation::kBarNumberBase + kStools; ++n) {
        const bool used = std::any_of(mStations.begin(), mStations.end(),
                                      [n](const auto& s) { return s->GetTableNumber() == n; });
        if (!used) {
            number = n;
            break;
        }
    }
    auto station = std::make_unique<TEatingStation>(number, kStools, false, mLocation);
    station->Setup("furniture/barstools/", floorart::RestaurantFolder(),
                   mBar.GetAnimatedTexture(), colors);
    station->SetSeatRange(first, end);
    station->SetChairStates(colors, chains, first, end);
    if (mBar.GetAnimatedTexture())
        UpdateStationSetup(station.get(), first, end);
    TEatingStation* made = station.get();
    mStations.push_back(std::move(station));
    SortStations();
    return made;
}

void TBar::UpdateStationSetup(TEatingStation* station, int first, int end)
{
    station->SetSeatRange(first, end);
    TPoint anchor;
    if (DividerAnchor(end, &anchor)) {
        const int half = mDivider ? mDivider->GetWidth() / 2 : 0;
        station->SetHeartLocation({mLocation.x + anchor.x + half, mLocation.y + anchor.y}, false);
    } else {
        // Down to the last stool: the hearts stand where a new group's do.
        const TPoint heart = BarAnchor("heart");
        station->SetHeartLocation({mLocation.x + heart.x, mLocation.y + heart.y}, false);
    }
    // Always from the whole bar, then cut at the dividers: a group that grew
    // down to the last stool must take clicks and drops over all its stools.
    station->CreateDefaultBoundingBox();
    TRect box = station->BoundingBox();
    if (end <= kStools - 1 && DividerAnchor(end, &anchor))
        box.y2 = mLocation.y + anchor.y;
    if (first > 0 && DividerAnchor(first, &anchor))
        box.y1 = mLocation.y + anchor.y;
    station->SetBoundingBox(box);
    const int cy = box.y1 + (box.y2 - box.y1) / 2, cx = box.x1 + (box.x2 - box.x1) / 2;
    station->SetStandLocation({box.x2 + 30, cy});
    station->SetTableNumberLocation({cx + 15, cy - 10});
    station->SetNoiseLocation({cx, cy});
    station->SetSpillLocation({cx + 35, cy - 10});
    station->SetCheckMarkLocation({box.x2 + 10, cy});
}

void TBar::SplitEatingStation(TEatingStation* station)
{
    if (!IsBarStation(station))
        return;
    std::array<int, kStools> colors{}, chains{};
    station->GetChairColors(colors.data());
    station->GetChairChains(chains.data());
    const int lo = station->GetMinOccupiedSeat();
    if (lo < 0)
        return;  // nobody sits there: nothing to split off
    const int hi = station->GetMaxOccupiedSeat();
    int belowEnd = 0, aboveFirst = kStools;
    bool endsAtLo = false, startsAtHi = false;
    for (const auto& other : mStations) {
        if (other.get() == station)
            continue;
        endsAtLo = endsAtLo || other->GetEndSeat() == lo;
        startsAtHi = startsAtHi || other->GetFirstSeat() == hi;
        if (other->GetEndSeat() < lo)
            belowEnd = std::max(belowEnd, other->GetEndSeat());
        if (other->GetFirstSeat() >= hi)
            aboveFirst = std::min(aboveFirst, other->GetFirstSeat());
    }
    if (lo > 0 && !endsAtLo)
        CreateNewStation(belowEnd, lo, colors.data(), chains.data());
    if (hi < kStools && !startsAtHi)
        CreateNewStation(hi, aboveFirst, colors.data(), chains.data());
    UpdateStationSetup(station, lo, hi);
    SortStations();
}

bool TBar::MergeStations(const std::function<bool(const IStation*)>& inUse)
{
    const std::function<bool(const TEatingStation&)> free = [&](const TEatingStation& s) {
        return !s.GetParty() && !s.HasDishes() && !s.GetTriedOutParty() && s.mQueuedVisits == 0 &&
               !(inUse && inUse(&s));
    };
    bool merged = false;
    while (MergeOnePair(free))
        merged = true;
    SortStations();
    return merged;
}

// Merges the first pair of free neighbours found; false when there is none.
bool TBar::MergeOnePair(const std::function<bool(const TEatingStation&)>& free)
{
    for (auto a = mStations.begin(); a != mStations.end(); ++a) {
        for (auto b = mStations.begin(); b != mStations.end(); ++b) {
            if (a == b || !free(**a) || !free(**b))
                continue;
            TEatingStation& A = **a;
            TEatingStation& B = **b;
            if (A.GetEndSeat() == B.GetFirstSeat())
                UpdateStationSetup(&A, A.GetFirstSeat(), B.GetEndSeat());
            else if (B.GetEndSeat() == A.GetFirstSeat())
                UpdateStationSetup(&A, B.GetFirstSeat(), A.GetEndSeat());
            else
                continue;
            std::array<int, kStools> colors{}, chains{};
            B.GetChairColors(colors.data());
            B.GetChairChains(chains.data());
            const bool allGrey = std::all_of(colors.begin(), colors.end(), [](int c) { return c == kColorGrey; });
            if (!allGrey)
                A.SetChairStates(colors.data(), chains.data(), B.GetFirstSeat(), B.GetEndSeat());
            mStations.erase(b);
            return true;
        }
    }
    return false;
}

bool TBar::IsBarStation(const IStation* station) const
{
    return std::any_of(mStations.begin(), mStations.end(), [station](const auto& s) { return s.get() == station; });
}

TRect TBar::BoundingBox() const
{
    const auto art = mBar.GetAnimatedTexture();
    TRect box = art ? art->BoundingBox(0) : TRect{};
    box.Offset(mLocation.x, mLocation.y);
    box.x1 -= 50;
    box.x2 += 5;
    return box;
}

void TBar::Draw(TAnimatedTextureCache* cache)
{
    for (const auto& station : mStations)
        station->DrawPreTable(0, 0);
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    mBar.Draw(static_cast<float>(mLocation.x), static_cast<float>(mLocation.y), 1.0f, 1.0f, 0, 0);
    platform->End2d();
    for (const auto& station : mStations) {
        TPoint anchor;
        if (station->GetEndSeat() != kStools && mDivider && DividerAnchor(station->GetEndSeat(), &anchor) &&
            platform->Begin2d()) {
            mDivider->DrawSprite(static_cast<float>(mLocation.x + anchor.x), static_cast<float>(mLocation.y + anchor.y),
                                 1.0f, 1.0f, 0, 0);
            platform->End2d();
        }
        station->DrawPostTable(cache);
    }
}
