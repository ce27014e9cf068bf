#include <cmath>

#include <lua.hpp>
#include <quortypes/PropertyInfo.h>
#include <quortypes/Log.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "Scene.h"
#include "lua/Calls.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/api/objecttree.h"
#include "lua/api/registrars.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            using objecttree::datasetOf;

            // The object the derived values of an object are measured up to: the UI root for objects of the
            // UI's dataset, the active scene's root otherwise.
            tesraui::Object* worldRoot(tesraui::Object* object)
            {
                tesraui::Dataset* dataset = object->getDataset();
                if (dataset != nullptr && dataset == getGameUiHost().getDataset())
                {
                    return getGameUiHost().getRootObject();
                }
                Scene* scene = getHost().getActiveScene();
                if (scene != nullptr && scene->getRootObject() != nullptr)
                {
                    return (tesraui::Object*)scene->getRootObject();
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
                const PropertyInfo* info = PropertyInfo::find(descriptions, name);
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
                        raiseLuaError(L, "setObjectProperty failed setting property '" + name +
                                             "' for object '" + object->getFullName() +
                                             "', NaN/INF value passed.");
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
                const hstring refusal =
                    PropertyInfo::valueRefusal(object->getPropertyDescriptions(), name, value);
                if (refusal != "")
                {
                    raiseLuaError(L, "setObjectProperty failed setting property '" + name + "' for object '" +
                                         object->getFullName() + "', " + name + " " + refusal + ".");
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

            int object_getProperties(lua_State* L)
            {
                checkArgsExact(L, 1, "object.getProperties", "o");
                const harray<PropertyInfo> descriptions = getObject(L, 1)->getPropertyDescriptions();
                lua_newtable(L);
                int index = 0;
                for (const PropertyInfo& info : descriptions)
                {
                    if (info.type != PropertyInfo::GVEC2)
                    {
                        push(L, info.name);
                        lua_rawseti(L, -2, ++index);
                    }
                }
                return 1;
            }

            tesraui::Object* optionalObject(lua_State* L, int index)
            {
                return (lua_gettop(L) >= index && !lua_isnil(L, index) ? getObject(L, index) : nullptr);
            }

            int object_getBoundingRect(lua_State* L)
            {
                checkArgs(L, 1, 2, "object.getBoundingRect", "oo");
                const kavtypes::Rectangle rect = getObject(L, 1)->getBoundingRect(optionalObject(L, 2));
                push(L, rect.x);
                push(L, rect.y);
                push(L, rect.w);
                push(L, rect.h);
                return 4;
            }

            int object_getDerivedScale(lua_State* L)
            {
                checkArgs(L, 1, 2, "object.getDerivedScale", "oo");
                const kavtypes::Vector2 scale = getObject(L, 1)->getDerivedScale(optionalObject(L, 2));
                push(L, scale.x);
                push(L, scale.y);
                return 2;
            }

            int object_getDerivedAlpha(lua_State* L)
            {
                checkArgs(L, 1, 2, "object.getDerivedAlpha", "oo");
                return push(L, (float)getObject(L, 1)->getDerivedAlpha(optionalObject(L, 2)));
            }

            int object_isAnimated(lua_State* L)
            {
                checkArgsExact(L, 1, "object.isAnimated", "o");
                return push(L, getObject(L, 1)->hasDynamicAnimators());
            }

            int object_getFocusedObject(lua_State* L)
            {
                Scene* scene = getHost().getActiveScene();
                tesraui::Dataset* sceneDataset =
                    (scene != nullptr ? getHost().getSceneDataset(scene) : nullptr);
                if (sceneDataset != nullptr && sceneDataset->getFocusedObject() != nullptr)
                {
                    return pushObject(L, sceneDataset->getFocusedObject());
                }
                tesraui::Dataset* uiDataset = getGameUiHost().getDataset();
                return pushObject(L, uiDataset != nullptr ? uiDataset->getFocusedObject() : nullptr);
            }

            int object_setFocus(lua_State* L)
            {
                checkArgsExact(L, 1, "object.setFocus", "o");
                tesraui::Object* object = getObject(L, 1);
                tesraui::Dataset* dataset = datasetOf(L, object, "object.setFocus");
                for (const auto& pair : tesraui::getDatasets())
                {
                    pair.second->removeFocus();
                }
                dataset->focus(object);
                return 0;
            }

            int object_triggerEvent(lua_State* L)
            {
                checkArgsExact(L, 2, "object.triggerEvent", "os");
                getObject(L, 1)->triggerEvent(toString(L, 2), 0u, "");
                return 0;
            }
        } // namespace

        void registerObject()
        {
            using namespace objecttree;
            registerFunction(object_create, "object.create");
            registerFunction(object_assignEvent, "object.assignEvent");
            registerFunction(object_destroy, "object.destroy");
            registerFunction(object_destroyChildren, "object.destroyChildren");
            registerFunction(object_exists, "object.exists");
            registerFunction(object_getObject, "object.getObject");
            registerFunction(object_children, "object.children");
            registerFunction(object_isAncestor, "object.isAncestor");
            registerFunction(object_getChildUnderPoint, "object.getChildUnderPoint");
            registerFunction(object_getProperties, "object.getProperties");
            registerFunction(object_getBoundingRect, "object.getBoundingRect");
            registerFunction(object_getDerivedScale, "object.getDerivedScale");
            registerFunction(object_getDerivedAlpha, "object.getDerivedAlpha");
            registerFunction(object_isAnimated, "object.isAnimated");
            registerFunction(object_getFocusedObject, "object.getFocusedObject");
            registerFunction(object_setFocus, "object.setFocus");
            registerFunction(object_triggerEvent, "object.triggerEvent");
            registerFunction(object_moveX, "object.moveX");
            registerFunction(object_moveY, "object.moveY");
            registerFunction(object_rotate, "object.rotate");
            registerFunction(object_resizeX, "object.resizeX");
            registerFunction(object_resizeY, "object.resizeY");
            registerFunction(object_scaleX, "object.scaleX");
            registerFunction(object_scaleY, "object.scaleY");
            registerFunction(object_fade, "object.fade");
            registerFunction(object_move, "object.move");
            registerFunction(object_resize, "object.resize");
            registerFunction(object_scale, "object.scale");
            registerFunction(object_getProperty, "object.getProperty");
            registerFunction(object_setProperty, "object.setProperty");
            registerFunction(object_index, "object.___index");
            registerFunction(object_serialize, "object.___serialize");
            execute("__object__metatable = { __index = object.___index, __newindex = object.setProperty, "
                    "__serialize = object.___serialize }");
        }
    } // namespace LuaInterface
} // namespace vumo
