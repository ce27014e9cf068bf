-- The store's Unlock button: the demo sells nothing, so it only says so.
function menu.onBuy()
	vumo.log("The demo has nothing to unlock.")
end
