#include <filesystem>

#include "EngineHarness.h"
#include "Inventory.h"
#include "Variables.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// A UI dataset with the pictures "items/a", "items/b", "items/it's" and "items/x.y"; the hooks of the
// inventory write a journal.
class InventoryHooks : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        std::filesystem::create_directories(folder.path + "/data/ui");
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/items.png");
        folder.put("data/ui/ui.dts",
                   "<Dataset><Texture filename=\"items\">"
                   "<Image name=\"a\" rect=\"0,0,8,8\"/><Image name=\"b\" rect=\"0,0,8,8\"/>"
                   "<Image name=\"it's\" rect=\"0,0,8,8\"/><Image name=\"x.y\" rect=\"0,0,8,8\"/>"
                   "</Texture></Dataset>");
        folder.putJournal(
            "function ui.OnItemAdded(i) note('added ' .. i .. ' ' .. vars.items) end\n"
            "function ui.OnItemRemoved(i) note('removed ' .. i .. ' ' .. vars.items .. ' held ' .. "
            "ui.getSelectedItem()) end\n"
            "function ui.OnUseItemFail(i) note('fail ' .. i) end\n");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(UI::getInstance(), nullptr) << engine->logText();
        LuaInterface::execute("journal = {}");
    }
    std::string journal()
    {
        const std::string text = engine->lua("table.concat(journal, '; ')");
        LuaInterface::execute("journal = {}");
        return text;
    }
    std::string items() { return VariableDictionary::getGlobal().get("items").value(); }
    int errorLines() { return Engine::errorLines(); }
};

TEST_F(InventoryHooks, CopiesAreCountedAndTheLastOneRemovedWhileTheHeldItemStays)
{
    Inventory::addItem("a");
    Inventory::addItem("b");
    Inventory::addItem("a");
    EXPECT_EQ(items(), "a,b,a");
    EXPECT_EQ(Inventory::getItemCount("a"), 2);
    Inventory::selectItem("a");
    Inventory::removeItem("a");
    EXPECT_EQ(items(), "a,b");
    EXPECT_EQ(UI::getInstance()->getSelectedItem(), "a");
    // The only copy: released before the hook hears of it.
    Inventory::removeItem("a");
    EXPECT_EQ(UI::getInstance()->getSelectedItem(), "");
    EXPECT_EQ(journal(), "added a a; added b a,b; added a a,b,a; removed a a,b held a; removed a b held ");
    Inventory::removeItem("a");
    EXPECT_EQ(journal(), "");
    EXPECT_EQ(Inventory::getItems().size(), 1);
}

TEST_F(InventoryHooks, AMissingPictureIsRefusedWhereTheListCannotAnswer)
{
    VariableDictionary::getGlobal().get("items").set("ghost,a");
    EXPECT_FALSE(Inventory::hasItem("ghost"));
    EXPECT_TRUE(Inventory::hasItem("a"));
    for (auto call : {+[] { Inventory::addItem("ghost"); }, +[] { Inventory::getItemCount("ghost"); },
                      +[] { Inventory::selectItem("ghost"); }})
    {
        try
        {
            call();
            ADD_FAILURE() << "nothing thrown";
        }
        catch (const _ItemImageError& e)
        {
            EXPECT_NE(e.getMessage().find("[Inventory:"), std::string::npos);
            EXPECT_NE(e.getMessage().find("_ItemImageError: item image 'ghost' not found!"),
                      std::string::npos);
        }
    }
    Inventory::removeItem("ghost");
    EXPECT_EQ(items(), "ghost,a");
    EXPECT_EQ(engine->lua("select(2, pcall(inventory.getItemCount, 'ghost'))"),
              "[Inventory:38] _ItemImageError: item image 'ghost' not found!");
    EXPECT_EQ(engine->lua("inventory.isItemValid('ghost')"), "false");
    EXPECT_NE(engine->lua("select(2, pcall(inventory.addItem))").find("inventory.luaAssertCallArgs"),
              std::string::npos);
    EXPECT_NE(engine->lua("select(2, pcall(inventory.hasItem, 1, 2))").find("inventory.luaAssertCallArgs"),
              std::string::npos);
    EXPECT_EQ(engine->lua("inventory.isItemValid('a')"), "true");
}

TEST_F(InventoryHooks, ClearingReleasesTheHeldItemWithoutPerItemHooks)
{
    LuaInterface::execute("inventory.addItem('a') inventory.addItem('b') ui.selectItem('b') journal = {}");
    LuaInterface::execute("inventory.clear()");
    EXPECT_EQ(items(), "");
    EXPECT_EQ(engine->lua("ui.getSelectedItem()"), "");
    EXPECT_EQ(journal(), "");
}

TEST_F(InventoryHooks, CombiningTriesBothOrdersThenTheFailureHook)
{
    LuaInterface::execute("function inv_combine_b_and_a() note('b+a') end");
    Inventory::combineItems("a", "b");
    Inventory::combineItems("b", "a");
    LuaInterface::execute("inv_combine_b_and_a = nil");
    Inventory::combineItems("a", "b");
    EXPECT_EQ(journal(), "b+a; b+a; fail a");
}

TEST_F(InventoryHooks, AFailingUseShowsOneErrorAndLeavesTheList)
{
    LuaInterface::execute("inventory.addItem('a') function inv_use_item_a() error('broken') end");
    const int before = errorLines();
    EXPECT_TRUE(Inventory::canUseItem("a"));
    EXPECT_FALSE(Inventory::canUseItem("b"));
    Inventory::useItem("a");
    EXPECT_EQ(errorLines(), before + 1);
    EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_NE(engine->logText().find("broken"), std::string::npos);
    EXPECT_EQ(items(), "a");
}

TEST_F(InventoryHooks, NamesThatAreNoIdentifiersNeitherBreakNorInjectCode)
{
    EXPECT_NE(
        engine->lua("select(2, pcall(inventory.addItem, 'a,b'))").find("item name 'a,b' can't contain ','"),
        std::string::npos);
    EXPECT_EQ(items(), "");
    LuaInterface::execute(
        "inventory.addItem(\"it's\") _G[\"inv_use_item_it's\"] = function() note('used') end "
        "_G['inv_combine_x.y_and_a'] = function() note('x.y+a') end");
    EXPECT_TRUE(Inventory::hasItem("it's"));
    EXPECT_TRUE(Inventory::canUseItem("it's"));
    Inventory::useItem("it's");
    Inventory::combineItems("a", "x.y");
    const int before = errorLines();
    Inventory::useItem("x') note('injected') --");
    Inventory::combineItems("x') note('injected') --", "a");
    EXPECT_EQ(journal(), "added it's it's; used; x.y+a; fail x') note('injected') --");
    EXPECT_EQ(errorLines(), before);
}
