-- The demo's game UI: keeps a clock, writes each scene change to the log and keeps the player's
-- profile, which counts the demo's runs and remembers the key found on the sign.

vars.create("demo_runs", 0)
-- Set by the key hidden on the sign once the player finds it.
vars.create("demo_key_found", 0)
-- Where the adventure goes on: the last of its scenes the player was in. The menu's Adventure button
-- leads there, so a player who quits continues in the next run.
vars.create("demo_place", "meadow.hills")
-- Set once the raft (the plank tied with the stranger's rope) is on the lake: it carries the player to the inn.
vars.create("demo_raft_afloat", 0)
-- Set once the lake's sky has been watched from a click to the end of the ball's crossing: until then the
-- water is too rough for the raft.
vars.create("demo_sky_watched", 0)
-- Set by the password carved tiny on the sign, which only a zoomed-in look finds: the inn opens to it.
vars.create("demo_password_found", 0)
-- Set by the oar under the hills' wooden piece: the raft is not put on the water without it.
vars.create("demo_oar_found", 0)
-- Set once the beacon on the hills burns: without its light the raft finds no way to the inn.
vars.create("demo_beacon_lit", 0)

function ui.setup()
	ui.clock = 0
	-- The face is put in place when the build is configured; without it the boxes show no text.
	if not font.exists("demo") then
		pcall(font.create, "demo", "demo.ttf", 28, 1.0)
	end
end

-- Takes the first profile that opens, or makes one. A profile that does not open (its files cannot be
-- read) is left as it is on disk, and the player is told why.
function ui.pickProfile()
	local folders = {}
	for folder in pairs(profile.list()) do
		folders[#folders + 1] = folder
	end
	table.sort(folders)
	local refused = {}
	for _, folder in ipairs(folders) do
		local opened, reason = pcall(profile.change, folder)
		if opened then
			ui.reportRefusedProfiles(refused, "Playing as '" .. profile.getName() .. "' instead.")
			return
		end
		refused[#refused + 1] = reason
	end
	profile.change(profile.create("Player"))
	ui.reportRefusedProfiles(refused, "A new profile was made.")
end

-- One box per profile that did not open, with the engine's reason.
function ui.reportRefusedProfiles(reasons, outcome)
	for _, reason in ipairs(reasons) do
		vumo.log("profile not opened: " .. tostring(reason))
		-- The box shows the text as inline text: brackets and braces would be read as its markup.
		local text = tostring(reason):gsub("^%[[^%]]*%] ", ""):gsub("[%[%]{}]", "")
		ui.messageBox{type = "profile_refused", text = "{%s} {" .. text .. " " .. outcome .. "}"}
	end
end

function ui.init()
	ui.pickProfile()
	vars.demo_runs = vars.demo_runs + 1
	profile.save()
	ui.ready = true
end

function ui.update(dt)
	ui.clock = ui.clock + dt
	ui.followGoal()
	ui.showPasswordWhenZoomed()
	if ui.ready then
		object.setProperty("ui.talk_button", "visible", scene.getFullName() == "meadow.hills" and
			inventory.hasItem("plank") and ui.needsRope() and not dialog.isActive())
	end
end

-- A goal met (the key found, which the key's object records by itself, or the plank picked up) shows the
-- next one and is kept.
function ui.followGoal()
	if not ui.ready then
		return
	end
	local goal = ui.goalText()
	if goal ~= ui.shownGoal then
		if ui.shownGoal ~= nil then
			ui.keepProgress()
		end
		ui.shownGoal = goal
		object.setProperty("ui.goal", "text", goal)
		object.setProperty("ui.inn_button", "visible", scene.getFullName() == "lake.shore" and ui.innIsOpen())
	end
end

function ui.OnSceneChanged(scene, previous)
	vumo.log("scene " .. scene .. " after '" .. previous .. "'")
	-- A talk belongs to the scene it was held in: its line and replies do not follow the player out.
	if dialog.isActive() then
		dialog.stop()
	end
	ui.showAdventurePanels(scene)
	ui.keepPlace(scene)
end

-- The variables are taken into the profile before it is saved: a save alone keeps only what it took last.
function ui.keepProgress()
	profile.sync()
	profile.save()
end

-- The adventure's scenes are remembered in the profile as they are reached.
function ui.keepPlace(scene)
	local adventure = scene:find("^meadow%.") ~= nil or scene:find("^lake%.") ~= nil
	if adventure and vars.demo_place ~= scene then
		vars.demo_place = scene
		ui.keepProgress()
	end
end

-- What the player has to do next, from what has been done.
function ui.goalText()
	if tostring(vars.demo_key_found) ~= "1" then
		return "Goal: find the golden key hidden on the sign; the inn across the lake needs it."
	end
	if not ui.hasPlank() then
		return "Goal: the lake is deep; pick up the plank the stranger spoke of."
	end
	if ui.raftIsAfloat() and tostring(vars.demo_beacon_lit) ~= "1" then
		return "Goal: the lake is dark: light the beacon on the hills' right for the way to the duel."
	end
	if ui.raftIsAfloat() and tostring(vars.demo_password_found) ~= "1" then
		return "Goal: the inn opens to a password carved tiny on the sign: zoom in on it with the wheel."
	end
	if ui.raftIsAfloat() then
		return "Goal: take the key across the lake to the inn and win the duel there."
	end
	if inventory.hasItem("raft") and not ui.skyIsWatched() then
		return "Goal: click the lake's sky and watch the ball cross it: then the water takes the raft."
	end
	if inventory.hasItem("raft") and tostring(vars.demo_oar_found) ~= "1" then
		return "Goal: the raft needs an oar: drag the wooden piece on the hills aside and look under it."
	end
	if inventory.hasItem("raft") then
		return "Goal: put the raft on the water at the shore's right to reach the inn."
	end
	if inventory.hasItem("rope") then
		return "Goal: drop the rope on the plank in the pane: a raft will carry you to the inn."
	end
	return "Goal: a plank alone sinks on the way to the inn; ask the stranger on the hills for a rope."
end

-- The plank counts while it is one, tied into the raft, or afloat.
function ui.hasPlank()
	return inventory.hasItem("plank") or inventory.hasItem("raft") or ui.raftIsAfloat()
end

function ui.raftIsAfloat()
	return tostring(vars.demo_raft_afloat) == "1"
end

-- The password is drawn at 8 pixels: it shows once the zoom draws it at 12 or more.
function ui.showPasswordWhenZoomed()
	if not ui.ready or scene.getFullName() ~= "meadow.sign" or not object.exists("password") then
		return
	end
	local password = object.getObject("password")
	local _, _, w = object.getBoundingRect(password)
	object.setProperty(password, "visible", w >= 12)
end

function ui.beaconLit()
	if tostring(vars.demo_beacon_lit) ~= "1" then
		vumo.log("the beacon burns")
		vars.demo_beacon_lit = 1
		ui.keepProgress()
	end
end

function ui.skyIsWatched()
	return tostring(vars.demo_sky_watched) == "1"
end

function ui.skyWatched()
	vumo.log("the sky has been watched")
	if not ui.skyIsWatched() then
		vars.demo_sky_watched = 1
		ui.keepProgress()
	end
end

function ui.needsRope()
	return not (inventory.hasItem("rope") or inventory.hasItem("raft") or ui.raftIsAfloat())
end

-- The way over the lake shows once the key and the plank are there; the raft is what then carries the
-- player over.
function ui.innIsOpen()
	return tostring(vars.demo_key_found) == "1" and ui.hasPlank()
end

function ui.goToInn()
	sound.play("ui.click")
	if not ui.raftIsAfloat() then
		vumo.log("the plank alone sinks")
		return
	end
	if tostring(vars.demo_beacon_lit) ~= "1" then
		vumo.log("the lake is too dark without the beacon")
		return
	end
	if tostring(vars.demo_password_found) ~= "1" then
		vumo.log("the inn stays shut without its password")
		return
	end
	vars.demo_place = "tavern.duel"
	ui.keepProgress()
	scene.switch("tavern.duel")
end

-- The adventure's marker, plank and inventory show only in its chapters: elsewhere (the landing page, the
-- menu, the store, the duel) they would cover the screen's own buttons.
function ui.showAdventurePanels(scene)
	local adventure = scene:find("^meadow%.") ~= nil or scene:find("^lake%.") ~= nil
	object.setProperty("ui.marker", "visible", adventure)
	object.setProperty("ui.inventory", "visible", adventure)
	object.setProperty("ui.plank_pickup", "visible", adventure and not ui.hasPlank())
	object.setProperty("ui.goal", "text", ui.goalText())
	object.setProperty("ui.goal", "visible", adventure)
	object.setProperty("ui.inn_button", "visible", scene == "lake.shore" and ui.innIsOpen())
	-- The menu is the way out of every other scene; the store has its own Later button.
	object.setProperty("ui.menu_button", "visible", scene:find("^menu%.") == nil)
end

function ui.backToMenu()
	sound.play("ui.click")
	if dialog.isActive() then
		dialog.stop()
	end
	scene.switch("menu.MainMenu")
end

-- Things a scene makes clickable beside its buttons (which light up by themselves) and its action map's
-- regions: a scene marks them, by name, with ui.markClickable. The marks are kept per scene, as its
-- script runs before the UI hears of the change; a scene that starts again marks them anew.
ui.clickables = {}

function ui.markClickable(name)
	local full = scene.getFullName()
	local marks = ui.clickables[full] or {}
	marks[name] = true
	ui.clickables[full] = marks
end

local function under(name, x, y)
	if not object.exists(name) then
		return false
	end
	local o = object.getObject(name)
	if not object.getProperty(o, "visible") then
		return false
	end
	local left, top, w, h = object.getBoundingRect(o)
	return x >= left and x < left + w and y >= top and y < top + h
end

-- True over a region of the scene's action map, or over a marked thing.
function ui.isOverClickable()
	if scene.getName() == "" or scene.isTransitionActive() then
		return false
	end
	local x, y = vumo.getCursorPos()
	-- The map paints only the regions a scene answers; the handlers live in the scene's own environment.
	if scene.getActionMapColorAt(x, y) ~= "000000" then
		return true
	end
	for name in pairs(ui.clickables[scene.getFullName()] or {}) do
		if under(name, x, y) then
			return true
		end
	end
	return false
end

-- A drawn pointer, just below and right of the hot spot: a dark square with a white one inside, and a
-- larger golden one with a dark heart over things that can be clicked.
function ui.getCursorMode()
	if ui.isOverClickable() then
		return "hand"
	end
	return "pointer"
end

function ui.createCursor(mode, cursor)
	if mode == "hand" then
		object.create("ImageBox", "", cursor, {x = 4, y = 4, w = 20, h = 20, image = "0xFFD040"})
		object.create("ImageBox", "", cursor, {x = 10, y = 10, w = 8, h = 8, image = "0x202020"})
		return
	end
	object.create("ImageBox", "", cursor, {x = 6, y = 6, w = 14, h = 14, image = "0x202020"})
	object.create("ImageBox", "", cursor, {x = 8, y = 8, w = 10, h = 10, image = "0xFFFFFF"})
end

-- Escape asks whether to quit.
function ui.OnKeyDown(key)
	if key == 27 and ui.getNumQueuedMessageBoxTypes("quit") == 0 then
		ui.messageBox{type = "quit", text = "{%s} {Quit the demo?}", yes_button = "vumo.endProgram()", no_button = ""}
	end
end
