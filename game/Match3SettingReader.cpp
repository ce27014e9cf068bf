#include "Match3SettingReader.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include <lua.hpp>
#include <quortypes/exception.h>

#include "lua/LuaInterface.h"

using namespace vumo;

Match3SettingReader::Match3SettingReader(const hstring& sceneName) : sceneName(sceneName) {}

void Match3SettingReader::fail(const hstring& message)
{
    if (problem == "")
    {
        problem = message;
    }
}

Match3SettingReader::Value Match3SettingReader::read(const hstring& name)
{
    Value value;
    lua_State* L = LuaInterface::state;
    if (L == nullptr)
    {
        return value;
    }
    const hstring path = sceneName + "." + name;
    try
    {
        if (!LuaInterface::isDefined(L, path))
        {
            return value;
        }
        const int pushed = LuaInterface::pushGlobal(L, path);
        const int type = lua_type(L, -1);
        value.present = true;
        value.typeName = lua_typename(L, type);
        value.isText = (type == LUA_TSTRING || type == LUA_TNUMBER);
        value.isNumber = (type == LUA_TNUMBER);
        value.isBoolean = (type == LUA_TBOOLEAN);
        if (value.isNumber)
        {
            value.number = lua_tonumber(L, -1);
        }
        if (value.isText)
        {
            size_t length = 0;
            const char* text = lua_tolstring(L, -1, &length);
            value.text = hstring(text, (int)length);
        }
        value.boolean = (value.isBoolean && lua_toboolean(L, -1) != 0);
        lua_pop(L, pushed);
    }
    catch (const quortypes::exception& e)
    {
        fail("'" + name + "' cannot be read: " + e.getMessage());
        value = Value();
    }
    return value;
}

bool Match3SettingReader::has(const hstring& name)
{
    return read(name).present;
}

bool Match3SettingReader::number(const hstring& name, const Value& value, double& result)
{
    if (value.isNumber)
    {
        result = value.number;
    }
    else if (value.isText && value.text.trimmed().isNumber())
    {
        result = std::strtod(value.text.trimmed().c_str(), nullptr);
    }
    else
    {
        fail("'" + name + "' is " + (value.isText ? "'" + value.text + "'" : "a " + value.typeName) +
             ", not a number");
        return false;
    }
    if (!std::isfinite(result))
    {
        fail("'" + name + "' is " + value.text + ", not a finite number");
        return false;
    }
    return true;
}

hstring Match3SettingReader::text(const hstring& name, const hstring& fallback)
{
    const Value value = read(name);
    if (!value.present)
    {
        return fallback;
    }
    if (!value.isText)
    {
        fail("'" + name + "' is a " + value.typeName + ", not text");
        return fallback;
    }
    return value.text;
}

int Match3SettingReader::integer(const hstring& name, int fallback)
{
    const Value value = read(name);
    double result = 0.0;
    if (!value.present || !number(name, value, result))
    {
        return fallback;
    }
    if (result < (double)INT_MIN || result > (double)INT_MAX)
    {
        fail("'" + name + "' is " + value.text + ", out of range");
        return fallback;
    }
    return (int)result;
}

float Match3SettingReader::real(const hstring& name, float fallback)
{
    const Value value = read(name);
    double result = 0.0;
    if (!value.present || !number(name, value, result))
    {
        return fallback;
    }
    return (float)result;
}

bool Match3SettingReader::flag(const hstring& name, bool fallback)
{
    const Value value = read(name);
    if (!value.present)
    {
        return fallback;
    }
    if (value.isBoolean)
    {
        return value.boolean;
    }
    const hstring word = (value.isText ? value.text.trimmed().lowered() : hstring());
    if (word == "true" || word == "false")
    {
        return word == "true";
    }
    if (value.isNumber || word.isNumber())
    {
        const double result = (value.isNumber ? value.number : std::strtod(word.c_str(), nullptr));
        // As the whole number it holds: scripts write 0 and 1.
        return !std::isnan(result) && std::trunc(result) != 0.0;
    }
    fail("'" + name + "' is " + (value.isText ? "'" + value.text + "'" : "a " + value.typeName) +
         ", not a boolean");
    return fallback;
}
