#pragma once

#include <quortypes/hstring.h>

struct lua_State;
typedef int (*lua_CFunction)(lua_State* L);

namespace tesrauilua
{
    // Every registered function runs inside this boundary: quortypes::exception and std::exception
    // become Lua errors carrying their text, Lua's own errors pass through.
    void pushFunction(lua_State* L, lua_CFunction function);
    // The same, taking the `upvalues` values on top of the stack along: the function reads them as
    // lua_upvalueindex(2) onwards (the first is the boundary's own).
    void pushFunction(lua_State* L, lua_CFunction function, int upvalues);

    namespace detail
    {
        // Kept by the boundary; read inline, since hook calls ask for it every frame.
        extern int boundaryDepth;
    } // namespace detail

    // How many functions pushFunction made are running now, on any state. Scripts reach C++ only through
    // them, so at 0 a Lua call the host makes has no Lua function below it.
    inline int getBoundaryDepth()
    {
        return detail::boundaryDepth;
    }

    // True when the value at index is a function that pushFunction made, as opposed to Lua's own or a
    // script's.
    bool isRegisteredFunction(lua_State* L, int index);

    // Sets the function as a global behind the boundary. A dotted name creates the missing tables along
    // its path and keeps the ones there; a link that is no table throws tesraui::_GenericException with
    // Lua's message.
    void registerFunction(lua_State* L, lua_CFunction function, const hstring& name);
    // Pops the value on top of the stack into the global of that name, as registerFunction does.
    void assignGlobalPath(lua_State* L, const hstring& name);

    // Raises message as a Lua error behind the caller's position.
    [[noreturn]] void raiseLuaError(lua_State* L, const hstring& message);
} // namespace tesrauilua
