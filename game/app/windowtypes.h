// The game's window classes under the type names that screen scripts use,
// and the game's two window factories.
#pragma once

#include "engine/base/classid.h"

#include <string>
#include <vector>

namespace contract {
struct TScreenSpec;
}

namespace game {

// Registers the window types in their fixed order (a type whose class the
// game does not have yet is left out), then adopts "linktext" and "_button".
void RegisterWindowTypes();

// A window class of the game and its statement of what it shares with its
// script (game/screens/screencontract.h).
struct TStatedClass {
    const contract::TScreenSpec* contract;
    TClassId (*classId)();
};
// Every stated class: the registered types in registration order, then the
// two name lists the editors register, then the classes made by code or by
// a factory, and last the start-up's globals (kMainContract). What the contract test and the content lint read.
std::vector<TStatedClass> StatedWindowClasses();

// The statements as lines of the content lint's "window" kind
// (tools/contentlint/contracts.h): "window SCRIPT TYPE NAME..." for each
// class a script builds, with the children it must build, and "window
// SCRIPT - NAME..." for the children a class finds in another script's
// screen. A numbered child is one name holding "%d"; optional children are
// left out, and so are numbered ones made of a number alone ("%d").
std::vector<std::string> WindowContractLines();

}  // namespace game
