-- The window of the engine's scene: 800x600, no vsync, nothing it does not draw with.
function love.conf(t)
    t.window.width = 800
    t.window.height = 600
    t.window.vsync = 0
    t.modules.audio = false
    t.modules.sound = false
    t.modules.joystick = false
    t.modules.physics = false
end
