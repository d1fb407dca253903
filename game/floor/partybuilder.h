// TPartyBuilder: the floor's side of the level manager's party factory. It
// builds a TParty from a party order; the line the manager keeps owns it.
#pragma once

#include "game/levels/partyfactory.h"

class TPartyBuilder : public IPartyFactory {
public:
    TParty* CreateParty(const TPartyOrder& order) override;
    void SetTimeMultiplier(TParty* party, float multiplier) override;
};
