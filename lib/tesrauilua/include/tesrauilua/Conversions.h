#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

struct lua_State;

namespace tesrauilua
{
    // A string or number as text, a boolean as "true" or "false"; anything else raises errorMessage, or a
    // message naming the type and index when it is empty.
    hstring toString(lua_State* L, int index, const hstring& errorMessage = "");
    bool toBool(lua_State* L, int index);
    // A number as an int, clamped to the int range; NaN and non-numbers give 0.
    int toInt(lua_State* L, int index);

    // Each pushes one value and returns 1.
    int push(lua_State* L, const hstring& value);
    int push(lua_State* L, const char* value);
    int push(lua_State* L, float value);
    int push(lua_State* L, bool value);
    int push(lua_State* L, int value);
    // Several results, not a table; returns their count.
    int pushStrings(lua_State* L, const harray<hstring>& values);
    // A property value as its declared type code: 0 to 3 numbers, 4 a boolean, the rest strings.
    int pushTyped(lua_State* L, const hstring& value, int typeCode);

    // Fields of the table at index; each leaves the stack as it was.
    bool getTableString(lua_State* L, int index, const hstring& key, hstring& out);
    hstring getTableStringOr(lua_State* L, int index, const hstring& key, const hstring& defaultValue);
    hstring getTableValueString(lua_State* L, int index, const hstring& key);
    float getTableNumber(lua_State* L, int index, const hstring& key, float defaultValue);
    float getTableNumberRequired(lua_State* L, int index, const hstring& key);
} // namespace tesrauilua
