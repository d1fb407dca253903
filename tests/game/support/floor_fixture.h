// Floor tests: the waitress, kitchen and shelves on the headless engine with
// a small fake level graph (IFloorView) and fake tables that serve by the
// eating stations' basic rules: take the order, bring the food, bring the
// dessert, take the dishes. Time is whatever dt the test passes.
#pragma once

#include "play_fixture.h"

#include "game/floor/floorview.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/station.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace floortest {

// A station that only records the visit and answers as told.
struct TSpot : IStation {
    TSpot(std::string name_, TPoint spot_, std::vector<std::string>* log_) : name(std::move(name_)), spot(spot_), log(log_) {}
    TPoint GetStandingSpot() override { return spot; }
    bool HitTest(const TPoint&, TTutorial*, int*) override { return false; }
    bool ArrivedAtStation(TQuessa*, TPlayRules, int clickKind) override
    {
        log->push_back(name + (clickKind ? "*" : ""));
        return accept;
    }
    std::string name;
    TPoint spot;
    std::vector<std::string>* log;
    bool accept = true;
};

// Party states the fake table knows.
enum { kReadyToOrder = 2, kWaitingForFood = 3, kEating = 4, kWantsDessert = 5, kEatingDessert = 6 };

struct TFakeTable : IStation, ITableView {
    TFakeTable(int number_, TPoint spot_) : number(number_), spot(spot_) {}
    TPoint GetStandingSpot() override { return spot; }
    bool HitTest(const TPoint&, TTutorial*, int*) override { return false; }
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules, int) override
    {
        if (state == kReadyToOrder && waitress->PickupItem(kCarryTicket, number, 0)) {
            state = kWaitingForFood;
            return true;
        }
        if (state == kWaitingForFood && waitress->DropItem(kCarryFood, number) != -1) {
            state = kEating;
            return true;
        }
        if (state == kWantsDessert && waitress->DropItem(kCarryDessert, -1) != -1) {
            state = kEatingDessert;
            return true;
        }
        if (dishes && waitress->PickupItem(kCarryDishes, number, 0)) {
            dishes = false;
            return true;
        }
        return false;
    }
    int TableNumber() const override { return number; }
    int PartyState() const override { return state; }
    bool PartyWantsSnack() const override { return wantsSnack; }
    int HighChairsNeeded() const override { return highChairs; }
    bool SpillPresent() const override { return spill; }

    int number;
    TPoint spot;
    int state = -1;
    bool wantsSnack = false;
    int highChairs = 0;
    bool spill = false;
    bool dishes = false;
};

struct TFakeFloor : IFloorView {
    IStation* FindStation(int id) override
    {
        for (IStation* s : stations)
            if (s->StationId() == id)
                return s;
        for (TFoodStation* s : food)
            if (s->StationId() == id)
                return s;
        return nullptr;
    }
    std::vector<ITableView*> EatingStations() override { return tables; }
    std::vector<TFoodStation*> FoodStations() override { return food; }
    void Remove(IStation* station) { stations.erase(std::remove(stations.begin(), stations.end(), station), stations.end()); }

    std::vector<IStation*> stations;
    std::vector<ITableView*> tables;
    std::vector<TFoodStation*> food;
};

}  // namespace floortest

class FloorTest : public PlayTest {
protected:
    static constexpr float kFrame = 0.05f;

    void SetUp() override
    {
        PlayTest::SetUp();
        StartGame({});
        mPlatform->SeedRand(7);
    }
    void TearDown() override
    {
        waitress.reset();
        PlayTest::TearDown();
    }
    // A waitress on the fake floor in the given restaurant.
    void MakeWaitress(int restaurant = 0)
    {
        mSettings->SetCurrentRestaurant(restaurant);
        waitress = std::make_unique<TQuessa>(nullptr);
        waitress->SetFloor(&floor);
        waitress->Reset();
    }
    // Frames until her queue is done (bounded); returns the frames run.
    int WalkQueue(int maxFrames = 2000)
    {
        int frames = 0;
        while (!waitress->GetQueue().empty() && frames < maxFrames) {
            waitress->Update(kFrame, {});
            ++frames;
        }
        return frames;
    }
    void Visit(IStation& station, int clickKind = 0)
    {
        waitress->AddDestination(&station, clickKind, -35);
        WalkQueue();
    }

    floortest::TFakeFloor floor;
    std::unique_ptr<TQuessa> waitress;
};
