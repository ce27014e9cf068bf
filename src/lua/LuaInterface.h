#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include "LuaError.h"

struct lua_State;

namespace vumo
{
    // The host around the one Lua interpreter of the program: the state, the library scripts, running code
    // in environment tables, errors and the dotted global paths through which the engine asks the scripts.
    namespace LuaInterface
    {
        extern const hstring logTag;
        // Null before init and after destroy.
        extern lua_State* state;

        // Fills the state: libraries, namespaces, the script API, "-e" and the scripts of "data/lib".
        void init();
        // Closes the state; init may follow again.
        void destroy();
        // The script tables, each registered in its fixed order; init calls it. Defined beside the tables
        // (src/lua/api/registrars.cpp), which the Lua host itself does not know.
        void registerApi();
        hstring getVersion();
        void logScripting(const hstring& message);

        // Each throws _LuaError when the code fails and leaves the stack as it found it.
        void execute(const hstring& code, const hstring& environment = "", const hstring& chunkName = "");
        void execute(lua_State* L, const hstring& code, const hstring& environment = "",
                     const hstring& chunkName = "");
        // results is cleared, then holds every result in order as dumpValue writes it.
        void executeWithReturnValues(const hstring& code, const hstring& environment,
                                     harray<hstring>& results, const hstring& chunkName = "");
        void executeWithReturnValues(lua_State* L, const hstring& code, const hstring& environment,
                                     harray<hstring>& results, const hstring& chunkName = "");
        // Leaves the compiled chunk on the stack with its environment set.
        void loadChunk(lua_State* L, const hstring& code, const hstring& environment,
                       const hstring& chunkName);
        hstring loadLuaFile(const hstring& path);
        // Runs the ".lua" files of a resource folder tree in byte-wise name order, depth first; a failure
        // ends the program after the "Scripting Error!" box.
        void loadScripts(const hstring& path, const hstring& environment);

        // Dotted paths walked from the globals; a link that is not a table throws quortypes::exception.
        int pushGlobal(lua_State* L, const hstring& path);
        bool isDefined(lua_State* L, const hstring& path);
        bool isFunction(const hstring& path);
        // isFunction for a hook the engine calls when it is there (a function of "ui", "chapter"...): a path
        // that cannot be read, because a script put another value in place of a table on the way (ui = 5),
        // is that script's error, reported through the host, and the hook counts as absent. False without
        // a Lua state.
        bool isHook(const hstring& path);
        bool isTable(const hstring& path);
        bool isTable(lua_State* L, const hstring& path);
        // The Lua type of the global of exactly that name, points and all, read as a script reads it; an
        // error raised on the way counts as nil.
        int typeOfGlobal(lua_State* L, const hstring& name);
        hstring getGlobalString(const hstring& path);
        hstring getGlobalString(lua_State* L, const hstring& path);

        hstring getErrorString(lua_State* L, int index);
        // Pushes the message handler of protected calls, which hands the error to debug.traceback (looked up
        // when the error comes), and returns its index.
        int pushMessageHandler(lua_State* L);
        hstring getChunkDescription(const hstring& chunkName, const hstring& code);
        // In debug mode raises "WARNING: " + message as a Lua error, otherwise logs it.
        void warning(lua_State* L, const hstring& message);
        // Lua's global error.
        int callError(lua_State* L);
        hstring dumpValue(lua_State* L, int index);

        // A text for scripts: a formatted key ("{") from the UI's dataset, "chapter.key" from that chapter,
        // a bare key from the active scene's chapter. Throws when there is no such chapter or active scene.
        hstring getText(const hstring& key);
        bool hasText(const hstring& key);
    } // namespace LuaInterface
} // namespace vumo
