#pragma once

#include <quortypes/hstring.h>

struct lua_State;

// Type strings hold a letter per argument: s string, n number, t table, o object (a name or an object
// table), b boolean, f function, ? anything. nil and userdata pass every letter.
namespace tesrauilua
{
    // Argument checks; on failure they raise a Lua error and do not return. A null type string skips
    // the type check.
    void checkArgs(lua_State* L, int min, int max, const hstring& functionName, const char* typeString);
    void checkArgsExact(lua_State* L, int count, const hstring& functionName, const char* typeString);
    void checkArgumentTypes(lua_State* L, const hstring& functionName, const char* typeString);
    // A "t" argument about to be walked: the type check lets nil and userdata through, so anything but
    // a table raises the type message here. The optional form answers false for nil or an absent one.
    void checkTableArgument(lua_State* L, int index, const hstring& functionName, const char* typeString);
    bool checkOptionalTableArgument(lua_State* L, int index, const hstring& functionName,
                                    const char* typeString);
    // "name(string, [number])": letters from firstOptional on are bracketed.
    hstring describeSignature(const hstring& functionName, const char* typeString, int firstOptional);
} // namespace tesrauilua
