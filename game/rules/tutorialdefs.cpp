// The tutorial's script. Rows 0-16 teach seating, ordering, serving, checks
// and dishes on table 1; row 17 waits, unseen, for the next party; rows
// 18-43 teach the rest. Rows of mode 1 show only in career play, of mode 2
// only in endless play.
#include "game/rules/tutorial.h"

// Arrow rotations in radians.
namespace {

constexpr float kTurn0 = 0.0f, kTurn90 = 1.5707964f, kTurn180 = 3.1415927f, kTurn270 = 4.712389f;
constexpr TTutorialArrow kNo{-1, -1, 0};

}  // namespace

// clang-format off
const TTutorialDef gTutorialDefs[kTutorialSteps] = {
    { 0, -1,  -1,  -1, {kNo, kNo, kNo}, "", 0},
    { 1, -1, 280, 250, {{55, 360, kTurn0}, {570, 210, kTurn0}, kNo}, "tutorial_0", 0},
    { 2,  1, 320, 190, {{570, 210, kTurn0}, kNo, kNo}, "tutorial_1", 0},
    { 3,  1, 320, 300, {kNo, kNo, kNo}, "tutorial_2", 0},
    { 9,  1, 495, 485, {{570, 390, kTurn180}, kNo, kNo}, "tutorial_3", 0},
    { 4, -1, 280, 320, {{305, 200, kTurn180}, kNo, kNo}, "tutorial_4", 0},
    { 5,  1, 475, 475, {kNo, kNo, kNo}, "tutorial_5", 0},
    { 6,  1, 655, 150, {{480, 165, kTurn90}, kNo, kNo}, "tutorial_6", 0},
    {10,  1, 475, 475, {{570, 390, kTurn180}, kNo, kNo}, "tutorial_7", 0},
    { 7,  1, 460, 460, {kNo, kNo, kNo}, "tutorial_8", 0},
    {11,  1, 475, 475, {{570, 380, kTurn180}, kNo, kNo}, "tutorial_9", 0},
    {16, -1, 200, 250, {{200, 150, kTurn180}, kNo, kNo}, "tutorial_upgradebutton", 2},
    {14, -1, 460, 460, {kNo, kNo, kNo}, "tutorial_10", 1},
    {14, -1, 460, 460, {kNo, kNo, kNo}, "tutorial_10a", 2},
    {13,  1, 460, 460, {kNo, kNo, kNo}, "tutorial_10", 0},
    {12,  1, 310, 360, {{480, 320, kTurn270}, kNo, kNo}, "tutorial_11", 0},
    { 8, -1, 425, 130, {{595, 170, kTurn270}, kNo, kNo}, "tutorial_12", 0},
    { 0, -1,  -1,  -1, {kNo, kNo, kNo}, "", 0},
    { 1, -1, 150, 170, {{65, 300, kTurn0}, kNo, kNo}, "tutorial_14", 0},
    { 2, -1, 150, 150, {kNo, kNo, kNo}, "tutorial_13", 0},
    { 1, -1, 150, 170, {{65, 300, kTurn0}, kNo, kNo}, "tutorial_14_a", 0},
    { 2, -1, 150, 150, {kNo, kNo, kNo}, "tutorial_13", 0},
    { 3,  0, 500, 450, {{310, 380, kTurn180}, {210, 120, kTurn270}, kNo}, "tutorial_15", 0},
    { 9,  0, 500, 450, {{310, 380, kTurn180}, {210, 120, kTurn270}, kNo}, "tutorial_15", 0},
    { 4, -1, 500, 450, {{310, 380, kTurn180}, {210, 120, kTurn270}, kNo}, "tutorial_15", 0},
    { 3,  1, 500, 460, {{570, 380, kTurn180}, {210, 120, kTurn270}, kNo}, "tutorial_16", 0},
    { 9,  1, 500, 460, {{570, 380, kTurn180}, {210, 120, kTurn270}, kNo}, "tutorial_16", 0},
    { 4, -1, 500, 460, {{570, 380, kTurn180}, {210, 120, kTurn270}, kNo}, "tutorial_16", 0},
    { 5,  1, 410, 460, {kNo, kNo, kNo}, "tutorial_17", 0},
    { 6, -1, 440, 350, {{440, 200, kTurn180}, kNo, kNo}, "tutorial_18", 0},
    { 6, -1, 440, 350, {{440, 200, kTurn180}, kNo, kNo}, "tutorial_18", 0},
    {10, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, kNo}, "tutorial_19", 0},
    {10, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, kNo}, "tutorial_19", 0},
    { 7, -1, 410, 460, {kNo, kNo, kNo}, "tutorial_20", 0},
    { 7, -1, 410, 460, {kNo, kNo, kNo}, "tutorial_20", 0},
    {11, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, kNo}, "tutorial_21", 0},
    {11, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, kNo}, "tutorial_21", 0},
    {12, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, {630, 170, kTurn270}}, "tutorial_22", 0},
    {12, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, {630, 170, kTurn270}}, "tutorial_22", 0},
    { 8, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, {630, 170, kTurn270}}, "tutorial_22", 0},
    { 8, -1, 440, 470, {{325, 380, kTurn180}, {550, 380, kTurn180}, {630, 170, kTurn270}}, "tutorial_22", 0},
    {14, -1, 445, 170, {kNo, kNo, kNo}, "tutorial_23", 1},
    {15, -1, 400, 250, {{400, 130, kTurn180}, kNo, kNo}, "tutorial_endless_lives", 2},
    {15, -1, 400, 300, {kNo, kNo, kNo}, "tutorial_endless_end", 2},
};
// clang-format on
