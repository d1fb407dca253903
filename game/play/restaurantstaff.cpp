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

void TRestaurantStaff::UpdateHelpers(float dt, TDishCart* dishCart)
{
    mBusBoy.Update(dt, mTables, dishCart);
    mEntertainer.Update(dt);
    mHostess.Update(dt);
    mDrinkServer.Update(dt, mTables);
}

std::vector<IStation*> TRestaurantStaff::Stations() { return {&mPodium, &mPhone, &mEntertainer}; }
