#include "game/play/restaurantstaff.h"

#include "game/levels/tabledescriptor.h"

TRestaurantStaff::TRestaurantStaff(TXmlNode* globals)
    : mBusBoy(globals), mDrinkServer(globals), mEntertainer(globals)
{
    mHostess.SetPodium(&mPodium);
}

void TRestaurantStaff::InitForLevel(TXmlNode* globals, const TLayoutStations& layout, bool career,
                                    TQuessa* waitress, TDrinkStation* drinkStation)
{
    mRestaurant.Initialize();
    mPodium.SetDefaults(globals);
    mPodium.SetEnabled(career && layout.podium);
    mPodium.Reset();
    mPhone.SetPowerups(waitress, &mBusBoy, &mDrinkServer, &mHostess, &mEntertainer);
    mPhone.SetPresent(career && layout.phone);
    mPhone.SetStaffTime(TPhoneStation::kStaffSeconds);
    mPhone.Reset();
    mDrinkServer.SetDrinkStation(drinkStation);
    mBusBoy.Reset();
    mDrinkServer.Reset();
    mHostess.Reset();
    mEntertainer.Reset();
}

void TRestaurantStaff::SetTables(const std::vector<TEatingStation*>& tables, const std::vector<TRect>& boxes,
                                 const TRect* barBox)
{
    mTables = tables;
    mBusBoy.SetTables(boxes, barBox);
    mDrinkServer.SetTables(boxes, barBox);
    mEntertainer.SetTables(tables);
}

bool TRestaurantStaff::Update(float dt, TQuessa* waitress, TDishCart* dishCart, const std::list<TParty*>& line)
{
    mRestaurant.Update(dt);
    const bool released = mPodium.Update(waitress, dt, line);
    mPhone.Update(waitress, dt);
    mBusBoy.Update(dt, mTables, dishCart);
    mDrinkServer.Update(dt, mTables);
    mHostess.Update(dt);
    mEntertainer.Update(dt);
    return released;
}

std::vector<IStation*> TRestaurantStaff::Stations() { return {&mPodium, &mPhone, &mEntertainer}; }
