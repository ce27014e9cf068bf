-- The duel counts the boards dealt at the inn.
vars.create("inn_templar_count", 0)
