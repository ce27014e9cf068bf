#include <lua.hpp>

#include "lua/Calls.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            int string_starts_with(lua_State* L)
            {
                checkTwoStrings(L);
                return push(L, toString(L, 1).startsWith(toString(L, 2)));
            }

            int string_ends_with(lua_State* L)
            {
                checkTwoStrings(L);
                return push(L, toString(L, 1).endsWith(toString(L, 2)));
            }

            int string_contains(lua_State* L)
            {
                checkTwoStrings(L);
                return push(L, toString(L, 1).contains(toString(L, 2)));
            }

            int string_replace(lua_State* L)
            {
                checkArgsExact(L, 3, "string.replace", "sss");
                return push(L, toString(L, 1).replaced(toString(L, 2), toString(L, 3)));
            }

            // The optional trim character; a blank by default.
            char trimCharacter(lua_State* L, const char* functionName)
            {
                checkArgs(L, 1, 2, functionName, "ss");
                if (lua_gettop(L) < 2 || lua_isnil(L, 2))
                {
                    return ' ';
                }
                const hstring text = toString(L, 2);
                if (text.size() != 1)
                {
                    raiseLuaError(L, hstring("optional argument to ") + functionName +
                                         " must be a single character string");
                }
                return text[0];
            }

            int string_trim(lua_State* L)
            {
                const char c = trimCharacter(L, "string.trim");
                return push(L, toString(L, 1).trimmed(c));
            }

            int string_ltrim(lua_State* L)
            {
                const char c = trimCharacter(L, "string.ltrim");
                return push(L, toString(L, 1).ltrimmed(c));
            }

            int string_rtrim(lua_State* L)
            {
                const char c = trimCharacter(L, "string.rtrim");
                return push(L, toString(L, 1).rtrimmed(c));
            }

            int string_split_string(lua_State* L)
            {
                checkArgsExact(L, 2, "string.split", "ss");
                const harray<hstring> parts = toString(L, 1).split(toString(L, 2));
                lua_createtable(L, parts.size(), 0);
                for (int i = 0; i < parts.size(); ++i)
                {
                    push(L, parts[i]);
                    lua_rawseti(L, -2, i + 1);
                }
                return 1;
            }

            int string_utf8_size(lua_State* L)
            {
                checkArgsExact(L, 1, "string.utf8size", "s");
                return push(L, toString(L, 1).utf8Size());
            }

            int string_utf8_substr(lua_State* L)
            {
                checkArgs(L, 2, 3, "string.utf8_substr", "snn");
                const hstring text = toString(L, 1);
                const int count = (lua_gettop(L) > 2 && !lua_isnil(L, 3) ? toInt(L, 3) : text.size());
                return push(L, text.utf8SubString(toInt(L, 2), count));
            }
        } // namespace

        void registerStringExtensions()
        {
            registerFunction(string_starts_with, "string.starts_with");
            registerFunction(string_ends_with, "string.ends_with");
            registerFunction(string_contains, "string.contains");
            registerFunction(string_replace, "string.replace");
            registerFunction(string_trim, "string.trim");
            registerFunction(string_ltrim, "string.ltrim");
            registerFunction(string_rtrim, "string.rtrim");
            registerFunction(string_split_string, "string.split_string");
            registerFunction(string_utf8_size, "string.utf8_size");
            registerFunction(string_utf8_substr, "string.utf8_substr");
        }
    } // namespace LuaInterface
} // namespace vumo
