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

// A pane declared in a data file gets its size while the file is read: a count asked there would run a
// script on a dataset that holds only the first half of its objects. It is asked once the whole file is in.
TEST_F(PaneCountInLayout, APaneInADataFileIsAskedItsCountsOnceTheWholeFileIsIn)
{
    harness::forgetSession();
    harness::putItemPaneGame(folder, "<Object type='InventoryPane' name='bag3' rect='0,60,100,40'/>"
                                     "<Object type='Container' name='after' rect='0,0,1,1'/>");
    folder.putJournal("function item_key_count()\n"
                      "  note(object.exists('ui.after') and 'whole file' or 'half the file')\n"
                      "  return 2\n"
                      "end\n"
                      "function ui.setup() vars.items = 'key' end\n");
    engine.reset(new harness::Engine(folder));
    engine->start();
    for (int i = 0; i < 3; ++i)
    {
        engine->frame();
    }
    const std::string journal = harness::takeJournal(*engine);
    EXPECT_EQ(journal.find("half the file"), std::string::npos) << journal;
    EXPECT_NE(journal.find("whole file"), std::string::npos) << journal;
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
