// A player for the headless floor: each frame it looks at the floor the way
// a person would and, when the waitress has nothing queued, clicks the next
// useful thing (seats a waiting party by dragging it to a free table, sends
// her to an order, the kitchen, a plate, a check or dirty dishes). The clicks
// go through the floor's own hit tests at screen points it finds by probing.
// Also a host that records what the level flow asked for.
#pragma once

#include "game/play/gamedata.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

struct TRecordingHost : IGameHost {
    void OpenLevelIntro() override { ++intros; }
    void OpenLevelOver(const TLevelResult& result) override { results.push_back(result); }
    void CloseLevelOver() override { ++closes; }
    void SetFade(float alpha) override { fade = alpha; }
    void PauseGame(bool pause) override { paused = pause; }
    void LeaveRestaurant(int restaurant) override { leftRestaurant = restaurant; }
    void PlayGameSound(const char* name) override { ++sounds[name]; }

    int intros = 0;
    int closes = 0;
    int leftRestaurant = -1;
    float fade = 0;
    bool paused = false;
    std::vector<TLevelResult> results;
    std::map<std::string, int> sounds;
};

class TFloorBot {
public:
    explicit TFloorBot(TGameData& floor) : mFloor(floor) {}
    // One look at the floor and at most one action.
    void Act();
    // From now on it serves the parties already seated and seats no more
    // (a scenario about one party keeps the rest of the floor out of it).
    void SeatNoMore() { mSeats = false; }
    int Seated() const { return mSeated; }
    int Clicks() const { return mClicks; }

private:
    bool SeatAParty();
    // The stations worth a click now, the most pressing first.
    std::vector<IStation*> UsefulStations();
    bool Click(IStation* station);
    bool PointOn(IStation* station, TPoint* point);

    // How many looks at the floor pass before a refused drop is tried again.
    static constexpr int kRetryRefusedAfterActs = 60;

    TGameData& mFloor;
    std::map<int, TPoint> mKnownPoints;  // station id -> a point that hits it
    std::map<std::pair<const TParty*, int>, int> mRefusedUntil;  // (party, table number) -> act
    int mActs = 0;
    bool mSeats = true;
    int mSeated = 0;
    int mClicks = 0;
};
