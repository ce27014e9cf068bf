-- The demo's game UI: keeps a clock, writes each scene change to the log and keeps the player's
-- profile, which counts the demo's runs and remembers the key found on the sign.

vars.create("demo_runs", 0)
-- Set by the key hidden on the sign once the player finds it.
vars.create("demo_key_found", 0)

function ui.setup()
	ui.clock = 0
end

-- Takes the first profile there is, or makes one.
function ui.pickProfile()
	for folder, name in pairs(profile.list()) do
		profile.change(folder)
		return
	end
	profile.change(profile.create("Player"))
end

function ui.init()
	ui.pickProfile()
	vars.demo_runs = vars.demo_runs + 1
	profile.save()
	ui.ready = true
end

function ui.update(dt)
	ui.clock = ui.clock + dt
end

function ui.OnSceneChanged(scene, previous)
	vumo.log("scene " .. scene .. " after '" .. previous .. "'")
end
