#include <lua.hpp>
#include <quortypes/hdict.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include <tesrauilua/Boundary.h>
#include <tesrauilua/Conversions.h>
#include <tesrauilua/Objects.h>

namespace tesrauilua
{
    namespace
    {
        BareNameResolver bareNameResolver = nullptr;
    } // namespace

    void setBareNameResolver(BareNameResolver resolver)
    {
        bareNameResolver = resolver;
    }

    hstring getObjectName(lua_State* L, int index)
    {
        if (index < 0 && index > LUA_REGISTRYINDEX)
        {
            index = lua_gettop(L) + index + 1;
        }
        switch (lua_type(L, index))
        {
        case LUA_TSTRING:
            return toString(L, index);
        case LUA_TTABLE:
        {
            lua_pushstring(L, "__name");
            lua_rawget(L, index);
            if (lua_isstring(L, -1) == 0)
            {
                lua_pop(L, 1);
                raiseLuaError(L, formatString("C++ interface: Unable to convert table to Object instance at "
                                              "stack index %d. The provided object table is invalid.",
                                              index));
            }
            const hstring name = toString(L, -1);
            lua_pop(L, 1);
            return name;
        }
        }
        raiseLuaError(L, formatString("C++ interface: Unable to convert %s to Object instance at stack "
                                      "index %d. Objects should be referenced as strings or object tables",
                                      luaL_typename(L, index), index));
    }

    tesraui::Object* getObject(lua_State* L, int index)
    {
        return findObject(L, getObjectName(L, index));
    }

    namespace
    {
        // The object named objectName in the dataset datasetName, both split off a full name at its last
        // point.
        tesraui::Object* findSplitObject(lua_State* L, hstring& datasetName, hstring& objectName)
        {
            // An object's own name may hold "." (a scene's root object is named after the scene's full
            // name): the dataset is the longest prefix that names one.
            if (datasetName.contains("."))
            {
                const hdict<tesraui::Dataset*> datasets = tesraui::getDatasets();
                hstring prefix = datasetName;
                hstring rest = objectName;
                while (!datasets.hasKey(prefix) && prefix.contains("."))
                {
                    const int dot = prefix.rfind('.');
                    rest = prefix.subString(dot + 1) + "." + rest;
                    prefix = prefix.subString(0, dot);
                }
                if (datasets.hasKey(prefix))
                {
                    datasetName = prefix;
                    objectName = rest;
                }
            }
            tesraui::Dataset* dataset = tesraui::getDatasetByName(datasetName);
            // The dataset's own lookup would take the name's first part for another dataset.
            tesraui::Object* object =
                (objectName.contains(".") ? dataset->getObjects().tryGet(objectName, nullptr)
                                          : dataset->tryGetObject(objectName));
            if (object == nullptr)
            {
                raiseLuaError(L, formatString("Object '%s' not found in '%s' dataset.", objectName.c_str(),
                                              datasetName.c_str()));
            }
            return object;
        }
    } // namespace

    tesraui::Object* findObject(lua_State* L, const hstring& name)
    {
        // One split tells a full name from a bare one.
        hstring datasetName;
        hstring objectName;
        if (name.rsplit('.', datasetName, objectName))
        {
            return findSplitObject(L, datasetName, objectName);
        }
        if (bareNameResolver != nullptr)
        {
            return bareNameResolver(L, name);
        }
        raiseLuaError(L, "Unable to get object '" + name + "', full object name must be provided.");
    }

    tesraui::Object* findDatasetObject(lua_State* L, const hstring& name)
    {
        hstring datasetName;
        hstring objectName;
        if (!name.rsplit('.', datasetName, objectName))
        {
            raiseLuaError(L, "Unable to get object '" + name + "', full object name must be provided.");
        }
        return findSplitObject(L, datasetName, objectName);
    }

    int pushObject(lua_State* L, tesraui::Object* object)
    {
        if (object == nullptr)
        {
            lua_pushnil(L);
            return 1;
        }
        lua_newtable(L);
        lua_pushstring(L, "__name");
        push(L, object->getFullName());
        lua_rawset(L, -3);
        // Raw: the program's own global is no script's business, nor subject to its global metatable.
        lua_pushstring(L, "__object__metatable");
        lua_rawget(L, LUA_GLOBALSINDEX);
        lua_setmetatable(L, -2);
        return 1;
    }
} // namespace tesrauilua
