-- A black cover that clears over half a second, then closes itself: the
-- screen underneath comes out of the game's fade.
MakeDialog {
    TimedFade { name = "fadein", x = 0, y = 0, w = 800, h = 600, length = 0.5 },
}
