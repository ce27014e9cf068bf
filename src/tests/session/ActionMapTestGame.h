#pragma once

// A game of one chapter "room" with the scene "hall" on an 800 x 600 window, whose action map "hall"
// (32 x 24 pixels, 25 screen pixels each) has three regions; the scene's region tables and the UI hooks
// write what happens into the global list uiJournal.
#include "../AmpFiles.h"
#include "../EngineTestSupport.h"
#include "ActionMap.h"
#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "objects/ActionMapObject.h"
#include "objects/VumoViewportObject.h"
#include <tesraui/ImageBox.h>
#include "ui/UI.h"

using namespace vumo;

namespace actionmaptest
{
    inline std::vector<ampfiles::Region> hallRegions()
    {
        return {
            {0xFF0000, 2, 2, 11, 11, 6, 6, nullptr},   // red, screen 50..299 x 50..299, takes items
            {0x00FF00, 14, 2, 23, 11, 18, 6, nullptr}, // green, 350..599 x 50..299, takes and keeps items
            {0x0000FF, 2, 14, 29, 21, 15, 17, nullptr} // blue, 50..749 x 350..549, takes no items
        };
    }

    inline void makeGame(harness::GameFolder& folder, const std::string& extraConfig = "")
    {
        folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 800\n"
                                   "height: 600\naudio_mute: 1\nscene: room.hall\n" +
                                       extraConfig);
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/journal.lua", "uiJournal = {}\n"
                                           "function note(text) table.insert(uiJournal, text) end\n"
                                           "local engineSelectItem = ui.selectItem\n"
                                           "function ui.selectItem(name)\n"
                                           "    note('select ' .. name)\n"
                                           "    engineSelectItem(name)\n"
                                           "end\n"
                                           "function ui.OnUseItemFail(name) note('fail ' .. name) end\n"
                                           "function ui.OnSceneResetting() note('resetting') end\n");
        folder.put("data/chapters/room/room.datadef", "<Dataset/>");
        folder.put("data/chapters/room/action_maps/hall.amp", ampfiles::file(32, 24, hallRegions()));
        folder.put("data/chapters/room/action_maps/empty.amp", ampfiles::file(32, 24, {}));
        folder.put("data/chapters/room/scenes/hall.scene",
                   "scene.setBackground('0x000080')\n"
                   "layer = scene.ActionMap('hall', {w = 800, h = 600})\n"
                   "_FF0000 = { function() note('red') end, allow_items = 1 }\n"
                   "_00FF00 = { function() note('green') return true end, allow_items = 1 }\n"
                   "_0000FF = { function() note('blue') end }\n");
    }

    using enginetest::thrownText;

    // A mouse event as the window delivers it, moving the cursor to the point first.
    inline void mouse(tesra::Window::MouseEventType type, float x, float y, int button = 1)
    {
        tesra::window->queueMouseEvent(type, x, y, button);
        tesra::window->checkEvents();
    }

    // The scene's action map object.
    inline ActionMapObject* findLayer()
    {
        Scene* scene = Session::getActiveScene();
        if (scene == nullptr || scene->getRootObject() == nullptr)
        {
            return nullptr;
        }
        for (tesraui::Object* child : scene->getRootObject()->getChildren())
        {
            if (ActionMapObject* layer = dynamic_cast<ActionMapObject*>(child))
            {
                return layer;
            }
        }
        return nullptr;
    }
} // namespace actionmaptest
