-- The game's own UI: a line of text at the top, the bag of items at the bottom and the dialog's replies.

-- Kept in the player's profile: once the door is open it stays open, in this run and the next.
vars.create("door_open", 0)
-- Set when the keeper has said the last line.
vars.create("finished", 0)

function ui.setup()
	-- The face is copied into data/ui/fonts when the build is configured. Without it the error overlay
	-- names the missing file at start: every text of the game would be empty.
	if not font.exists("game") then
		font.create("game", "game.ttf", 28, 1.0)
	end
end

-- Plays as the first profile there is, or makes one: variables are saved into the profile. When no
-- profile can be made (the player's folder is missing or read-only), the game plays on without saving,
-- and a message box says why.
function ui.pickProfile()
	local first = nil
	for folder in pairs(profile.list()) do
		if first == nil or folder < first then
			first = folder
		end
	end
	if first ~= nil and pcall(profile.change, first) then
		return
	end
	local made, reason = pcall(function() profile.change(profile.create("Player")) end)
	if not made then
		vumo.log("no profile: " .. tostring(reason))
		-- The engine's part of the message, without where it came from; braces would end the text early.
		local why = tostring(reason):gsub("^.*[%]>] ", ""):gsub("[{}]", "")
		ui.messageBox{type = "no_profile", text = "{%s} {Your progress cannot be saved. " .. why .. "}"}
	end
end

function ui.init()
	ui.pickProfile()
	object.assignEvent("ui.reply1", "Click", "dialog.chooseReply(0)")
	object.assignEvent("ui.reply2", "Click", "dialog.chooseReply(1)")
end

-- Shows a line at the top of the screen and writes it to the log.
function ui.say(text)
	object.setProperty("ui.say", "text", text)
	vumo.log("says: " .. text)
end

-- Cleared before the new scene's script runs, so that a line the scene says on entry stays.
function ui.OnSceneActivating(scene)
	ui.say("")
end

function ui.OnItemAdded(item)
	ui.say("You take the " .. item .. ".")
end

-- An item dropped where nothing takes it.
function ui.OnUseItemFail(item)
	ui.say("Nothing happens.")
end

-- A click on the key in the bag takes it in hand; the next click uses it on what is under the pointer.
function inv_use_item_key()
	ui.selectItem("key")
	ui.say("You hold the key. Click where to use it.")
end

-- The dialog's hooks: each line shows for two seconds, the replies on the two buttons.
function ui.displayDialog(speaker, text)
	ui.showReplies({})
	ui.say(speaker .. ": " .. text)
	return 2
end

function ui.displayDialogReplies(replies)
	ui.showReplies(replies)
end

function ui.endDialog()
	ui.showReplies({})
end

function ui.showReplies(replies)
	for i = 1, 2 do
		object.setProperty("ui.reply" .. i, "text", replies[i] or "")
		object.setProperty("ui.reply" .. i, "visible", replies[i] ~= nil)
	end
end

function ui.theEnd()
	vars.finished = 1
	profile.save()
	ui.say("The End. Thank you for playing!")
end
