-- The scene of bench/render.cpp drawn by the peer engine: N sprites of S x S pixels per frame.
-- Arguments: the sprite count, the side S, the mode ("alternate": consecutive sprites alternate between
-- two textures; "cycle": consecutive sprites cycle through eight textures; "atlas": every sprite is a cell
-- of one atlas, merged by the engine's default batching) and the seconds to measure.
-- Its own loop: no sleep, present every frame, no read-back; one glFinish after the warm-up and one when
-- the measured time is up.
-- Prints "fps <value>", "cpu <seconds of processor time, all threads, per frame>" and "draws <draw calls of
-- the last frame>" and quits.
local count, side, mode, seconds = 10000, 8, "alternate", 1
local textures, atlas, cells = {}, nil, {}
local warmup = 0.2

-- Byte k of pixel (x, y) of picture `seed`, the same formula as the other side.
local function pixelData(width, height, seed)
    local data = love.image.newImageData(width, height)
    data:mapPixel(function(x, y)
        local i = y * width + x
        local function byte(k) return ((i * 4 + k) * 7 + seed * 13) % 256 / 255 end
        return byte(0), byte(1), byte(2), byte(3)
    end)
    return data
end

local function load(args)
    count = tonumber(args[1]) or count
    side = tonumber(args[2]) or side
    mode = args[3] or mode
    seconds = tonumber(args[4]) or seconds
    love.graphics.setDefaultFilter("linear", "linear")
    -- Seeds 1 and 2 are the alternating pair; 3 is the atlas.
    for t = 1, 8 do
        textures[t] = love.graphics.newImage(pixelData(side, side, t <= 2 and t or t + 1))
    end
    -- 4 x 4 cells of S x S
    atlas = love.graphics.newImage(pixelData(side * 4, side * 4, 3))
    for c = 0, 15 do
        cells[c] = love.graphics.newQuad((c % 4) * side, math.floor(c / 4) * side, side, side, side * 4, side * 4)
    end
end

local function draw()
    local w, h = 1024 - side, 768 - side
    local g = love.graphics
    if mode == "atlas" then
        for i = 0, count - 1 do
            g.draw(atlas, cells[i % 16], (i * 37) % w, (i * 53) % h)
        end
    elseif mode == "cycle" then
        for i = 0, count - 1 do
            g.draw(textures[i % 8 + 1], (i * 37) % w, (i * 53) % h)
        end
    else
        for i = 0, count - 1 do
            g.draw(textures[i % 2 + 1], (i * 37) % w, (i * 53) % h)
        end
    end
end

local gl
local function finish()
    if gl == nil then
        gl = false
        local ok, ffi = pcall(require, "ffi")
        if ok then
            pcall(function()
                ffi.cdef("void glFinish(void);")
                gl = ffi.load("libGL.so.1")
            end)
        end
    end
    if gl then
        gl.glFinish()
    end
end

function love.run()
    load(love.arg.parseGameArguments(arg))
    local frames, start, warm, cpu = 0, love.timer.getTime(), false, 0
    return function()
        love.event.pump()
        for name in love.event.poll() do
            if name == "quit" then
                return 0
            end
        end
        love.graphics.origin()
        love.graphics.clear(0, 0, 0, 0)
        draw()
        local draws = love.graphics.getStats().drawcalls
        love.graphics.present()
        local now = love.timer.getTime()
        if not warm then
            if now - start >= warmup then
                finish()
                warm, frames, start, cpu = true, 0, love.timer.getTime(), os.clock()
            end
            return
        end
        frames = frames + 1
        if now - start >= seconds then
            finish()
            print(string.format("fps %.3f", frames / (love.timer.getTime() - start)))
            print(string.format("cpu %.6f", (os.clock() - cpu) / frames))
            print(string.format("draws %d", draws))
            io.stdout:flush()
            return 0
        end
    end
end
