-- The demo's game UI: the first screen is the UI dataset itself; these hooks keep its clock.

function ui.setup()
	ui.clock = 0
end

function ui.init()
	ui.ready = true
end

function ui.update(dt)
	ui.clock = ui.clock + dt
end
