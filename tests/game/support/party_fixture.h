// Party tests: the game's own furniture, customer and effect art copied from
// the source tree into the scratch home, animations on a fake clock, a score manager on a fixture
// actionpoints.xml, a pair of plain waitress hands, and customer types built
// in code with a fixed random course.
#pragma once

#include "play_fixture.h"

#include "engine/platform/platform.h"
#include "game/floor/eatingstation.h"
#include "game/floor/noisering.h"
#include "game/floor/party.h"
#include "game/floor/table.h"
#include "game/floor/waitresshands.h"
#include "game/rules/scoremanager.h"

#include <array>
#include <cstring>
#include <memory>

// Two hands holding (item, id, extra).
struct TFakeHands : IWaitressHands {
    struct THand {
        ECarryables item = kCarryNothing;
        int id = 0, extra = 0;
    };
    std::array<THand, 2> hands;
    int mopsUsed = 0;

    int HandCount() const override { return 2; }
    int HandsInUse() const override
    {
        return (hands[0].item != kCarryNothing) + (hands[1].item != kCarryNothing);
    }
    const THand* Find(ECarryables item, int id) const
    {
        for (const THand& h : hands)
            if (h.item == item && (id == kAnyId || h.id == id))
                return &h;
        return nullptr;
    }
    bool Carries(ECarryables item, int id, int* heldId = nullptr, int* extra = nullptr) const override
    {
        const THand* h = Find(item, id);
        if (h && heldId)
            *heldId = h->id;
        if (h && extra)
            *extra = h->extra;
        return h != nullptr;
    }
    bool PickUp(ECarryables item, int id, int extra) override
    {
        for (THand& h : hands)
            if (h.item == kCarryNothing) {
                h = {item, id, extra};
                return true;
            }
        return false;
    }
    bool Drop(ECarryables item, int id, int* heldId = nullptr, int* extra = nullptr) override
    {
        THand* h = const_cast<THand*>(Find(item, id));
        if (!h)
            return false;
        Carries(item, id, heldId, extra);
        *h = {};
        return true;
    }
    void PauseMotion(float, ECarryables) override {}
    void UseMop() override { ++mopsUsed; }
    int HighChairBoost() const override { return 1; }
};

class PartyTest : public PlayTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A customer type of `figure` whose every timed state allows `patienceMS`
    // before a heart goes, and whose duration states take `durationMS`.
    static TCustomerDef MakeDef(const char* figure, float patienceMS, float durationMS);
    std::unique_ptr<TParty> MakeParty(int id, std::initializer_list<int> colours, const TCustomerDef& def);
    // Picks the party up by its first member and drops it on the table's
    // first chair; the table adopts it and it starts deciding. True when
    // every member found a chair of its colour (asked before the chairs
    // take the new colours).
    bool SeatByDrag(TParty* party, TEatingStation& table, std::unique_ptr<TParty> owned);
    // 50 ms of the engine's time: animations (on the game clock) move on.
    void Tick();
    // Updates the table (and the rings) in 50 ms steps; returns false as
    // soon as a table update does.
    bool Run(TEatingStation& table, float seconds, bool dessert = true);

    std::unique_ptr<TScoreManager> score;
    TFakeHands hands;
    TNoiseRingList rings;
};
