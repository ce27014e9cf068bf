-- The demo's inventory and dialogs: the plank button picks the plank up into the pane at the bottom and,
-- on the meadow, starts the stranger's dialog, whose lines show above its replies, the two coloured buttons.

local init = ui.init
function ui.init()
	init()
	object.assignEvent("ui.plank_pickup", "Click", "ui.pickUpPlank()")
	object.assignEvent("ui.reply1", "Click", "dialog.chooseReply(0)")
	object.assignEvent("ui.reply2", "Click", "dialog.chooseReply(1)")
	object.assignEvent("ui.menu_button", "Click", "ui.backToMenu()")
	object.assignEvent("ui.inn_button", "Click", "ui.goToInn()")
	object.assignEvent("ui.talk_button", "Click", "ui.talkToStranger()")
end

function ui.pickUpPlank()
	if not ui.hasPlank() then
		inventory.addItem("plank")
		object.setProperty("ui.plank_pickup", "visible", false)
	end
	if scene.getChapterName() == "meadow" and not dialog.isActive() then
		dialog.start("stranger")
	end
end

function ui.talkToStranger()
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

-- The rope tied to the plank makes the raft, in either order of dropping.
function inv_combine_plank_and_rope()
	inventory.removeItem("plank")
	inventory.removeItem("rope")
	inventory.addItem("raft")
end

-- The water at the shore takes the raft held in hand; true when it was put there.
function ui.launchRaft()
	if ui.getSelectedItem() ~= "raft" then
		vumo.log("the water is deep and cold")
		return false
	end
	if not ui.skyIsWatched() then
		vumo.log("the water is rough until the sky has been watched")
		return false
	end
	if tostring(vars.demo_oar_found) ~= "1" then
		vumo.log("the raft drifts without an oar")
		return false
	end
	inventory.removeItem("raft")
	vars.demo_raft_afloat = 1
	ui.keepProgress()
	vumo.log("the raft is afloat")
	return true
end

function ui.OnItemAdded(item)
	vumo.log("picked up " .. item)
end

function ui.OnUseItemFail(item)
	vumo.log("nothing happens with the " .. item)
end

function inv_use_item_plank()
	vumo.log("the plank is too heavy to carry far")
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
	object.setProperty("ui.dialog_line", "visible", line ~= nil)
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
	return 2
end
