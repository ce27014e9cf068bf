#pragma once

#include <vector>

#include <quortypes/hstring.h>

struct lua_State;

namespace vumo
{
    namespace LuaInterface
    {
        // What the host keeps for the global state so that hooks called every frame cost little: compiled
        // chunks keyed by chunk name and code, the interned parts of dotted paths, the interned keys of hook
        // lookups and the message handlers. A
        // chunk in use is not handed out again: a nested run of the same text compiles its own copy and never
        // changes the environment of the running one.
        namespace StateCache
        {
            struct Entry;

            // Pushes the compiled chunk and marks it in use; null (nothing pushed) when it is missing or in
            // use.
            Entry* take(lua_State* L, const hstring& chunkName, const hstring& code);
            // Keeps the function on top of the stack (it stays there) and marks it in use; null when it is
            // not kept.
            Entry* store(lua_State* L, const hstring& chunkName, const hstring& code);
            // Ends a use begun by take or store; null is ignored.
            void release(Entry* entry);

            // Registry references to the parts of the path as Lua strings, in order; null for another state.
            const std::vector<int>* getPathParts(lua_State* L, const hstring& path);
            // Pushes the C function, kept once per state for each handler.
            void pushMessageHandler(lua_State* L, int (*handler)(lua_State*));
            // A registry reference to the text as a Lua string, for a caller that keeps it between calls
            // while getKeyStamp() stays what it was when the reference was made; LUA_NOREF for another state.
            int internKey(lua_State* L, const char* text, size_t length);
            // Changes whenever the references internKey gave out are dropped (never 0). Read on every hook
            // call.
            extern unsigned long keyStamp;
            inline unsigned long getKeyStamp()
            {
                return keyStamp;
            }

            enum class LibraryFunction
            {
                Type,
                Traceback
            };
            // Notes Lua's own type and debug.traceback, before any script can replace them.
            void rememberLibraryFunctions(lua_State* L);
            // True when the value at index is that function as Lua's library made it.
            bool isLibraryFunction(lua_State* L, int index, LibraryFunction which);
            // The registry reference to that function; LUA_NOREF for another state.
            int getLibraryFunction(lua_State* L, LibraryFunction which);
            // The registry reference to the message handler pushMessageHandler pushes; LUA_NOREF for another
            // state. It stays while getKeyStamp() does.
            int getMessageHandler(lua_State* L, int (*handler)(lua_State*));

            // Message handlers: the current debug.traceback (looked up when the error comes), pushed above
            // the debug table; false, the stack as it was, when a script took either away.
            bool pushDebugTraceback(lua_State* L);
            // Calls it on the message at 1 from the failing function on, as if it were the handler itself.
            int callDebugTraceback(lua_State* L);

            // Forgets everything; the references go with the state when there is none.
            void clear();
        } // namespace StateCache
    }     // namespace LuaInterface
} // namespace vumo
