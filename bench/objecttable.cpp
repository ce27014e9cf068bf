// 10,000 `o.x = o.x + 1` through an object table beside the same getProperty/setProperty calls made from
// C++ and beside a plain Lua table; then the parts of one object-table access on their own: finding the
// object by its name, converting the value for Lua, and the object's property lookup.
#include <benchmark/benchmark.h>
#include <lua.hpp>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "Compare.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"

using namespace vumo;

namespace
{
    const int steps = 10000;

    int lookupOnly(lua_State* L)
    {
        LuaInterface::getObject(L, 1);
        return 0;
    }

    int convertOnly(lua_State* L)
    {
        return LuaInterface::pushTyped(L, LuaInterface::toString(L, 1), PropertyInfo::FLOAT);
    }

    struct World
    {
        tesraui::Dataset dataset{"", "bench"};
        tesraui::Object* object = new tesraui::Object("o", kavtypes::Rectangle(0, 0, 10, 10));
        World()
        {
            LuaInterface::init();
            dataset.registerObjects(object);
            LuaInterface::registerFunction(lookupOnly, "bench.lookup");
            LuaInterface::registerFunction(convertOnly, "bench.convert");
            LuaInterface::execute(
                "o = object.getObject('bench.o')\n"
                "function viaObjectTable() for i = 1, 10000 do o.x = o.x + 1 end end\n"
                "function viaPlainTable() local t = {x = 0} for i = 1, 10000 do t.x = t.x + 1 end end\n"
                "function lookups() for i = 1, 10000 do bench.lookup(o) end end\n"
                "function conversions() for i = 1, 10000 do bench.convert('12.5') end end");
        }
        ~World() { LuaInterface::destroy(); }
        std::function<void()> call(const char* function)
        {
            return [function]
            {
                lua_State* L = LuaInterface::state;
                lua_getglobal(L, function);
                lua_call(L, 0, 0);
            };
        }
        void cpp()
        {
            for (int i = 0; i < steps; ++i)
            {
                object->getPropertyDescriptions();
                object->setProperty("x", hstring(object->getProperty("x").toFloat() + 1.0f));
            }
        }
    };

    void ObjectTableBesideCpp(benchmark::State& state)
    {
        World world;
        benchcompare::compare(state, {world.call("viaObjectTable")}, {[&] { world.cpp(); }}, steps);
    }
    BENCHMARK(ObjectTableBesideCpp)->Iterations(1);

    void ObjectTableBesidePlainTable(benchmark::State& state)
    {
        World world;
        benchcompare::compare(state, {world.call("viaObjectTable")}, {world.call("viaPlainTable")}, steps);
    }
    BENCHMARK(ObjectTableBesidePlainTable)->Iterations(1);

    // The parts, each beside the plain table: one name lookup, one conversion, one property read.
    void PartNameLookup(benchmark::State& state)
    {
        World world;
        benchcompare::compare(state, {world.call("lookups")}, {world.call("viaPlainTable")}, steps);
    }
    BENCHMARK(PartNameLookup)->Iterations(1);

    void PartConversion(benchmark::State& state)
    {
        World world;
        benchcompare::compare(state, {world.call("conversions")}, {world.call("viaPlainTable")}, steps);
    }
    BENCHMARK(PartConversion)->Iterations(1);

    void PartProperty(benchmark::State& state)
    {
        World world;
        benchcompare::compare(state,
                              {[&]
                               {
                                   for (int i = 0; i < steps; ++i)
                                   {
                                       world.object->getPropertyDescriptions();
                                       benchmark::DoNotOptimize(world.object->getProperty("x"));
                                   }
                               }},
                              {world.call("viaPlainTable")}, steps);
    }
    BENCHMARK(PartProperty)->Iterations(1);
} // namespace
