// The script calls the game UI makes every frame (the update hook, the cursor mode, the cursor position
// and the idiom override) through UI's own operations, beside the same four calls made directly through
// Lua's API, in one run.
#include <stdlib.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <lua.hpp>
#include <quortypes_testing/TempFolder.h>

#include "Compare.h"
#include "Chapter.h"
#include "Config.h"
#include "Scene.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "ScriptTexts.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const char* const script = "function ui.update(dt) ui.clock = (ui.clock or 0) + dt end\n"
                               "c1 = {a = setmetatable({}, {__index = _G})}\n"
                               "function c1.a.OnUpdate(dt) c1.a.clock = (c1.a.clock or 0) + dt end\n"
                               "function ui.getCursorMode() return 'hand', 'default' end\n"
                               "function ui.createCursor(mode, cursor) end\n"
                               "function ui.updateCursorPosition(x, y) ui.x, ui.y = x, y end\n"
                               "function ui.getUIIdiomOverride() return 'pc' end\n";

    // Forgets the idiom of the frame, as the next frame does.
    class BenchUI : public UI
    {
    public:
        void nextFrame() { this->idiomFrame = -1; }
    };

    UI* makeUI()
    {
        return new BenchUI();
    }

    void start()
    {
        static bool started = false;
        if (started)
        {
            return;
        }
        started = true;
        static const std::filesystem::path folder = quortypes_testing::makeTempFolder("vumo-bench-uiframe-");
        atexit([] { std::filesystem::remove_all(folder); });
        std::filesystem::create_directories(folder / "cfg");
        std::filesystem::create_directories(folder / "data/ui");
        std::filesystem::create_directories(folder / "data/lib");
        std::ofstream(folder / "cfg/vumo.cfg") << "title: UIFrameBench\ntarget: pc\nwidth: 320\nheight: 240\n"
                                                  "audio_mute: 1\n";
        std::ofstream(folder / "data/ui/ui.dts") << "<Dataset/>";
        std::ofstream(folder / "data/lib/ui.lua") << script;
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        std::filesystem::current_path(folder);
        Session::loadConfig(false);
        Session::init(&makeUI);
    }

    void callThroughApi(lua_State* L, const char* name, int arguments, int results)
    {
        lua_getfield(L, -1 - arguments, name);
        lua_insert(L, -1 - arguments);
        if (lua_pcall(L, arguments, results, 0) != 0)
        {
            abort();
        }
    }

    void UIFrameScriptCalls(benchmark::State& state)
    {
        start();
        BenchUI* ui = static_cast<BenchUI*>(UI::getInstance());
        benchcompare::Side ours;
        ours.body = [ui]
        {
            for (int i = 0; i < 100; ++i)
            {
                ui->execute(HookTexts::update(0.016f));
                ui->updateCursor();
                ui->nextFrame();
                benchmark::DoNotOptimize(ui->getUIIdiom());
            }
        };
        benchcompare::Side reference;
        reference.body = []
        {
            lua_State* L = LuaInterface::state;
            for (int i = 0; i < 100; ++i)
            {
                lua_getfield(L, LUA_GLOBALSINDEX, "ui");
                lua_pushnumber(L, 0.016);
                callThroughApi(L, "update", 1, 0);
                callThroughApi(L, "getCursorMode", 0, 2);
                benchmark::DoNotOptimize(strcmp(lua_tostring(L, -2), "hand"));
                lua_pop(L, 2);
                lua_pushnumber(L, 10.0);
                lua_pushnumber(L, 20.0);
                callThroughApi(L, "updateCursorPosition", 2, 0);
                callThroughApi(L, "getUIIdiomOverride", 0, 1);
                benchmark::DoNotOptimize(strcmp(lua_tostring(L, -1), "pc"));
                lua_pop(L, 2);
            }
        };
        benchcompare::compare(state, ours, reference, 100.0);
    }
    BENCHMARK(UIFrameScriptCalls)->Iterations(1)->UseRealTime();

    // A frame time that differs on every call, as a real frame's does.
    float frameTime(int call)
    {
        static int frames = 0;
        return 0.016f + (float)((frames++ + call) % 997) * 1e-6f;
    }

    // The reference of a hook: lua_getfield down the path of names from the globals, then lua_pcall of the
    // function found with a frame's time, a hundred times. The path's length is known to the compiler, so
    // that the walk costs what the calls written out would.
    template <size_t N> benchcompare::Side hookThroughApi(std::array<const char*, N> path)
    {
        benchcompare::Side reference;
        reference.body = [path]
        {
            lua_State* L = LuaInterface::state;
            for (int i = 0; i < 100; ++i)
            {
                lua_getfield(L, LUA_GLOBALSINDEX, path[0]);
                for (size_t name = 1; name < N; ++name)
                {
                    lua_getfield(L, -1, path[name]);
                }
                lua_pushnumber(L, frameTime(i));
                if (lua_pcall(L, 1, 0, 0) != 0)
                {
                    abort();
                }
                lua_pop(L, (int)N - 1);
            }
        };
        return reference;
    }

    // The update hook as UI::update calls it, beside lua_getfield and lua_pcall of the same function.
    void UpdateHookAgainstLuaApi(benchmark::State& state)
    {
        start();
        BenchUI* ui = static_cast<BenchUI*>(UI::getInstance());
        benchcompare::Side ours;
        ours.body = [ui]
        {
            for (int i = 0; i < 100; ++i)
            {
                ui->callUpdateHook(frameTime(i));
            }
        };
        benchcompare::compare(state, ours, hookThroughApi<2>({"ui", "update"}), 100.0);
    }
    BENCHMARK(UpdateHookAgainstLuaApi)->Iterations(1)->UseRealTime();

    // A scene's OnUpdate as Scene::update calls it, beside lua_getfield and lua_pcall of the same
    // function from its environment table.
    void SceneUpdateHookAgainstLuaApi(benchmark::State& state)
    {
        start();
        static Chapter chapter("data/chapters/c1/c1.datadef", "c1");
        static Scene scene(&chapter, "a", "a.scene");
        benchcompare::Side ours;
        ours.body = []
        {
            for (int i = 0; i < 100; ++i)
            {
                scene.onUpdate(frameTime(i));
            }
        };
        benchcompare::compare(state, ours, hookThroughApi<3>({"c1", "a", "OnUpdate"}), 100.0);
    }
    BENCHMARK(SceneUpdateHookAgainstLuaApi)->Iterations(1)->UseRealTime();

    // The raw reads the hook makes for a scene's OnUpdate, written out as bare API calls (the handler, the
    // environment c1.a, the function and its kind, the call), with or without the four reads that show
    // "type" in the environment to be Lua's own; beside the same reference as the hook's. What the hook
    // costs over these is its own work; what these cost over the reference is the price of the library's
    // calls the exact lookups need.
    void SceneUpdateReadsByHand(benchmark::State& state)
    {
        start();
        const bool checkType = state.range(0) != 0;
        lua_State* L = LuaInterface::state;
        static int keys[5];
        static lua_CFunction libraryType;
        static const char* const names[] = {"c1", "a", "OnUpdate", "type", "__index"};
        for (int k = 0; k < 5; ++k)
        {
            lua_pushstring(L, names[k]);
            keys[k] = luaL_ref(L, LUA_REGISTRYINDEX);
        }
        lua_getglobal(L, "type");
        libraryType = lua_tocfunction(L, -1);
        lua_pushcfunction(L, [](lua_State*) { return 1; });
        const int handler = luaL_ref(L, LUA_REGISTRYINDEX);
        lua_pop(L, 1);
        benchcompare::Side ours;
        ours.body = [L, checkType, handler]
        {
            for (int i = 0; i < 100; ++i)
            {
                const int base = lua_gettop(L);
                lua_rawgeti(L, LUA_REGISTRYINDEX, handler);
                lua_rawgeti(L, LUA_REGISTRYINDEX, keys[0]);
                lua_rawget(L, LUA_GLOBALSINDEX);
                bool usable = lua_type(L, -1) == LUA_TTABLE;
                lua_rawgeti(L, LUA_REGISTRYINDEX, keys[1]);
                lua_rawget(L, base + 2);
                usable = usable && lua_type(L, -1) == LUA_TTABLE;
                const int environment = base + 3;
                if (checkType)
                {
                    lua_rawgeti(L, LUA_REGISTRYINDEX, keys[3]);
                    lua_pushvalue(L, -1);
                    lua_rawget(L, environment);
                    usable = usable && lua_type(L, -1) == LUA_TNIL && lua_getmetatable(L, environment) != 0;
                    lua_rawgeti(L, LUA_REGISTRYINDEX, keys[4]);
                    lua_rawget(L, -2);
                    usable = usable && lua_type(L, -1) == LUA_TTABLE;
                    lua_pushvalue(L, -4);
                    lua_rawget(L, -2);
                    usable = usable && lua_tocfunction(L, -1) == libraryType;
                    lua_settop(L, environment);
                }
                lua_rawgeti(L, LUA_REGISTRYINDEX, keys[2]);
                lua_rawget(L, environment);
                usable = usable && lua_type(L, -1) == LUA_TFUNCTION && lua_iscfunction(L, -1) == 0;
                lua_pushnumber(L, frameTime(i));
                if (!usable || lua_pcall(L, 1, 0, base + 1) != 0)
                {
                    abort();
                }
                lua_settop(L, base);
            }
        };
        benchcompare::compare(state, ours, hookThroughApi<3>({"c1", "a", "OnUpdate"}), 100.0);
        for (int key : keys)
        {
            luaL_unref(L, LUA_REGISTRYINDEX, key);
        }
        luaL_unref(L, LUA_REGISTRYINDEX, handler);
    }
    BENCHMARK(SceneUpdateReadsByHand)->Arg(0)->Arg(1)->Iterations(1)->UseRealTime();
} // namespace
