#pragma once

#include <quortypes/hstring.h>

struct lua_State;

namespace tesraui
{
    class Object;
}

// UI objects travel to Lua as tables holding their full name in "__name" and from Lua as such tables or
// as names, looked up again on every call so that a script never holds an object that is gone.
namespace tesrauilua
{
    // Finds the object of a name without a dataset part, or raises a Lua error; never returns null.
    typedef tesraui::Object* (*BareNameResolver)(lua_State* L, const hstring& name);
    // The program decides what a bare name means; null restores the default, which asks for the full
    // name. Not owned: a plain function.
    void setBareNameResolver(BareNameResolver resolver);

    // The name an object argument holds: a string, or the "__name" field of an object table. A negative
    // index counts from the top and is named in messages as the absolute one.
    hstring getObjectName(lua_State* L, int index);
    // The object of the argument, through findObject; never null.
    tesraui::Object* getObject(lua_State* L, int index);
    // "dataset.object" through findDatasetObject, a bare name through the resolver; never null.
    tesraui::Object* findObject(lua_State* L, const hstring& name);
    // The object of a full name. An object's own name may hold ".": the dataset is the longest prefix
    // that names one. A bare name, an unknown dataset or a missing object raise a Lua error.
    tesraui::Object* findDatasetObject(lua_State* L, const hstring& name);
    // A fresh object table with the global "__object__metatable", or nil for null; returns 1.
    int pushObject(lua_State* L, tesraui::Object* object);
} // namespace tesrauilua
