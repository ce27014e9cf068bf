// A script hook called the way the engine calls every hook (ask whether the function exists, then run the
// call as composed text) beside the same call made directly through Lua's API.
#include <benchmark/benchmark.h>
#include <lua.hpp>
#include <tesraui/Animators.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>

#include <memory>
#include <vector>

#include "Compare.h"
#include "lua/CustomAnimator.h"
#include "lua/Events.h"
#include "lua/LuaInterface.h"

using namespace vumo;

namespace
{
    const char* const hook = "function ui.OnKeyDown(key) lastKey = key end";

    struct State
    {
        State()
        {
            LuaInterface::init();
            LuaInterface::execute(hook);
        }
        ~State() { LuaInterface::destroy(); }
    };

    void HookAsComposedText(benchmark::State& run)
    {
        State state;
        const hstring path = "ui.OnKeyDown";
        const hstring call = "ui.OnKeyDown(65)";
        const hstring none;
        for (auto _ : run)
        {
            if (LuaInterface::isFunction(path))
            {
                LuaInterface::execute(call, none, none);
            }
        }
    }
    BENCHMARK(HookAsComposedText);

    void HookThroughLuaApi(benchmark::State& run)
    {
        State state;
        lua_State* L = LuaInterface::state;
        for (auto _ : run)
        {
            lua_getfield(L, LUA_GLOBALSINDEX, "ui");
            lua_getfield(L, -1, "OnKeyDown");
            lua_pushnumber(L, 65);
            if (lua_pcall(L, 1, 0, 0) != 0)
            {
                run.SkipWithError(lua_tostring(L, -1));
                break;
            }
            lua_pop(L, 1);
        }
    }
    BENCHMARK(HookThroughLuaApi);

    class Named : public tesraui::Event
    {
    public:
        void execute(tesraui::EventArgs*) override {}
    };

    // A custom animator's script function called by the animator's value function under a time that
    // differs on every call, beside lua_getfield and lua_pcall of the same function.
    void CustomAnimatorAgainstLuaApi(benchmark::State& run)
    {
        State state;
        LuaInterface::execute("function drive(name, time) return time * 100 end");
        tesraui::Dataset dataset("", "ui");
        tesraui::Object* parent = new tesraui::Object("parent", kavtypes::Rectangle(0, 0, 1, 1));
        tesraui::Animator* mover = new tesraui::Animators::MoverX("mover");
        parent->addChild(mover);
        dataset.registerObjects(parent);
        mover->registerEvent("drive", std::make_shared<Named>());
        static int calls = 0;
        benchcompare::Side ours;
        ours.body = [mover]
        {
            for (int i = 0; i < 100; ++i)
            {
                benchmark::DoNotOptimize(
                    LuaInterface::evaluateCustomAnimator(mover, (float)(calls++ % 10007) * 1e-3f));
            }
        };
        benchcompare::Side reference;
        reference.body = []
        {
            lua_State* L = LuaInterface::state;
            for (int i = 0; i < 100; ++i)
            {
                lua_getfield(L, LUA_GLOBALSINDEX, "drive");
                lua_pushliteral(L, "ui.mover");
                lua_pushnumber(L, (float)(calls++ % 10007) * 1e-3f);
                if (lua_pcall(L, 2, 1, 0) != 0)
                {
                    abort();
                }
                benchmark::DoNotOptimize((float)lua_tonumber(L, -1));
                lua_pop(L, 1);
            }
        };
        benchcompare::compare(run, ours, reference, 100.0);
    }
    BENCHMARK(CustomAnimatorAgainstLuaApi)->Iterations(1)->UseRealTime();

    // 1,000 code-text events, each with its own text, raised in turn, beside lua_getfield and lua_pcall
    // of a function doing what each text does.
    void CodeEventsInRotationAgainstLuaApi(benchmark::State& run)
    {
        State state;
        LuaInterface::execute("hits = 0; function hit() hits = hits + 1 end");
        std::vector<std::unique_ptr<LuaInterface::LuaCallbackEvent>> events;
        for (int i = 0; i < 1000; ++i)
        {
            events.emplace_back(
                new LuaInterface::LuaCallbackEvent(formatString("hits = hits + 1 -- %d", i), nullptr));
        }
        benchcompare::Side ours;
        ours.body = [&events]
        {
            for (auto& event : events)
            {
                event->execute(nullptr);
            }
        };
        benchcompare::Side reference;
        reference.body = []
        {
            lua_State* L = LuaInterface::state;
            for (int i = 0; i < 1000; ++i)
            {
                lua_getfield(L, LUA_GLOBALSINDEX, "hit");
                if (lua_pcall(L, 0, 0, 0) != 0)
                {
                    abort();
                }
            }
        };
        benchcompare::compare(run, ours, reference, 1000.0);
    }
    BENCHMARK(CodeEventsInRotationAgainstLuaApi)->Iterations(1)->UseRealTime();
} // namespace
