-- The demo's game UI: keeps a clock, writes each scene change to the log and keeps the player's
-- profile, which counts the demo's runs and remembers the adventure's progress. Everything the player
-- does answers on screen: a line of text for a few seconds (ui.say), the name of what is under the pointer
-- (ui.markClickable, a region table's "label"), a notice for an achievement.

vars.create("demo_runs", 0)
-- Set by the golden key on the sign once the player takes it.
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
-- Set by the oar under the hills' crate: the raft is not put on the water without it.
vars.create("demo_oar_found", 0)
-- Set once the beacon on the hills burns: without its light the raft finds no way to the inn.
vars.create("demo_beacon_lit", 0)
-- Where the player last slid the hills' crate ("x,y"), so that it stands there in a later run too; "" until
-- it has been moved.
vars.create("demo_crate_place", "")
-- Set by the ending, so that the menu says the demo was finished; the next adventure clears it.
vars.create("demo_finished", 0)

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
	ui.fadeLines(dt)
	ui.showHoverName()
end

-- A goal met shows the next one and is kept.
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
	end
end

function ui.OnSceneChanged(scene, previous)
	vumo.log("scene " .. scene .. " after '" .. previous .. "'")
	-- A talk belongs to the scene it was held in: its line and replies do not follow the player out, nor
	-- does a line told there.
	if dialog.isActive() then
		dialog.stop()
	end
	ui.closeToldLine()
	ui.showAdventurePanels(scene)
	ui.placeLines(scene)
	ui.keepPlace(scene)
	-- An answer belongs to the scene it was given in.
	ui.sayLeft = 0
	object.setProperty("ui.say_panel", "visible", false)
	if ui.sayAfterSwitch ~= nil then
		ui.say(ui.sayAfterSwitch)
		ui.sayAfterSwitch = nil
	end
	if ui.tellAfterSwitch ~= nil then
		ui.tell(ui.tellAfterSwitch)
		ui.tellAfterSwitch = nil
	end
end

-- The variables are taken into the profile before it is saved: a save alone keeps only what it took last.
function ui.keepProgress()
	profile.sync()
	profile.save()
end

function ui.isAdventure(scene)
	return scene:find("^meadow%.") ~= nil or scene:find("^lake%.") ~= nil
end

-- The adventure's scenes are remembered in the profile as they are reached.
function ui.keepPlace(scene)
	if ui.isAdventure(scene) and vars.demo_place ~= scene then
		vars.demo_place = scene
		ui.keepProgress()
	end
end

-- What the player has to do next, from what has been done.
function ui.goalText()
	if tostring(vars.demo_key_found) ~= "1" then
		return "Goal: take the golden key from the sign (follow the path's arrow); the inn across the lake needs it."
	end
	if not ui.hasPlank() then
		return "Goal: the lake is deep; pick up the plank lying by the stranger on the hills."
	end
	if ui.raftIsAfloat() and tostring(vars.demo_beacon_lit) ~= "1" then
		return "Goal: the lake is dark; light the beacon's wood on the far hill for the way to the inn."
	end
	if ui.raftIsAfloat() and tostring(vars.demo_password_found) ~= "1" then
		return "Goal: the inn opens to a password carved tiny at the sign's top left; zoom in on it with the wheel."
	end
	if ui.raftIsAfloat() then
		return "Goal: take the arrow across the lake to the inn and win the duel there."
	end
	if inventory.hasItem("raft") and not ui.skyIsWatched() then
		return "Goal: the water is rough; click the lake's sky and watch the ball cross it to calm it."
	end
	if inventory.hasItem("raft") and tostring(vars.demo_oar_found) ~= "1" then
		return "Goal: the raft needs an oar; drag the crate on the hills aside and look under it."
	end
	if inventory.hasItem("raft") then
		return "Goal: click the raft in your pack, then click the lake's water to put it afloat."
	end
	if inventory.hasItem("rope") then
		return "Goal: click the rope in your pack, then click the plank there: tied together they make a raft."
	end
	return "Goal: a plank alone sinks; click the stranger on the hills and ask for a rope."
end

-- The plank counts while it is one, tied into the raft, or afloat.
function ui.hasPlank()
	return inventory.hasItem("plank") or inventory.hasItem("raft") or ui.raftIsAfloat()
end

function ui.raftIsAfloat()
	return tostring(vars.demo_raft_afloat) == "1"
end

-- The password shows once the zoom draws it twice its size or more, its letters then big enough to read;
-- the window's own scale, which the UI's root shares, does not count.
function ui.showPasswordWhenZoomed()
	if not ui.ready or scene.getFullName() ~= "meadow.sign" or not object.exists("password") then
		return
	end
	local password = object.getObject("password")
	local _, _, w = object.getBoundingRect(password)
	local _, _, rootW = object.getBoundingRect("ui.root")
	local windowScale = rootW / object.getProperty("ui.root", "w")
	object.setProperty(password, "visible", w >= 2 * object.getProperty(password, "w") * windowScale)
end

-- What the player finds: the variable kept in the profile, the item it puts in the pack, and what the screen
-- says. A find clicked again says it again: the carving is there to be read again.
ui.finds = {
	key = {var = "demo_key_found", item = "key",
		text = "You found the golden key: it is in your pack now. The inn across the lake will open to it."},
	oar = {var = "demo_oar_found", item = "oar",
		text = "You found an oar under the crate: it is in your pack now, to steer the raft."},
	password = {var = "demo_password_found",
		text = "The inn's password is carved here: ROSE. You will remember it."},
}

function ui.find(name)
	local find = ui.finds[name]
	if tostring(vars[find.var]) ~= "1" then
		vumo.log("found the " .. name)
		vars[find.var] = 1
		if find.item ~= nil then
			inventory.addItem(find.item)
		end
		ui.keepProgress()
	end
	ui.say(find.text)
end

function ui.beaconLit()
	if tostring(vars.demo_beacon_lit) == "1" then
		ui.say("The beacon already burns.")
		return
	end
	vumo.log("the beacon burns")
	vars.demo_beacon_lit = 1
	ui.keepProgress()
	ui.say("The beacon burns: its light will show the raft the way across the lake.")
end

function ui.skyIsWatched()
	return tostring(vars.demo_sky_watched) == "1"
end

function ui.skyWatched()
	vumo.log("the sky has been watched")
	if not ui.skyIsWatched() then
		vars.demo_sky_watched = 1
		ui.keepProgress()
		ui.say("The ball has crossed the sky, and the water below grows calm.")
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
	if dialog.isActive() then
		return
	end
	if not ui.raftIsAfloat() then
		vumo.log("the plank alone sinks")
		ui.say("A plank alone sinks: you need a raft on the water to cross.")
		return
	end
	if tostring(vars.demo_beacon_lit) ~= "1" then
		vumo.log("the lake is too dark without the beacon")
		ui.say("The lake is too dark to cross: light the beacon on the hills first.")
		return
	end
	if tostring(vars.demo_password_found) ~= "1" then
		vumo.log("the inn stays shut without its password")
		ui.say("The inn stays shut: it opens only to its password, carved on the sign.")
		return
	end
	-- The keeper asks for the password at the door.
	dialog.start("keeper")
end

-- The keeper let the player in: the golden key opens the door, and the templar inside challenges the player.
-- The duel's board waits, its time standing, until the challenge has been read.
function ui.enterInn()
	inventory.removeItem("key")
	vars.demo_place = "tavern.duel"
	ui.keepProgress()
	ui.tellAfterSwitch = "The templar of the inn challenges you to a duel: beat him before your time runs out."
	scene.switch("tavern.duel")
end

-- The adventure's goal, pack and inventory show only in its chapters: elsewhere (the landing page, the
-- menu, the store, the duel) they would cover the screen's own buttons.
function ui.showAdventurePanels(scene)
	local adventure = ui.isAdventure(scene)
	for _, name in ipairs({"ui.inventory", "ui.pack", "ui.item_name", "ui.goal_panel"}) do
		object.setProperty(name, "visible", adventure)
	end
	object.setProperty("ui.goal", "text", ui.goalText())
	-- The menu is the way out of every other scene; the store has its own Later button.
	object.setProperty("ui.menu_button", "visible", scene:find("^menu%.") == nil)
end

-- The answer and the notice keep clear of what each screen shows: below the adventure's goal, below the
-- menu's buttons, below the landing page's games, between the store's turning slides and its gallery, above
-- the menu's title, on the lake over the water, below its sun and its inn.
ui.sayHeights = {["menu.MainMenu"] = 384, ["menu.OrvaloStart"] = 482, ["menu.StoreMenu"] = 148,
	["lake.shore"] = 296}
-- Where the line said and the replies stand (never both at once), clear of the answer: on the lake over the
-- water below it, above the pack.
ui.linePlaces = {["lake.shore"] = {line = 364, replies = 362, step = 46}}

function ui.placeLines(scene)
	object.setProperty("ui.say_panel", "y", ui.sayHeights[scene] or 180)
	object.setProperty("ui.notice_panel", "y", ui.isAdventure(scene) and 80 or 8)
	local place = ui.linePlaces[scene] or {line = 248, replies = 312, step = 52}
	object.setProperty("ui.dialog_panel", "y", place.line)
	object.setProperty("ui.reply1", "y", place.replies)
	object.setProperty("ui.reply2", "y", place.replies + place.step)
end

function ui.backToMenu()
	sound.play("ui.click")
	if dialog.isActive() then
		dialog.stop()
	end
	scene.switch("menu.MainMenu")
end

-- A line of text that answers what the player did, shown for a few seconds, longer for a longer text, so
-- that it can be read at an easy pace; it is also written to the log.
function ui.say(text, seconds)
	vumo.log("say: " .. text)
	object.setProperty("ui.say", "text", text)
	object.setProperty("ui.say_panel", "visible", true)
	object.setProperty("ui.say_panel", "alpha", 255)
	ui.sayLeft = math.max(seconds or 4, 1 + #text / 18)
end

-- A line told in the talk's panel that waits for a click, as the talk's lines do, with the game paused
-- meanwhile: what it covers (the duel's board) cannot be played, and the duel's time stands.
function ui.tell(text)
	ui.closeToldLine()
	vumo.log("told: " .. text)
	ui.showReplies({})
	ui.showLine(text)
	ui.told = {pausedHere = not vumo.isPaused()}
	if ui.told.pausedHere then
		vumo.pause()
	end
end

function ui.closeToldLine()
	if ui.told == nil then
		return
	end
	local told = ui.told
	ui.told = nil
	ui.showLine(nil)
	if told.pausedHere and vumo.isPaused() then
		vumo.unpause()
	end
end

-- A short notice at the top right. Notices that come together are shown one after the other, each for its
-- few seconds.
ui.notices = {}

function ui.notice(text)
	vumo.log("notice: " .. text)
	ui.notices[#ui.notices + 1] = text
	if ui.noticeLeft == nil then
		ui.nextNotice()
	end
end

-- Whether a notice shows or waits to: a screen that leaves by itself stays until they have all been seen.
function ui.noticesPending()
	return ui.noticeLeft ~= nil or #ui.notices > 0
end

function ui.nextNotice()
	local text = table.remove(ui.notices, 1)
	if text == nil then
		return
	end
	object.setProperty("ui.notice", "text", text)
	object.setProperty("ui.notice_panel", "visible", true)
	object.setProperty("ui.notice_panel", "alpha", 255)
	ui.noticeLeft = 4
end

-- The answer and the notice fade out over their last half second; the next notice waiting follows. Their
-- time stands while the game is paused (under the quit box, as a talk's line waits there), and a notice's
-- while the screen fades from one scene to the next: an achievement won as a scene ends (the duel's) is read
-- whole on the next one.
function ui.fadeLines(dt)
	for _, line in ipairs({{"sayLeft", "ui.say_panel"}, {"noticeLeft", "ui.notice_panel"}}) do
		local left = ui[line[1]]
		local held = vumo.isPaused() or (line[1] == "noticeLeft" and scene.isTransitionActive())
		if left ~= nil and not held then
			left = left - dt
			if left <= 0 then
				object.setProperty(line[2], "visible", false)
				left = nil
			else
				object.setProperty(line[2], "alpha", math.floor(255 * math.min(1, left * 2)))
			end
			ui[line[1]] = left
		end
	end
	if ui.noticeLeft == nil then
		ui.nextNotice()
	end
end

-- The achievements' names as the player reads them.
ui.achievementTitles = {duel_won = "Duellist: you beat the templar", demo_won = "The demo is finished"}

function ui.OnAchievementUnlocked(name)
	ui.notice("Achievement unlocked: " .. (ui.achievementTitles[name] or name))
end

-- The quit box: the demo's own, with buttons that light up under the pointer. A box that names its default
-- answer ("default", the button's name without "_button") rings that button and says which keys answer it.
function ui.createMessageBox(box, params)
	local w, h = 460, 200
	local x = (object.getProperty("ui.root", "w") - w) / 2
	local y = (object.getProperty("ui.root", "h") - h) / 2
	local frame = object.create("ImageBox", "", box, {x = x, y = y, w = w, h = h, image = "0xE0C070"})
	local inside = object.create("ImageBox", "", frame, {x = 4, y = 4, w = w - 8, h = h - 8, image = "0x1A2030"})
	object.create("Label", "", inside, {x = 24, y = 12, w = w - 56, h = params.keys and 64 or 92,
		font = "demo:0.85", text_key = params.text or "", horz_formatting = "center_wrapped", text_color = "FFFFFF"})
	if params.keys then
		object.create("Label", "", inside, {x = 24, y = 78, w = w - 56, h = 30, font = "demo:0.55",
			text = params.keys, horz_formatting = "center", text_color = "C8D0E0"})
	end
	local buttons = {}
	for key, code in pairs(params) do
		local label = type(key) == "string" and key:match("^(.*)_button$")
		if label then
			buttons[#buttons + 1] = {label = label, code = code}
		end
	end
	-- "no" before "yes": the safe answer comes first.
	table.sort(buttons, function(a, b) return a.label < b.label end)
	local slot = (w - 8) / math.max(1, #buttons)
	for i, b in ipairs(buttons) do
		if b.label == params.default then
			-- The ring in the frame's gold around the default answer.
			object.create("ImageBox", "", inside, {x = (i - 1) * slot + 14, y = 114, w = slot - 28, h = 64,
				image = "0xE0C070", click_through = true})
		end
		local button = object.create("TextImageButton", "", inside, {x = (i - 1) * slot + 20, y = 120,
			w = slot - 40, h = 52, image = "0x3A4A66", hover_image = "0x6C86B8", pushed_image = "0x24304A",
			font = "demo", text = b.label:sub(1, 1):upper() .. b.label:sub(2), text_color = "FFFFFF",
			hover_text_color = "FFF4A0", pushed_text_color = "C0C0C0", horz_formatting = "center"})
		object.assignEvent(button, "Click", b.code)
	end
end

-- Escape asks whether to quit; while it asks, Escape says no and Return says yes, as the box shows.
function ui.OnKeyDown(key)
	if ui.getActiveMessageBoxType() == "quit" then
		if key == 27 then
			ui.cancelActiveMessageBox()
		elseif key == 13 then
			vumo.endProgram()
		end
		return
	end
	if key == 27 and ui.getNumQueuedMessageBoxTypes("quit") == 0 then
		ui.messageBox{type = "quit", text = "{%s} {Quit the demo?}", yes_button = "vumo.endProgram()", no_button = "",
			default = "yes", keys = "Return: Yes    Escape: No"}
	end
end
