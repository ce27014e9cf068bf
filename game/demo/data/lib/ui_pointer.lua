-- The demo's pointer: what lies under it and whether it answers a click, the name shown beside it kept off
-- the lines and off what is to be watched, and the pointer drawn by the game, an arrow or a hand with the
-- item in hand beside it.

-- Things a scene makes clickable beside its buttons and its action map's regions, with the name the pointer
-- shows over them: a scene marks them, by object name, with ui.markClickable. The marks are kept per scene,
-- as its script runs before the UI hears of the change; a scene that starts again marks them anew. A region
-- of an action map is named by the field "label" of its table in the scene. A thing marked to be watched
-- (a picture that moves, words to read) is not hidden by what the pointer shows: its name stands clear of
-- it, and the pointer over it is drawn faint.
ui.clickables = {}
ui.watched = {}

function ui.markClickable(name, label, watch)
	local full = scene.getFullName()
	local marks = ui.clickables[full] or {}
	marks[name] = label or ""
	ui.clickables[full] = marks
	local watched = ui.watched[full] or {}
	watched[name] = watch or nil
	ui.watched[full] = watched
end

-- The kinds of object that answer a click by themselves.
ui.buttonTypes = {ImageButton = true, TextImageButton = true, ToggleButton = true, Match3Element = true,
	DraggableContainer = true, HiddenObject = true}

-- The topmost object at the window point that draws or answers, below the parent: a plain container with
-- nothing in it there (one that only spans a screen) is looked through.
function ui.objectAt(parent, x, y)
	local children = object.children(parent)
	for i = #children, 1, -1 do
		local child = children[i]
		if object.getProperty(child, "visible") and not object.getProperty(child, "click_through") and
			object.getProperty(child, "alpha") > 0 then
			local left, top, w, h = object.getBoundingRect(child)
			if w > 0 and h > 0 and x >= left and x < left + w and y >= top and y < top + h then
				local found = object.getChildUnderPoint(child, (x - left) / w, (y - top) / h)
				if found ~= nil and not (object.getProperty(found, "type") == "Container" and
					#object.children(found) == 0) then
					return found
				end
			end
		end
	end
	return nil
end

-- The pointer in the window's pixels, where objects' bounding rectangles are.
function ui.pointerInWindow()
	local x, y = ui.getCursorPos()
	local left, top, w, h = object.getBoundingRect("ui.root")
	return left + x * w / object.getProperty("ui.root", "w"), top + y * h / object.getProperty("ui.root", "h")
end

-- The promoted games by the folder of their pictures, as their thumbnails and logos name them.
ui.gameTitles = {demo_game = "Vumo Demo", forest_tale = "Forest Tale", river_quest = "River Quest"}

-- The title of the landing page's other game whose thumbnail the object is; nil for another object.
function ui.promotedGame(o, name)
	if name == nil or not name:find("^orvalo_mgs_button_%d+$") then
		return nil
	end
	local id = tostring(object.getProperty(o, "image")):match("^orvalo_(.-)%.") or "?"
	return ui.gameTitles[id] or (id:gsub("_", " "))
end

-- What lies under the pointer: whether a click there does something, the name to show (nil for none), the
-- promoted game's title when it is one, and the object to keep clear when it is one to be watched. The
-- topmost object there decides: a message box, a screen or a panel of the UI covers the scene.
function ui.pointedThing()
	if scene.getName() == "" or scene.isTransitionActive() then
		return false
	end
	local x, y = ui.pointerInWindow()
	local o = ui.objectAt("ui.root", x, y)
	local chapter = scene.getChapterName()
	local marks = ui.clickables[scene.getFullName()] or {}
	local watched = ui.watched[scene.getFullName()] or {}
	local inScene = false
	while o ~= nil do
		local dataset, name = o.__name:match("^([^%.]*)%.(.*)$")
		-- The landing page's other games, and its banner, which plays the demo as Play does.
		local game = ui.promotedGame(o, name)
		if game ~= nil then
			return true, game .. ": opens its page in the store", game
		end
		if name == "orvalo_mgs_button_splash" then
			return true, "Play the demo"
		end
		if dataset == chapter then
			inScene = true
			if marks[name] ~= nil then
				return true, marks[name] ~= "" and marks[name] or nil, nil, watched[name] and o or nil
			end
		end
		local kind = object.getProperty(o, "type")
		if ui.buttonTypes[kind] then
			return true, nil
		end
		-- The pane names its items itself, in its rollover label.
		if kind == "InventoryPane" then
			return ui.isOverPaneItem(o, x, y), nil
		end
		o = object.getProperty(o, "parent")
	end
	if inScene then
		-- The map paints only the regions a scene answers; the handlers live in the scene's own environment.
		local colour = scene.getActionMapColorAt(vumo.getCursorPos())
		if colour ~= "000000" then
			local env = _G[chapter] and _G[chapter][scene.getName()]
			local region = env and env["_" .. colour]
			return true, type(region) == "table" and region.label or nil
		end
	end
	return false
end

-- Whether the window point lies on a cell of the pane, a carried item.
function ui.isOverPaneItem(pane, x, y)
	for item in tostring(vars.items):gmatch("[^,]+") do
		local cell = object.getProperty(pane, "itemObject:" .. item)
		if cell ~= nil and cell ~= "" then
			local left, top, w, h = object.getBoundingRect("ui." .. cell)
			if x >= left and x < left + w and y >= top and y < top + h then
				return true
			end
		end
	end
	return false
end

-- A click on another game of the landing page opens its page in the store, outside the demo: the demo says
-- so, as nothing else shows.
function ui.OnPointerReleased()
	local _, _, game = ui.pointedThing()
	if game ~= nil then
		ui.say("The page of " .. game .. " in the store opens in your web browser.")
	end
end

function ui.isOverClickable()
	return (ui.pointedThing())
end

-- The panels a name beside the pointer keeps clear of while they show: the answer, the notice, the line
-- being said, the goal.
ui.linePanels = {"ui.say_panel", "ui.notice_panel", "ui.dialog_panel", "ui.goal_panel"}

local function overlaps(ax, ay, aw, ah, bx, by, bw, bh)
	return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah
end

-- Whether the rectangle, in the UI's units, lies on a panel that shows, or on the rectangle kept clear.
function ui.coversPanel(x, y, w, h, clear)
	if clear ~= nil and overlaps(x, y, w, h, clear[1], clear[2], clear[3], clear[4]) then
		return true
	end
	for _, panel in ipairs(ui.linePanels) do
		if object.getProperty(panel, "visible") and object.getProperty(panel, "alpha") > 0 and
			overlaps(x, y, w, h, object.getProperty(panel, "x"), object.getProperty(panel, "y"),
				object.getProperty(panel, "w"), object.getProperty(panel, "h")) then
			return true
		end
	end
	return false
end

-- The object's bounding rectangle in the UI's units, as the panels' are.
function ui.rectInUi(o)
	local left, top, w, h = object.getBoundingRect(o)
	local rootLeft, rootTop, rootW, rootH = object.getBoundingRect("ui.root")
	local sx, sy = object.getProperty("ui.root", "w") / rootW, object.getProperty("ui.root", "h") / rootH
	return {(left - rootLeft) * sx, (top - rootTop) * sy, w * sx, h * sy}
end

-- The name of the thing under the pointer, beside the pointer, kept inside the window and off the lines
-- shown: below the pointer, else above it, on the side with room, clear of the item the pointer carries;
-- below or above a thing to be watched, clear of it.
function ui.showHoverName()
	if not ui.ready then
		return
	end
	local _, label, _, watched = ui.pointedThing()
	if label == nil or dialog.isActive() or ui.told ~= nil then
		object.setProperty("ui.hover_name", "visible", false)
		return
	end
	local x, y = ui.getCursorPos()
	local w, h = font.getTextWidth("demo:0.6", label) + 28, 30
	local rootW, rootH = object.getProperty("ui.root", "w"), object.getProperty("ui.root", "h")
	-- Beside the item the pointer carries, which is drawn over everything: right of it, or left of it when
	-- it hangs left of the pointer.
	local held = ui.getSelectedItem() ~= ""
	local left = x + ((held and not ui.heldItemLeft(x)) and 66 or 18)
	if left + w > rootW - 4 then
		left = x - w - ((held and ui.heldItemLeft(x)) and 66 or 8)
	end
	left = math.max(left, 4)
	local tops = {y + 30, y - 40}
	if y + 30 > rootH - 40 then
		tops = {y - 40, y + 30}
	end
	local clear = watched ~= nil and ui.rectInUi(watched) or nil
	if clear ~= nil then
		table.insert(tops, 1, clear[2] - h - 6)
		table.insert(tops, 1, clear[2] + clear[4] + 6)
	end
	local top = tops[1]
	for _, candidate in ipairs(tops) do
		if candidate >= 0 and candidate + h <= rootH and not ui.coversPanel(left, candidate, w, h, clear) then
			top = candidate
			break
		end
	end
	object.setProperty("ui.hover_name", "text", label)
	object.setProperty("ui.hover_name", "w", w)
	object.setProperty("ui.hover_name", "x", left)
	object.setProperty("ui.hover_name", "y", top)
	object.setProperty("ui.hover_name", "visible", true)
end

-- The item in hand hangs below and right of the pointer's tip; near the window's bottom it hangs above it,
-- near the right edge left of it, so that the window never cuts it.
function ui.heldItemAbove(y)
	return y > object.getProperty("ui.root", "h") - 64
end

function ui.heldItemLeft(x)
	return x > object.getProperty("ui.root", "w") - 60
end

-- The drawn pointer: an arrow, or a hand over what answers a click, drawn faint over a thing to be watched,
-- with the item in hand beside it. The mode names them all (the shape, the item and its side), so that the
-- pointer is made again when one changes.
function ui.getCursorMode()
	local clickable, _, _, watched = ui.pointedThing()
	local mode = (clickable and "hand" or "arrow") .. (watched ~= nil and "-faint" or "")
	local held = ui.getSelectedItem()
	if held ~= "" then
		local x, y = ui.getCursorPos()
		mode = mode .. ":" .. held .. ":" .. (ui.heldItemAbove(y) and "above" or "below") ..
			(ui.heldItemLeft(x) and "-left" or "")
	end
	return mode
end

-- How much of the pointer shows over a thing to be watched: enough to be found, little enough to see through.
ui.faintAlpha = 80

function ui.createCursor(mode, cursor)
	local shape, held, side = mode:match("^([^:]*):?([^:]*):?(.*)$")
	local alpha = shape:find("%-faint$") and ui.faintAlpha or 255
	if held ~= "" then
		local x = side:find("left") and -58 or 10
		local y = side:find("above") and -54 or 14
		object.create("ImageBox", "", cursor, {x = x, y = y, w = 48, h = 48, image = "items/" .. held,
			alpha = alpha})
	end
	if shape:find("^hand") then
		-- The hand's fingertip is the picture's point (10, 0).
		object.create("ImageBox", "", cursor, {x = -10, y = 0, w = 32, h = 32, image = "pointer/hand",
			alpha = alpha})
	else
		object.create("ImageBox", "", cursor, {x = 0, y = 0, w = 32, h = 32, image = "pointer/arrow",
			alpha = alpha})
	end
end
