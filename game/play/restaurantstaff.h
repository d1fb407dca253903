// TRestaurantStaff: what the level's object graph keeps of the restaurant
// itself and its helpers: the scene (TRestaurant), the host podium, the phone
// and the four staff members it calls (busboy, drink server, hostess,
// entertainer). The graph hands in what they need of the floor (its tables
// as eating stations and obstacle boxes, the waitress, the drink station,
// the dish cart, the line of waiting parties) and adds Stations() to the
// stations the player can click.
#pragma once

#include "game/floor/entertainer.h"
#include "game/floor/hostess.h"
#include "game/floor/phonestation.h"
#include "game/floor/podium.h"
#include "game/floor/staff.h"
#include "game/play/restaurant.h"

#include <list>
#include <vector>

class TDishCart;
class TDrinkStation;
class TParty;
struct TLayoutStations;

class TRestaurantStaff {
public:
    // `globals`: the level's globals (waiterSpeed, entertainerTime), or null.
    explicit TRestaurantStaff(TXmlNode* globals);

    // A new level: the scene of the current restaurant, the podium's times
    // from the globals, podium and phone on the floor only in career levels
    // whose layout holds them; every staff member reset.
    void InitForLevel(TXmlNode* globals, const TLayoutStations& layout, bool career, TQuessa* waitress,
                      TDrinkStation* drinkStation);
    // The tables changed: the walking staff's obstacles and the notes' targets.
    void SetTables(const std::vector<TEatingStation*>& tables, const std::vector<TRect>& boxes, const TRect* barBox);
    // The four helpers walk and work, right after the waitress: busboy,
    // entertainer, hostess, drink server. The scene, podium and phone are
    // updated by the graph among the other stations.
    void UpdateHelpers(float dt, TDishCart* dishCart);
    // The podium, phone, radio or stereo: the stations the player may click.
    std::vector<IStation*> Stations();
    // Last, above everything on the floor.
    void DrawNotes() { mEntertainer.DrawNotes(); }

    TRestaurant& Restaurant() { return mRestaurant; }
    TPodium& Podium() { return mPodium; }
    TPhoneStation& Phone() { return mPhone; }
    TBusBoy& BusBoy() { return mBusBoy; }
    TDrinkServer& DrinkServer() { return mDrinkServer; }
    THostess& Hostess() { return mHostess; }
    TEntertainer& Entertainer() { return mEntertainer; }

private:
    TRestaurant mRestaurant;
    TPodium mPodium;
    TBusBoy mBusBoy;
    TDrinkServer mDrinkServer;
    THostess mHostess;
    TEntertainer mEntertainer;
    TPhoneStation mPhone;
    std::vector<TEatingStation*> mTables;  // not owned
};
