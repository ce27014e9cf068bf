#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include <lua.hpp>
#include <quortypes/PropertyInfo.h>
#include <tesra/tesra.h>
#include <tesraui/Animator.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "EngineObjects.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/CustomAnimator.h"
#include "lua/Events.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/api/objecttree.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace objecttree
        {
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

            namespace
            {
                // An event that does nothing: a custom animator's one event only carries the function's name.
                class NamingEvent : public tesraui::Event
                {
                public:
                    void execute(tesraui::EventArgs*) override {}
                };

                // Raises the error, before anything is deleted, when the destruction would take an object
                // the engine holds or a part without its holder.
                void refuseKeptObjects(lua_State* L, tesraui::Object* object, bool childrenOnly,
                                       const char* functionName)
                {
                    const hstring refusal = EngineObjects::refusal(object, childrenOnly);
                    if (refusal != "")
                    {
                        raiseLuaError(L, hstring(functionName) + ": " + refusal);
                    }
                }

                tesraui::Object* activeSceneRoot()
                {
                    Scene* scene = getHost().getActiveScene();
                    return (scene != nullptr ? (tesraui::Object*)scene->getRootObject() : nullptr);
                }

                // Raises the error, having destroyed the object, when it cannot hang below the parent: a
                // tree nested deeper than every walk of it may go.
                void refuseAttaching(lua_State* L, tesraui::Object* parent, tesraui::Object* object,
                                     const hstring& name)
                {
                    const hstring refusal = parent->attachRefusal(object);
                    if (refusal != "")
                    {
                        if (object->getDataset() != nullptr)
                        {
                            object->getDataset()->destroyObject(object);
                        }
                        raiseLuaError(L, "object.create(): object '" + name + "' cannot be attached to '" +
                                             parent->getFullName() + "', " + refusal + ".");
                    }
                }

                // A retained object of the active scene taken back and hung under parent; null when
                // there is none, or when a script destroyed it while it was kept. One that cannot hang
                // there goes, as a kept object nobody takes back does.
                tesraui::Object* reuseRetained(lua_State* L, const hstring& name, tesraui::Object* parent)
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
                    refuseAttaching(L, parent, object, name);
                    parent->addChild(object);
                    return object;
                }

                // One value: object, target, speed and an optional delay that queues the run after the
                // current one.
                typedef tesraui::Animator* (tesraui::Object::*Start)(float, float);
                typedef tesraui::Animator* (tesraui::Object::*Queue)(float, float, float);

                template <Start start, Queue queue> int animateOne(lua_State* L, const char* functionName)
                {
                    checkArgs(L, 3, 4, functionName, "onnn");
                    tesraui::Object* object = getObject(L, 1);
                    const float target = finiteArgument(L, 2, functionName);
                    // An infinite speed reaches the target at once.
                    const float speed = numberArgument(L, 3, functionName);
                    const float delay = finiteArgument(L, 4, functionName);
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

                // Two values: object, target x, target y, speed and an optional delay.
                template <Start startX, Start startY, Queue queueX, Queue queueY>
                int animateTwo(lua_State* L, const char* functionName)
                {
                    checkArgs(L, 4, 5, functionName, "onnnn");
                    tesraui::Object* object = getObject(L, 1);
                    const float x = finiteArgument(L, 2, functionName);
                    const float y = finiteArgument(L, 3, functionName);
                    const float speed = numberArgument(L, 4, functionName);
                    const float delay = finiteArgument(L, 5, functionName);
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
                // The parent a new object goes under: the third argument, or the active scene's root for nil.
                tesraui::Object* creationParent(lua_State* L, const hstring& type)
                {
                    if (!lua_isnil(L, 3))
                    {
                        return getObject(L, 3);
                    }
                    tesraui::Object* parent = activeSceneRoot();
                    if (parent == nullptr)
                    {
                        raiseLuaError(L,
                                      "Unable to attach " + type + " object to Scene, no active scene set!");
                    }
                    return parent;
                }

                // The creation table at index 4: the corners ("x", "y", "w", "h", checked as numbers now)
                // go into the rectangle, every other string key into the properties, sorted by key.
                std::vector<std::pair<hstring, hstring>> readCreationTable(lua_State* L, const hstring& name,
                                                                           kavtypes::Rectangle& rect)
                {
                    std::vector<std::pair<hstring, hstring>> properties;
                    lua_pushnil(L);
                    while (lua_next(L, 4) != 0)
                    {
                        if (lua_type(L, -2) == LUA_TSTRING)
                        {
                            const hstring key = toString(L, -2);
                            const hstring value = toString(L, -1);
                            const bool corner = (key == "x" || key == "y" || key == "w" || key == "h");
                            const hstring refusal =
                                (corner ? PropertyInfo::valueRefusal(PropertyInfo::FLOAT, value) : hstring());
                            if (refusal != "")
                            {
                                raiseLuaError(L, "object.create(): property '" + key + "' of object '" +
                                                     name + "' refused, " + key + " " + refusal + ".");
                            }
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
                    std::sort(properties.begin(), properties.end());
                    return properties;
                }

                // An object of the type, else an animator of it (then also given back in animator),
                // registered with the dataset; an unknown type raises the error.
                tesraui::Object* makeRegistered(lua_State* L, tesraui::Dataset* dataset, const hstring& type,
                                                const hstring& name, const kavtypes::Rectangle& rect,
                                                tesraui::Animator*& animator)
                {
                    tesraui::Object* object = tesraui::createObject(type, name, rect);
                    animator = nullptr;
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
                    return object;
                }

                // Attaches the registered object and sets its properties in order; a refused one destroys
                // the object and raises the error. Attaching and setting properties may run scripts (an
                // inventory pane asks its item counts), which may destroy the object.
                void attachWithProperties(lua_State* L, tesraui::Dataset* dataset, tesraui::Object* parent,
                                          tesraui::Object* object, tesraui::Animator* animator,
                                          const hstring& name,
                                          const std::vector<std::pair<hstring, hstring>>& properties)
                {
                    const tesraui::LifeToken::Watch alive = object->watchLife();
                    const auto mustStand = [&]
                    {
                        if (!alive.isAlive())
                        {
                            raiseLuaError(L, "object.create(): object '" + name +
                                                 "' was destroyed by a script while it was being made.");
                        }
                    };
                    refuseAttaching(L, parent, object, name);
                    parent->addChild(object);
                    mustStand();
                    const harray<PropertyInfo> descriptions = object->getPropertyDescriptions();
                    for (const auto& [key, value] : properties)
                    {
                        const hstring refusal = PropertyInfo::valueRefusal(descriptions, key, value);
                        if (refusal != "")
                        {
                            dataset->destroyObject(object);
                            raiseLuaError(L, "object.create(): property '" + key + "' of object '" + name +
                                                 "' refused, " + key + " " + refusal + ".");
                        }
                        bool accepted = false;
                        try
                        {
                            accepted = object->setProperty(key, value);
                        }
                        catch (const quortypes::exception&)
                        {
                            // A value the object throws at leaves no half-made object behind either.
                            if (alive.isAlive())
                            {
                                dataset->destroyObject(object);
                            }
                            throw;
                        }
                        mustStand();
                        if (accepted)
                        {
                            continue;
                        }
                        if (animator != nullptr && key == "custom_func")
                        {
                            animator->setProperty("func", "custom");
                            animator->setCustomFunction(&evaluateCustomAnimator);
                            animator->registerEvent(value, std::make_shared<NamingEvent>());
                            continue;
                        }
                        dataset->destroyObject(object);
                        raiseLuaError(L, "Invalid object property: " + key + "( " + value + " )");
                    }
                }

            } // namespace

            int object_create(lua_State* L)
            {
                checkArgsExact(L, 4, "object.create", "ssot");
                const bool hasProperties = checkOptionalTableArgument(L, 4, "object.create", "ssot");
                const hstring type = toString(L, 1);
                hstring name = toString(L, 2);
                tesraui::Object* parent = creationParent(L, type);
                if (name == "")
                {
                    name = tesra::generateName(type);
                }
                else if (name.endsWith("__retain"))
                {
                    tesraui::Object* retained = reuseRetained(L, name, parent);
                    if (retained != nullptr)
                    {
                        return pushObject(L, retained);
                    }
                }
                kavtypes::Rectangle rect(-1.0f, -1.0f, -1.0f, -1.0f);
                std::vector<std::pair<hstring, hstring>> properties;
                if (hasProperties)
                {
                    properties = readCreationTable(L, name, rect);
                }
                tesraui::Dataset* dataset = datasetOf(L, parent, "object.create");
                tesraui::Animator* animator = nullptr;
                tesraui::Object* object = makeRegistered(L, dataset, type, name, rect, animator);
                attachWithProperties(L, dataset, parent, object, animator, name, properties);
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
                        L,
                        formatString("object.assignEvent() expecting at least 2 arguments, got %d", count));
                }
                tesraui::Object* object = getObject(L, 1);
                hstring eventName = "Click";
                int handlerIndex = 2;
                if (lua_type(L, 2) == LUA_TSTRING && count > 2)
                {
                    eventName = toString(L, 2);
                    handlerIndex = 3;
                }
                std::shared_ptr<tesraui::Event> event;
                switch (lua_type(L, handlerIndex))
                {
                case LUA_TSTRING:
                case LUA_TNUMBER:
                    event = std::make_shared<LuaCallbackEvent>(toString(L, count), getSceneForObject(object));
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
                object->registerEvent(eventName, std::move(event));
                return 0;
            }

            int object_destroy(lua_State* L)
            {
                checkArgsExact(L, 1, "object.destroy", "o");
                tesraui::Object* object = getObject(L, 1);
                tesraui::Dataset* dataset = datasetOf(L, object, "object.destroy");
                refuseKeptObjects(L, object, false, "object.destroy");
                dataset->destroyObject(object);
                return 0;
            }

            int object_destroyChildren(lua_State* L)
            {
                checkArgsExact(L, 1, "object.destroyChildren", "o");
                tesraui::Object* object = getObject(L, 1);
                refuseKeptObjects(L, object, true, "object.destroyChildren");
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
                        L,
                        hstring("Wrong argument given to object.exists(), string or object table expected, "
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
                        L,
                        "Unable to verify existance of scene object '" + name +
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
                const float x = bounds.x + finiteArgument(L, 2, "object.getChildUnderPoint") * bounds.w;
                const float y = bounds.y + finiteArgument(L, 3, "object.getChildUnderPoint") * bounds.h;
                return pushObject(L, object->getChildUnderPoint(x, y));
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
                return animateOne<&tesraui::Object::rotate, &tesraui::Object::rotateQueue>(L,
                                                                                           "object.rotate");
            }
            int object_resizeX(lua_State* L)
            {
                return animateOne<&tesraui::Object::resizeX, &tesraui::Object::resizeXQueue>(
                    L, "object.resizeX");
            }
            int object_resizeY(lua_State* L)
            {
                return animateOne<&tesraui::Object::resizeY, &tesraui::Object::resizeYQueue>(
                    L, "object.resizeY");
            }
            int object_scaleX(lua_State* L)
            {
                return animateOne<&tesraui::Object::scaleX, &tesraui::Object::scaleXQueue>(L,
                                                                                           "object.scaleX");
            }
            int object_scaleY(lua_State* L)
            {
                return animateOne<&tesraui::Object::scaleY, &tesraui::Object::scaleYQueue>(L,
                                                                                           "object.scaleY");
            }

            int object_fade(lua_State* L)
            {
                checkArgs(L, 3, 4, "object.fade", "onnn");
                tesraui::Object* object = getObject(L, 1);
                // Any other target, infinities too, is an alpha once bounded; NaN is none, and no byte holds
                // it.
                if (std::isnan(lua_tonumber(L, 2)))
                {
                    raiseLuaError(L, "object.fade failed, NaN value passed as argument 2.");
                }
                const float target = (float)std::clamp(lua_tonumber(L, 2), 0.0, 255.0);
                const float speed = numberArgument(L, 3, "object.fade");
                const float delay = finiteArgument(L, 4, "object.fade");
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

            int object_move(lua_State* L)
            {
                return animateTwo<&tesraui::Object::moveX, &tesraui::Object::moveY,
                                  &tesraui::Object::moveXQueue, &tesraui::Object::moveYQueue>(L,
                                                                                              "object.move");
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
                                  &tesraui::Object::scaleXQueue, &tesraui::Object::scaleYQueue>(
                    L, "object.scale");
            }
        } // namespace objecttree
    }     // namespace LuaInterface
} // namespace vumo
