#include <memory>

#include <lua.hpp>
#include <tesraui/Container.h>
#include <tesrauilua/Objects.h>

#include "OrvaloTestSupport.h"

namespace
{
    tesraui::Object* anyBareName(lua_State*, const hstring&)
    {
        return nullptr;
    }

    // The table "orvalo" in a Lua state of its own, and a dataset "scene" whose root object is named as a
    // scene's root is, after the scene's full name.
    class LuaObjectNames : public orvalotest::OrvaloTest
    {
    protected:
        lua_State* L = nullptr;
        std::unique_ptr<tesraui::Dataset> scene;

        void SetUp() override
        {
            orvalotest::OrvaloTest::SetUp();
            L = luaL_newstate();
            luaL_openlibs(L);
            orvalo::registerLuaFunctions(L);
            scene = std::make_unique<tesraui::Dataset>("", "scene");
            scene->load();
            scene->registerObjects(
                new tesraui::Container("chapter.scene", kavtypes::Rectangle(0, 0, 1280, 720)));
        }

        void TearDown() override
        {
            tesrauilua::setBareNameResolver(nullptr);
            if (orvalo::isMoreGamesScreenCreated())
                orvalo::destroyMoreGamesScreen();
            scene.reset();
            lua_close(L);
            orvalotest::OrvaloTest::TearDown();
        }

        // "ok", or the error text without Lua's position.
        std::string run(const std::string& code)
        {
            if (luaL_loadstring(L, code.c_str()) == 0 && lua_pcall(L, 0, 0, 0) == 0)
                return "ok";
            std::string error = lua_tostring(L, -1);
            lua_pop(L, 1);
            const size_t position = error.find("]:1: ");
            return position == std::string::npos ? error : error.substr(position + 5);
        }
    };
} // namespace

TEST_F(LuaObjectNames, ObjectNamesHoldingDotsAndBareNames)
{
    writePromotionData();
    orvalo::initData("alpha", "system", "games");
    // "scene.chapter" is no dataset: the longest prefix that is one holds the object.
    EXPECT_EQ(run("orvalo.createMoreGamesScreen('scene.chapter.scene')"), "ok");
    EXPECT_TRUE(orvalo::isMoreGamesScreenCreated());
    orvalo::destroyMoreGamesScreen();
    EXPECT_EQ(run("orvalo.createMoreGamesScreen({__name = 'scene.nothing'})"),
              "Object 'nothing' not found in 'scene' dataset.");
    // Whatever the program makes of bare names elsewhere, the table asks for a full one.
    tesrauilua::setBareNameResolver(anyBareName);
    EXPECT_EQ(run("orvalo.createMoreGamesScreen('chapter')"),
              "Unable to get object 'chapter', full object name must be provided.");
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
}
