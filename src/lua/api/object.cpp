#include <cmath>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Object.h>

#include "Scene.h"
#include "lua/Calls.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"
#include "ui/UI.h"

namespace LuaInterface
{
    namespace
    {
        // The object the derived values of an object are measured up to: the UI root for objects of the
        // UI's dataset, the active scene's root otherwise.
        tesraui::Object* worldRoot(tesraui::Object* object)
        {
            tesraui::Dataset* dataset = object->getDataset();
            if (dataset != nullptr && dataset == UI::getUIDataset())
            {
                return UI::getInstance()->getRootObject();
            }
            Scene* scene = getHost().getActiveScene();
            if (scene != nullptr && scene->getRootObject() != nullptr)
            {
                return (tesraui::Object*)scene->getRootObject();
            }
            return nullptr;
        }

        // Parameterised properties are described as "name:%".
        const PropertyInfo* findDescription(const harray<PropertyInfo>& descriptions, const hstring& name)
        {
            hstring key = name;
            hstring head;
            hstring tail;
            if (name.split(':', head, tail))
            {
                key = head + ":%";
            }
            for (const PropertyInfo& info : descriptions)
            {
                if (info.name == key)
                {
                    return &info;
                }
            }
            return nullptr;
        }

        int pushDerived(lua_State* L, tesraui::Object* object, const hstring& name)
        {
            tesraui::Object* root = worldRoot(object);
            if (root != nullptr && object != root && !object->isDescendantOf(root))
            {
                root = nullptr;
            }
            if (name == "derived_x" || name == "derived_y")
            {
                const kavtypes::Vector2 position = object->getDerivedPosition(root);
                return push(L, name == "derived_x" ? position.x : position.y);
            }
            if (name == "derived_w" || name == "derived_h")
            {
                const kavtypes::Vector2 scale = object->getDerivedScale(root);
                return push(L, name == "derived_w" ? object->getWidth() * scale.x
                                                   : object->getHeight() * scale.y);
            }
            if (name == "derived_scale_x" || name == "derived_scale_y")
            {
                const kavtypes::Vector2 scale = object->getDerivedScale(root);
                return push(L, name == "derived_scale_x" ? scale.x : scale.y);
            }
            if (name == "derived_alpha")
            {
                return push(L, (float)object->getDerivedAlpha(root));
            }
            if (name == "derived_angle")
            {
                return push(L, object->getDerivedAngle(root));
            }
            if (name == "derived_center_x" || name == "derived_center_y")
            {
                const kavtypes::Vector2 center = object->getDerivedCenter(root);
                return push(L, name == "derived_center_x" ? center.x : center.y);
            }
            return 0;
        }

        int object_getObject(lua_State* L)
        {
            checkArgsExact(L, 1, "object.getObject", "s");
            return pushObject(L, findObject(L, toString(L, 1)));
        }

        int object_getProperty(lua_State* L)
        {
            checkArgsExact(L, 2, "object.getProperty", "os");
            tesraui::Object* object = getObject(L, 1);
            const hstring name = toString(L, 2);
            const harray<PropertyInfo> descriptions = object->getPropertyDescriptions();
            const PropertyInfo* info = findDescription(descriptions, name);
            if (info != nullptr)
            {
                return pushTyped(L, object->getProperty(name), info->type);
            }
            if (name == "parent")
            {
                return pushObject(L, object->getParent());
            }
            if (name == "type")
            {
                const hstring className = object->getClassName();
                if (className == "")
                {
                    quortypes::Log::error(logTag, "Object reporting empty class name!");
                    return push(L, "UNKNOWN");
                }
                return push(L, className);
            }
            if (name.startsWith("derived_") && pushDerived(L, object, name) == 1)
            {
                return 1;
            }
            lua_pushnil(L);
            return 1;
        }

        int object_setProperty(lua_State* L)
        {
            checkArgsExact(L, 3, "object.setProperty", "os?");
            tesraui::Object* object = getObject(L, 1);
            const hstring name = toString(L, 2);
            hstring value;
            switch (lua_type(L, 3))
            {
            case LUA_TNUMBER:
                if (!std::isfinite(lua_tonumber(L, 3)))
                {
                    raiseLuaError(L, "setObjectProperty failed setting property '" + name + "' for object '" +
                                         object->getFullName() + "', NaN/INF value passed.");
                }
                value = toString(L, 3);
                break;
            case LUA_TBOOLEAN:
                value = (toBool(L, 3) ? "1" : "0");
                break;
            default:
                value = toString(L, 3);
                break;
            }
            if (!object->setProperty(name, value))
            {
                raiseLuaError(L, "setObjectProperty failed, property '" + name +
                                     "' doesn't exist in object " + object->getFullName());
            }
            return 0;
        }

        // Functions of the object table first, then the methods of the object's class, then properties.
        int object_index(lua_State* L)
        {
            lua_settop(L, 2);
            lua_getglobal(L, "object");
            const int objectTable = lua_gettop(L);
            lua_pushvalue(L, 2);
            lua_gettable(L, objectTable);
            if (lua_isfunction(L, -1))
            {
                return 1;
            }
            lua_pop(L, 1);
            const hstring className = getObject(L, 1)->getClassName();
            lua_getfield(L, objectTable, className.c_str());
            if (lua_istable(L, -1))
            {
                lua_pushvalue(L, 2);
                lua_gettable(L, -2);
                if (!lua_isnil(L, -1))
                {
                    return 1;
                }
                lua_pop(L, 1);
            }
            lua_settop(L, 2);
            return object_getProperty(L);
        }

        int object_serialize(lua_State* L)
        {
            tesraui::Object* object = getObject(L, 1);
            lua_newtable(L);
            push(L, object->getFullName());
            lua_setfield(L, -2, "name");
            for (const char* key : {"x", "y", "w", "h"})
            {
                push(L, object->getProperty(key));
                lua_setfield(L, -2, key);
            }
            return 1;
        }
    } // namespace

    void registerObject()
    {
        registerFunction(object_getObject, "object.getObject");
        registerFunction(object_getProperty, "object.getProperty");
        registerFunction(object_setProperty, "object.setProperty");
        registerFunction(object_index, "object.___index");
        registerFunction(object_serialize, "object.___serialize");
        execute("__object__metatable = { __index = object.___index, __newindex = object.setProperty, "
                "__serialize = object.___serialize }");
    }
} // namespace LuaInterface
