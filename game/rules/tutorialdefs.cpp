// The tutorial's script. Rows 0-16 teach seating, ordering, serving, checks
// and dishes on table number 1 (its ticket reads "2"); row 17 waits, unseen,
// for the next party; rows 18-43 teach the rest: the chain takes both orders
// in a row (rows 22-25) before one trip to the wheel posts both tickets (one
// row: the trip reports both), and the tables are cleared once both parties
// have left (rows 36-40), the dishes going to the cart in one trip. Rows of mode 1 show only in
// career play, of mode 2 only in endless play. The arrows point where the
// player can act now: at the tables still to clear, then at the cart (which
// takes the dishes only once both tables are clear).
#include "game/rules/tutorial.h"

// Where the boxes and arrows stand, for the first career level's floor (two
// tables side by side, the order wheel beside the kitchen's opening, the pass
// in front of the cook, the dish cart at the counter's right end). Every box
// stands in the open floor below the tables, clear of what it talks about,
// the line and the coin jar; the arrows point at the thing to click, off it
// and off Quessa's face wherever she works.
namespace {

// Arrow rotations in radians: the arrow points down at 0, left at a quarter
// turn, up at a half turn and right at three quarters.
constexpr float kDown = 0.0f, kLeft = 1.5707964f, kUp = 3.1415927f, kRight = 4.712389f;
constexpr TTutorialArrow kNo{-1, -1, 0};

constexpr float kBoxX = 400, kBoxY = 528;
constexpr TTutorialArrow kAtLine{60, 420, kDown};       // over the head of the line
// The table arrows stand beside the tables' outer chairs: above a table
// is where Quessa stands to work at it.
constexpr TTutorialArrow kAtTable1{205, 345, kRight, 0};   // the left table ("1")
constexpr TTutorialArrow kAtTable2{680, 345, kLeft, 1};     // the right table ("2")
constexpr TTutorialArrow kAtWheel{240, 70, kRight};     // the order wheel
constexpr TTutorialArrow kAtPlate{388, 197, kUp};       // the first plate on the pass
constexpr TTutorialArrow kAtPlates{408, 197, kUp};      // between the first two plates
constexpr TTutorialArrow kAtCart{665, 250, kUp};        // the dish cart
constexpr TTutorialArrow kAtUpgrade{650, 505, kDown};   // the upgrade button (endless)
constexpr TTutorialArrow kAtLives{175, 100, kUp};       // the lives (endless)

}  // namespace

// clang-format off
const TTutorialDef gTutorialDefs[kTutorialSteps] = {
    { 0, -1, -1, -1, {kNo, kNo, kNo}, "", 0},
    { 1, -1, kBoxX, kBoxY, {kAtLine, kAtTable2, kNo}, "tutorial_0", 0},
    { 2,  1, kBoxX, kBoxY, {kAtTable2, kNo, kNo}, "tutorial_1", 0},
    { 3,  1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_2", 0},
    { 9,  1, kBoxX, kBoxY, {kAtTable2, kNo, kNo}, "tutorial_3", 0},
    { 4, -1, kBoxX, kBoxY, {kAtWheel, kNo, kNo}, "tutorial_4", 0},
    { 5,  1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_5", 0},
    { 6,  1, kBoxX, kBoxY, {kAtPlate, kNo, kNo}, "tutorial_6", 0},
    {10,  1, kBoxX, kBoxY, {kAtTable2, kNo, kNo}, "tutorial_7", 0},
    { 7,  1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_8", 0},
    {11,  1, kBoxX, kBoxY, {kAtTable2, kNo, kNo}, "tutorial_9", 0},
    {16, -1, kBoxX, kBoxY, {kAtUpgrade, kNo, kNo}, "tutorial_upgradebutton", 2},
    {14, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_10", 1},
    {14, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_10a", 2},
    {13,  1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_10", 0},
    {12,  1, kBoxX, kBoxY, {kAtTable2, kNo, kNo}, "tutorial_11", 0},
    { 8, -1, kBoxX, kBoxY, {kAtCart, kNo, kNo}, "tutorial_12", 0},
    { 0, -1, -1, -1, {kNo, kNo, kNo}, "", 0},
    { 1, -1, kBoxX, kBoxY, {kAtLine, kNo, kNo}, "tutorial_14", 0},
    { 2, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_13", 0},
    { 1, -1, kBoxX, kBoxY, {kAtLine, kNo, kNo}, "tutorial_14_a", 0},
    { 2, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_13", 0},
    { 3,  0, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_15w", 0},
    { 9,  0, kBoxX, kBoxY, {kAtTable1, kNo, kNo}, "tutorial_15", 0},
    { 3,  1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_16w", 0},
    { 9,  1, kBoxX, kBoxY, {kAtTable2, kNo, kNo}, "tutorial_16", 0},
    { 4, -1, kBoxX, kBoxY, {kAtWheel, kNo, kNo}, "tutorial_16a", 0},
    { 5,  1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_17", 0},
    { 6, -1, kBoxX, kBoxY, {kAtPlates, kNo, kNo}, "tutorial_18", 0},
    { 6, -1, kBoxX, kBoxY, {kAtPlates, kNo, kNo}, "tutorial_18", 0},
    {10, -1, kBoxX, kBoxY, {kAtTable1, kAtTable2, kNo}, "tutorial_19", 0},
    {10, -1, kBoxX, kBoxY, {kAtTable1, kAtTable2, kNo}, "tutorial_19", 0},
    { 7, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_20", 0},
    { 7, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_20", 0},
    {11, -1, kBoxX, kBoxY, {kAtTable1, kAtTable2, kNo}, "tutorial_21", 0},
    {11, -1, kBoxX, kBoxY, {kAtTable1, kAtTable2, kNo}, "tutorial_21", 0},
    {13, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_21w", 0},
    {13, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_21w", 0},
    {12, -1, kBoxX, kBoxY, {kAtTable1, kAtTable2, kNo}, "tutorial_22", 0},
    {12, -1, kBoxX, kBoxY, {kAtTable1, kAtTable2, kNo}, "tutorial_22", 0},
    { 8, -1, kBoxX, kBoxY, {kAtCart, kNo, kNo}, "tutorial_12", 0},
    {14, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_23", 1},
    {15, -1, kBoxX, kBoxY, {kAtLives, kNo, kNo}, "tutorial_endless_lives", 2},
    {15, -1, kBoxX, kBoxY, {kNo, kNo, kNo}, "tutorial_endless_end", 2},
};
// clang-format on
