// What the waitress can hold in one hand. The station that hands an item over
// chooses its id and extra value; she only keeps them and gives them back.
#pragma once

enum ECarryables : int {
    kCarryNothing = 0,
    kCarryTicket = 1,      // id: table number
    kCarryFood = 2,        // id: table number of the order; extra: staleness 0-2
    kCarryDishes = 3,      // id: table number
    kCarryDrink = 4,       // id: the drink's heart value
    kCarryDessert = 5,
    kCarryHighChair = 6,   // extra: patience multiplier x 1000
    kCarryMop = 7,         // extra: the mop station's factor x 1000
    kCarrySnack = 8,
    kCarryCamera = 9,      // id: -1
    kCarryableCount = 10,
};

struct THand {
    ECarryables kind = kCarryNothing;
    int id = 0;
    int extra = 0;
};
