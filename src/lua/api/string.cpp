#include <lua.hpp>

#include "lua/Calls.h"
#include "lua/LuaInterface.h"
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

            // Lua's pattern matcher goes one call deeper for each capture and each repeated item of a
            // pattern, without bound: a pattern of a hundred thousand of them overflowed the stack.
            const int maxPatternDepth = 200;

            // How deep the matcher may go for a pattern: its captures, their ends and its items followed by
            // "?", "*", "+" or "-", read as the matcher reads them (up to a NUL, escapes and sets whole).
            int patternDepth(const char* p)
            {
                int depth = 0;
                while (*p != '\0')
                {
                    if (*p == '(' || *p == ')')
                    {
                        ++depth;
                        ++p;
                        continue;
                    }
                    // A balance takes its two characters and no repetition; a frontier, the set after it.
                    if (*p == '%' && p[1] == 'b')
                    {
                        p += 2;
                        for (int taken = 0; taken < 2 && *p != '\0'; ++taken)
                        {
                            ++p;
                        }
                        continue;
                    }
                    p += (*p == '%' && p[1] == 'f' ? 2 : 0);
                    if (*p == '%')
                    {
                        p += (p[1] == '\0' ? 1 : 2);
                    }
                    else if (*p == '[')
                    {
                        p += (p[1] == '^' ? 2 : 1);
                        // The first character is in the set even when it is "]".
                        do
                        {
                            if (*p == '\0')
                            {
                                return depth;
                            }
                            p += (*p == '%' && p[1] != '\0' ? 2 : 1);
                        } while (*p != ']');
                        ++p;
                    }
                    else
                    {
                        ++p;
                    }
                    if (*p == '?' || *p == '*' || *p == '+' || *p == '-')
                    {
                        ++depth;
                        ++p;
                    }
                }
                return depth;
            }

            // Lua's own find, match, gmatch and gsub, in the order registered below.
            lua_CFunction patternFunctions[4] = {};

            template <int index> int patternCall(lua_State* L)
            {
                static const char* const names[] = {"string.find", "string.match", "string.gmatch",
                                                    "string.gsub"};
                const bool plain = (index == 0 && lua_toboolean(L, 4));
                // A number given as a pattern is digits, which go no deeper.
                if (!plain && lua_type(L, 2) == LUA_TSTRING &&
                    patternDepth(lua_tostring(L, 2)) > maxPatternDepth)
                {
                    raiseLuaError(L,
                                  formatString("%s: pattern too complex, more than %d captures and repeated "
                                               "items",
                                               names[index], maxPatternDepth));
                }
                return patternFunctions[index](L);
            }
        } // namespace

        void registerStringExtensions()
        {
            // Lua's own pattern functions, the pattern's depth checked first.
            const char* const patterns[] = {"find", "match", "gmatch", "gsub"};
            const lua_CFunction bounded[] = {patternCall<0>, patternCall<1>, patternCall<2>, patternCall<3>};
            lua_getglobal(state, "string");
            for (int i = 0; i < 4; ++i)
            {
                lua_getfield(state, -1, patterns[i]);
                // Lua's own once more, should these be registered twice.
                if (!tesrauilua::isRegisteredFunction(state, -1))
                {
                    patternFunctions[i] = lua_tocfunction(state, -1);
                }
                lua_pop(state, 1);
            }
            lua_pop(state, 1);
            for (int i = 0; i < 4; ++i)
            {
                if (patternFunctions[i] != nullptr)
                {
                    registerFunction(bounded[i], hstring("string.") + patterns[i]);
                }
            }

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
