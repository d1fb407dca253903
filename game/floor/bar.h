// TBar: the bar counter, eight stools handed out as movable seat groups.
// At first the whole bar is one eating station over all stools; a party
// that sits down splits its group so that its stools form one station and
// the free stools on each side new ones; empty, clean neighbours merge
// again. A group that the waitress or the player still refers to (queued
// visits, the drag target) is never merged away.
#pragma once

#include "engine/base/rect.h"
#include "engine/script/animation.h"
#include "game/floor/eatingstation.h"

#include <functional>
#include <list>
#include <memory>

class TAnimatedTextureCache;
class IStation;

class TBar {
public:
    static constexpr int kStools = 8;

    TBar(const int* stoolColors, TPoint location);
    ~TBar();

    TEatingStation* CreateNewStation(int first, int end, const int* colors, const int* chains);
    void UpdateStationSetup(TEatingStation* station, int first, int end);
    void SplitEatingStation(TEatingStation* station);
    // True when a pair merged. `inUse` names groups that must stay (the
    // current drop target, stations queued by the waitress or staff).
    bool MergeStations(const std::function<bool(const IStation*)>& inUse = {});
    bool IsBarStation(const IStation* station) const;
    TRect BoundingBox() const;
    void Draw(TAnimatedTextureCache* cache);

    const std::list<std::unique_ptr<TEatingStation>>& Stations() const { return mStations; }
    TPoint GetLocation() const { return mLocation; }

private:
    bool DividerAnchor(int end, TPoint* anchor) const;
    TPoint BarAnchor(const char* name) const;  // (0, 0) when the art lacks it
    bool MergeOnePair(const std::function<bool(const TEatingStation&)>& free);
    void SortStations();

    TPoint mLocation;
    TAnimation mBar;
    std::shared_ptr<TTexture> mDivider;
    std::list<std::unique_ptr<TEatingStation>> mStations;
};
