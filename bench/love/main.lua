-- The scene of bench/render.cpp: N textured 64 x 64 quads, one draw call each.
-- Arguments: the quad count, the number of seconds to measure, and "batched" to let LOVE merge the
-- draws as it does by default. Prints "fps <value>" and quits.
local count, seconds, batched = 1000, 3, false
local texture
local frames, elapsed = 0, 0

function love.load(args)
    count = tonumber(args[1]) or count
    seconds = tonumber(args[2]) or seconds
    batched = args[3] == "batched"
    local data = love.image.newImageData(64, 64)
    local i = 0
    data:mapPixel(function(x, y)
        local function byte(k) return ((i * 4 + k) * 7 % 256) / 255 end
        local r, g, b, a = byte(0), byte(1), byte(2), byte(3)
        i = i + 1
        return r, g, b, a
    end)
    texture = love.graphics.newImage(data)
    love.graphics.setDefaultFilter("linear", "linear")
end

function love.update(dt)
    elapsed = elapsed + dt
    if elapsed >= seconds then
        print(string.format("fps %.3f", frames / elapsed))
        io.stdout:flush()
        love.event.quit()
    end
end

function love.draw()
    for i = 0, count - 1 do
        love.graphics.draw(texture, (i * 37) % (1024 - 64), (i * 53) % (768 - 64))
        if not batched then
            -- A flush per quad keeps LOVE from merging: one draw call each, like the other side.
            love.graphics.flushBatch()
        end
    end
    frames = frames + 1
end
