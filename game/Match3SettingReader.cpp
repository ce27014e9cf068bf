#include "Match3SettingReader.h"

#include <cmath>
#include <cstdlib>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <quortypes/exception.h>

#include "lua/LuaInterface.h"

using namespace vumo;

Match3SettingReader::Match3SettingReader(const hstring& sceneName, const hstring& fileName,
                                         const hstring& logTag)
    : sceneName(sceneName), fileName(fileName), logTag(logTag)
{
}

void Match3SettingReader::fail(const hstring& message)
{
    problems.push_back(message);
}

void Match3SettingReader::warnHeld(const hstring& name, const Value& value, const hstring& range,
                                   const hstring& held)
{
    quortypes::Log::warnf(logTag, "Match-three scene '%s': '%s' is %s, %s, held at %s, in file %s",
                          sceneName.c_str(), name.c_str(), value.text.c_str(), range.c_str(), held.c_str(),
                          fileName.c_str());
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

int Match3SettingReader::integer(const hstring& name, int fallback, int low, int high, Outside outside)
{
    const Value value = read(name);
    double result = 0.0;
    if (!value.present || !number(name, value, result))
    {
        return fallback;
    }
    const double whole = std::trunc(result);
    if (whole >= (double)low && whole <= (double)high)
    {
        return (int)whole;
    }
    const hstring range = formatString("not from %d to %d", low, high);
    if (outside == Outside::Refused)
    {
        fail("'" + name + "' is " + value.text + ", " + range);
        return fallback;
    }
    const int held = (whole < (double)low ? low : high);
    warnHeld(name, value, range, hstring(held));
    return held;
}

float Match3SettingReader::real(const hstring& name, float fallback, float low, float high)
{
    const Value value = read(name);
    double result = 0.0;
    if (!value.present || !number(name, value, result))
    {
        return fallback;
    }
    if (result >= (double)low && result <= (double)high)
    {
        return (float)result;
    }
    const float held = (result < (double)low ? low : high);
    warnHeld(name, value, formatString("not from %g to %g", (double)low, (double)high),
             formatString("%g", (double)held));
    return held;
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
