-- The demo's game UI: keeps a clock and writes each scene change to the log.

function ui.setup()
	ui.clock = 0
end

function ui.init()
	ui.ready = true
end

function ui.update(dt)
	ui.clock = ui.clock + dt
end

function ui.OnSceneChanged(scene, previous)
	vumo.log("scene " .. scene .. " after '" .. previous .. "'")
end
