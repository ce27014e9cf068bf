#include <string>
#include <vector>

#include "SessionFixture.h"

using namespace vumo;

// One click does one thing: a press the game's hook takes goes no further, nor does its release, and the
// second click of a double click on what the first landed on is dropped whole. The scene shows a button in
// its middle; the UI's hooks, the scene's and the button's click write a journal.
class PressFate : public harness::SessionTest
{
protected:
    struct Case
    {
        const char* what;
        const char* before;
        // "click", "double" (the second click of a double click), "press", "release" or "cancel", each at the
        // button's middle.
        std::vector<const char*> steps;
        const char* journal;
    };

    void SetUp() override
    {
        folder.config("scene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal("function ui.OnPointerPressed() note('ui.pressed') return take end\n"
                          "function ui.OnPointerReleased() note('ui.released') end\n"
                          "function ui.OnPointerCanceled() note('ui.canceled') end\n"
                          "function ui.OnUseItemFail(item) note('fail:' .. item) end\n");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene",
                   "scene.setBackground('0x204060')\n"
                   "function OnPointerPressed() note('scene.pressed') end\n"
                   "function OnPointerReleased() note('scene.released') end\n"
                   "function OnPointerCanceled() note('scene.canceled') end\n"
                   "thing = object.create('ImageButton', 'thing', nil,\n"
                   "  {x = 40, y = 30, w = 40, h = 40, image = '0xFF0000'})\n"
                   "object.assignEvent(thing, 'Click', function()\n"
                   "  note('thing.click')\n"
                   "  if hideOnClick then thing.visible = false end\n"
                   "end)\n");
        ASSERT_NO_FATAL_FAILURE(startSession());
        engine->frame();
        engine->frame();
    }
    void step(const std::string& kind)
    {
        const float x = 60.0f, y = 50.0f;
        if (kind == "click")
        {
            engine->clickAt(x, y);
        }
        else if (kind == "double")
        {
            engine->mouse(tesra::Window::MOUSE_DOWN, x, y, 1, 2);
            engine->frame(0.016f);
            engine->mouse(tesra::Window::MOUSE_UP, x, y);
        }
        else if (kind == "press")
        {
            engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
            engine->frame(0.016f);
            engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        }
        else if (kind == "release")
        {
            engine->mouse(tesra::Window::MOUSE_UP, x, y);
        }
        else
        {
            engine->mouse(tesra::Window::MOUSE_CANCEL, x, y);
        }
        engine->frame(0.016f);
        engine->frame(0.016f);
    }
};

TEST_F(PressFate, APressGoesWhereItsHookAndTheClickBeforeItLetIt)
{
    const Case cases[] = {
        {"a click reaches the hooks, the scene and the button",
         "",
         {"click"},
         "ui.pressed scene.pressed ui.released scene.released thing.click"},
        {"a press the hook takes reaches nothing else, nor does its release",
         "take = true",
         {"click"},
         "ui.pressed ui.released"},
        {"a double click on what answered counts once",
         "",
         {"click", "double"},
         "ui.pressed scene.pressed ui.released scene.released thing.click"},
        {"after a click that took the button away, the second reaches what lies under it",
         "hideOnClick = true",
         {"click", "double"},
         "ui.pressed scene.pressed ui.released scene.released thing.click ui.pressed scene.pressed "
         "ui.released "
         "scene.released"},
        {"a double click whose first press the hook took counts once",
         "take = true",
         {"click", "double"},
         "ui.pressed ui.released"},
        {"two single clicks count twice",
         "",
         {"click", "click"},
         "ui.pressed scene.pressed ui.released scene.released thing.click ui.pressed scene.pressed "
         "ui.released "
         "scene.released thing.click"},
        {"a taken press keeps the item in hand",
         "take = true ui.selectItem('key')",
         {"click"},
         "ui.pressed ui.released held:key"},
        {"an item in hand dropped by a click the game lets through",
         "ui.selectItem('key')",
         {"press", "release"},
         "ui.pressed scene.pressed ui.released scene.released thing.click fail:key held:"},
        {"a taken press's cancel reaches the hook only",
         "take = true",
         {"press", "cancel"},
         "ui.pressed ui.canceled"},
    };
    for (const Case& c : cases)
    {
        LuaInterface::execute("take = nil hideOnClick = nil c1.a.thing.visible = true ui.selectItem('')");
        // A click far from the button and long before: the series of clicks begins afresh.
        engine->clickAt(5, 5);
        for (int i = 0; i < 40; ++i)
        {
            engine->frame(0.05f);
        }
        LuaInterface::execute("journal = {}");
        LuaInterface::execute(c.before);
        for (const char* kind : c.steps)
        {
            step(kind);
        }
        std::string journal = engine->lua("table.concat(journal, ' ')");
        if (std::string(c.before).find("selectItem") != std::string::npos)
        {
            journal += " held:" + engine->lua("ui.getSelectedItem()");
        }
        EXPECT_EQ(journal, c.journal) << c.what;
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
