// Staff tests: the floor's parties and tables (PartyTest) with the staff's
// own art, and a loop that steps a frame function in 50 ms until a
// condition holds or a time limit passes.
#pragma once

#include "party_fixture.h"

#include "game/floor/table.h"

#include <filesystem>
#include <functional>
#include <vector>

class StaffTest : public PartyTest {
protected:
    static constexpr float kStep = 0.05f;

    void SetUp() override
    {
        PartyTest::SetUp();
        std::filesystem::copy(std::filesystem::path(QM_DATA_DIR) / "assets" / "people", mHome / "assets" / "people",
                              std::filesystem::copy_options::recursive);
    }

    // Steps `frame` until `done` answers true; false when `seconds` ran out.
    static bool StepUntil(float seconds, const std::function<void(float)>& frame, const std::function<bool()>& done)
    {
        for (float t = 0; t < seconds; t += kStep) {
            frame(kStep);
            if (done())
                return true;
        }
        return false;
    }

    std::unique_ptr<TTable> MakeTable(int number, TPoint at)
    {
        static const int chairs[] = {kColorRed, kColorBlue};
        return std::make_unique<TTable>("restaurants/cruise/", number, 2, chairs, at);
    }

    // A party of the given colours seated at the table (red and blue match its chairs).
    TParty* Seat(TTable& table, int id, std::initializer_list<int> colours)
    {
        auto owned = MakeParty(id, colours, MakeDef("old_male", 600000, 600000));
        TParty* party = owned.get();
        SeatByDrag(party, table, std::move(owned));
        return party;
    }

    static std::vector<TRect> Boxes(const std::vector<TEatingStation*>& tables)
    {
        std::vector<TRect> boxes;
        for (TEatingStation* table : tables)
            boxes.push_back(table->BoundingBox());
        return boxes;
    }
};
