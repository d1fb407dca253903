// Level manager tests: settings on the headless platform, level files and
// customer types written into the test's working folder, and a party
// factory that records what it was asked to build.
#pragma once

#include "settings_fixture.h"

#include "game/levels/levelmanager.h"
#include "game/levels/partyfactory.h"

#include <cstdint>
#include <string>
#include <vector>

// Hands out numbered tokens in place of parties; the level manager only
// stores them in the line and hands them back.
class RecordingPartyFactory : public IPartyFactory {
public:
    TParty* CreateParty(const TPartyOrder& order) override
    {
        orders.push_back(order);
        return reinterpret_cast<TParty*>(static_cast<std::uintptr_t>(orders.size()));
    }
    void SetTimeMultiplier(TParty* party, float multiplier) override
    {
        multipliers.emplace_back(static_cast<int>(reinterpret_cast<std::uintptr_t>(party)), multiplier);
    }
    static int Number(TParty* party) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(party)); }

    std::vector<TPartyOrder> orders;
    std::vector<std::pair<int, float>> multipliers;
};

class LevelTest : public SettingsTest {
protected:
    void WriteFile(const std::string& name, const std::string& text);
    // customer.xml with the types the tests name: "young", "family" (three
    // fixed members), "crowd" (no fixed members).
    void WriteCustomerTypes();
    // Layout "floor": snack and dessert stations, a 2- and a 4-seat table.
    void WriteFloor(const std::string& name = "floor");
    void StartWithSettings();

    RecordingPartyFactory mFactory;
};
