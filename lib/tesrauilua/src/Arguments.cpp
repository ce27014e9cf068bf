#include <lua.hpp>

#include <tesrauilua/Arguments.h>
#include <tesrauilua/Boundary.h>

namespace tesrauilua
{
    namespace
    {
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
} // namespace tesrauilua
