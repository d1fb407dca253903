#include "game/floor/partybuilder.h"

#include "game/floor/party.h"

#include <memory>

TParty* TPartyBuilder::CreateParty(const TPartyOrder& order)
{
    if (order.size < 1 || order.size > kMaxPartyMembers)
        return nullptr;
    auto party = std::make_unique<TParty>(order.id, order.size, order.colors.data(), order.def, order.snackChance);
    party->SetTimeMultiplier(order.timeMultiplier);
    party->SetServiceMultiplier(order.serviceMultiplier);
    party->SetLineMultiplier(order.lineMultiplier);
    party->ResetStateTimer();
    return party.release();
}

void TPartyBuilder::SetTimeMultiplier(TParty* party, float multiplier)
{
    if (party)
        party->SetTimeMultiplier(multiplier);
}
