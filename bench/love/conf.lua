function love.conf(t)
    t.window.width = 1024
    t.window.height = 768
    t.window.vsync = 0
    t.window.title = "render bench"
    t.modules.audio = false
    t.modules.sound = false
    t.modules.joystick = false
    t.modules.physics = false
end
