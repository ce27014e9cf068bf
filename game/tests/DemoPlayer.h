#pragma once

#include <cstdlib>

#include "EngineHarness.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

// The demo driven as a player drives it: clicks on the window, and items taken from the pane and used where
// they land.
class DemoPlayerTest : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.copyDemo();
        engine.reset(new harness::Engine(folder));
    }
    tesraui::Object* uiObject(const std::string& name)
    {
        return UI::getInstance()->getDataset()->tryGetObject(name);
    }
    // The pane's picture of a carried item, as the player sees it.
    tesraui::Object* itemCell(const std::string& item)
    {
        InventoryPane* pane = InventoryPane::getActive();
        return pane == nullptr ? nullptr
                               : uiObject(std::string(pane->getProperty(("itemObject:" + item).c_str())));
    }
    std::string items() { return engine->lua("vars.items"); }
    // Presses on the item in the pane and holds it until it is taken in hand; the item stays there after
    // the release, and the next click uses it where it lands.
    void take(const std::string& item)
    {
        InventoryPane* pane = InventoryPane::getActive();
        ASSERT_NE(pane, nullptr);
        ASSERT_NE(itemCell(item), nullptr) << item;
        const kavtypes::Rectangle rect = itemCell(item)->getBoundingRect();
        const float x = rect.x + rect.w / 2;
        const float y = rect.y + rect.h / 2;
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        for (float waited = 0.0f; !pane->isDragActive() && waited < 5.0f; waited += 0.05f)
        {
            engine->frame(0.05f);
        }
        ASSERT_TRUE(pane->isDragActive()) << item;
        engine->frame(0.05f);
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        engine->frame(0.016f);
        ASSERT_EQ(engine->lua("ui.getSelectedItem()"), item);
    }
    void drag(const std::string& item, float x, float y)
    {
        take(item);
        ASSERT_FALSE(HasFatalFailure());
        click(x, y);
    }
    // Takes the item and clicks it onto another one in the pane.
    void dropOn(const std::string& item, const std::string& target)
    {
        ASSERT_NE(itemCell(target), nullptr) << target;
        const kavtypes::Rectangle rect = itemCell(target)->getBoundingRect();
        drag(item, rect.x + rect.w / 2, rect.y + rect.h / 2);
    }
    void click(float x, float y)
    {
        engine->clickAt(x, y);
        engine->frame(0.016f);
    }
};
