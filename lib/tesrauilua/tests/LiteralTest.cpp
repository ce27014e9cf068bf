#include "LuaStateTestSupport.h"

using tesrauiluatest::LuaStateTest;

TEST_F(LuaStateTest, LiteralsRoundTripAnyBytes)
{
    EXPECT_EQ(tesrauilua::literal("door"), "\"door\"");
    EXPECT_EQ(tesrauilua::literal("door", '\''), "'door'");
    EXPECT_EQ(tesrauilua::literal(""), "\"\"");
    // A digit after a zero byte must not join its escape.
    const hstring awkward("a\"b'c\\d\ne\rf\0"
                          "1g\xc3\xa9h\xff\x80i\\",
                          21);
    for (char quote : {'"', '\''})
    {
        const hstring code = "value = " + tesrauilua::literal(awkward, quote);
        ASSERT_EQ(luaL_loadbuffer(L, code.c_str(), code.size(), "literal"), 0) << lua_tostring(L, -1);
        lua_call(L, 0, 0);
        lua_getglobal(L, "value");
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        EXPECT_EQ(hstring(text, (int)length), awkward) << quote;
        lua_pop(L, 1);
    }
}
