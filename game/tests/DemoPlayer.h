#pragma once

#include <cstdlib>

#include <tesraui/Label.h>
#include <tesraui/TextImageButton.h>

#include "EngineHarness.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

// The demo driven as a player drives it: clicks on the window at the things the screen shows, items taken
// from the pane and used where they land, and the screen read back for the pointer and the answers.
class DemoPlayerTest : public harness::GameTest
{
protected:
    typedef std::vector<int> Pixel;

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
    // A thing of the active scene, by its name in the scene's chapter.
    tesraui::Object* thing(const std::string& name)
    {
        Scene* scene = Session::getActiveScene();
        return scene == nullptr ? nullptr : scene->getChapter()->tryGetObject(name);
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    // The pane's picture of a carried item, as the player sees it.
    tesraui::Object* itemCell(const std::string& item)
    {
        InventoryPane* pane = InventoryPane::getActive();
        return pane == nullptr ? nullptr
                               : uiObject(std::string(pane->getProperty(("itemObject:" + item).c_str())));
    }
    std::string items() { return engine->lua("vars.items"); }
    std::string held() { return engine->lua("ui.getSelectedItem()"); }
    // The pointer's hot spot moved to the point; the pointer changes in the frame after.
    void moveTo(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        engine->frame(0.016f);
    }
    // Whether the drawn pointer is the hand, its fingertip on the point: the mode and the picture's skin
    // just below the tip. Over a thing to be watched the hand is drawn faint, see-through: its picture's
    // alpha tells.
    ::testing::AssertionResult handAt(float x, float y)
    {
        const std::string mode = engine->lua("ui.getCursorMode()");
        if (mode.rfind("hand", 0) != 0)
        {
            return ::testing::AssertionFailure() << "the pointer is '" << mode << "'";
        }
        if (mode.rfind("hand-faint", 0) == 0)
        {
            return faintPointer() ? ::testing::AssertionSuccess()
                                  : ::testing::AssertionFailure() << "the faint hand is drawn whole";
        }
        const Pixel skin = engine->pixel((int)x, (int)y + 8);
        if (skin != Pixel{255, 236, 200, 255})
        {
            return ::testing::AssertionFailure()
                   << "no fingertip drawn at the point: " << skin[0] << "," << skin[1] << "," << skin[2];
        }
        return ::testing::AssertionSuccess();
    }
    // Whether the drawn pointer is the arrow, its tip on the point: the mode and the arrow's white body.
    ::testing::AssertionResult arrowAt(float x, float y)
    {
        const std::string mode = engine->lua("ui.getCursorMode()");
        if (mode.rfind("arrow", 0) != 0)
        {
            return ::testing::AssertionFailure() << "the pointer is '" << mode << "'";
        }
        if (engine->pixel((int)x + 3, (int)y + 10) != Pixel{255, 255, 255, 255})
        {
            return ::testing::AssertionFailure() << "no arrow drawn from the point";
        }
        return ::testing::AssertionSuccess();
    }
    // Whether every picture of the drawn pointer is see-through.
    bool faintPointer()
    {
        tesraui::Container* cursor = UI::getInstance()->getCursorObject();
        if (cursor == nullptr || cursor->getChildren().empty())
        {
            return false;
        }
        for (tesraui::Object* picture : cursor->getChildren())
        {
            if (picture->getAlpha() > 128)
            {
                return false;
            }
        }
        return true;
    }
    // The line said or told in the talk's panel, "" while none shows.
    std::string line()
    {
        return uiObject("dialog_panel")->isDerivedVisible()
                   ? std::string(uiObject("dialog_line")->getProperty("text"))
                   : std::string();
    }
    // A click that goes on from the line shown, somewhere the line's band does not cover.
    void goOn()
    {
        click(480, 150);
        engine->frame(0.016f);
    }
    // Clicks on through the talk's lines until it offers replies or ends, at most a few.
    void talkOn()
    {
        for (int i = 0;
             i < 8 && engine->lua("dialog.isActive()") == "true" && !uiObject("reply1")->isDerivedVisible();
             ++i)
        {
            if (line() != "")
            {
                goOn();
            }
            engine->frame(0.1f);
        }
    }
    // The name shown beside the pointer, "" when none shows.
    std::string hoverName()
    {
        tesraui::Object* label = uiObject("hover_name");
        return label->isDerivedVisible() ? std::string(label->getProperty("text")) : std::string();
    }
    // The line that answers the last action, "" while none shows; forget() hides it, so that the next
    // action's answer is told apart from an older one.
    std::string answer()
    {
        return uiObject("say_panel")->isDerivedVisible() ? std::string(uiObject("say")->getProperty("text"))
                                                         : std::string();
    }
    void forget() { LuaInterface::execute("ui.sayLeft = 0"), engine->frame(0.016f); }
    // Points at the thing, checks that the hand shows there (and the thing's name, when given), and clicks.
    void clickThing(tesraui::Object* object, const std::string& name = "")
    {
        ASSERT_NE(object, nullptr);
        const kavtypes::Rectangle rect = object->getBoundingRect();
        clickPoint(rect.x + rect.w / 2, rect.y + rect.h / 2, name);
    }
    void clickPoint(float x, float y, const std::string& name = "")
    {
        moveTo(x, y);
        ASSERT_TRUE(handAt(x, y)) << "at " << x << "," << y;
        if (name != "")
        {
            EXPECT_EQ(hoverName(), name);
        }
        click(x, y);
    }
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
        ASSERT_EQ(held(), item);
    }
    // A plain click on the item in the pane, which takes it in hand.
    void pick(const std::string& item)
    {
        ASSERT_NE(itemCell(item), nullptr) << item;
        clickThing(itemCell(item));
        ASSERT_EQ(held(), item);
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
    // A key pressed and let go.
    void key(int code)
    {
        tesra::window->handleKeyEvent(tesra::Window::KEY_DOWN, code, 0);
        tesra::window->handleKeyEvent(tesra::Window::KEY_UP, code, 0);
        engine->frame(0.016f);
    }
    // The button of the shown message box that reads the text; nullptr without one.
    tesraui::TextImageButton* boxButton(const std::string& text)
    {
        UI* ui = UI::getInstance();
        if (ui->getShownBox() == nullptr)
        {
            return nullptr;
        }
        for (const auto& pair : ui->getDataset()->getObjects())
        {
            auto* button = dynamic_cast<tesraui::TextImageButton*>(pair.second);
            if (button != nullptr && button->isDescendantOf(ui->getShownBox()->boxObject) &&
                std::string(button->getText()) == text)
            {
                return button;
            }
        }
        return nullptr;
    }
    void click(float x, float y)
    {
        engine->clickAt(x, y);
        engine->frame(0.016f);
    }
    // Frames of 0.1 s until the Lua expression reads the value or the seconds have gone.
    bool waitFor(const std::string& expression, const std::string& value, float seconds = 20.0f)
    {
        for (float waited = 0.0f; engine->lua(expression) != value && waited < seconds; waited += 0.1f)
        {
            engine->frame(0.1f);
        }
        return engine->lua(expression) == value;
    }
};
