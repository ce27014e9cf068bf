#pragma once

#include <string>

#include "EngineHarness.h"

namespace harness
{
    // A UI whose items texture holds the item "key" and whose scripts keep a journal: enough for an
    // inventory pane to show a cell. The picture is eight by eight red pixels.
    inline void putItemPaneGame(const GameFolder& folder, const std::string& uiObjects = "")
    {
        folder.config();
        folder.put("data/ui/items.png",
                   std::string("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00"
                               "\x08\x00\x00\x00\x08\x08\x06\x00\x00\x00\xc4\x0f\xbe\x8b\x00\x00\x00\x12\x49"
                               "\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\xf0\x1f\x1f\x66\x18\x19\x0a\x00\xc2\xd7"
                               "\x7f\x81\x2f\x71\xe0\x01\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
                               75));
        folder.put("data/ui/ui.dts", "<Dataset><Texture filename='items'><Image name='key' rect='0,0,8,8'/>"
                                     "</Texture>" +
                                         uiObjects + "</Dataset>");
        folder.putJournal();
    }

    // The journal's notes joined by "; ", emptied.
    inline std::string takeJournal(Engine& engine)
    {
        const std::string text = engine.lua("table.concat(journal, '; ')");
        LuaInterface::execute("journal = {}");
        return text;
    }
} // namespace harness
