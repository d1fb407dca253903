-- The scene of bench/render/sprite_scene.cpp for the peer engine:
--   love DIR SPRITES TEXT_LINES FRAMES [canvas] [moving]
-- prints the mean frame time of the timed frames and the peak resident memory.
-- With "canvas" the scene is drawn into a canvas of the screen's size that is
-- then drawn to the window, as our engine draws when its screen is
-- letterboxed into a window of another size (kept in a surface of its own
-- and copied out). With "moving" every sprite steps 3 pixels right and
-- turns 0.02 radians a frame, as sprite_scene's moving scene does. Every
-- frame is drawn whole either way.
local sprites, lines, frames = 500, 0, 120
local warmUp = 10

local function peakResidentKb()
    local status = io.open("/proc/self/status")
    if not status then return 0 end
    for line in status:lines() do
        local kb = line:match("^VmHWM:%s*(%d+)")
        if kb then status:close() return tonumber(kb) end
    end
    status:close()
    return 0
end

-- Eight rings, each drawn over the last, as the engine's scene fills them.
local function makeSprite()
    local data = love.image.newImageData(64, 64)
    data:mapPixel(function(x, y)
        local ring = math.min(math.floor(math.min(x, y, 63 - x, 63 - y) / 4), 7)
        return ring / 8, 1 - ring / 8, 0.5, 0.6
    end)
    return love.graphics.newImage(data)
end

function love.run()
    local args = love.arg.parseGameArguments(arg)
    sprites = tonumber(args[1]) or sprites
    lines = tonumber(args[2]) or lines
    frames = tonumber(args[3]) or frames
    local options = {}
    for i = 4, #args do options[args[i]] = true end
    local canvas = options.canvas and love.graphics.newCanvas(800, 600) or nil
    local moving = options.moving
    local image = makeSprite()
    local font = love.graphics.newFont(16)
    love.graphics.setFont(font)
    local texts = {}
    for i = 1, lines do
        texts[i] = "Line " .. i .. ": the kitchen opens at dawn, serve every guest before they leave."
    end

    local frameNumber = 0
    local function frame()
        local step = moving and frameNumber or 0
        frameNumber = frameNumber + 1
        love.event.pump()
        love.graphics.setCanvas(canvas)
        love.graphics.origin()
        love.graphics.clear(0, 0, 0, 0)
        for i = 0, sprites - 1 do
            local x, y = (i * 37 + step * 3) % 800, (i * 53) % 600
            local flags = i % 4
            local sx = flags % 2 == 1 and -0.8 or 0.8
            local sy = flags >= 2 and -0.8 or 0.8
            love.graphics.draw(image, x, y, (i % 7) * 0.3 + step * 0.02, sx, sy, 32, 32)
        end
        for i = 1, lines do
            love.graphics.print(texts[i], 20, 10 + (i - 1) * 28)
        end
        if canvas then
            love.graphics.setCanvas()
            love.graphics.draw(canvas, 0, 0)
        end
        love.graphics.present()
    end

    return function()
        for _ = 1, warmUp do frame() end
        local start = love.timer.getTime()
        for _ = 1, frames do frame() end
        local seconds = love.timer.getTime() - start
        io.write(string.format("frame_ms %.4f\npeak_kb %d\n", seconds * 1000 / frames, peakResidentKb()))
        io.flush()
        return 0
    end
end
