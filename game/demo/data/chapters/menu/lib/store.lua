-- The store's Unlock and Restore buttons: the demo sells nothing, so they only say so.
function menu.onBuy()
	vumo.log("The demo has nothing to unlock.")
	ui.say("The demo has nothing to unlock: it is all yours already.")
end

function menu.onRestore()
	vumo.log("The demo has nothing to restore.")
	ui.say("Nothing to restore: the demo sells nothing.")
end
