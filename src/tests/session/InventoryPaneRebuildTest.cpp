#include <filesystem>

#include <tesraui/Dataset.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>

#include "EngineHarness.h"
#include "ItemPictures.h"
#include "Profile.h"
#include "Variables.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    const char* const makePane =
        "object.create('InventoryPane', 'p', 'ui.root', {x = 0, y = 0, w = 500, h = 100})";

    // A UI with the item pictures a to g and no pane: each case makes the pane "ui.p" (500 by 100, five
    // cells a page) through the script table, the way a game does. The scripts write a journal.
    class PaneRebuilds : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            harness::forgetSession();
            Engine::log().clear();
            folder.config();
            const std::string images = harness::putItemPictures(folder);
            std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/InventoryPane.png");
            folder.put("data/ui/ui.dts", "<Dataset><Texture filename='items'>" + images +
                                             "</Texture><Texture filename='InventoryPane'>"
                                             "<Image name='use_item_icon' rect='0,0,8,8'/>"
                                             "<Image name='combine_item_icon' rect='0,0,8,8'/></Texture>"
                                             "</Dataset>");
            folder.putJournal();
            engine.reset(new Engine(folder));
            engine->start();
            harness::createGameVariable("score", "0");
        }
        InventoryPane* pane() { return dynamic_cast<InventoryPane*>(UI::getUIDataset()->tryGetObject("p")); }
        std::string items() { return VariableDictionary::getGlobal().get("items").value(); }
        // The items with a cell, in the order of the cells, and each one's count label.
        std::string cells()
        {
            std::string text;
            InventoryPane* p = pane();
            for (const char* item : {"a", "b", "c", "d"})
            {
                tesraui::Object* cell = (p != nullptr ? p->getCell(item) : nullptr);
                if (cell == nullptr)
                {
                    continue;
                }
                tesraui::Object* label = UI::getUIDataset()->tryGetObject(cell->getName() + "_cnt");
                text += std::string(item) +
                        (label != nullptr ? "=" + std::string(dynamic_cast<tesraui::Label*>(label)->getText())
                                          : std::string()) +
                        " ";
            }
            return text;
        }
        std::string journal()
        {
            const std::string text = engine->lua("table.concat(journal, '; ')");
            LuaInterface::execute("journal = {}");
            return text;
        }
        // What a case starts from: no count function, the items given, and the pane unless the case makes it.
        void reset(const std::string& carried, bool withPane)
        {
            LuaInterface::execute("item_a_count = nil");
            if (pane() != nullptr)
            {
                LuaInterface::execute("object.destroy('ui.p')");
            }
            VariableDictionary::getGlobal().get("items").set(carried.c_str());
            if (withPane)
            {
                LuaInterface::execute(makePane);
            }
            journal();
        }
    };

    // The ways a game makes the pane rebuild its cells, each from a script.
    struct Door
    {
        const char* name;
        const char* call;
        // The items before the call; the pane is there first unless the call makes it.
        const char* carried;
        bool makesPane;
    };
    const Door doors[] = {
        {"an item added", "inventory.addItem('a')", "", false},
        {"a resize", "object.setProperty('ui.p', 'w', 450)", "a", false},
        {"the use button switched", "object.setProperty('ui.p', 'allowItemUseButton', false)", "a", false},
        {"the pane made", makePane, "a", true},
    };
} // namespace

// A count that destroys the pane ends the rebuild there, whatever asked for it; the game goes on without
// the pane, and a pane being made says that it went.
TEST_F(PaneRebuilds, ACountThatDestroysThePaneEndsTheRebuild)
{
    for (const Door& door : doors)
    {
        SCOPED_TRACE(door.name);
        reset(door.carried, !door.makesPane);
        LuaInterface::execute("function item_a_count() note('asked') object.destroy('ui.p') return 5 end");
        const std::string result = engine->luaOrError(door.call);
        EXPECT_EQ(result.find("error: ") != std::string::npos, door.makesPane) << result;
        if (door.makesPane)
        {
            EXPECT_NE(result.find("object.create(): object 'p' was destroyed by a script while it was being "
                                  "made."),
                      std::string::npos)
                << result;
        }
        EXPECT_EQ(journal(), "asked");
        EXPECT_EQ(pane(), nullptr);
        EXPECT_EQ(InventoryPane::getActive(), nullptr);
        EXPECT_EQ(items(), "a");
        engine->frame();
    }
    // A new pane follows the items again.
    reset("a,b", true);
    EXPECT_EQ(cells(), "a b ");
    EXPECT_EQ(engine->luaOrError("inventory.addItem('c')"), "<none>");
    EXPECT_EQ(cells(), "a b c ");
}

// A count that adds an item reads the items as they now are; the item it adds is kept and gets its cell
// from one more rebuild after the one under way, not from a rebuild inside it.
TEST_F(PaneRebuilds, AnItemACountAddsIsKeptAndShownAfterTheRebuild)
{
    for (const Door& door : doors)
    {
        SCOPED_TRACE(door.name);
        reset(door.carried, !door.makesPane);
        LuaInterface::execute("function item_a_count()\n"
                              "  note(vars.items)\n"
                              "  if not inventory.hasItem('b') then inventory.addItem('b') end\n"
                              "  return 5\n"
                              "end");
        const std::string result = engine->luaOrError(door.call);
        EXPECT_EQ(result.find("error: "), std::string::npos) << result;
        EXPECT_EQ(journal(), "a; a,b");
        EXPECT_EQ(items(), "a,b");
        EXPECT_EQ(cells(), "a=1/5 b ");
    }
    // A count that adds an item every time it is asked: each call and each frame rebuilds a bounded
    // number of times, and the cells catch up with the items in the next frame.
    reset("", true);
    LuaInterface::execute("function item_a_count() note('asked') inventory.addItem('b') return 1 end");
    engine->luaOrError("inventory.addItem('a')");
    EXPECT_EQ(journal(), "asked; asked");
    EXPECT_EQ(items(), "a,b,b");
    engine->frame();
    EXPECT_EQ(journal(), "asked; asked");
    EXPECT_EQ(items(), "a,b,b,b,b");
    LuaInterface::execute("item_a_count = nil");
    engine->frame();
    EXPECT_EQ(cells(), "a b=4 ");
}

// A profile that loads, or the variables that go back to the profile's, set the items: the cells follow at
// once with the counts known before, and the counts are asked at the pane's next update, once that work is
// done and the profile is whole and active.
TEST_F(PaneRebuilds, ACountIsAskedOnceAProfileHasSetTheItems)
{
    const hstring bob = Profile::create("Bob");
    Profile::changeProfile(bob);
    VariableDictionary::getGlobal().get("items").set("a");
    ASSERT_TRUE(Session::getProfile()->saveToFile());
    Profile::changeProfile(Profile::create("Anna"));
    LuaInterface::execute(makePane);
    LuaInterface::execute("function item_a_count() note('asked by ' .. profile.getName()) return 5 end");

    Profile::changeProfile(bob);
    EXPECT_EQ(journal(), "");
    EXPECT_EQ(Session::getProfile()->getFolder(), bob);
    EXPECT_EQ(items(), "a");
    EXPECT_EQ(cells(), "a ");
    engine->frame();
    EXPECT_EQ(journal(), "asked by Bob");
    EXPECT_EQ(cells(), "a=1/5 ");

    VariableDictionary::getGlobal().get("items").set("");
    journal();
    EXPECT_EQ(engine->luaOrError("vars.revertToProfile()"), "<none>");
    EXPECT_EQ(journal(), "");
    EXPECT_EQ(cells(), "a=1/5 ");
    engine->frame();
    EXPECT_EQ(journal(), "asked by Bob");
    EXPECT_EQ(Session::getProfile()->getFolder(), bob);
}
