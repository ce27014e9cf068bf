#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>
#include <tesra/tesra.h>

#include "Config.h"
#include "FolderDepth.h"
#include "Calls.h"
#include "StateCache.h"
#include "Host.h"
#include "LuaInterface.h"
#include "SignalStop.h"

namespace vumo
{
    namespace LuaInterface
    {
        const hstring logTag = "vumo";
        lua_State* state = nullptr;

        namespace
        {
            void openLibrary(lua_CFunction open, const char* name)
            {
                lua_pushcfunction(state, open);
                lua_pushstring(state, name);
                quortypes::Log::write(logTag, hstring("initializing lua package: ") + name);
                lua_call(state, 1, 0);
            }

            // A script's error outside every protected call: the engine's own calls into Lua (pushing a
            // hook's arguments, an environment's name) are such places, and a script's finalizer (__gc) runs
            // there whenever the allocation runs the collector. Its error is the script's, and reaches the
            // engine's caller as if that call had failed, as it does inside a hook. Lua has already emptied
            // the stack down to the error.
            int raiseUnprotectedError(lua_State* L)
            {
                const hstring message = getErrorString(L, -1);
                lua_settop(L, 0);
                throw _LuaError(message, "a finalizer (__gc) or other code outside a protected call",
                                __FILE__, __LINE__);
            }

            // Memory set aside while the state lives, given back when Lua runs out: the fatal end then
            // still has room to save and to tell.
            void*& reserve()
            {
                static void* block = nullptr;
                return block;
            }
            const size_t reserveBytes = 32 * 1024 * 1024;

            // An error outside every protected call: Lua would print its panic and end the process on the
            // spot, saving nothing. A script's error goes to the engine's caller; running out of memory ends
            // through the fatal error instead, which saves what the last sync took and tells why.
            int panic(lua_State* L)
            {
                if (lua_status(L) != LUA_ERRMEM)
                {
                    return raiseUnprotectedError(L);
                }
                std::free(reserve());
                reserve() = nullptr;
                const char* message = lua_tostring(L, -1);
                getHost().showFatalError(
                    quortypes::exception(hstring("Lua failed outside any protected call: ") +
                                             (message != nullptr ? message : "an error that is no text"),
                                         __FILE__, __LINE__));
                // The fatal error returned (a host that goes on): Lua ends the process as it always did.
                return 0;
            }
        } // namespace

        void init()
        {
            quortypes::Log::write(logTag, "initializing Lua interpreter");
            state = luaL_newstate();
            if (reserve() == nullptr)
            {
                reserve() = std::malloc(reserveBytes);
            }
            lua_atpanic(state, panic);
            SignalStop::watch(state);
            installSceneObjectResolver();
            openLibrary(luaopen_base, "");
            openLibrary(luaopen_table, LUA_TABLIBNAME);
            openLibrary(luaopen_math, LUA_MATHLIBNAME);
            openLibrary(luaopen_string, LUA_STRLIBNAME);
            openLibrary(luaopen_debug, LUA_DBLIBNAME);
            openLibrary(luaopen_io, LUA_IOLIBNAME);
            openLibrary(luaopen_os, LUA_OSLIBNAME);
            openLibrary(luaopen_package, LUA_LOADLIBNAME);
            StateCache::rememberLibraryFunctions(state);
            quortypes::Log::write(logTag, "creating lua-vumo namespaces");
            execute("vumo = {}; ui = {}; cfg = {}; setmetatable(ui, {__index = _G})", "", "");
            quortypes::Log::write(logTag, "registering lua-vumo interface functions");
            registerFunction(callError, "error");
            registerApi();
            const hstring startCode = Session::getConfig()["-e"];
            if (startCode.size() > 0)
            {
                try
                {
                    execute(startCode, "", "");
                }
                catch (const quortypes::exception& e)
                {
                    getHost().showFatalError(e);
                }
            }
            quortypes::Log::write(logTag, "loading scripts from data/lib");
            loadScripts("data/lib/", "");
        }

        void destroy()
        {
            if (state == nullptr)
            {
                return;
            }
            quortypes::Log::write(logTag, "destroying Lua interpreter");
            SignalStop::unwatch();
            lua_close(state);
            std::free(reserve());
            reserve() = nullptr;
            // Events that outlive the state must find no state to release their references in.
            state = nullptr;
            StateCache::clear();
        }

        hstring getVersion()
        {
            return "Lua 5.1.5";
        }

        void logScripting(const hstring& message)
        {
            quortypes::Log::write("scripting", message);
        }

        hstring loadLuaFile(const hstring& path)
        {
            if (!quortypes::Resource::exists(path))
            {
                throw quortypes::exception("Lua file '" + path + "' not found", __FILE__, __LINE__);
            }
            quortypes::Resource file(path);
            // One read for a file of the size the opening found (a byte more tells that it ended there);
            // blocks of at most 64 KB after it, for a file that grew meanwhile.
            const int blockSize = std::min(std::max(file.getSize(), 0), 65535) + 1;
            std::unique_ptr<char[]> block(new char[blockSize]);
            hstring result;
            while (true)
            {
                const int read = file.readRaw(block.get(), blockSize);
                result.append(block.get(), std::max(read, 0));
                if (read < blockSize)
                {
                    break;
                }
            }
            return result;
        }

        namespace
        {
            // The scripts of a folder `depth` folders below where loadScripts began, and of its folders.
            void loadScriptsBelow(const hstring& path, const hstring& environment, int depth)
            {
                harray<hstring> entries = quortypes::ResourceDir::contents(path);
                // std::string compares bytes as unsigned values.
                std::sort(entries.begin(), entries.end(),
                          [](const hstring& a, const hstring& b)
                          { return (const std::string&)a < (const std::string&)b; });
                try
                {
                    for (const hstring& name : entries)
                    {
                        if (name.endsWith(".lua"))
                        {
                            quortypes::Log::write(logTag, "loading " + path + name);
                            execute(loadLuaFile(path + name), environment, path + name);
                        }
                        else if (!name.contains('.'))
                        {
                            checkFolderDepth(path + name, depth);
                            loadScriptsBelow(path + name + "/", environment, depth + 1);
                        }
                    }
                }
                catch (const quortypes::exception& e)
                {
                    quortypes::Log::error(logTag, e.getMessage());
                    tesra::showMessageBox("Scripting Error!", e.getMessage(), tesra::MESSAGE_BUTTON_OK,
                                          tesra::MESSAGE_STYLE_CRITICAL |
                                              tesra::MESSAGE_STYLE_TERMINATE_ON_DISPLAY);
                }
            }
        } // namespace

        void loadScripts(const hstring& path, const hstring& environment)
        {
            loadScriptsBelow(path, environment, 0);
        }
    } // namespace LuaInterface
} // namespace vumo
