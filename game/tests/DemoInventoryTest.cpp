#include "EngineHarness.h"
#include "Variables.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

// The demo as shipped: the plank picked up into the pane, and the stranger's dialog played through.
class DemoInventory : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->startDemo();
        engine->frame(0.016f);
    }
    void click(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        engine->frame(0.016f);
        engine->frame(0.016f);
    }
};

TEST_F(DemoInventory, ThePlankGoesIntoThePaneAndTheStrangerTalks)
{
    InventoryPane* pane = InventoryPane::getActive();
    ASSERT_NE(pane, nullptr);
    click(812, 332);
    EXPECT_EQ(std::string(VariableDictionary::getGlobal().get("items").value()), "plank");
    EXPECT_NE(pane->getProperty("itemObject:plank"), "");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
    // The first reply asks; the sequence's lines follow two seconds apart, then the wave ends it.
    click(120, 320);
    for (int i = 0; i < 60; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_TRUE(
        inOrder(engine->logText(), {"scripting: picked up plank", "scripting: dialog begins",
                                    "scripting: replies: Where does the path lead? / Goodbye.",
                                    "scripting: Stranger: It's the way to the lake; you'll want that plank.",
                                    "scripting: Stranger: Mind the water.", "scripting: The stranger waves",
                                    "scripting: dialog ends"}))
        << engine->logText();
    // Clicking the plank in the pane with nothing held uses it.
    click(280, 490);
    EXPECT_NE(engine->logText().find("scripting: the plank is too heavy to carry far"), std::string::npos);
}
