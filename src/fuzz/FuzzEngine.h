#pragma once

// The whole engine started once in a fuzzing process, on a game folder of scratch files, for targets over
// the scripts a running game reads. What a script may do is fenced for the fuzzer's sake: no files written,
// renamed or removed, no programs, libraries, URLs or sockets, and each input gets a bounded number of Lua
// instructions and bytes, so that an endless loop or a runaway table is an error of that script rather
// than a hang of the fuzzer. Each input starts from the globals as they were after start-up.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <lua.hpp>

#include <fuzz_support/Leaks.h>
#include <fuzz_support/Scratch.h>
#include <quortypes/exception.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>

#include "Config.h"
#include "Session.h"
#include "lua/LuaInterface.h"

namespace fuzz_engine
{
    // Lua's memory and instructions for one input.
    struct Budget
    {
        lua_Alloc inner = nullptr;
        void* innerData = nullptr;
        size_t used = 0;
        size_t limit = 0;
        int hooks = 0;
    };

    const size_t bytesPerInput = 64 << 20;
    const int instructionsPerHook = 10000;
    const int hooksPerInput = 2000;

    inline Budget& budget()
    {
        static Budget value;
        return value;
    }

    // Lua 5.1 passes 0 as the old size of a new block and never lets a block that shrinks fail.
    inline void* allocate(void*, void* block, size_t oldSize, size_t newSize)
    {
        Budget& b = budget();
        if (newSize > oldSize && b.used + (newSize - oldSize) > b.limit)
        {
            return nullptr;
        }
        void* result = b.inner(b.innerData, block, oldSize, newSize);
        if (result != nullptr || newSize == 0)
        {
            b.used = b.used - oldSize + newSize;
        }
        return result;
    }

    inline void countHook(lua_State* L, lua_Debug*)
    {
        if (++budget().hooks > hooksPerInput)
        {
            luaL_error(L, "the fuzzed script ran out of instructions");
        }
    }

    // Run once after start-up: takes away what a script could harm the machine with, and returns the
    // function that puts the globals back as they are now. It holds what it uses, so that a script that
    // changes the globals cannot change how they are put back.
    inline const char* const fence = R"(
        os = {time = os.time, clock = os.clock, date = os.date, difftime = os.difftime}
        io, require, module, package = nil, nil, nil, nil
        debug.sethook = nil
        sys.openUrl, sys.initLuaSocket, socket = nil, nil, nil
        local next, rawset, type, pcall, setmetatable, G = next, rawset, type, pcall, setmetatable, _G
        local saved = {}
        for name, value in next, G do
            local fields = {}
            if type(value) == "table" and name ~= "_G" then
                for k, v in next, value do fields[k] = v end
            end
            saved[name] = {value = value, fields = fields, meta = getmetatable(value)}
        end
        local meta = getmetatable(G)
        return function()
            pcall(setmetatable, G, meta)
            for name in next, G do
                if saved[name] == nil then rawset(G, name, nil) end
            end
            for name, entry in next, saved do
                rawset(G, name, entry.value)
                if type(entry.value) == "table" and name ~= "_G" then
                    local now = entry.value
                    for k in next, now do
                        if entry.fields[k] == nil then rawset(now, k, nil) end
                    end
                    for k, v in next, entry.fields do rawset(now, k, v) end
                    pcall(setmetatable, now, entry.meta)
                end
            end
        end
    )";

    // The registry's reference to the function that puts the globals back.
    inline int& restoreFunction()
    {
        static int reference = LUA_NOREF;
        return reference;
    }

    // Writes the game's files, starts the engine in the scratch folder and fences its scripts.
    inline void start(const std::vector<std::pair<std::string, std::string>>& files,
                      vumo::Session::UIFactory createUI = nullptr)
    {
        const std::string& folder = fuzz_support::scratchFolder();
        for (const auto& [name, bytes] : files)
        {
            fuzz_support::writeFile(name, bytes);
        }
        std::filesystem::create_directories(folder + "/xdg");
        std::filesystem::create_directories(folder + "/run");
        setenv("XDG_DATA_HOME", (folder + "/xdg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (folder + "/run").c_str(), 1);
        setenv("TESRA_MESSAGEBOX_ANSWER", "ok", 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
        std::filesystem::current_path(folder);
        fuzz_support::checkLeaksBeforeStatics();
        if (!vumo::Session::loadConfig(false))
        {
            abort();
        }
        vumo::Session::init(createUI);
        tesra_testing::keepLoadedLibraries();
        lua_State* L = vumo::LuaInterface::state;
        if (luaL_loadstring(L, fence) != 0 || lua_pcall(L, 0, 1, 0) != 0)
        {
            abort();
        }
        restoreFunction() = luaL_ref(L, LUA_REGISTRYINDEX);
        Budget& b = budget();
        b.inner = lua_getallocf(L, &b.innerData);
        b.used = (size_t)lua_gc(L, LUA_GCCOUNT, 0) * 1024 + (size_t)lua_gc(L, LUA_GCCOUNTB, 0);
        b.limit = b.used + bytesPerInput;
        lua_setallocf(L, &allocate, nullptr);
        lua_sethook(L, &countHook, LUA_MASKCOUNT, instructionsPerHook);
    }

    // The budget renewed and the globals as start-up left them.
    inline void beginInput()
    {
        Budget& b = budget();
        b.hooks = 0;
        b.limit = b.used + bytesPerInput;
        lua_State* L = vumo::LuaInterface::state;
        lua_rawgeti(L, LUA_REGISTRYINDEX, restoreFunction());
        if (lua_pcall(L, 0, 0, 0) != 0)
        {
            lua_pop(L, 1);
        }
        b.hooks = 0;
    }

    // Runs Lua code as the game's scripts would; its error is the script's own.
    inline void run(const std::string& code)
    {
        try
        {
            vumo::LuaInterface::execute(code);
        }
        catch (const quortypes::exception&)
        {
        }
    }

    inline void frame(float timeDelta)
    {
        tesra::window->getUpdateDelegate()->onUpdate(timeDelta);
    }
} // namespace fuzz_engine
