#include <exception>

#include <lua.hpp>
#include <quortypes/UnderWay.h>
#include <quortypes/exception.h>
#include <tesraui/exception.h>

#include <tesrauilua/Boundary.h>

namespace tesrauilua
{
    namespace detail
    {
        int boundaryDepth = 0;
    } // namespace detail

    namespace
    {
        // The registered function travels as the closure's upvalue. A C++ exception that reached Lua's
        // protected call would not be a Lua error, so both families are turned into one here.
        int boundary(lua_State* L)
        {
            lua_CFunction function = (lua_CFunction)lua_touserdata(L, lua_upvalueindex(1));
            hstring text;
            try
            {
                // Counted also when a Lua error unwinds through it.
                const quortypes::CountedUnderWay running(detail::boundaryDepth);
                return function(L);
            }
            catch (const quortypes::exception& e)
            {
                text = e.getMessage();
            }
            catch (const std::exception& e)
            {
                text = e.what();
            }
            // Raised outside the handlers so that the caught exception is already gone.
            raiseLuaError(L, text);
        }

        // Runs code on the globals; failures throw with Lua's message and leave the stack as it was.
        void run(lua_State* L, const hstring& code)
        {
            const int top = lua_gettop(L);
            // Without a name Lua shows the start of the code itself in its positions.
            if (luaL_loadbuffer(L, code.c_str(), code.size(), code.c_str()) != 0 ||
                lua_pcall(L, 0, 0, 0) != 0)
            {
                const char* message = lua_tostring(L, -1);
                const hstring text =
                    (message != nullptr ? hstring(message) : hstring("(error object is not a string)"));
                lua_settop(L, top);
                throw tesraui::_GenericException(text, __FILE__, __LINE__);
            }
        }
    } // namespace

    void pushFunction(lua_State* L, lua_CFunction function)
    {
        pushFunction(L, function, 0);
    }

    void pushFunction(lua_State* L, lua_CFunction function, int upvalues)
    {
        lua_pushlightuserdata(L, (void*)function);
        lua_insert(L, -1 - upvalues);
        lua_pushcclosure(L, boundary, 1 + upvalues);
    }

    bool isRegisteredFunction(lua_State* L, int index)
    {
        return lua_iscfunction(L, index) && lua_tocfunction(L, index) == boundary;
    }

    void registerFunction(lua_State* L, lua_CFunction function, const hstring& name)
    {
        pushFunction(L, function);
        assignGlobalPath(L, name);
    }

    void assignGlobalPath(lua_State* L, const hstring& name)
    {
        if (!name.contains('.'))
        {
            lua_setglobal(L, name.c_str());
            return;
        }
        // The path is walked in Lua so that a script's metatables on the way see it as any assignment.
        const hstring temporary = "___" + name.replaced(".", "___");
        lua_setglobal(L, temporary.c_str());
        const harray<hstring> parts = name.split('.');
        hstring code;
        hstring path;
        for (int i = 0; i < parts.size() - 1; ++i)
        {
            path += (i > 0 ? "." : "") + parts[i];
            code += formatString("if %s == nil then %s = {} end\n", path.c_str(), path.c_str());
        }
        code += name + " = " + temporary + "\n" + temporary + " = nil";
        run(L, code);
    }

    // As luaL_error does, but with every byte of the message: a NUL a script passed on stays in it.
    void raiseLuaError(lua_State* L, const hstring& message)
    {
        luaL_where(L, 1);
        lua_pushlstring(L, message.data(), message.size());
        lua_concat(L, 2);
        lua_error(L);
        throw; // not reached: Lua errors unwind as exceptions
    }
} // namespace tesrauilua
