// IStation: every place on the restaurant floor that the player can click to
// send the waitress there. The game window hit-tests stations and queues the
// hit one on the waitress; when she arrives, ArrivedAtStation moves items
// between her hands and the station, moves the party on and reports scored
// actions. The click kind goes from HitTest through her queue back to
// ArrivedAtStation: 0 an ordinary click, 1 a click on the station's spill.
//
// Each station gets an id at construction that no later station reuses; the
// waitress's queue holds ids, so a new station built where a freed one lay is
// never taken for it.
#pragma once

#include "engine/base/rect.h"
#include "game/floor/playrules.h"

class TQuessa;
class TTutorial;

class IStation {
public:
    enum EClickKind { kClickOrdinary = 0, kClickSpill = 1 };

    IStation() : mStationId(NextStationId()) {}
    virtual ~IStation() = default;
    IStation(const IStation&) = delete;
    IStation& operator=(const IStation&) = delete;

    int StationId() const { return mStationId; }
    // Where the waitress stands to use the station.
    virtual TPoint GetStandingSpot() = 0;
    // Where a queued-visit checkmark is drawn.
    virtual TPoint GetCheckmarkSpot() { return GetStandingSpot(); }
    // The tutorial (null: none running) may refuse the click.
    virtual bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) = 0;
    // True when the visit did something.
    virtual bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) = 0;
    // The waitress sets off from this station.
    virtual void LeavingStation(TQuessa*) {}

    // Visits of the waitress queued here and not yet ended: she raises it
    // when a visit is queued and lowers it when she arrives or drops the
    // visit, so a bar group she is walking to is not merged away.
    int mQueuedVisits = 0;

private:
    static int NextStationId()
    {
        static int next = 0;
        return ++next;
    }
    const int mStationId;
};
