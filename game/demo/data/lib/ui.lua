-- The demo's game UI: keeps a clock, writes each scene change to the log and keeps the player's
-- profile, which counts the demo's runs and remembers the key found on the sign.

vars.create("demo_runs", 0)
-- Set by the key hidden on the sign once the player finds it.
vars.create("demo_key_found", 0)

function ui.setup()
	ui.clock = 0
	-- The face is put in place when the build is configured; without it the boxes show no text.
	if not font.exists("demo") then
		pcall(font.create, "demo", "demo.ttf", 28, 1.0)
	end
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
	ui.showAdventurePanels(scene)
end

-- The adventure's marker, plank and inventory show only in its chapters: elsewhere (the landing page, the
-- menu, the store, the duel) they would cover the screen's own buttons.
function ui.showAdventurePanels(scene)
	local adventure = scene:find("^meadow%.") ~= nil or scene:find("^lake%.") ~= nil
	object.setProperty("ui.marker", "visible", adventure)
	object.setProperty("ui.inventory", "visible", adventure)
	object.setProperty("ui.plank_pickup", "visible", adventure and not inventory.hasItem("plank"))
end

-- A drawn pointer: a dark square with a white one inside, just below and right of the hot spot.
function ui.getCursorMode()
	return "pointer"
end

function ui.createCursor(mode, cursor)
	object.create("ImageBox", "", cursor, {x = 6, y = 6, w = 14, h = 14, image = "0x202020"})
	object.create("ImageBox", "", cursor, {x = 8, y = 8, w = 10, h = 10, image = "0xFFFFFF"})
end

-- Escape asks whether to quit.
function ui.OnKeyDown(key)
	if key == 27 and ui.getNumQueuedMessageBoxTypes("quit") == 0 then
		ui.messageBox{type = "quit", text = "{%s} {Quit the demo?}", yes_button = "vumo.endProgram()", no_button = ""}
	end
end
