// Where pictures stand on the screen. The game screen draws its display over
// the room (the band, the clock, the coin jar, its buttons) and the floor
// hangs the closed sign on the wall; a decor picture that reaches under one
// of them is cut there, its glow and its offer's rim included. The pictures
// a room's decor file places (upgrades.xml) must stand clear of them all:
//
//   coverboxes SCRIPT TABLE    the boxes of the display: the global TABLE that
//                              the Lua file SCRIPT sets, name = { x, y, w, h }
//   coverpicture NAME PICTURE X0 Y0 X1 Y1
//                              a picture drawn centred at (X0, Y0) and sliding
//                              to (X1, Y1): every place on the way is covered
//   clear FILE...              every picture each decor file places, at its
//                              own size, meets none of those
#pragma once

#include "contracts.h"
#include "lint.h"

#include "engine/base/rect.h"

#include <string>
#include <vector>

namespace contentlint {

class TPlaces {
public:
    explicit TPlaces(TLintReport* report) : mReport(*report) {}

    void Add(const TContract& c);
    // The decor files against every cover, once all are known.
    void Finish();

private:
    struct TCover {
        std::string name;   // "gametimer (scripts/hudboxes.lua)"
        TRect box;
    };

    void Fail(const std::string& where, const std::string& message) { mReport.failures.push_back(where + ": " + message); }
    void AddBoxes(const TContract& c);
    void AddPicture(const TContract& c);
    void CheckDecor(const TContract& c, const std::string& file);

    TLintReport& mReport;
    std::vector<TCover> mCovers;
    std::vector<TContract> mDecor;
};

}  // namespace contentlint
