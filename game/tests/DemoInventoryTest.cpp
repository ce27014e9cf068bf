#include "DemoPlayer.h"
#include "Variables.h"

using namespace vumo;

using harness::inOrder;

// The demo as shipped: the plank picked up into the pack, the stranger's talk, and the pack's items taken in
// hand by a click, named under the pointer, carried by the pointer and put back.
class DemoInventory : public DemoPlayerTest
{
protected:
    void SetUp() override
    {
        DemoPlayerTest::SetUp();
        engine->startDemo();
        engine->frame(0.016f);
    }
    std::string itemName()
    {
        tesraui::Object* label = uiObject("item_name");
        return label->isDerivedVisible() && label->getAlpha() > 0 ? std::string(label->getProperty("text"))
                                                                  : std::string();
    }
    void pointAtItem(const std::string& item)
    {
        const kavtypes::Rectangle rect = itemCell(item)->getBoundingRect();
        moveTo(rect.x + rect.w / 2, rect.y + rect.h / 2);
        engine->frame(0.1f);
    }
};

TEST_F(DemoInventory, ThePlankGoesIntoThePackAndTheStrangerTalks)
{
    InventoryPane* pane = InventoryPane::getActive();
    ASSERT_NE(pane, nullptr);
    clickThing(thing("plank"), "A plank: take it");
    EXPECT_EQ(std::string(VariableDictionary::getGlobal().get("items").value()), "plank");
    EXPECT_NE(pane->getProperty("itemObject:plank"), "");
    EXPECT_EQ(answer(),
              "Into your pack: the plank. Click it there to take it in hand, or drag it out onto the "
              "place to use it.");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false") << "picking the plank up is no talk";
    clickThing(thing("stranger"), "The stranger: talk to him");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
    // His greeting, then the first reply asks; the sequence's lines follow, each gone on from by a click,
    // then the wave ends it.
    talkOn();
    clickThing(uiObject("reply1"));
    engine->frame(0.1f);
    talkOn();
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_TRUE(inOrder(engine->logText(),
                        {"scripting: picked up plank", "scripting: dialog begins",
                         "scripting: Stranger: Evening, traveller. Sit by my fire a while.",
                         "scripting: replies: Where does the path lead? / Goodbye.",
                         "scripting: Stranger: It's the way to the lake; you'll want a raft to cross it.",
                         "scripting: picked up rope",
                         "scripting: Stranger: Here, my rope: tie it to a plank and mind the water.",
                         "scripting: The stranger waves", "scripting: dialog ends"}))
        << engine->logText();
    EXPECT_EQ(items(), "plank,rope");
}

TEST_F(DemoInventory, AClickTakesAnItemInHandAndTheNextPutsItBack)
{
    LuaInterface::execute("inventory.addItem('plank'); inventory.addItem('rope')");
    engine->frame(0.016f);
    // Named under the pointer, nothing in hand.
    pointAtItem("plank");
    EXPECT_EQ(itemName(), "Plank");
    EXPECT_TRUE(
        handAt(itemCell("plank")->getBoundingRect().x + 40, itemCell("plank")->getBoundingRect().y + 40));
    moveTo(600, 200);
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(itemName(), "") << "the name fades away from the pack";
    // A click takes it: the pointer carries its picture, the line says what to do with it.
    pick("plank");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_NE(answer().find("You hold the plank"), std::string::npos) << answer();
    moveTo(600, 200);
    EXPECT_EQ(engine->lua("ui.getCursorMode()"), "arrow:plank:below");
    // The plank's board hangs below and right of the arrow's tip, where the arrow does not cover it.
    EXPECT_EQ(engine->pixel(632, 240), (Pixel{196, 140, 78, 255}));
    // Over the other item the pane offers the combination.
    pointAtItem("rope");
    EXPECT_EQ(itemName(), "Rope + Plank: click to combine them");
    // A click on the plank's own cell puts it back.
    forget();
    clickThing(itemCell("plank"));
    EXPECT_EQ(held(), "");
    EXPECT_EQ(answer(), "You put the plank back in your pack.");
    EXPECT_EQ(items(), "plank,rope");
    // A click on the scene with an item in hand where nothing takes it lets it go, and says so.
    pick("rope");
    ASSERT_FALSE(HasFatalFailure());
    forget();
    click(480, 150);
    EXPECT_EQ(held(), "");
    EXPECT_EQ(answer(), "Nothing happens with the rope there.");
    EXPECT_EQ(items(), "plank,rope");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// The pack's items dragged as a player drags them, the pointer moving at once after the press: out onto the
// scene, where the item is used, and onto another item of the pack, with which it combines as the name under
// the pointer says; a press held still a moment takes the item in hand too.
TEST_F(DemoInventory, ItemsAreDraggedOutOfThePackAndOntoEachOther)
{
    LuaInterface::execute("inventory.addItem('plank'); inventory.addItem('rope')");
    engine->frame(0.016f);
    const auto centre = [&](const std::string& item)
    {
        const kavtypes::Rectangle rect = itemCell(item)->getBoundingRect();
        return kavtypes::Vector2(rect.x + rect.w / 2, rect.y + rect.h / 2);
    };
    // Pressed and moved in the same moment, a few steps a frame, then let go over the sky.
    const auto dragFrom = [&](const std::string& item, const std::vector<kavtypes::Vector2>& way)
    {
        const kavtypes::Vector2 from = centre(item);
        moveTo(from.x, from.y);
        engine->mouse(tesra::Window::MOUSE_DOWN, from.x, from.y);
        engine->frame(0.016f);
        for (const kavtypes::Vector2& point : way)
        {
            engine->mouse(tesra::Window::MOUSE_MOVE, point.x, point.y);
            engine->frame(0.016f);
        }
    };
    const kavtypes::Vector2 rope = centre("rope");
    dragFrom("rope", {rope + kavtypes::Vector2(0, -40), {480, 300}, {480, 150}});
    EXPECT_EQ(held(), "rope") << "the quick drag carries the rope";
    forget();
    engine->mouse(tesra::Window::MOUSE_UP, 480, 150);
    engine->frame(0.016f);
    EXPECT_EQ(answer(), "Nothing happens with the rope there.") << "the rope was carried onto the sky";
    EXPECT_EQ(held(), "");
    EXPECT_EQ(items(), "plank,rope");

    // Along the pack and up and over onto the plank: its name says what a drop does, and the drop does it.
    const kavtypes::Vector2 plank = centre("plank");
    dragFrom("rope", {rope + kavtypes::Vector2(-30, -50), plank + kavtypes::Vector2(0, -50), plank});
    EXPECT_EQ(held(), "rope");
    engine->frame(0.1f);
    EXPECT_EQ(std::string(uiObject("item_name")->getProperty("text")), "Plank + Rope: click to combine them");
    forget();
    engine->mouse(tesra::Window::MOUSE_UP, plank.x, plank.y);
    engine->frame(0.016f);
    engine->frame(0.016f);
    EXPECT_EQ(items(), "raft") << "the rope dropped on the plank ties the raft";
    EXPECT_EQ(held(), "");
    EXPECT_EQ(answer(), "You tie the rope around the plank: a raft!");

    // A press held still takes the raft in hand, and it stays there after the release.
    take("raft");
    EXPECT_EQ(held(), "raft");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
