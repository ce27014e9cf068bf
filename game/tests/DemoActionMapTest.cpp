#include <map>

#include <lua.hpp>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "objects/ActionMapObject.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    // What the demo's sign uses of object.create(type, name, nil, params), for builds that do not have
    // the object table's own yet: a child of the scene root, its rectangle and then its properties in
    // name order.
    int createInScene(lua_State* L)
    {
        kavtypes::Rectangle rect(-1.0f, -1.0f, -1.0f, -1.0f);
        std::map<std::string, std::string> properties;
        lua_pushnil(L);
        while (lua_next(L, 4) != 0)
        {
            const std::string key = lua_tostring(L, -2);
            const float number = (float)lua_tonumber(L, -1);
            if (key == "x" || key == "y" || key == "w" || key == "h")
            {
                (key == "x" ? rect.x : key == "y" ? rect.y : key == "w" ? rect.w : rect.h) = number;
            }
            else
            {
                lua_pushvalue(L, -1);
                properties[key] = lua_tostring(L, -1);
                lua_pop(L, 1);
            }
            lua_pop(L, 1);
        }
        tesraui::Object* object = tesraui::createObject(lua_tostring(L, 1), lua_tostring(L, 2), rect);
        Session::getActiveScene()->attachObject(object);
        for (const auto& pair : properties)
        {
            object->setProperty(pair.first, pair.second);
        }
        return 0;
    }

    void mouse(tesra::Window::MouseEventType type, float x, float y)
    {
        tesra::window->queueMouseEvent(type, x, y, 1);
        tesra::window->checkEvents();
    }
} // namespace

// The demo as shipped: the sign's door is a region of the action map "sign", named by its table's label, and
// a golden key lies on the sign.
class DemoActionMap : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->startDemo();
        if (!LuaInterface::isFunction("object.create"))
        {
            LuaInterface::registerFunction(&createInScene, "object.create");
        }
        engine->frame();
        // The hills' arrow at the end of the path leads to the sign.
        const kavtypes::Rectangle arrow =
            Session::getChapter("meadow")->tryGetObject("to_sign")->getBoundingRect();
        click(arrow.x + arrow.w / 2, arrow.y + arrow.h / 2);
        settle();
        ASSERT_EQ(Session::getActiveScene()->getFullName(), "meadow.sign");
    }
    void click(float x, float y)
    {
        // Buttons learn that the pointer is over them in the frame after it arrives.
        mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        mouse(tesra::Window::MOUSE_DOWN, x, y);
        mouse(tesra::Window::MOUSE_UP, x, y);
    }
    void settle()
    {
        for (int i = 0; i < 40 && (i < 2 || Session::isTransitionRunning()); ++i)
        {
            engine->frame(0.1f);
        }
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
};

TEST_F(DemoActionMap, OnlyTheDoorLeadsToTheLake)
{
    tesraui::Object* root = Session::getActiveScene()->getRootObject();
    ActionMapObject* layer = nullptr;
    for (tesraui::Object* child : root->getChildren())
    {
        layer = (layer != nullptr ? layer : dynamic_cast<ActionMapObject*>(child));
    }
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->getProperty("file"), "sign");
    EXPECT_EQ(layer->getProperty("colors"), "3C2314");
    // The map's cells are sixteen pixels of the window: the door spans 400 to 560 across, 176 to 432 down.
    EXPECT_EQ(layer->getProperty("color_rect:3C2314"), "25,11,9,15");
    EXPECT_EQ(engine->lua("meadow.sign._3C2314.label"), "The door: to the lake");
    click(300, 300); // the wood beside the door
    settle();
    EXPECT_EQ(active(), "meadow.sign");
    click(480, 420); // the door's foot
    settle();
    EXPECT_EQ(active(), "lake.shore");
}

TEST_F(DemoActionMap, TheKeyOnTheSignIsTakenOnceIntoThePack)
{
    tesraui::Dataset* meadow = tesraui::getDatasets()["meadow"];
    tesraui::Object* key = meadow->tryGetObject("key");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(VariableDictionary::getGlobal().get("demo_key_found").value(), "0");
    click(824, 128);
    settle();
    EXPECT_EQ(VariableDictionary::getGlobal().get("demo_key_found").value(), "1");
    EXPECT_EQ(VariableDictionary::getGlobal().get("items").value(), "key");
    // The scene goes on as it was, the key no longer on the wood; a click there takes nothing more, and the
    // door still works.
    EXPECT_EQ(meadow->tryGetObject("key"), key);
    EXPECT_FALSE(key->isVisible());
    click(824, 128);
    settle();
    EXPECT_EQ(VariableDictionary::getGlobal().get("items").value(), "key");
    EXPECT_EQ(active(), "meadow.sign");
    click(480, 240);
    settle();
    EXPECT_EQ(active(), "lake.shore");
}
