#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesraui/Container.h>
#include <tesra/tesra.h>
#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/CustomAnimator.h"
#include "lua/Events.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"
#include "objects/VumoViewportObject.h"
#include "GameUiHost.h"

namespace LuaInterface
{
    namespace
    {
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

        // An event that does nothing: a custom animator's one event only carries the function's name.
        class NamingEvent : public tesraui::Event
        {
        public:
            void execute(tesraui::EventArgs*) override {}
        };

        tesraui::Dataset* datasetOf(lua_State* L, tesraui::Object* object, const char* functionName)
        {
            tesraui::Dataset* dataset = object->getDataset();
            if (dataset == nullptr)
            {
                raiseLuaError(L, hstring(functionName) + ": object '" + object->getFullName() +
                                     "' belongs to no dataset");
            }
            return dataset;
        }

        // The UI's root, the viewport and the root of every active scene: the UI draws them, the zoom and
        // the scene switch walk them every frame, and nothing would tell those that one was deleted.
        harray<tesraui::Object*> engineObjects()
        {
            harray<tesraui::Object*> result;
            if (getGameUiHost().getRootObject() != nullptr)
            {
                result.push_back(getGameUiHost().getRootObject());
            }
            if (Session::getViewport() != nullptr)
            {
                result.push_back(Session::getViewport());
            }
            for (const auto& pair : tesraui::getDatasets())
            {
                Chapter* chapter = Chapter::fromDataset(pair.second);
                if (chapter == nullptr)
                {
                    continue;
                }
                for (const auto& scene : chapter->getScenes())
                {
                    if (scene.second->getRootObject() != nullptr)
                    {
                        result.push_back(scene.second->getRootObject());
                    }
                }
            }
            return result;
        }

        // Raises an error, before anything is deleted, when the destruction would take an engine object
        // with it: the object itself (unless only its children go) or one below it.
        void refuseEngineObjects(lua_State* L, tesraui::Object* object, bool childrenOnly,
                                 const char* functionName)
        {
            for (tesraui::Object* engineObject : engineObjects())
            {
                if (engineObject == object && !childrenOnly)
                {
                    raiseLuaError(L, hstring(functionName) + ": object '" + object->getFullName() +
                                         "' belongs to the engine and cannot be destroyed");
                }
                for (tesraui::Object* above = engineObject->getParent(); above != nullptr;
                     above = above->getParent())
                {
                    if (above == object)
                    {
                        raiseLuaError(L, hstring(functionName) + ": object '" + object->getFullName() +
                                             "' holds '" + engineObject->getFullName() +
                                             "', which belongs to the engine and cannot be destroyed");
                    }
                }
            }
        }

        tesraui::Object* activeSceneRoot()
        {
            Scene* scene = getHost().getActiveScene();
            return (scene != nullptr ? (tesraui::Object*)scene->getRootObject() : nullptr);
        }

        // A retained object of the active scene taken back and hung under parent; null when there is none.
        tesraui::Object* reuseRetained(const hstring& name, tesraui::Object* parent)
        {
            Scene* scene = getHost().getActiveScene();
            tesraui::Object* object = (scene != nullptr ? scene->takeObject(name) : nullptr);
            if (object == nullptr)
            {
                return nullptr;
            }
            if (object->getParent() != nullptr)
            {
                object->detach();
            }
            if (object->getDataset() == nullptr && parent->getDataset() != nullptr)
            {
                parent->getDataset()->registerObjects(object);
            }
            parent->addChild(object);
            return object;
        }

        int object_create(lua_State* L)
        {
            checkArgsExact(L, 4, "object.create", "ssot");
            const bool hasProperties = checkOptionalTableArgument(L, 4, "object.create", "ssot");
            const hstring type = toString(L, 1);
            hstring name = toString(L, 2);
            tesraui::Object* parent = nullptr;
            if (lua_isnil(L, 3))
            {
                parent = activeSceneRoot();
                if (parent == nullptr)
                {
                    raiseLuaError(L, "Unable to attach " + type + " object to Scene, no active scene set!");
                }
            }
            else
            {
                parent = getObject(L, 3);
            }
            if (name == "")
            {
                name = tesra::generateName(type);
            }
            else if (name.endsWith("__retain"))
            {
                tesraui::Object* retained = reuseRetained(name, parent);
                if (retained != nullptr)
                {
                    return pushObject(L, retained);
                }
            }
            kavtypes::Rectangle rect(-1.0f, -1.0f, -1.0f, -1.0f);
            std::vector<std::pair<hstring, hstring>> properties;
            if (hasProperties)
            {
                lua_pushnil(L);
                while (lua_next(L, 4) != 0)
                {
                    if (lua_type(L, -2) == LUA_TSTRING)
                    {
                        const hstring key = toString(L, -2);
                        const hstring value = toString(L, -1);
                        if (key == "x")
                            rect.x = value.toFloat();
                        else if (key == "y")
                            rect.y = value.toFloat();
                        else if (key == "w")
                            rect.w = value.toFloat();
                        else if (key == "h")
                            rect.h = value.toFloat();
                        else
                            properties.emplace_back(key, value);
                    }
                    lua_pop(L, 1);
                }
            }
            std::sort(properties.begin(), properties.end());
            tesraui::Dataset* dataset = datasetOf(L, parent, "object.create");
            tesraui::Object* object = tesraui::createObject(type, name, rect);
            tesraui::Animator* animator = nullptr;
            if (object == nullptr)
            {
                animator = tesraui::createAnimator(type, name);
                if (animator == nullptr)
                {
                    raiseLuaError(L, "object.create(): unable to create object of type '" + type +
                                         "', type not found.");
                }
                object = animator;
            }
            // Until its dataset takes it, a failure frees the object here.
            std::unique_ptr<tesraui::Object> unregistered(object);
            dataset->registerObjects(object);
            unregistered.release();
            parent->addChild(object);
            for (const auto& [key, value] : properties)
            {
                bool accepted = false;
                try
                {
                    accepted = object->setProperty(key, value);
                }
                catch (const quortypes::exception&)
                {
                    // A value the object throws at leaves no half-made object behind either.
                    dataset->destroyObject(object);
                    throw;
                }
                if (accepted)
                {
                    continue;
                }
                if (animator != nullptr && key == "custom_func")
                {
                    animator->setProperty("func", "custom");
                    animator->setCustomFunction(&evaluateCustomAnimator);
                    animator->registerEvent(value, new NamingEvent());
                    continue;
                }
                dataset->destroyObject(object);
                raiseLuaError(L, "Invalid object property: " + key + "( " + value + " )");
            }
            if (animator != nullptr)
            {
                animator->update(0.0f);
            }
            return pushObject(L, object);
        }

        int object_assignEvent(lua_State* L)
        {
            const int count = lua_gettop(L);
            if (count < 2)
            {
                raiseLuaError(
                    L, formatString("object.assignEvent() expecting at least 2 arguments, got %d", count));
            }
            tesraui::Object* object = getObject(L, 1);
            hstring eventName = "Click";
            int handlerIndex = 2;
            if (lua_type(L, 2) == LUA_TSTRING && count > 2)
            {
                eventName = toString(L, 2);
                handlerIndex = 3;
            }
            tesraui::Event* event = nullptr;
            switch (lua_type(L, handlerIndex))
            {
            case LUA_TSTRING:
            case LUA_TNUMBER:
                event = new LuaCallbackEvent(toString(L, count), getSceneForObject(object));
                break;
            case LUA_TFUNCTION:
                event = makeFunctionEvent(L, handlerIndex);
                break;
            default:
                raiseLuaError(
                    L, hstring("object.assignEvent() expects either code as a string or a function with "
                               "arguments, got ") +
                           luaL_typename(L, handlerIndex));
            }
            object->registerEvent(eventName, event);
            return 0;
        }

        int object_destroy(lua_State* L)
        {
            checkArgsExact(L, 1, "object.destroy", "o");
            tesraui::Object* object = getObject(L, 1);
            tesraui::Dataset* dataset = datasetOf(L, object, "object.destroy");
            refuseEngineObjects(L, object, false, "object.destroy");
            dataset->destroyObject(object);
            return 0;
        }

        int object_destroyChildren(lua_State* L)
        {
            checkArgsExact(L, 1, "object.destroyChildren", "o");
            tesraui::Object* object = getObject(L, 1);
            refuseEngineObjects(L, object, true, "object.destroyChildren");
            object->destroyChildren();
            return 0;
        }

        int object_exists(lua_State* L)
        {
            checkArgsExact(L, 1, "object.exists", "?");
            hstring name;
            if (lua_istable(L, 1))
            {
                lua_getfield(L, 1, "__name");
                if (lua_type(L, -1) != LUA_TSTRING)
                {
                    raiseLuaError(
                        L, "object.exists(): can't verify object existance, argument given as table, but "
                           "table is not a valid object table.");
                }
                name = toString(L, -1);
                lua_pop(L, 1);
            }
            else if (lua_type(L, 1) == LUA_TSTRING)
            {
                name = toString(L, 1);
            }
            else
            {
                raiseLuaError(
                    L, hstring("Wrong argument given to object.exists(), string or object table expected, "
                               "got ") +
                           luaL_typename(L, 1));
            }
            hstring datasetName;
            hstring objectName;
            if (name.split('.', datasetName, objectName))
            {
                // The rest is the object's own name: asking hasObject would split it at its next dot
                // and look for a dataset of that name.
                return push(L, tesraui::getDatasetByName(datasetName)->getObjects().hasKey(objectName));
            }
            Scene* scene = getHost().getActiveScene();
            tesraui::Dataset* dataset = (scene != nullptr ? getHost().getSceneDataset(scene) : nullptr);
            if (dataset == nullptr)
            {
                raiseLuaError(
                    L, "Unable to verify existance of scene object '" + name +
                           "', chapter dataset not initialised. Did you forget to add a dataset prefix to "
                           "the object name argument?");
            }
            return push(L, dataset->hasObject(name));
        }

        int object_children(lua_State* L)
        {
            checkArgsExact(L, 1, "object.children", "o");
            const harray<tesraui::Object*> children = getObject(L, 1)->getChildren();
            lua_createtable(L, children.size(), 0);
            for (int i = 0; i < children.size(); ++i)
            {
                pushObject(L, children[i]);
                lua_rawseti(L, -2, i + 1);
            }
            return 1;
        }

        int object_isAncestor(lua_State* L)
        {
            checkArgsExact(L, 2, "isAncestor", "oo");
            tesraui::Object* ancestor = getObject(L, 1);
            return push(L, getObject(L, 2)->isDescendantOf(ancestor));
        }

        int object_getChildUnderPoint(lua_State* L)
        {
            checkArgsExact(L, 3, "object.getChildUnderPoint", "onn");
            tesraui::Object* object = getObject(L, 1);
            const kavtypes::Rectangle bounds = object->getBoundingRect();
            const float x = bounds.x + (float)lua_tonumber(L, 2) * bounds.w;
            const float y = bounds.y + (float)lua_tonumber(L, 3) * bounds.h;
            return pushObject(L, object->getChildUnderPoint(x, y));
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
            tesraui::Dataset* sceneDataset = (scene != nullptr ? getHost().getSceneDataset(scene) : nullptr);
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

        // One value: object, target, speed and an optional delay that queues the run after the current one.
        typedef tesraui::Animator* (tesraui::Object::*Start)(float, float);
        typedef tesraui::Animator* (tesraui::Object::*Queue)(float, float, float);

        template <Start start, Queue queue> int animateOne(lua_State* L, const char* functionName)
        {
            checkArgs(L, 3, 4, functionName, "onnn");
            tesraui::Object* object = getObject(L, 1);
            const float target = (float)lua_tonumber(L, 2);
            const float speed = (float)lua_tonumber(L, 3);
            const float delay = (float)lua_tonumber(L, 4);
            if (delay == 0.0f)
            {
                (object->*start)(target, speed);
            }
            else
            {
                (object->*queue)(target, speed, delay);
            }
            return 0;
        }

        int object_moveX(lua_State* L)
        {
            return animateOne<&tesraui::Object::moveX, &tesraui::Object::moveXQueue>(L, "object.moveX");
        }
        int object_moveY(lua_State* L)
        {
            return animateOne<&tesraui::Object::moveY, &tesraui::Object::moveYQueue>(L, "object.moveY");
        }
        int object_rotate(lua_State* L)
        {
            return animateOne<&tesraui::Object::rotate, &tesraui::Object::rotateQueue>(L, "object.rotate");
        }
        int object_resizeX(lua_State* L)
        {
            return animateOne<&tesraui::Object::resizeX, &tesraui::Object::resizeXQueue>(L, "object.resizeX");
        }
        int object_resizeY(lua_State* L)
        {
            return animateOne<&tesraui::Object::resizeY, &tesraui::Object::resizeYQueue>(L, "object.resizeY");
        }
        int object_scaleX(lua_State* L)
        {
            return animateOne<&tesraui::Object::scaleX, &tesraui::Object::scaleXQueue>(L, "object.scaleX");
        }
        int object_scaleY(lua_State* L)
        {
            return animateOne<&tesraui::Object::scaleY, &tesraui::Object::scaleYQueue>(L, "object.scaleY");
        }

        int object_fade(lua_State* L)
        {
            checkArgs(L, 3, 4, "object.fade", "onnn");
            tesraui::Object* object = getObject(L, 1);
            const float target = std::clamp((float)lua_tonumber(L, 2), 0.0f, 255.0f);
            const float speed = (float)lua_tonumber(L, 3);
            const float delay = (float)lua_tonumber(L, 4);
            if (delay == 0.0f)
            {
                object->fadeAlpha((unsigned char)target, speed);
            }
            else
            {
                object->fadeAlphaQueue((unsigned char)target, speed, delay);
            }
            return 0;
        }

        // Two values: object, target x, target y, speed and an optional delay.
        template <Start startX, Start startY, Queue queueX, Queue queueY>
        int animateTwo(lua_State* L, const char* functionName)
        {
            checkArgs(L, 4, 5, functionName, "onnnn");
            tesraui::Object* object = getObject(L, 1);
            const float x = (float)lua_tonumber(L, 2);
            const float y = (float)lua_tonumber(L, 3);
            const float speed = (float)lua_tonumber(L, 4);
            const float delay = (float)lua_tonumber(L, 5);
            if (delay == 0.0f)
            {
                (object->*startX)(x, speed);
                (object->*startY)(y, speed);
            }
            else
            {
                (object->*queueX)(x, speed, delay);
                (object->*queueY)(y, speed, delay);
            }
            return 0;
        }

        int object_move(lua_State* L)
        {
            return animateTwo<&tesraui::Object::moveX, &tesraui::Object::moveY, &tesraui::Object::moveXQueue,
                              &tesraui::Object::moveYQueue>(L, "object.move");
        }
        int object_resize(lua_State* L)
        {
            return animateTwo<&tesraui::Object::resizeX, &tesraui::Object::resizeY,
                              &tesraui::Object::resizeXQueue, &tesraui::Object::resizeYQueue>(
                L, "object.resize");
        }
        int object_scale(lua_State* L)
        {
            return animateTwo<&tesraui::Object::scaleX, &tesraui::Object::scaleY,
                              &tesraui::Object::scaleXQueue, &tesraui::Object::scaleYQueue>(L,
                                                                                            "object.scale");
        }
    } // namespace

    void registerObject()
    {
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
