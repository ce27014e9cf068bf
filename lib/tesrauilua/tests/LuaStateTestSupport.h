#pragma once

#include <string>

#include <gtest/gtest.h>
#include <lua.hpp>

#include <tesrauilua/tesrauilua.h>

namespace tesrauiluatest
{
    // A fresh Lua state with the standard libraries for each test.
    class LuaStateTest : public ::testing::Test
    {
    protected:
        lua_State* L = nullptr;

        void SetUp() override
        {
            L = luaL_newstate();
            luaL_openlibs(L);
        }

        void TearDown() override { lua_close(L); }

        // The chunk's results joined by "|" (tostring of each), or "error: " and the message with Lua's
        // position in front of it cut off. The stack is left as it was.
        std::string run(const std::string& code)
        {
            const int top = lua_gettop(L);
            if (luaL_loadbuffer(L, code.c_str(), code.size(), "test") != 0 ||
                lua_pcall(L, 0, LUA_MULTRET, 0) != 0)
            {
                std::string message = lua_tostring(L, -1);
                lua_settop(L, top);
                const size_t position = message.find("]:1: ");
                return "error: " + (position == std::string::npos ? message : message.substr(position + 5));
            }
            std::string result;
            for (int i = top + 1; i <= lua_gettop(L); ++i)
            {
                lua_getglobal(L, "tostring");
                lua_pushvalue(L, i);
                lua_call(L, 1, 1);
                result += (i > top + 1 ? "|" : "") + std::string(lua_tostring(L, -1));
                lua_pop(L, 1);
            }
            lua_settop(L, top);
            return result;
        }
    };
} // namespace tesrauiluatest
