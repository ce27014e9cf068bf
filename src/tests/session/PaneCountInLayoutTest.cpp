#include "EngineHarness.h"
#include "ItemPaneGame.h"

using namespace vumo;

// A pane stretched by its parent is told of its new size inside the parent's walk over its children: an
// item count that destroys the pane there would free what the walk goes on writing to. The count is asked
// at the pane's next update instead, and whatever it does then the game runs on.
class PaneCountInLayout : public harness::GameTest
{
};

TEST_F(PaneCountInLayout, ACountThatDestroysItsPaneWaitsUntilTheParentsLayoutIsDone)
{
    harness::forgetSession();
    harness::putItemPaneGame(folder);
    engine.reset(new harness::Engine(folder));
    engine->start();
    const struct
    {
        const char* name;
        const char* resize;
    } cases[] = {
        {"the parent's width", "object.setProperty('ui.box', 'w', '300')"},
        {"the parent's height, the pane stretched both ways",
         "object.setProperty('ui.bag2', 'anchor_bottom', true) object.setProperty('ui.box', 'h', '90')"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LuaInterface::execute(
            "armed = false\n"
            "function item_key_count() note('asked') if armed then object.destroy('ui.bag2') end return 2 "
            "end\n"
            "object.create('Container', 'box', 'ui.root', {x = 0, y = 0, w = 160, h = 60})\n"
            "object.create('InventoryPane', 'bag2', 'ui.box', {x = 0, y = 10, w = 100, h = 40,\n"
            "    anchor_left = true, anchor_right = true})\n"
            "inventory.addItem('key')");
        EXPECT_EQ(harness::takeJournal(*engine), "asked");
        LuaInterface::execute("armed = true");
        EXPECT_EQ(engine->luaOrError("(function() " + std::string(c.resize) +
                                     " return object.exists('ui.bag2') end)()"),
                  "true");
        EXPECT_EQ(harness::takeJournal(*engine), "");
        engine->frame();
        EXPECT_EQ(harness::takeJournal(*engine), "asked");
        EXPECT_EQ(engine->lua("object.exists('ui.bag2')"), "false");
        engine->frame();
        EXPECT_EQ(engine->lua("object.exists('ui.box')"), "true");
        LuaInterface::execute("object.destroy('ui.box') inventory.removeItem('key')");
        engine->frame();
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
