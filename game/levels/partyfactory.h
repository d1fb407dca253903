// The seam between the level manager, which decides when a party arrives
// and what it looks like, and the floor, which builds the party. The manager
// hands over a TPartyOrder and keeps the resulting TParty* only in the line
// it was given; it never looks inside a party.
#pragma once

#include "game/settings/customerdef.h"

#include <algorithm>
#include <array>

class TParty;

constexpr int kMaxPartyMembers = 8;

struct TPartyOrder {
    int id = 0;    // running number of the party in the level
    int size = 0;  // 1..8 members
    std::array<int, kMaxPartyMembers> colors{};  // eCustomerColors of each member
    TCustomerDef def{};
    int snackChance = 0;
    float timeMultiplier = 1.0f;
    float serviceMultiplier = 1.0f;
    float lineMultiplier = 1.0f;  // patience while waiting in line

    // Figure name of member 1..size. The definition names six members; the
    // seventh and eighth wear the sixth member's figure.
    const char* MemberFigure(int member) const
    {
        const int slot = std::clamp(member, 1, kCustomerGraphicOverrides) - 1;
        return def.graphicOverride[slot];
    }
};

class IPartyFactory {
public:
    virtual ~IPartyFactory() = default;
    // A new party with the order's members, definition and multipliers, its
    // state timer reset; null when it cannot be built. The caller's line owns it.
    virtual TParty* CreateParty(const TPartyOrder& order) = 0;
    // Endless mode lowers the time multiplier of the parties already in line.
    virtual void SetTimeMultiplier(TParty* party, float multiplier) = 0;
};
