#include "floorbot.h"

#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/rules/scoreaction.h"
#include "game/rules/scoremanager.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kRetryFrames = 300;  // a refused drop or hidden station is tried again after 5 s
constexpr int kTutorialRetryFrames = 30;
constexpr int kLowHearts = 2;      // a careful player brings a drink from here down
constexpr int kLogistics = kScoreNone;

TPoint Centre(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

}  // namespace

std::vector<TLevelResult> TLevelEventLog::Results() const
{
    std::vector<TLevelResult> results;
    for (const TLevelEvent& event : events)
        if (const auto* over = std::get_if<levelevent::LevelOver>(&event))
            results.push_back(over->result);
    return results;
}

int TLevelEventLog::Sounds(const std::string& name) const
{
    int n = 0;
    for (const TLevelEvent& event : events)
        if (const auto* sound = std::get_if<levelevent::Sound>(&event))
            n += name == sound->name ? 1 : 0;
    return n;
}

int TLevelEventLog::LeftRestaurant() const
{
    for (const TLevelEvent& event : events)
        if (const auto* left = std::get_if<levelevent::LeaveRestaurant>(&event))
            return left->restaurant;
    return -1;
}

bool PlayToFirstFrame(TGameData& floor, int frameLimit)
{
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    floor.DoSkipTutorial();
    for (int i = 0; i < frameLimit && floor.GetState() != kPlaying; ++i)
        floor.Update(1.0f / 60);
    return floor.GetState() == kPlaying;
}

const char* BotMannerName(EBotManner manner)
{
    switch (manner) {
    case EBotManner::kCareful: return "careful";
    case EBotManner::kCareless: return "careless";
    default: return "plain";
    }
}

void TFloorBot::Act()
{
    ++mFrame;
    if (mFloor.GetState() != kPlaying)
        return;
    if (mSeats && SeatAParty())
        return;
    if (!mFloor.GetQuessa()->GetQueue().empty())
        return;
    std::vector<TJob> jobs = Jobs();
    // A station hidden behind another (or refused by a running tutorial)
    // cannot be clicked: a person does the next thing meanwhile.
    while (!jobs.empty()) {
        const TJob* job = Choose(jobs);
        if (Click(job->station))
            return;
        jobs.erase(jobs.begin() + (job - jobs.data()));
    }
}

// ---- seating

bool TFloorBot::Fits(const TParty* party, const TEatingStation* table) const
{
    if (table->GetParty() || table->HasDishes() || table->GetEndSeat() - table->GetFirstSeat() < party->GetSize())
        return false;
    // Lovebirds sit only at a table for two.
    if (party->IsLovebirds() && (table->GetFirstSeat() != 0 || table->GetEndSeat() != 2))
        return false;
    const auto refused = mRefused.find({party->GetId(), table->GetTableNumber()});
    return refused == mRefused.end() || mFrame - refused->second > kRetryFrames;
}

int TFloorBot::ColourMatches(const TParty* party, const TEatingStation* table) const
{
    int matches = 0;
    for (TCustomer* member : party->MembersInBuildOrder()) {
        int chairs = 0;
        for (int seat = table->GetFirstSeat(); seat < table->GetEndSeat(); ++seat)
            chairs += table->GetChairColor(seat) == member->GetColor();
        matches += chairs > 0;
    }
    return std::min(matches, party->GetSize());
}

bool TFloorBot::LetWait(const TParty* party) const
{
    return mManner == EBotManner::kCareless && party->GetId() % 4 == 3;
}

bool TFloorBot::SeatAParty()
{
    const std::list<TParty*>& line = mFloor.GetWaitingParties();
    const bool mustMatch = mFloor.GetLevelManager()->GetMustColorMatch();
    if (mManner != EBotManner::kCareful) {
        // Plain: the head of the line; careless: the first in line it does
        // not let wait. Either at the first table it fits (of its colour
        // where the level allows no other).
        for (TParty* party : line) {
            if (LetWait(party))
                continue;
            bool dragged = false;
            for (TEatingStation* table : mFloor.GetEatingStations()) {
                if (!Fits(party, table) || (mustMatch && ColourMatches(party, table) < party->GetSize()))
                    continue;
                const ESeating seating = TrySeat(party, table);
                if (seating == ESeating::kNotHeld)
                    return dragged;
                if (seating == ESeating::kSeated)
                    return true;
                dragged = true;  // refused here (a tutorial step wants another table): the next
            }
            return dragged;
        }
        return false;
    }
    // Careful: the party and free table that pay the most colour bonus (a
    // chair's bonus grows with each party of its colour in a row; another
    // colour starts it again), the least patient party first on a tie, and
    // the smallest table that takes it. A party that would break a chain
    // waits while it has hearts to spare and the line is short.
    TParty* bestParty = nullptr;
    TEatingStation* bestTable = nullptr;
    int bestValue = 0;
    int looked = 0;
    for (TParty* party : line) {
        if (looked++ >= TGameData::kMaxActiveParties)
            break;
        for (TEatingStation* table : mFloor.GetEatingStations()) {
            if (!Fits(party, table))
                continue;
            if (mustMatch && ColourMatches(party, table) < party->GetSize())
                continue;
            const int seats = table->GetEndSeat() - table->GetFirstSeat();
            const int spare = seats - party->GetSize() - (party->NumHighChairsWanted() > 0 ? 1 : 0);
            if (spare < 0)
                continue;
            const int bonus = SeatingBonus(party, table);
            // Not where a walk-out costs a life.
            const bool patient = !mFloor.IsEndless() && party->GetHearts() > 3 && line.size() < 3;
            if (bonus < 0 && patient)
                continue;
            const int value = 100000 + bonus * 100 + (10 - party->GetHearts()) * 20 + (20 - spare);
            if (value > bestValue) {
                bestValue = value;
                bestParty = party;
                bestTable = table;
            }
        }
    }
    return bestParty && TrySeat(bestParty, bestTable) != ESeating::kNotHeld;
}

// The colour bonus steps the party would earn at the table (its members on
// the chairs of their colour with the longest runs), less the runs it would
// end on the chairs it takes of another colour.
int TFloorBot::SeatingBonus(const TParty* party, const TEatingStation* table) const
{
    std::vector<std::pair<int, int>> chairs;  // (colour, run) of the free seats
    for (int seat = table->GetFirstSeat(); seat < table->GetEndSeat(); ++seat)
        if (const TChair* chair = table->GetChair(seat))
            chairs.emplace_back(chair->GetColor(), chair->GetChainCount());
    int bonus = 0;
    std::vector<bool> taken(chairs.size(), false);
    std::vector<int> unseated;
    for (TCustomer* member : party->MembersInBuildOrder()) {
        int best = -1;
        for (std::size_t i = 0; i < chairs.size(); ++i)
            if (!taken[i] && chairs[i].first == member->GetColor() &&
                (best < 0 || chairs[i].second > chairs[std::size_t(best)].second))
                best = static_cast<int>(i);
        if (best < 0) {
            unseated.push_back(member->GetColor());
            continue;
        }
        taken[std::size_t(best)] = true;
        bonus += std::min(4, chairs[std::size_t(best)].second + 1);
    }
    for (std::size_t n = 0; n < unseated.size(); ++n) {
        int lowest = -1;
        for (std::size_t i = 0; i < chairs.size(); ++i)
            if (!taken[i] && (lowest < 0 || chairs[i].second < chairs[std::size_t(lowest)].second))
                lowest = static_cast<int>(i);
        if (lowest < 0)
            break;
        taken[std::size_t(lowest)] = true;
        bonus -= 1 + chairs[std::size_t(lowest)].second;
    }
    return bonus;
}

TFloorBot::ESeating TFloorBot::TrySeat(TParty* party, TEatingStation* table)
{
    const TRect over = table->MouseOverBox();
    TPoint drop = Centre(table->GetChair(table->GetFirstSeat())->BoundingBox());
    if (!over.Contains(drop))
        drop = Centre(over);
    // A figure partly behind the party in front is taken where it shows.
    TPoint grab;
    bool held = false;
    for (TCustomer* member : party->MembersInBuildOrder()) {
        const TRect box = member->BoundingBox();
        for (TPoint p : {Centre(box), TPoint{Centre(box).x, box.y1 + (box.y2 - box.y1) / 5},
                         TPoint{box.x1 + (box.x2 - box.x1) / 4, Centre(box).y},
                         TPoint{box.x2 - (box.x2 - box.x1) / 4, Centre(box).y}}) {
            mFloor.MouseDown(p);
            if (mFloor.GetDraggedParty() == party) {
                grab = p;
                held = true;
                break;
            }
            mFloor.MouseUp(p);
        }
        if (held)
            break;
    }
    if (!held)
        return ESeating::kNotHeld;  // not to be picked up yet (still arriving)
    const int partyId = party->GetId();
    mFloor.MouseMove({(grab.x + drop.x) / 2, (grab.y + drop.y) / 2});
    mFloor.MouseMove(drop);
    mFloor.MouseUp(drop);
    if (table->GetParty() != party) {
        mRefused[{partyId, table->GetTableNumber()}] = mFrame;
        return ESeating::kRefused;
    }
    ++mSeated;
    return ESeating::kSeated;
}

// ---- jobs

std::vector<TFloorBot::TJob> TFloorBot::Jobs() const
{
    std::vector<TJob> jobs;
    AddDeliveries(jobs);
    if (mFloor.GetQuessa()->HasFreeHand())
        AddFreeHandJobs(jobs);
    else if (jobs.empty())  // full hands that nobody wants: a plate whose party left
        jobs.push_back({&mFloor.GetDishCart(), kLogistics, -1, 99, 0});
    return jobs;
}

void TFloorBot::AddDeliveries(std::vector<TJob>& jobs) const
{
    TQuessa* her = mFloor.GetQuessa();
    const auto forParty = [](IStation* station, int action, const TEatingStation* table, int rank) {
        TJob job{station, action, -1, 99, rank};
        if (const TParty* party = table->GetParty()) {
            job.partyId = party->GetId();
            job.hearts = party->GetHearts();
        }
        return job;
    };
    if (her->CarryingItem(kCarryDishes, IWaitressHands::kAnyId))
        jobs.push_back({&mFloor.GetDishCart(), kLogistics, -1, 99, 0});
    const bool careless = mManner == EBotManner::kCareless;
    int lowest = 99;
    TEatingStation* thirstiest = nullptr;
    for (TEatingStation* table : mFloor.GetEatingStations()) {
        const TParty* party = table->GetParty();
        if (party && !party->Leaving() && !party->IsDrinking() && party->GetHearts() < lowest) {
            lowest = party->GetHearts();
            thirstiest = table;
        }
        if (her->CarryingItem(kCarryFood, table->GetTableNumber()) && table->PartyState() == kStateWaitingForFood)
            jobs.push_back(forParty(table, kScoreFood, table, 1));
        if (her->CarryingItem(kCarryDessert, IWaitressHands::kAnyId) && table->PartyState() == kStateWantsDessert)
            jobs.push_back(forParty(table, kScoreDessert, table, 1));
        if (her->CarryingItem(kCarrySnack, IWaitressHands::kAnyId) && table->PartyWantsSnack())
            jobs.push_back(forParty(table, kScoreSnack, table, 1));
        if (her->CarryingItem(kCarryHighChair, IWaitressHands::kAnyId) && table->HighChairsNeeded() > 0)
            jobs.push_back(forParty(table, kScoreHighChair, table, 1));
        if (her->CarryingItem(kCarryMop, IWaitressHands::kAnyId) && table->SpillPresent())
            jobs.push_back(forParty(table, kScoreMop, table, 1));
    }
    if (her->CarryingItem(kCarryDrink, IWaitressHands::kAnyId) && thirstiest && !careless)
        jobs.push_back(forParty(thirstiest, kScoreDrink, thirstiest, 1));
    if (her->CarryingItem(kCarryTicket, IWaitressHands::kAnyId))
        jobs.push_back({&mFloor.GetTicketStation(), kLogistics, -1, 99, 2});
}

void TFloorBot::AddFreeHandJobs(std::vector<TJob>& jobs) const
{
    TQuessa* her = mFloor.GetQuessa();
    const bool careless = mManner == EBotManner::kCareless;
    const bool careful = mManner == EBotManner::kCareful;
    for (const auto& food : mFloor.GetFoodStationList())
        if (food->IsOrderReady() && !her->CarryingItem(kCarryFood, food->GetTableNumber())) {
            TJob job{food.get(), kLogistics, -1, 99, 3};
            for (TEatingStation* table : mFloor.GetEatingStations())
                if (table->GetTableNumber() == food->GetTableNumber() && table->GetParty()) {
                    job.partyId = table->GetParty()->GetId();
                    job.hearts = table->GetParty()->GetHearts();
                }
            jobs.push_back(job);
        }
    TDessertStation& desserts = mFloor.GetDessertStation();
    const bool dessertShelf = desserts.IsEnabled() && !careless;
    bool dessertWanted = false, snackWanted = false, chairWanted = false, spill = false, thirsty = false;
    for (TEatingStation* table : mFloor.GetEatingStations()) {
        const TParty* party = table->GetParty();
        spill = spill || table->SpillPresent();
        if (!party || party->Leaving()) {
            if (table->HasDishes())
                jobs.push_back({table, kScoreDishes, -1, 99, 5});
            continue;
        }
        TJob job{table, kLogistics, party->GetId(), party->GetHearts(), 4};
        const int state = table->PartyState();
        chairWanted = chairWanted || table->HighChairsNeeded() > 0;
        snackWanted = snackWanted || party->WantsSnack();
        // A drink keeps a party waiting on the kitchen; any other wait is
        // better ended by serving it.
        thirsty = thirsty || (party->GetHearts() <= kLowHearts && state == kStateWaitingForFood);
        if (state == kStateReadyToOrder)
            job.action = kScoreOrder;
        else if (state == kStateWantsCheck)
            job.action = kScoreCheck;
        else if (state == kStateWantsDessert && (!dessertShelf || her->CarryingItem(kCarryDessert, IWaitressHands::kAnyId)))
            job.action = dessertShelf ? kLogistics : kScoreCheck;
        else if (party->WantsPicture())
            job.action = kScorePicture;
        if (state == kStateWantsDessert && dessertShelf)
            dessertWanted = true;
        if (job.action != kLogistics)
            jobs.push_back(job);
    }
    const auto shelf = [&jobs](IStation* station) { jobs.push_back({station, kLogistics, -1, 99, 6}); };
    if (dessertWanted && desserts.IsNeeded() &&
        her->NumCarrying(kCarryDessert) < desserts.GetWantedCount())
        shelf(&desserts);
    if (chairWanted && mFloor.GetHighChairStation().IsEnabled() && !her->CarryingItem(kCarryHighChair, IWaitressHands::kAnyId))
        shelf(&mFloor.GetHighChairStation());
    if (!careless && snackWanted && mFloor.GetSnackStation().IsEnabled() &&
        her->NumCarrying(kCarrySnack) < mFloor.GetSnackStation().GetWantedCount())
        shelf(&mFloor.GetSnackStation());
    if (!careless && spill && mFloor.GetMopStation().IsEnabled() && !her->CarryingItem(kCarryMop, IWaitressHands::kAnyId))
        shelf(&mFloor.GetMopStation());
    if (careful && thirsty && mFloor.GetDrinkStation().IsEnabled() && mFloor.GetDrinkStation().IsDrinkReady() &&
        !her->CarryingItem(kCarryDrink, IWaitressHands::kAnyId))
        shelf(&mFloor.GetDrinkStation());
}

const TFloorBot::TJob* TFloorBot::Choose(const std::vector<TJob>& jobs) const
{
    if (jobs.empty())
        return nullptr;
    switch (mManner) {
    case EBotManner::kCareful:
        return ChooseCareful(jobs);
    case EBotManner::kCareless:
        // Whoever came first; a job for nobody (dishes, the cart) last.
        return &*std::min_element(jobs.begin(), jobs.end(), [](const TJob& a, const TJob& b) {
            const unsigned ka = static_cast<unsigned>(a.partyId), kb = static_cast<unsigned>(b.partyId);
            return ka != kb ? ka < kb : a.rank < b.rank;
        });
    default:
        return &*std::min_element(jobs.begin(), jobs.end(),
                                  [](const TJob& a, const TJob& b) { return a.rank < b.rank; });
    }
}

// Keeps the running chain while it can; otherwise carries what is in her
// hands when they are full, starts the chain with the most jobs waiting, and
// fetches or carries when nothing scores.
const TFloorBot::TJob* TFloorBot::ChooseCareful(const std::vector<TJob>& jobs) const
{
    const TScoreManager* score = mFloor.GetScoreManager();
    const auto neediest = [&jobs](auto&& wanted) {
        const TJob* best = nullptr;
        for (const TJob& job : jobs)
            if (wanted(job) && (!best || job.hearts < best->hearts))
                best = &job;
        return best;
    };
    // A party about to walk out comes before any chain.
    if (const TJob* urgent = neediest([](const TJob& j) {
            return j.action != kLogistics && j.action != kScoreDrink && j.hearts <= 1;
        }))
        return urgent;
    const int chain = score->GetChainAction();
    if (chain != kScoreNone && score->GetChainCount() > 0)
        if (const TJob* same = neediest([chain](const TJob& j) { return j.action == chain; }))
            return same;
    std::map<int, int> counts;
    for (const TJob& job : jobs)
        if (job.action != kLogistics && job.action != kScoreHighChair)
            ++counts[job.action];
    int longest = -1, most = 0;
    for (const auto& [action, count] : counts)
        if (count > most) {
            most = count;
            longest = action;
        }
    if (longest >= 0)
        return neediest([longest](const TJob& j) { return j.action == longest; });
    if (const TJob* chair = neediest([](const TJob& j) { return j.action == kScoreHighChair; }))
        return chair;
    return &*std::min_element(jobs.begin(), jobs.end(), [](const TJob& a, const TJob& b) {
        return a.hearts != b.hearts ? a.hearts < b.hearts : a.rank < b.rank;
    });
}

// ---- clicks

bool TFloorBot::Click(IStation* station)
{
    TPoint point;
    if (!PointOn(station, &point))
        return false;
    mFloor.MouseDown(point);
    mFloor.MouseUp(point);
    ++mClicks;
    return true;
}

bool TFloorBot::PointOn(IStation* station, TPoint* point)
{
    int kind = 0;
    auto known = mKnownPoints.find(station->StationId());
    if (known != mKnownPoints.end() && mFloor.StationAt(known->second, &kind) == station) {
        *point = known->second;
        return true;
    }
    // A station hidden behind others is looked for again only now and then
    // (soon while a tutorial runs: it allows one station after another).
    const int retry = mFloor.GetTutorial().IsActive() ? kTutorialRetryFrames : kRetryFrames;
    auto missed = mMissed.find(station->StationId());
    if (missed != mMissed.end() && mFrame - missed->second < retry)
        return false;
    // Probe outwards from where she would stand and from the checkmark.
    for (TPoint origin : {station->GetCheckmarkSpot(), station->GetStandingSpot()})
        for (int radius = 0; radius <= 90; radius += 3)
            for (int dy = -radius; dy <= radius; dy += 3)
                for (int dx = -radius; dx <= radius; dx += 3) {
                    if (std::abs(dx) != radius && std::abs(dy) != radius)
                        continue;
                    const TPoint p{origin.x + dx, origin.y + dy};
                    if (mFloor.StationAt(p, &kind) == station) {
                        mKnownPoints[station->StationId()] = p;
                        *point = p;
                        return true;
                    }
                }
    mMissed[station->StationId()] = mFrame;
    return false;
}
