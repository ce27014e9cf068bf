#include <exception>

#include <lua.hpp>
#include <quortypes/exception.h>

#include "Calls.h"
#include "LuaInterface.h"

namespace LuaInterface
{
    namespace
    {
        hstring methodPrefix;

        // The registered function travels as the closure's upvalue.
        int boundary(lua_State* L)
        {
            lua_CFunction function = (lua_CFunction)lua_touserdata(L, lua_upvalueindex(1));
            hstring text;
            try
            {
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
            return luaL_error(L, "%s", text.c_str());
        }

        hstring typeLetterName(char letter)
        {
            switch (letter)
            {
            case 's':
                return "string";
            case 'n':
                return "number";
            case 't':
                return "table";
            case 'o':
                return "object";
            case 'b':
                return "boolean";
            case 'f':
                return "function";
            }
            return "?";
        }

        bool letterAccepts(char letter, int type)
        {
            switch (type)
            {
            case LUA_TNIL:
            case LUA_TUSERDATA:
            case LUA_TLIGHTUSERDATA:
            case LUA_TTHREAD:
                return true;
            case LUA_TSTRING:
                return letter == 's' || letter == 'o' || letter == '?';
            case LUA_TNUMBER:
                return letter == 'n' || letter == '?';
            case LUA_TBOOLEAN:
                return letter == 'b' || letter == '?';
            case LUA_TTABLE:
                return letter == 't' || letter == 'o' || letter == '?';
            case LUA_TFUNCTION:
                return letter == 'f' || letter == '?';
            }
            return letter == '?';
        }

        [[noreturn]] void raiseTypeMismatch(lua_State* L, int index, const hstring& functionName,
                                            const char* typeString, const hstring& expected)
        {
            const int type = lua_type(L, index);
            raiseLuaError(L, formatString("Error calling %s, passed argument %d as a %s, expected %s",
                                          describeSignature(functionName, typeString, lua_gettop(L)).c_str(),
                                          index, lua_typename(L, type), expected.c_str()));
        }
    } // namespace

    void pushFunction(lua_State* L, lua_CFunction function)
    {
        lua_pushlightuserdata(L, (void*)function);
        lua_pushcclosure(L, boundary, 1);
    }

    bool isRegisteredFunction(lua_State* L, int index)
    {
        return lua_iscfunction(L, index) && lua_tocfunction(L, index) == boundary;
    }

    void registerFunction(lua_CFunction function, const hstring& name)
    {
        registerFunction(state, function, name);
    }

    void registerFunction(lua_State* L, lua_CFunction function, const hstring& name)
    {
        if (!name.contains('.'))
        {
            pushFunction(L, function);
            lua_setglobal(L, name.c_str());
            return;
        }
        const hstring temporary = "___" + name.replaced(".", "___");
        pushFunction(L, function);
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
        execute(L, code, "", "");
    }

    void beginClassMethods(const hstring& prefix)
    {
        methodPrefix = prefix + ".";
    }

    void endClassMethods()
    {
        methodPrefix = "";
    }

    void registerMethod(lua_CFunction function, const hstring& name)
    {
        registerFunction(function, methodPrefix + name);
    }

    void registerUserdataType(const hstring& typeName, const NamedFunction* methods,
                              const NamedFunction* metamethods, bool methodsAsIndex,
                              lua_CFunction constructor)
    {
        lua_State* L = state;
        const int top = lua_gettop(L);
        luaL_findtable(L, LUA_REGISTRYINDEX, "_LOADED", 1);
        lua_getfield(L, -1, typeName.c_str());
        if (!lua_istable(L, -1))
        {
            lua_pop(L, 1);
            if (luaL_findtable(L, LUA_GLOBALSINDEX, typeName.c_str(), 1) != nullptr)
            {
                lua_settop(L, top);
                raiseLuaError(L, "name conflict for module '" + typeName + "'");
            }
            lua_pushvalue(L, -1);
            lua_setfield(L, -3, typeName.c_str());
        }
        const int methodsIndex = lua_gettop(L);
        for (const NamedFunction* entry = methods; entry != nullptr && entry->name != nullptr; ++entry)
        {
            pushFunction(L, entry->function);
            lua_setfield(L, methodsIndex, entry->name);
        }
        luaL_newmetatable(L, typeName.c_str());
        const int metaIndex = lua_gettop(L);
        for (const NamedFunction* entry = metamethods; entry != nullptr && entry->name != nullptr; ++entry)
        {
            pushFunction(L, entry->function);
            lua_setfield(L, metaIndex, entry->name);
        }
        if (methodsAsIndex)
        {
            lua_pushvalue(L, methodsIndex);
            lua_setfield(L, metaIndex, "__index");
        }
        if (metamethods != nullptr)
        {
            lua_pushvalue(L, methodsIndex);
            lua_setfield(L, metaIndex, "__metatable");
        }
        if (constructor != nullptr)
        {
            lua_newtable(L);
            pushFunction(L, constructor);
            lua_setfield(L, -2, "__call");
            lua_setmetatable(L, methodsIndex);
        }
        lua_settop(L, top);
    }

    void raiseLuaError(lua_State* L, const hstring& message)
    {
        luaL_error(L, "%s", message.c_str());
        throw; // not reached: Lua errors unwind as exceptions
    }

    hstring describeSignature(const hstring& functionName, const char* typeString, int firstOptional)
    {
        if (typeString == nullptr)
        {
            return functionName + "()";
        }
        hstring result = functionName + "(";
        for (int i = 0; typeString[i] != '\0'; ++i)
        {
            const hstring name = typeLetterName(typeString[i]);
            result += (i > 0 ? ", " : "") + (i >= firstOptional ? "[" + name + "]" : name);
        }
        return result + ")";
    }

    void checkArgs(lua_State* L, int min, int max, const hstring& functionName, const char* typeString)
    {
        const int count = lua_gettop(L);
        if (count < min || count > max)
        {
            raiseLuaError(L, formatString("Error calling %s with %d arguments, function expects %d to %d "
                                          "arguments)",
                                          describeSignature(functionName, typeString, min).c_str(), count,
                                          min, max));
        }
        checkArgumentTypes(L, functionName, typeString);
    }

    void checkArgsExact(lua_State* L, int count, const hstring& functionName, const char* typeString)
    {
        const int passed = lua_gettop(L);
        if (passed != count)
        {
            raiseLuaError(
                L, formatString("Error calling %s with %d arguments, function expects %d arguments)",
                                describeSignature(functionName, typeString, count).c_str(), passed, count));
        }
        checkArgumentTypes(L, functionName, typeString);
    }

    void checkArgumentTypes(lua_State* L, const hstring& functionName, const char* typeString)
    {
        if (typeString == nullptr)
        {
            return;
        }
        const int count = lua_gettop(L);
        bool ended = false;
        for (int i = 1; i <= count; ++i)
        {
            // Arguments beyond the letters accept anything, as "?" does.
            ended = ended || typeString[i - 1] == '\0';
            const char letter = (ended ? '?' : typeString[i - 1]);
            const int type = lua_type(L, i);
            if (!letterAccepts(letter, type))
            {
                raiseTypeMismatch(L, i, functionName, typeString, typeLetterName(letter));
            }
        }
    }

    void checkTableArgument(lua_State* L, int index, const hstring& functionName, const char* typeString)
    {
        if (!lua_istable(L, index))
        {
            raiseTypeMismatch(L, index, functionName, typeString, typeLetterName('t'));
        }
    }

    bool checkOptionalTableArgument(lua_State* L, int index, const hstring& functionName,
                                    const char* typeString)
    {
        if (lua_isnoneornil(L, index))
        {
            return false;
        }
        checkTableArgument(L, index, functionName, typeString);
        return true;
    }

    void checkTwoStrings(lua_State* L)
    {
        if (lua_gettop(L) != 2 || lua_isstring(L, 1) == 0 || lua_isstring(L, 2) == 0)
        {
            raiseLuaError(L, formatString("string function expects 2 string arguments, got %s and %s",
                                          luaL_typename(L, 1), luaL_typename(L, 2)));
        }
    }
} // namespace LuaInterface
