-- Where the game screen's display stands over the room, as { x, y, w, h }:
-- game.lua places its windows in these boxes, and the content lint keeps
-- every decor picture of the rooms clear of them (data/contracts.txt), as
-- anything drawn under them would be cut. Data only: the lint runs this
-- file on its own.
kHudBoxes = {
    hud = { 0, 0, 800, 44 },                 -- the paper band with its brass trim
    livesicons = { 110, 44, 128, 22 },       -- an endless shift's five hearts, under the band
    gametimer = { 736, 0, 60, 60 },          -- the level clock
    coinjar = { 716, 470, 80, 120 },
    upgrade = { 612, 540, 184, 58 },         -- an endless shift's upgrade button (the kit's button size)
    upgradeanim = { 640, 540, 80, 60 },      -- and its flash
    skiptutorial = { 10, 140, 184, 58 },
    phonebox = { 420, 240, 378, 154 },       -- the phone's bubble at its widest, with four staff
    upgradewindow = { 190, 506, 332, 84 },   -- the decor choice's paper
    decorbutton = { 528, 520, 184, 58 },     -- and its Keep button
}
