// ISeatGroup: the chairs a party sits on, as the party sees them while it
// picks its seats and colours them. TEatingStation (a table or a section of
// the bar) is the one seat group; the party reaches its chairs only through
// this (SeatsOf), so the station that owns a party and the party that sits
// at it never include each other.
#pragma once

#include "engine/base/rect.h"
#include "game/floor/customerstates.h"

class TEatingStation;
class TScoreManager;

class ISeatGroup {
public:
    virtual ~ISeatGroup() = default;

    // The chairs a party may sit on: [GetFirstSeat, GetEndSeat) of GetChairCount.
    virtual int GetFirstSeat() const = 0;
    virtual int GetEndSeat() const = 0;
    virtual int GetChairCount() const = 0;
    virtual int GetClosestChair(const TPoint& p) const = 0;
    virtual void OccupyChair(int index, bool occupied) = 0;
    virtual TPoint GetChairLocation(int index, bool* mirrored) const = 0;
    virtual int GetChairColor(int index) const = 0;
    // True when the chair took the guest's colour (and scored for it).
    virtual bool ColorSeat(int index, eCustomerColors colour, TScoreManager* score) = 0;

    // A whole table (false: a section of the bar).
    virtual bool IsTable() const = 0;
    virtual int GetTableNumber() const = 0;
    virtual TPoint GetLocation() const = 0;
    virtual TPoint GetHeartLocation() const = 0;
    virtual TPoint GetNoiseLocation() const = 0;
};

// The seat group of an eating station (null for null). Defined with the
// station, which alone knows that it is one.
ISeatGroup* SeatsOf(TEatingStation* station);
