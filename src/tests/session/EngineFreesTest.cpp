#include <functional>
#include <string>
#include <vector>

#include <tesra_testing/Png.h>
#include <tesraui/Dataset.h>
#include <tesraui/Texture.h>

#include "../AmpFiles.h"
#include "ActionMap.h"
#include "Chapter.h"
#include "EngineHarness.h"
#include "objects/ColorImage.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // A frame time a float adds up exactly, so that the frame in which a clock runs out is known.
    const float step = 0.0625f;

    Chapter* chapter()
    {
        return Session::getChapter("ch1");
    }

    ColorImage* green()
    {
        for (ColorImage* image : ColorImage::getRegistry())
        {
            if (image->getName() == "0x00FF00" && image->getDataset() == chapter())
            {
                return image;
            }
        }
        return nullptr;
    }

    tesraui::Texture* texture()
    {
        const auto found = chapter()->getTextures().find("t");
        return found != chapter()->getTextures().end() ? found->second.get() : nullptr;
    }

    // Something the engine frees by itself once a clock runs out, what a script does in the frame that clock
    // runs out, and what the game finds afterwards.
    struct Row
    {
        const char* what;
        std::function<void(Engine&)> make;
        // True when the next frame of `step` seconds runs the clock out.
        std::function<bool()> dueNext;
        const char* script;
        std::function<std::string(Engine&)> after;
        // The journal of the frame, then what the game found.
        const char* expected;
    };
} // namespace

// ch1 has a dynamic texture "t" with the image "t/ti", an action map "m" and the scene a, whose update runs
// the function `due` once when there is one.
class EngineFrees : public harness::GameTest
{
protected:
    void start()
    {
        engine.reset();
        harness::forgetSession();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal();
        folder.put(
            "data/chapters/ch1/ch1.datadef",
            "<Dataset><Texture filename='t' dynamic_load='1'><Image name='ti' rect='0,0,4,4'/></Texture>"
            "</Dataset>");
        folder.put("data/chapters/ch1/t.png",
                   tesra_testing::makePng(4, 4, [](int, int) { return tesra::Color(200, 40, 40); }));
        folder.put("data/chapters/ch1/action_maps/m.amp",
                   ampfiles::file(8, 8, {{0xFF0000, 0, 0, 7, 7, 3, 3, nullptr}}));
        folder.put("data/chapters/ch1/scenes/a.scene",
                   "function OnUpdate(dt) local f = _G.due if f then _G.due = nil note('due') f() end end\n");
        Engine::log().clear();
        engine.reset(new Engine(folder));
        engine->start();
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
};

// What the engine frees when it has lain unused for a while goes where what scripts destroy goes, the end
// of the frame, and once: a script that destroys it, or frees memory itself, in the frame its clock runs out
// leaves the engine nothing to free a second time.
TEST_F(EngineFrees, WhatAClockFreesIsFreedOnceAtTheFramesEnd)
{
    const std::vector<Row> rows = {
        {"an idle colour image destroyed by its script", [](Engine&) { chapter()->getImage("0x00FF00"); },
         [] { return green() != nullptr && green()->getIdleTime() + step > 5.0f; },
         "image.destroy('ch1', '0x00FF00')",
         [](Engine& engine)
         {
             const std::string gone = engine.lua("tostring(image.exists('ch1', '0x00FF00'))") +
                                      (green() == nullptr ? " unlisted" : " listed");
             chapter()->getImage("0x00FF00");
             return gone + (green() != nullptr ? ", made again" : ", not made again");
         },
         "due, false unlisted, made again"},
        {"an idle texture destroyed by its script",
         [](Engine& engine)
         {
             LuaInterface::execute("sys.setTextureIdleUnloadTime(1)\n"
                                   "object.create('ImageBox', 'shown', nil, {x = 0, y = 0, w = 4, h = 4, "
                                   "image = 't/ti'})");
             engine.frame(step);
             LuaInterface::execute("object.destroy('ch1.shown')");
         },
         []
         { return texture() != nullptr && texture()->isLoaded() && texture()->getIdleTime() + step >= 1.0f; },
         "image.destroy('ch1', 't/ti') image.destroyTexture('ch1', 't')",
         [](Engine& engine) { return engine.lua("tostring(image.textureExists('ch1', 't'))"); },
         "due, false"},
        {"an idle texture left alone",
         [](Engine& engine)
         {
             LuaInterface::execute("sys.setTextureIdleUnloadTime(1)\n"
                                   "object.create('ImageBox', 'shown', nil, {x = 0, y = 0, w = 4, h = 4, "
                                   "image = 't/ti'})");
             engine.frame(step);
             LuaInterface::execute("object.destroy('ch1.shown')");
         },
         []
         { return texture() != nullptr && texture()->isLoaded() && texture()->getIdleTime() + step >= 1.0f; },
         "", [](Engine&) { return std::string(texture()->isLoaded() ? "loaded" : "unloaded"); },
         "due, unloaded"},
        {"an idle action map whose memory a script frees",
         [](Engine&) { chapter()->getActionMap("m")->getColorAt(1, 1); },
         [] { return chapter()->getActionMap("m")->getIdleTimer() - step <= 0.0f; }, "sys.cleanMemory()",
         [](Engine& engine)
         {
             const std::string unloaded =
                 std::to_string(engine.logCount("Unloading ActionMap m")) + " unload";
             return unloaded +
                    formatString(", reads %08X again", chapter()->getActionMap("m")->getColorAt(1, 1))
                        .c_str();
         },
         "due, 1 unload, reads FF0000FF again"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        start();
        row.make(*engine);
        for (int frame = 0; frame < 2000 && !row.dueNext(); ++frame)
        {
            engine->frame(step);
        }
        ASSERT_TRUE(row.dueNext());
        LuaInterface::execute(std::string("due = function() ") + row.script + " end");
        engine->frame(step);
        engine->frame(step);
        EXPECT_EQ(journal() + ", " + row.after(*engine), row.expected);
        engine->frame(step);
        EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
        engine->stop();
    }
}
