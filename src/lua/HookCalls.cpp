#include <cmath>
#include <cstring>
#include <vector>

#include <lua.hpp>
#include <quortypes/UnderWay.h>
#include <tesrauilua/Boundary.h>

#include "HookCalls.h"
#include "HookTraceback.h"
#include "LuaInterface.h"
#include "StateCache.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            enum class Read
            {
                Found,
                Missing,
                Unknown
            };

            // The keys every lookup may need, as registry references to Lua strings: valid while their stamp
            // is the state cache's.
            struct CommonKeys
            {
                unsigned long stamp = 0;
                int index = LUA_NOREF;
                int type = LUA_NOREF;
                // Lua's own type (no script can make a function of it that behaves otherwise), and the
                // handler of the calls.
                lua_CFunction libraryType = nullptr;
                int handler = LUA_NOREF;
            };
            CommonKeys common;

            // Makes the common keys and the caller's (build, which interns them) again where their stamp is
            // not the state cache's. Interning may drop every interned key (a full table): then all are made
            // again.
            template <class Build> bool prepareKeys(lua_State* L, unsigned long& stamp, Build build)
            {
                const unsigned long current = StateCache::getKeyStamp();
                if (stamp == current && common.stamp == current)
                {
                    return true;
                }
                for (int attempt = 0; attempt < 3; ++attempt)
                {
                    const unsigned long now = StateCache::getKeyStamp();
                    if (common.stamp != now)
                    {
                        common.index = StateCache::internKey(L, "__index", 7);
                        common.type = StateCache::internKey(L, "type", 4);
                        const int type = StateCache::getLibraryFunction(L, StateCache::LibraryFunction::Type);
                        common.libraryType = nullptr;
                        if (type != LUA_NOREF)
                        {
                            lua_rawgeti(L, LUA_REGISTRYINDEX, type);
                            common.libraryType = lua_tocfunction(L, -1);
                            lua_pop(L, 1);
                        }
                        common.handler = StateCache::getMessageHandler(L, HookTraceback::messageHandler);
                        common.stamp = now;
                    }
                    if (stamp != now)
                    {
                        build();
                        stamp = now;
                    }
                    if (StateCache::getKeyStamp() == now)
                    {
                        return common.index != LUA_NOREF && common.handler != LUA_NOREF;
                    }
                }
                return false;
            }

            // The keys of the hooks named by string literals, known by their addresses.
            struct FieldKeys
            {
                const char* table;
                const char* field;
                unsigned long stamp;
                int tableKey;
                int fieldKey;
            };
            std::vector<FieldKeys> fieldKeys;

            // The Lua type of the value the last readField found.
            int foundType = LUA_TNONE;

            // readField past the table itself, whose own field is nil.
            [[gnu::noinline]] Read walkField(lua_State* L, int table, int key)
            {
                lua_pushvalue(L, table);
                // As many tables as a walk of 16 steps reads.
                for (int depth = 1;; ++depth)
                {
                    if (lua_getmetatable(L, -1) == 0)
                    {
                        lua_pop(L, 1);
                        return Read::Missing;
                    }
                    lua_rawgeti(L, LUA_REGISTRYINDEX, common.index);
                    lua_rawget(L, -2);
                    lua_remove(L, -2);
                    if (lua_isnil(L, -1))
                    {
                        lua_pop(L, 2);
                        return Read::Missing;
                    }
                    if (!lua_istable(L, -1) || depth == 16)
                    {
                        lua_pop(L, 2);
                        return Read::Unknown;
                    }
                    lua_remove(L, -2);
                    lua_rawgeti(L, LUA_REGISTRYINDEX, key);
                    lua_rawget(L, -2);
                    foundType = lua_type(L, -1);
                    if (foundType != LUA_TNIL)
                    {
                        lua_remove(L, -2);
                        return Read::Found;
                    }
                    lua_pop(L, 1);
                }
            }

            // t[key] as a script reads it, as long as only tables are on the way: __index tables are
            // followed, an __index function is not run (Unknown). Found leaves the value on the stack and its
            // type in foundType. table is an absolute or pseudo index, key a registry reference to a Lua
            // string; the common keys are ready. The usual case, a field of the table itself, costs one raw
            // read.
            inline Read readField(lua_State* L, int table, int key)
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, key);
                lua_rawget(L, table);
                foundType = lua_type(L, -1);
                if (foundType != LUA_TNIL)
                {
                    return Read::Found;
                }
                lua_pop(L, 1);
                return walkField(L, table, key);
            }

            // True when the table at env, the top of the stack, reads "type" as Lua's own function by the
            // usual way of an environment: no field of its own, and a table as its metatable's __index (the
            // globals, as a rule) that holds it. False decides nothing: then the walk of readField does.
            // What it reads stays on the stack.
            bool readsLibraryType(lua_State* L, int env)
            {
                if (common.libraryType == nullptr)
                {
                    return false;
                }
                // The key "type" is read once and copied: a copy costs less than a registry read.
                lua_rawgeti(L, LUA_REGISTRYINDEX, common.type);
                lua_pushvalue(L, -1);
                lua_rawget(L, env);
                if (lua_type(L, -1) != LUA_TNIL || lua_getmetatable(L, env) == 0)
                {
                    return false;
                }
                lua_rawgeti(L, LUA_REGISTRYINDEX, common.index);
                lua_rawget(L, -2);
                if (lua_type(L, -1) != LUA_TTABLE)
                {
                    return false;
                }
                lua_pushvalue(L, -4);
                lua_rawget(L, -2);
                return lua_tocfunction(L, -1) == common.libraryType;
            }

            // Makes room for count more values above the stack's top, which it gives (-1 when there is no
            // room). The host's own calls, made outside every registered function, stand on the state's
            // first level, where Lua keeps LUA_MINSTACK places from its start: only a deep stack asks.
            int makeRoom(lua_State* L, int count)
            {
                const int top = lua_gettop(L);
                if (top + count <= LUA_MINSTACK && tesrauilua::getBoundaryDepth() == 0)
                {
                    return top;
                }
                return lua_checkstack(L, count) != 0 ? top : -1;
            }

            // Calls the Lua function below its arguments on top of the stack, the message handler at base +
            // 1; on success the results are left where the function was, on failure the stack is back at
            // base.
            void callFunction(lua_State* L, int base, int arguments, int results, const HookText& text)
            {
                // The host's own calls, made outside every registered function, stand on no Lua function:
                // they need not ask Lua.
                HookTraceback::ActiveCall call{
                    &text, tesrauilua::getBoundaryDepth() == 0 ? 0 : HookTraceback::countLevels(L), L};
                int status = 0;
                {
                    const quortypes::UnderWay<HookTraceback::ActiveCall*> active(HookTraceback::activeCall,
                                                                                 &call);
                    status = lua_pcall(L, arguments, results, base + 1);
                }
                if (status != 0)
                {
                    const hstring message = getErrorString(L, -1);
                    lua_settop(L, base);
                    hstring code;
                    hstring chunkName;
                    text.make(code, chunkName);
                    throwChunkFailure(message, chunkName, code);
                }
            }

            // The function on top of the stack, above the handler at base + 1, called with number (a value's
            // fixedValue, worked out before the lookups so that they overlap it); the stack ends at base.
            void callWithValue(lua_State* L, int base, double number, const HookText& text)
            {
                lua_pushnumber(L, number);
                callFunction(L, base, 1, 0, text);
                lua_settop(L, base);
            }

            bool isName(const char* begin, const char* end)
            {
                static const char* const keywords[] = {
                    "and", "break",    "do",     "else", "elseif", "end",   "false",
                    "for", "function", "if",     "in",   "local",  "nil",   "not",
                    "or",  "repeat",   "return", "then", "true",   "until", "while"};
                if (begin == end || (*begin >= '0' && *begin <= '9'))
                {
                    return false;
                }
                for (const char* c = begin; c != end; ++c)
                {
                    if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                          *c == '_'))
                    {
                        return false;
                    }
                }
                for (const char* keyword : keywords)
                {
                    if (keyword[0] == *begin && strlen(keyword) == (size_t)(end - begin) &&
                        strncmp(keyword, begin, end - begin) == 0)
                    {
                        return false;
                    }
                }
                return true;
            }
        } // namespace

        float textFloat(double value)
        {
            // dumpValue writes an integral number whole and any other as the float's "%f" text, which
            // hstring::toFloat reads back. From 16 up the floats lie more than a millionth apart, so that the
            // six decimals never leave the float's own: it reads back as itself.
            const float single = (float)value;
            if (!(std::fabs(single) < 16.0f) || std::floor(value) == value)
            {
                return single;
            }
            const double decimal = std::nearbyint((double)(float)value * 1e6) / 1e6;
            const float nearest = (float)decimal;
            // The double nearest the decimal may lie halfway between two floats where the decimal does not:
            // then the text decides.
            const double neighbour = std::nextafter(nearest, decimal > nearest ? INFINITY : -INFINITY);
            if ((double)nearest + ((double)neighbour - (double)nearest) / 2.0 == decimal)
            {
                return hstring((float)value).toFloat();
            }
            return nearest;
        }

        double fixedValue(float value)
        {
            // A float times 10^6 is exact in a double, and the division rounds once: the double that the
            // six-decimal text reads back as. Below 2^52 adding 2^52 leaves no fraction, so the sum rounds
            // to the nearest whole number, ties to even as "%f" does, without a call of the library; from
            // 2^52 up every double is whole.
            const double scaled = (double)value * 1e6;
            const double magnitude = std::fabs(scaled);
            if (!(magnitude < 4503599627370496.0))
            {
                return scaled / 1e6;
            }
            const double shifted = magnitude + 4503599627370496.0;
            return std::copysign(shifted - 4503599627370496.0, scaled) / 1e6;
        }

        HookCall callFieldHook(const char* table, const char* field, float value, const HookText& text)
        {
            const double number = fixedValue(value);
            lua_State* L = state;
            // The handler, two tables and a walk of three values past them, the number.
            const int base = (L != nullptr && std::isfinite(value) ? makeRoom(L, 6) : -1);
            if (base < 0)
            {
                return HookCall::RunText;
            }
            FieldKeys* keys = nullptr;
            for (FieldKeys& known : fieldKeys)
            {
                if (known.table == table && known.field == field)
                {
                    keys = &known;
                    break;
                }
            }
            if (keys == nullptr)
            {
                keys = &fieldKeys.emplace_back(FieldKeys{table, field, 0, LUA_NOREF, LUA_NOREF});
            }
            if (!prepareKeys(L, keys->stamp,
                             [&]
                             {
                                 keys->tableKey = StateCache::internKey(L, table, strlen(table));
                                 keys->fieldKey = StateCache::internKey(L, field, strlen(field));
                             }))
            {
                return HookCall::RunText;
            }
            // The handler goes below the function before the lookups, so that nothing moves after them.
            lua_rawgeti(L, LUA_REGISTRYINDEX, common.handler);
            if (readField(L, LUA_GLOBALSINDEX, keys->tableKey) != Read::Found || foundType != LUA_TTABLE)
            {
                lua_settop(L, base);
                return HookCall::RunText;
            }
            const Read read = readField(L, base + 2, keys->fieldKey);
            if (read == Read::Missing)
            {
                lua_settop(L, base);
                return HookCall::Absent;
            }
            if (read == Read::Unknown || foundType != LUA_TFUNCTION || lua_iscfunction(L, -1) != 0)
            {
                lua_settop(L, base);
                return HookCall::RunText;
            }
            callWithValue(L, base, number, text);
            return HookCall::Called;
        }

        EnvironmentKeys::EnvironmentKeys(const hstring& environment) : environment(environment) {}

        void EnvironmentKeys::setScene(const hstring& chapter, const hstring& scene)
        {
            this->environment = chapter + "." + scene;
            this->stamp = 0;
        }

        HookCall callEnvironmentHook(const hstring& environment, const char* name, float value,
                                     const HookText& text)
        {
            EnvironmentKeys keys(environment);
            return callEnvironmentHook(keys, name, value, text);
        }

        HookCall callEnvironmentHook(EnvironmentKeys& keys, const char* name, float value,
                                     const HookText& text)
        {
            const double number = fixedValue(value);
            lua_State* L = state;
            // The handler, the two tables to the environment, the five values of the check of type, the
            // function found by a walk of three values, the number.
            const int base = (L != nullptr && std::isfinite(value) ? makeRoom(L, 12) : -1);
            if (base < 0)
            {
                return HookCall::RunText;
            }
            if (keys.name != name)
            {
                keys.name = name;
                keys.stamp = 0;
            }
            const bool prepared =
                prepareKeys(L, keys.stamp,
                            [&]
                            {
                                // The environment is the global up to the first point and that table's field
                                // after it.
                                const hstring& environment = keys.environment;
                                const char* path = environment.c_str();
                                const char* point = strchr(path, '.');
                                const size_t globalLength =
                                    (point != nullptr ? (size_t)(point - path) : environment.size());
                                keys.nested = (point != nullptr);
                                keys.usable = globalLength > 0 && (point == nullptr || point[1] != '\0');
                                keys.global = StateCache::internKey(L, path, globalLength);
                                keys.field =
                                    (point != nullptr ? StateCache::internKey(L, point + 1, strlen(point + 1))
                                                      : LUA_NOREF);
                                keys.nameKey = StateCache::internKey(L, name, strlen(name));
                            });
            if (!prepared || !keys.usable)
            {
                return HookCall::RunText;
            }
            lua_rawgeti(L, LUA_REGISTRYINDEX, common.handler);
            int environment = base + 2;
            bool found = readField(L, LUA_GLOBALSINDEX, keys.global) == Read::Found;
            if (found && keys.nested)
            {
                found = foundType == LUA_TTABLE && readField(L, environment, keys.field) == Read::Found;
                environment = base + 3;
            }
            // The environment table, then Lua's own type in it.
            if (!found || foundType != LUA_TTABLE)
            {
                lua_settop(L, base);
                return HookCall::RunText;
            }
            if (!readsLibraryType(L, environment))
            {
                lua_settop(L, environment);
                if (readField(L, environment, common.type) != Read::Found ||
                    !StateCache::isLibraryFunction(L, -1, StateCache::LibraryFunction::Type))
                {
                    lua_settop(L, base);
                    return HookCall::RunText;
                }
            }
            const Read read = readField(L, environment, keys.nameKey);
            if (read == Read::Unknown || (read == Read::Found && lua_iscfunction(L, -1) != 0))
            {
                lua_settop(L, base);
                return HookCall::RunText;
            }
            if (read == Read::Missing || foundType != LUA_TFUNCTION)
            {
                lua_settop(L, base);
                return HookCall::Absent;
            }
            // The tables stay between the handler and the function: the call does not mind them.
            callWithValue(L, base, number, text);
            return HookCall::Called;
        }
    } // namespace LuaInterface

    namespace LuaInterface
    {
        PathKeys::PathKeys(const hstring& path, const hstring& name) : path(path), name(name) {}

        HookCall callPathFunction(const hstring& path, const hstring& name, float value, const HookText& text,
                                  int& results, float& result)
        {
            PathKeys keys(path, name);
            return callPathFunction(keys, value, text, results, result);
        }

        HookCall callPathFunction(PathKeys& keys, float value, const HookText& text, int& results,
                                  float& result)
        {
            lua_State* L = state;
            // Room for the handler, the tables on the way, a walk of three values past them, the name and the
            // number; a path made anew asks again.
            const size_t checkedParts = keys.parts.size();
            const double number = fixedValue(value);
            const int base = (L != nullptr && std::isfinite(value) ? makeRoom(L, 6 + (int)checkedParts) : -1);
            if (base < 0)
            {
                return HookCall::RunText;
            }
            const bool prepared =
                prepareKeys(L, keys.stamp,
                            [&]
                            {
                                keys.parts.clear();
                                keys.usable = true;
                                const char* part = keys.path.c_str();
                                const char* const end = part + keys.path.size();
                                while (keys.usable)
                                {
                                    const char* point =
                                        static_cast<const char*>(memchr(part, '.', end - part));
                                    const char* partEnd = (point != nullptr ? point : end);
                                    keys.usable = isName(part, partEnd);
                                    keys.parts.push_back(StateCache::internKey(L, part, partEnd - part));
                                    if (point == nullptr)
                                    {
                                        break;
                                    }
                                    part = point + 1;
                                }
                                keys.nameKey = StateCache::internKey(L, keys.name.c_str(), keys.name.size());
                            });
            if (!prepared || !keys.usable ||
                (keys.parts.size() > checkedParts && !lua_checkstack(L, 6 + (int)keys.parts.size())))
            {
                return HookCall::RunText;
            }
            lua_rawgeti(L, LUA_REGISTRYINDEX, common.handler);
            int container = LUA_GLOBALSINDEX;
            for (int part : keys.parts)
            {
                if ((container != LUA_GLOBALSINDEX && foundType != LUA_TTABLE) ||
                    readField(L, container, part) != Read::Found)
                {
                    lua_settop(L, base);
                    return HookCall::RunText;
                }
                container = (container == LUA_GLOBALSINDEX ? base + 2 : container + 1);
            }
            if (foundType != LUA_TFUNCTION || lua_iscfunction(L, -1) != 0)
            {
                lua_settop(L, base);
                return HookCall::RunText;
            }
            // The tables on the way stay below the function.
            const int function = container;
            lua_rawgeti(L, LUA_REGISTRYINDEX, keys.nameKey);
            lua_pushnumber(L, number);
            callFunction(L, base, 2, LUA_MULTRET, text);
            results = lua_gettop(L) - function + 1;
            if (results == 1)
            {
                // dumpValue writes a number, and a string that reads as one, as textFloat reads it.
                const double number = lua_tonumber(L, -1);
                result = (number != 0.0 || lua_isnumber(L, -1) != 0 ? textFloat(number)
                                                                    : dumpValue(L, -1).toFloat());
            }
            lua_settop(L, base);
            return HookCall::Called;
        }
    } // namespace LuaInterface
} // namespace vumo
