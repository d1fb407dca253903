// The words the floor shares about customers: the party states, the
// customer and chair colours, the request in a thought bubble, and the
// teleport time of the space restaurant.
#pragma once

#include "engine/base/str.h"

enum eCustomerStates : int {
    kStateWaitingInLine = 0,
    kStateDeciding = 1,
    kStateReadyToOrder = 2,
    kStateWaitingForFood = 3,
    kStateEating = 4,
    kStateWantsDessert = 5,
    kStateEatingDessert = 6,
    kStateWantsCheck = 7,
    kStatePaying = 8,
    kStateLeaving = 9,
    kStateLeavingAngry = 10,
    kStateWantsSnack = 11,
    kStateWantsPicture = 12,
};
constexpr int kCustomerStates = 13;

// As chair colours also grey (5) and black (6): any customer may sit there.
enum eCustomerColors : int {
    kColorRed = 0,
    kColorBlue = 1,
    kColorGreen = 2,
    kColorYellow = 3,
    kColorPurple = 4,
    kColorGrey = 5,
    kColorBlack = 6,
};
constexpr int kCustomerColorCount = 5;
constexpr int kChairColorCount = 7;

// Colour word of a customer's palettes; anything outside 0-4 reads "red".
const char* CustomerColorWord(int colour);

// Members of one type in one party wear different looks (skin, hair, the
// garments that are not the party colour), so a party never shows clones.
// Look 0 is the type's own; the art has kCustomerLooks of them.
constexpr int kCustomerLooks = 4;
// The name of a figure's palettes for a colour and look: "red", "red_look2".
str CustomerPaletteWord(int colour, int look);

// How long a customer takes to appear in the space restaurant.
constexpr float SPACE_TOTAL_MATERIALIZE_TIME = 1.75f;

// The restaurant whose customers arrive by teleport.
bool InSpaceRestaurant();
