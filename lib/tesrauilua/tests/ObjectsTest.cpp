#include <memory>
#include <vector>

#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "LuaStateTestSupport.h"

using kavtypes::Rectangle;

namespace
{
    // The full name of the object that the argument at the index in the global "at" names.
    int objectName(lua_State* L)
    {
        lua_getglobal(L, "at");
        const int index = (int)lua_tonumber(L, -1);
        lua_pop(L, 1);
        return tesrauilua::push(L, tesrauilua::getObject(L, index)->getFullName());
    }

    tesraui::Object* resolved = nullptr;

    tesraui::Object* resolveBareName(lua_State* L, const hstring& name)
    {
        if (name != "door")
        {
            tesrauilua::raiseLuaError(L, "no bare " + name);
        }
        return resolved;
    }

    // "menu" with "button"; "a" with "b.c" and "a.b" with "c", so that "a.b.c" has two readings; "scene"
    // with a root object named after the scene's full name, whose dataset part is no dataset.
    class ObjectLookup : public tesrauiluatest::LuaStateTest
    {
    protected:
        std::vector<std::unique_ptr<tesraui::Dataset>> datasets;

        tesraui::Dataset* add(const hstring& dataset, const hstring& object)
        {
            datasets.push_back(std::make_unique<tesraui::Dataset>("", dataset));
            datasets.back()->registerObjects(new tesraui::Object(object, Rectangle(0, 0, 10, 10)));
            return datasets.back().get();
        }

        void SetUp() override
        {
            LuaStateTest::SetUp();
            add("menu", "button");
            add("a", "b.c");
            add("a.b", "c");
            add("scene", "chapter.scene");
            tesrauilua::registerFunction(L, objectName, "objectName");
        }

        void TearDown() override
        {
            tesrauilua::setBareNameResolver(nullptr);
            LuaStateTest::TearDown();
        }

        std::string name(int at, const std::string& args)
        {
            run("at = " + std::to_string(at));
            return run("return objectName(" + args + ")");
        }
    };
} // namespace

TEST_F(ObjectLookup, NamesTablesAndNegativeIndices)
{
    const std::vector<std::tuple<int, const char*, std::string>> cases = {
        {1, "'menu.button'", "menu.button"},
        {1, "{__name = 'menu.button'}", "menu.button"},
        {-1, "nil, 'menu.button'", "menu.button"},
        {-2, "'menu.button', 1", "menu.button"},
        // Messages name the absolute index.
        {-1, "'menu.button', {}",
         "error: C++ interface: Unable to convert table to Object instance at stack index 2. The provided "
         "object table is invalid."},
        {-1, "1, 2, 12",
         "error: C++ interface: Unable to convert number to Object instance at stack index 3. Objects should "
         "be referenced as strings or object tables"},
        {1, "true",
         "error: C++ interface: Unable to convert boolean to Object instance at stack index 1. Objects "
         "should "
         "be referenced as strings or object tables"},
        {1, "'menu.%d%s%n'", "error: Object '%d%s%n' not found in 'menu' dataset."},
    };
    for (const auto& [at, args, expected] : cases)
    {
        EXPECT_EQ(name(at, args), expected) << at << " " << args;
    }
}

TEST_F(ObjectLookup, LongestDatasetPrefixWins)
{
    const std::pair<const char*, std::string> cases[] = {
        {"'a.b.c'", "a.b.c"},
        {"'scene.chapter.scene'", "scene.chapter.scene"},
        {"'scene.chapter.other'", "error: Object 'chapter.other' not found in 'scene' dataset."},
        {"'nowhere.x.y'", "error: [tesraui:98] Dataset 'nowhere.x' doesn't exist!"},
    };
    for (const auto& [args, expected] : cases)
    {
        EXPECT_EQ(name(1, args), expected) << args;
    }
    // "a.b.c" found in "a.b", not as "b.c" of "a".
    EXPECT_EQ(tesrauilua::findObject(L, "a.b.c"), datasets[2]->getObject("c"));
}

TEST_F(ObjectLookup, BareNamesGoToTheResolver)
{
    EXPECT_EQ(name(1, "'door'"), "error: Unable to get object 'door', full object name must be provided.");
    resolved = datasets[0]->getObject("button");
    tesrauilua::setBareNameResolver(resolveBareName);
    EXPECT_EQ(name(1, "'door'"), "menu.button");
    EXPECT_EQ(name(1, "'window'"), "error: no bare window");
    // Full names never reach it, and the strict lookup never asks it.
    EXPECT_EQ(name(1, "'a.b.c'"), "a.b.c");
    EXPECT_EQ(run("return pcall(objectName, 'door')"), "true|menu.button");
    lua_pushcfunction(L,
                      [](lua_State* L)
                      {
                          tesrauilua::findDatasetObject(L, "door");
                          return 0;
                      });
    EXPECT_NE(lua_pcall(L, 0, 0, 0), 0);
    EXPECT_EQ(std::string(lua_tostring(L, -1)),
              "Unable to get object 'door', full object name must be provided.");
    lua_pop(L, 1);
}

TEST_F(ObjectLookup, PushedTablesCarryTheFullName)
{
    run("__object__metatable = {} at = 1");
    tesrauilua::pushObject(L, datasets[2]->getObject("c"));
    lua_setglobal(L, "pushed");
    EXPECT_EQ(run("return rawget(pushed, '__name'), getmetatable(pushed) == __object__metatable, "
                  "objectName(pushed)"),
              "a.b.c|true|a.b.c");
    EXPECT_EQ(tesrauilua::pushObject(L, nullptr), 1);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
}
