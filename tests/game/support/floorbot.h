// Players for the headless floor: each frame a bot looks at the floor the way
// a person would and, when the waitress has nothing queued, clicks the next
// thing it wants done (seats a waiting party by dragging it to a free table,
// sends her to an order, the kitchen, a plate, a shelf, a check or dirty
// dishes). The clicks go through the floor's own hit tests at screen points
// it finds by probing. Three manners of play:
// - plain: the head of the line to the first table it fits; then the next
//   job in a fixed order (dishes to the cart, plates to their tables, tickets
//   to the wheel, ready plates, orders and checks, dirty tables, shelves);
// - careful: any party in line to the free table whose chairs pay it the
//   most colour bonus (letting a patient party wait rather than break a run
//   of colour at a table); keeps a chain going by doing the same job again while one
//   is waiting, starts the longest chain otherwise; serves the least patient
//   first, brings desserts and snacks, and drinks to a party running out of
//   hearts;
// - careless: seats parties in the order they came to the first table they
//   fit, whatever the colours; serves the earliest party first; lets every
//   fourth party wait in line until it walks out; takes the
//   check instead of fetching a dessert and leaves snacks, drinks and spills.
// Also a log of the events the level flow appends.
#pragma once

#include "game/play/gamedata.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Everything the level flow asked to be shown, in order: the floor appends to
// `events` (give the floor `&log.events`).
struct TLevelEventLog {
    std::vector<TLevelEvent> events;

    template <class Event>
    int Count() const
    {
        int n = 0;
        for (const TLevelEvent& event : events)
            n += std::holds_alternative<Event>(event) ? 1 : 0;
        return n;
    }
    // The level-over boards' results, oldest first.
    std::vector<TLevelResult> Results() const;
    // How often the named sound was asked for.
    int Sounds(const std::string& name) const;
    int Intros() const { return Count<levelevent::IntroOpens>(); }
    // The restaurant whose story comes next when the last level was left, else -1.
    int LeftRestaurant() const;
    int LeftUnplayable() const { return Count<levelevent::LeaveUnplayableLevel>(); }
};

enum class EBotManner { kPlain, kCareful, kCareless };

const char* BotMannerName(EBotManner manner);

// Opens the level the settings name, built into `floor`, as the game window
// does (its stars, its set-up, the intro), skips the tutorial and plays on
// to the first frame of play, at most `frameLimit` frames of 1/60 s. True
// when the level is in play.
bool PlayToFirstFrame(TGameData& floor, int frameLimit = 600);

class TFloorBot {
public:
    explicit TFloorBot(TGameData& floor, EBotManner manner = EBotManner::kPlain) : mFloor(floor), mManner(manner) {}
    // One look at the floor and at most one action.
    void Act();
    // From now on it serves the parties already seated and seats no more
    // (a scenario about one party keeps the rest of the floor out of it).
    void SeatNoMore() { mSeats = false; }
    int Seated() const { return mSeated; }
    int Clicks() const { return mClicks; }

private:
    // A job the waitress could be sent to: the station to click, the scored
    // action it earns (kScoreNone for fetching and carrying), and the party
    // it is for (its arrival number and hearts; -1 when for none).
    struct TJob {
        IStation* station = nullptr;
        int action = 0;
        int partyId = -1;
        int hearts = 99;
        int rank = 0;  // the plain manner's order of jobs
    };

    enum class ESeating { kNotHeld, kRefused, kSeated };
    // True when it dragged a party (seated or not): the look is spent.
    bool SeatAParty();
    // Drags the party to the table: it could not be picked up, the table
    // refused it, or it sits there.
    ESeating TrySeat(TParty* party, TEatingStation* table);
    bool Fits(const TParty* party, const TEatingStation* table) const;
    int ColourMatches(const TParty* party, const TEatingStation* table) const;
    int SeatingBonus(const TParty* party, const TEatingStation* table) const;
    bool LetWait(const TParty* party) const;
    std::vector<TJob> Jobs() const;
    void AddDeliveries(std::vector<TJob>& jobs) const;
    void AddFreeHandJobs(std::vector<TJob>& jobs) const;
    const TJob* Choose(const std::vector<TJob>& jobs) const;
    const TJob* ChooseCareful(const std::vector<TJob>& jobs) const;
    bool Click(IStation* station);
    bool PointOn(IStation* station, TPoint* point);

    TGameData& mFloor;
    EBotManner mManner;
    std::map<int, TPoint> mKnownPoints;  // station id -> a point that hits it
    std::map<int, int> mMissed;  // station id -> frame it could not be hit
    std::map<std::pair<int, int>, int> mRefused;  // (party, table) -> frame of a drop that did not seat
    int mFrame = 0;
    bool mSeats = true;
    int mSeated = 0;
    int mClicks = 0;
};
