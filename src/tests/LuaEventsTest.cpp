#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>

#include "LuaTestSupport.h"
#include "lua/Events.h"

using namespace vumo;

using namespace luatest;
using kavtypes::Rectangle;

namespace
{
    tesraui::Object* target = nullptr;
    LuaInterface::LuaFunctionCallbackEvent* running = nullptr;

    // onEvent(f, ...) makes a function event of f and the values after it on the target's "Ev".
    int onEvent(lua_State* L)
    {
        target->registerEvent("Ev", LuaInterface::makeFunctionEvent(L, 1));
        return 0;
    }

    // Objects in a dataset named by the test; each raises "Ev".
    struct Objects
    {
        tesraui::Dataset* dataset;
        explicit Objects(const hstring& name) : dataset(new tesraui::Dataset("", name)) {}
        ~Objects() { delete dataset; }
        tesraui::Object* add(const hstring& name)
        {
            tesraui::Object* object = new tesraui::Object(name, Rectangle(0, 0, 1, 1));
            dataset->registerObjects(object);
            return object;
        }
        void raise(tesraui::Object* object)
        {
            object->triggerEvent("Ev", 0u);
            dataset->processEvents();
        }
    };
} // namespace

TEST_F(LuaTest, CodeEventsPasteTheObjectNameAsALiteral)
{
    start();
    LuaInterface::execute("sound = {play = function(name) played = name end}");
    Objects objects("scene");
    const hstring awkward = "it's a \"door\"\\";
    for (const hstring& name : {hstring("door"), awkward})
    {
        tesraui::Object* object = objects.add(name);
        object->registerEvent("Ev",
                              std::make_shared<LuaInterface::LuaCallbackEvent>("sound.play(%s)", nullptr));
        objects.raise(object);
        EXPECT_EQ(LuaInterface::getGlobalString("played"), name);
    }
    EXPECT_EQ(host.take(),
              (Lines{"ui: sound.play(\"door\")", "ui: sound.play(\"it\\'s a \\\"door\\\"\\\\\")"}));

    // Without "%s" the code runs unchanged.
    tesraui::Object* plain = objects.add("plain");
    plain->registerEvent("Ev", std::make_shared<LuaInterface::LuaCallbackEvent>("share = '100%d'", nullptr));
    objects.raise(plain);
    EXPECT_EQ(host.take(), Lines{"ui: share = '100%d'"});
    EXPECT_EQ(eval("return ui.share"), "100%d");
}

TEST_F(LuaTest, CodeEventsRunInTheirScene)
{
    start();
    LuaInterface::execute("room = {}");
    Objects uiObjects("ui");
    Objects sceneObjects("room");
    host.scene = reinterpret_cast<Scene*>(&sceneObjects);
    host.environment = "room";
    tesraui::Object* button = uiObjects.add("button");
    tesraui::Object* door = sceneObjects.add("door");
    EXPECT_EQ(LuaInterface::getSceneForObject(button), nullptr);
    EXPECT_EQ(LuaInterface::getSceneForObject(door), host.scene);
    button->registerEvent("Ev", std::make_shared<LuaInterface::LuaCallbackEvent>(
                                    "clicked = %s", LuaInterface::getSceneForObject(button)));
    door->registerEvent("Ev", std::make_shared<LuaInterface::LuaCallbackEvent>(
                                  "clicked = %s", LuaInterface::getSceneForObject(door)));
    uiObjects.raise(button);
    sceneObjects.raise(door);
    EXPECT_EQ(host.take(), (Lines{"ui: clicked = \"button\"", "scene: clicked = \"door\""}));
    EXPECT_EQ(eval("return rawget(ui, 'clicked'), room.clicked, clicked"), "button|door|nil");

    // Once the scene has gone (its chapter unloaded), its code runs where the host runs an object's.
    host.sceneLife.end();
    sceneObjects.raise(door);
    EXPECT_EQ(host.take(), Lines{"object: clicked = \"door\""});
}

TEST_F(LuaTest, FunctionEventsCallWithTheirOwnArguments)
{
    start();
    Objects objects("scene");
    target = objects.add("door");
    LuaInterface::registerFunction(onEvent, "onEvent");
    LuaInterface::execute("calls = {}; shared = {}; "
                          "function record(...) calls[#calls + 1] = {n = select('#', ...), ...} end; "
                          "onEvent(record, 1, 'a', shared)");
    const int top = lua_gettop(L());
    objects.raise(target);
    objects.raise(target);
    EXPECT_EQ(eval("return #calls, calls[1].n, calls[1][1], calls[1][2], calls[1][3] == shared, "
                   "calls[2][3] == shared"),
              "2|3|1|a|true|true");
    EXPECT_EQ(lua_gettop(L()), top);
    EXPECT_TRUE(host.take().empty());

    // A failing function is reported on every run, to the overlay only.
    LuaInterface::execute("function fail(x) error('failed with ' .. x) end; onEvent(fail, 7)");
    objects.raise(target);
    objects.raise(target);
    const Lines journal = host.take();
    ASSERT_EQ(journal.size(), 2u);
    for (const std::string& line : journal)
    {
        EXPECT_NE(line.find("failed with 7\nstack traceback:"), std::string::npos) << line;
        EXPECT_NE(line.find("\nContext: LuaFunctionCallbackEvent\nC++ file: Events.cpp:"), std::string::npos);
    }
    EXPECT_EQ(lua_gettop(L()), top);
}

TEST_F(LuaTest, FunctionEventReplacedOrDeletedWhileItRuns)
{
    start();
    Objects objects("scene");
    target = objects.add("door");
    LuaInterface::registerFunction(onEvent, "onEvent");
    LuaInterface::execute(
        "count = 0; function again() count = count + 1; onEvent(again) end; onEvent(again)");
    const int top = lua_gettop(L());
    for (int i = 0; i < 3; ++i)
    {
        objects.raise(target);
    }
    EXPECT_EQ(eval("return count"), "3");

    // Called directly, without the queue's protection, by a function that deletes it.
    LuaInterface::registerFunction(
        [](lua_State*)
        {
            delete running;
            return 0;
        },
        "deleteRunning");
    lua_getglobal(L(), "deleteRunning");
    running = LuaInterface::makeFunctionEvent(L(), -1).release();
    running->execute(nullptr);
    EXPECT_EQ(lua_gettop(L()), top);
}

TEST_F(LuaTest, FunctionEventOutlivingTheState)
{
    start();
    LuaInterface::execute("function f() end");
    lua_getglobal(L(), "f");
    lua_pushnumber(L(), 1);
    std::unique_ptr<LuaInterface::LuaFunctionCallbackEvent> event = LuaInterface::makeFunctionEvent(L(), -2);
    EXPECT_EQ(event->arguments.size(), 1);
    LuaInterface::destroy();
    event->execute(nullptr);
    event.reset();
    start();
    EXPECT_EQ(eval("return 1"), "1");
}
