#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;

namespace
{
    int nothing(lua_State*)
    {
        return 0;
    }
} // namespace

// The script reference lists exactly the engine's own functions: every way of registering one is
// recognised, and Lua's functions, the scripts' and other values are not.
TEST_F(LuaTest, RegisteredFunctionsAreToldFromAllOthers)
{
    start();
    LuaInterface::registerFunction(nothing, "probe.plain");
    LuaInterface::beginClassMethods("object.Probe");
    LuaInterface::registerMethod(nothing, "method");
    LuaInterface::endClassMethods();
    static const LuaInterface::NamedFunction methods[] = {{"size", nothing}, {nullptr, nullptr}};
    static const LuaInterface::NamedFunction metamethods[] = {{nullptr, nullptr}};
    LuaInterface::registerUserdataType("probetype", methods, metamethods, true);
    LuaInterface::execute("function scripted() end; number = 1");
    for (const auto& [expression, registered] :
         std::vector<std::pair<const char*, bool>>{{"probe.plain", true},
                                                   {"object.Probe.method", true},
                                                   {"probetype.size", true},
                                                   {"error", true},
                                                   {"print", false},
                                                   {"string.format", false},
                                                   {"scripted", false},
                                                   {"number", false},
                                                   {"probe", false},
                                                   {"nothing_here", false}})
    {
        LuaInterface::execute(std::string("probed = ") + expression);
        lua_getglobal(L(), "probed");
        EXPECT_EQ(LuaInterface::isRegisteredFunction(L(), -1), registered) << expression;
        lua_pop(L(), 1);
    }
}
