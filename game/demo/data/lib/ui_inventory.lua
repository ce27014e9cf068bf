-- The demo's inventory and dialogs: the pack at the bottom holds what the player picks up; a click on an
-- item there takes it in hand (the pointer carries it), and a click on another item with it combines the
-- two; an item dragged out is carried too, and one dragged onto another item there combines with it. The
-- stranger's and the keeper's lines show above the replies, two coloured buttons; each line waits for a
-- click, which goes on to the next and does nothing else.

local init = ui.init
function ui.init()
	init()
	object.assignEvent("ui.reply1", "Click", "dialog.chooseReply(0)")
	object.assignEvent("ui.reply2", "Click", "dialog.chooseReply(1)")
	object.assignEvent("ui.menu_button", "Click", "ui.backToMenu()")
end

-- The plank lying on the hills goes into the pack.
function ui.pickUpPlank()
	if ui.hasPlank() then
		return false
	end
	inventory.addItem("plank")
	return true
end

-- A click on the stranger: the talk, which offers the rope while the player still needs one. What is in hand
-- goes back to the pack, so that the talk is the click's one answer.
function ui.talkToStranger()
	if ui.getSelectedItem() ~= "" then
		ui.selectItem("")
	end
	if not dialog.isActive() then
		dialog.start("stranger")
	end
end

-- The stranger's answer ends with the rope, once.
function ui.takeRope()
	if ui.needsRope() then
		inventory.addItem("rope")
	end
end

-- The rope tied to the plank makes the raft, in either order of combining.
function inv_combine_plank_and_rope()
	inventory.removeItem("plank")
	inventory.removeItem("rope")
	inventory.addItem("raft")
	ui.say("You tie the rope around the plank: a raft!")
end

-- The water at the shore takes the raft held in hand; true when it was put there. Whatever was in hand goes
-- back to the pack: the answer says why.
function ui.launchRaft()
	local held = ui.getSelectedItem()
	ui.selectItem("")
	if held == "" and ui.raftIsAfloat() then
		ui.say("Your raft floats there, ready: take the arrow by the inn across the lake.")
		return false
	end
	if held == "" then
		vumo.log("the water is deep and cold")
		ui.say("The water is deep and cold: you need a raft to cross it.")
		return false
	end
	if held ~= "raft" then
		vumo.log("the " .. held .. " does not float")
		ui.say("The " .. held .. " alone will not carry you: tie a raft.")
		return false
	end
	if not ui.skyIsWatched() then
		vumo.log("the water is rough until the sky has been watched")
		ui.say("The water is too rough: watch the ball cross the sky until it calms.")
		return false
	end
	if tostring(vars.demo_oar_found) ~= "1" then
		vumo.log("the raft drifts without an oar")
		ui.say("The raft would drift without an oar: look for one on the hills.")
		return false
	end
	inventory.removeItem("raft")
	-- The oar goes aboard with it.
	if inventory.hasItem("oar") then
		inventory.removeItem("oar")
	end
	vars.demo_raft_afloat = 1
	ui.keepProgress()
	vumo.log("the raft is afloat")
	ui.say("The raft floats on the water with its oar aboard, ready to carry you across.")
	return true
end

function ui.OnItemAdded(item)
	vumo.log("picked up " .. item)
	ui.say("Into your pack: the " .. item .. ". Click it there to take it in hand, or drag it out onto the " ..
		"place to use it.", 6)
end

function ui.OnUseItemFail(item)
	vumo.log("nothing happens with the " .. item)
	if not scene.isTransitionActive() then
		ui.say("Nothing happens with the " .. item .. " there.")
	end
end

-- A click on an item in the pack takes it in hand; the pointer carries it until it is used or let go. A
-- click on the cell of the item in hand puts it back: the pane lets it go and uses it, and the item that was
-- held when the frame began tells the two clicks apart (ui.update keeps it).
local function takeInHand(item)
	if ui.heldBefore == item then
		ui.say("You put the " .. item .. " back in your pack.")
		return
	end
	ui.selectItem(item)
	ui.say("You hold the " .. item .. ": click where to use it, or another item to combine them.")
end

local update = ui.update
function ui.update(dt)
	update(dt)
	ui.heldBefore = ui.getSelectedItem()
end

function inv_use_item_plank()
	takeInHand("plank")
end

function inv_use_item_rope()
	takeInHand("rope")
end

function inv_use_item_raft()
	takeInHand("raft")
end

function inv_use_item_oar()
	takeInHand("oar")
end

function inv_use_item_key()
	takeInHand("key")
end

function ui.showReplies(replies)
	for i = 1, 2 do
		object.setProperty("ui.reply" .. i, "text", replies[i] or "")
		object.setProperty("ui.reply" .. i, "visible", replies[i] ~= nil)
	end
end

-- The line being said, or nothing.
function ui.showLine(line)
	object.setProperty("ui.dialog_line", "text", line or "")
	object.setProperty("ui.dialog_panel", "visible", line ~= nil)
	ui.lineShown = line ~= nil
end

-- A click while a line shows goes on to the next one and does nothing else: what lies under the line's band
-- does not hear of it. One that answers a message box shown over the line leaves the line waiting under it.
function ui.OnPointerPressed()
	if ui.isMessageBoxActive() then
		return false
	end
	if ui.told ~= nil then
		ui.closeToldLine()
		return true
	end
	if ui.lineShown and dialog.isActive() then
		ui.lineShown = false
		dialog.skip()
		return true
	end
	return false
end

function ui.startDialog()
	vumo.log("dialog begins")
end

function ui.endDialog()
	ui.showReplies({})
	ui.showLine(nil)
	vumo.log("dialog ends")
end

function ui.displayDialogReplies(replies)
	vumo.log("replies: " .. table.concat(replies, " / "))
	ui.showLine(nil)
	ui.showReplies(replies)
end

function ui.displayDialog(speaker, text)
	ui.showReplies({})
	ui.showLine(speaker .. ": " .. text)
	vumo.log(speaker .. ": " .. text)
	-- The line waits for the click its panel asks for, however long the player reads.
	return 0
end
