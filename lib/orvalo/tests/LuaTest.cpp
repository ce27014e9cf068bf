#include <lua.hpp>

#include "OrvaloTestSupport.h"

using orvalotest::Lines;
using orvalotest::LogCapture;

namespace
{
    // A Lua state with the table "orvalo".
    class LuaTable : public orvalotest::OrvaloTest
    {
    protected:
        lua_State* L = nullptr;

        void SetUp() override
        {
            orvalotest::OrvaloTest::SetUp();
            this->L = luaL_newstate();
            luaL_openlibs(this->L);
            orvalo::registerLuaFunctions(this->L);
        }

        void TearDown() override
        {
            lua_close(this->L);
            orvalotest::OrvaloTest::TearDown();
        }

        // The error text of a chunk, "ok" with its first result as text when it runs through.
        std::string run(const std::string& code)
        {
            if (luaL_loadstring(this->L, code.c_str()) != 0 || lua_pcall(this->L, 0, 1, 0) != 0)
            {
                std::string error = lua_tostring(this->L, -1);
                lua_pop(this->L, 1);
                return error;
            }
            std::string result = lua_isstring(this->L, -1) ? lua_tostring(this->L, -1) : "";
            lua_pop(this->L, 1);
            return "ok " + result;
        }
    };
} // namespace

TEST_F(LuaTable, FunctionsAndArgumentMessages)
{
    orvalotest::OpenerStub opener;
    this->writePromotionData();
    orvalo::initData("alpha", "system", "games");
    orvalotest::Scene scene;
    LogCapture log;
    const std::pair<const char*, const char*> cases[] = {
        {"return orvalo.getRateLink()", "ok https://example.invalid/rate/alpha"},
        {"orvalo.createMoreGamesScreen()",
         "orvalo.createMoreGamesScreen(): function can only be called with one object table/string argument"},
        {"orvalo.createMoreGamesScreen('root')",
         "Unable to get object 'root', full object name must be provided."},
        {"orvalo.createMoreGamesScreen({})", "C++ interface: Unable to convert table to Object instance at "
                                             "stack index 1. The provided object table is "
                                             "invalid."},
        {"orvalo.createMoreGamesScreen(5)", "C++ interface: Unable to convert number to Object instance at "
                                            "stack index 1. Objects should be referenced "
                                            "as strings or object tables"},
        // The framework's own lookups fail as Lua errors too, through the same boundary.
        {"orvalo.createMoreGamesScreen('nowhere.root')", "Dataset 'nowhere' doesn't exist!"},
        {"orvalo.createMoreGamesScreen({__name = 'scene.root'})", "ok "},
        {"orvalo.showMoreGamesScreen()", "ok "},
        {"orvalo.rateApp()", "ok "},
        {"orvalo.destroyMoreGamesScreen()", "ok "},
        {"orvalo.destroyMoreGamesScreen()", "ok "},
    };
    for (const auto& [code, expected] : cases)
    {
        std::string result = this->run(code);
        // Lua puts the caller's position in front of the message.
        const size_t at = result.find(expected);
        EXPECT_TRUE(at != std::string::npos && at + strlen(expected) == result.size()) << code << "\n"
                                                                                       << result;
    }
    EXPECT_TRUE(log.has("Creating More-Games Screen."));
    EXPECT_TRUE(log.has("ERROR: More-Games Screen does not exist!"));
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
    EXPECT_EQ(opener.waitFor(1), "https://example.invalid/rate/alpha\n");
}
