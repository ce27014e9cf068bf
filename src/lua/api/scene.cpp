#include <cmath>
#include <memory>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "ActionMap.h"
#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "SessionWork.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/LuaInterface.h"
#include "objects/ActionMapObject.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"
#include "lua/api/delayedcall.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            Scene* requireActiveScene(lua_State* L, const hstring& functionName)
            {
                Scene* scene = Session::getActiveScene();
                if (scene == nullptr)
                {
                    raiseLuaError(L, functionName + ": no scene is active");
                }
                return scene;
            }

            // An engine refusal as the script's own error: the script's place stands for the C++ one, and the
            // game maker mends the call, not the engine.
            hstring refusalText(const quortypes::exception& e)
            {
                hstring text = e.getMessage();
                const int end = text.find("] ");
                return (text.startsWith("[") && end > 0 ? text.subString(end + 2) : text);
            }

            int scene_switch(lua_State* L)
            {
                hstring name;
                hstring time = "0.5";
                hstring effect = "fade";
                if (lua_istable(L, 1))
                {
                    name = getTableValueString(L, 1, "scene");
                    time = getTableValueString(L, 1, "time");
                    effect = getTableValueString(L, 1, "effect");
                    lua_getfield(L, 1, "time");
                    const bool number = (lua_isnumber(L, -1) != 0);
                    const double seconds = lua_tonumber(L, -1);
                    lua_pop(L, 1);
                    if (!number)
                    {
                        raiseLuaError(L, "scene.switch: time must be a number, got '" + time + "'");
                    }
                    // A fade that long would never reach its middle, and the switch would never happen.
                    if (!std::isfinite((float)seconds))
                    {
                        raiseLuaError(L,
                                      "scene.switch: time '" + time + "' is not a number a float can hold");
                    }
                    time = formatString("%f", seconds);
                }
                else
                {
                    name = toString(L, 1,
                                    "scene.switch: expecting a scene name or a table {scene, time, effect}");
                    time = formatString("%f", 0.5);
                }
                // What the switch would refuse without touching the scene is refused here, where the caller
                // can catch it.
                hstring refusal;
                try
                {
                    Session::checkSwitchRequest(name, effect);
                }
                catch (const quortypes::exception& e)
                {
                    refusal = refusalText(e);
                }
                if (refusal != "")
                {
                    raiseLuaError(L, refusal);
                }
                // The switch runs a frame later, in code of its own: a failure then names this call's place.
                luaL_where(L, 1);
                const hstring origin = toString(L, -1);
                lua_pop(L, 1);
                Session::queueScript(ObjectTexts::queuedSceneSwitch(name, time, effect, origin), true);
                return 0;
            }

            int scene_reset(lua_State* L)
            {
                Scene* scene = requireActiveScene(L, "scene.reset");
                Session::queueScript(ObjectTexts::queuedSceneReset(scene->getFullName()), true);
                return 0;
            }

            int scene_queued_switchScene(lua_State* L)
            {
                checkArgs(L, 3, 4, "scene._queued_switchScene", "snss");
                const hstring origin = (lua_gettop(L) > 3 ? toString(L, 4) : hstring());
                const float time = finiteArgument(L, 2, "scene._queued_switchScene");
                hstring failure;
                try
                {
                    // A target or an effect that cannot be reached is the caller's error, raised at its call;
                    // the active scene stays.
                    Session::checkSwitchRequest(toString(L, 1), toString(L, 3));
                    if (Session::isSwitchPoint())
                    {
                        Session::changeScene(toString(L, 1), time, toString(L, 3));
                    }
                    else
                    {
                        // Not from the frame's queued scripts: asked as scene.switch asks, for the next
                        // frame's start.
                        Session::queueScript(ObjectTexts::queuedSceneSwitch(toString(L, 1),
                                                                            formatString("%f", time),
                                                                            toString(L, 3), origin),
                                             true);
                    }
                }
                catch (const quortypes::exception& e)
                {
                    if (origin == "")
                    {
                        throw;
                    }
                    failure = refusalText(e);
                }
                if (failure != "")
                {
                    raiseLuaError(L, origin + "scene.switch, deferred to the next frame: " + failure);
                }
                return 0;
            }

            int scene_queued_reset(lua_State* L)
            {
                checkArgsExact(L, 1, "scene._queued_reset", "s");
                if (!Session::isSwitchPoint())
                {
                    // Not from the frame's queued scripts: asked as scene.reset asks, once what the reset
                    // would refuse whatever comes before it is refused here.
                    hstring refusal;
                    try
                    {
                        Session::checkResetRequest(toString(L, 1));
                    }
                    catch (const quortypes::exception& e)
                    {
                        refusal = refusalText(e);
                    }
                    if (refusal != "")
                    {
                        raiseLuaError(L, "scene._queued_reset: " + refusal);
                    }
                    Session::queueScript(ObjectTexts::queuedSceneReset(toString(L, 1)), true);
                    return 0;
                }
                hstring name = toString(L, 1);
                Chapter* chapter = nullptr;
                if (name.contains("."))
                {
                    const int dot = name.find('.');
                    chapter =
                        Chapter::fromDataset(tesraui::getDatasets().tryGet(name.subString(0, dot), nullptr));
                    name = name.subString(dot + 1);
                }
                else
                {
                    // A bare name is a scene of the active chapter.
                    chapter = Session::getActiveChapter();
                }
                if (chapter == nullptr)
                {
                    raiseLuaError(L, "scene._queued_reset: no loaded chapter holds the scene '" +
                                         toString(L, 1) + "'");
                }
                // A switch that ran before it in the queue left the scene: resetting it now would bring it
                // back beside the new one.
                Scene* active = Session::getActiveScene();
                if (active == nullptr || !chapter->hasScene(name) || chapter->getScene(name) != active)
                {
                    quortypes::Log::write(Session::logTag, "Queued reset of scene '" + toString(L, 1) +
                                                               "' dropped, the scene is no longer active");
                    return 0;
                }
                active->reset();
                return 0;
            }

            int scene_lock(lua_State*)
            {
                Session::lockScene();
                return 0;
            }

            int scene_unlock(lua_State*)
            {
                Session::unlockScene();
                return 0;
            }

            int scene_isLocked(lua_State* L)
            {
                return push(L, Session::isSceneLocked());
            }

            int scene_isTransitionActive(lua_State* L)
            {
                return push(L, Session::isTransitionRunning());
            }

            int scene_getName(lua_State* L)
            {
                return push(L, Session::getActiveSceneName());
            }

            int scene_getFullName(lua_State* L)
            {
                Scene* scene = Session::getActiveScene();
                return push(L, scene != nullptr ? scene->getFullName() : hstring());
            }

            int scene_getChapterName(lua_State* L)
            {
                return push(L, Session::getActiveChapterName());
            }

            int scene_setBackground(lua_State* L)
            {
                checkArgsExact(L, 1, "scene.setBackground", "s");
                Scene* scene = requireActiveScene(L, "scene.setBackground");
                scene->setBackgroundSet(true);
                if (scene->getRootObject() != nullptr)
                {
                    scene->getRootObject()->setImageByName(toString(L, 1));
                }
                return 0;
            }

            int scene_delayedCall(lua_State* L)
            {
                Scene* scene = Session::getActiveScene();
                if (scene == nullptr || scene->getRootObject() == nullptr)
                {
                    raiseLuaError(L, "Unable to execute scene.delayedCall, scene root object is NULL.");
                }
                createDelayedCall(L, scene->getRootObject(), scene, "scene.delayedCall");
                return 0;
            }

            int scene_addDelayedCall(lua_State* L)
            {
                quortypes::Log::warn(Session::logTag,
                                     "scene.addDelayedCall is deprecated as of VUMO 3.4.0 and "
                                     "will be removed soon, use scene.delayedCall or "
                                     "vumo.delayedCall!");
                return scene_delayedCall(L);
            }

            int scene_ActionMap(lua_State* L)
            {
                const int count = lua_gettop(L);
                if (count < 1 || lua_type(L, 1) != LUA_TSTRING ||
                    (count > 1 && !lua_istable(L, 2) && !lua_isnil(L, 2)))
                {
                    raiseLuaError(
                        L, formatString("ActionMap() expecting action map name, and optionally a table with "
                                        "x,y,w,h,parent params. got %d params instead",
                                        count));
                }
                Chapter* chapter = Session::getActiveChapter();
                if (chapter == nullptr)
                {
                    raiseLuaError(L, "ActionMap(): no chapter is active");
                }
                ActionMap* map = chapter->getActionMap(toString(L, 1));
                kavtypes::Rectangle rect(0.0f, 0.0f, (float)map->getWidth(), (float)map->getHeight());
                tesraui::Object* parent = nullptr;
                int zOrder = 0;
                bool zOrderGiven = false;
                hstring environment;
                if (count > 1 && lua_istable(L, 2))
                {
                    lua_pushnil(L);
                    while (lua_next(L, 2) != 0)
                    {
                        // A copy of the key, so that converting it cannot confuse lua_next.
                        lua_pushvalue(L, -2);
                        const hstring key = (lua_type(L, -1) == LUA_TSTRING ? hstring(lua_tostring(L, -1))
                                                                            : LuaInterface::dumpValue(L, -1));
                        lua_pop(L, 1);
                        const int value = lua_gettop(L);
                        if (key == "x" || key == "y" || key == "w" || key == "h")
                        {
                            const float number = (float)lua_tonumber(L, value);
                            if (!std::isfinite(number))
                            {
                                raiseLuaError(L, "ActionMap(): " + key + " '" + toString(L, value) +
                                                     "' is not a number a float can hold");
                            }
                            (key == "x"   ? rect.x
                             : key == "y" ? rect.y
                             : key == "w" ? rect.w
                                          : rect.h) = number;
                        }
                        else if (key == "parent")
                        {
                            parent = getObject(L, value);
                        }
                        else if (key == "zorder")
                        {
                            zOrder = toInt(L, value);
                            zOrderGiven = true;
                        }
                        else if (key == "environment")
                        {
                            environment = toString(L, value);
                        }
                        else
                        {
                            LuaInterface::warning(L, "ActionMap(): unknown param " + key);
                        }
                        lua_pop(L, 1);
                    }
                }
                if (parent == nullptr)
                {
                    Scene* scene = requireActiveScene(L, "ActionMap()");
                    parent = scene->getRootObject();
                    if (parent == nullptr)
                    {
                        raiseLuaError(L, "ActionMap(): the active scene has no root object");
                    }
                }
                if (parent->getDataset() == nullptr)
                {
                    raiseLuaError(L, "ActionMap(): the parent object '" + parent->getName() +
                                         "' belongs to no dataset");
                }
                auto made = std::make_unique<ActionMapObject>(tesra::generateName("ActionMap"), rect);
                const hstring refusal = parent->attachRefusal(made.get());
                if (refusal != "")
                {
                    raiseLuaError(L, "ActionMap(): cannot attach to the parent object '" +
                                         parent->getFullName() + "', " + refusal);
                }
                ActionMapObject* object = made.release();
                object->setMap(map);
                object->setEnvironment(environment);
                parent->getDataset()->registerObjects(object);
                if (zOrderGiven)
                {
                    object->setZOrder(zOrder);
                }
                parent->addChild(object);
                return pushObject(L, object);
            }

            int scene_getActionMapColorAt(lua_State* L)
            {
                checkArgs(L, 2, 4, "scene.getActionMapColorAt", "nnob");
                const kavtypes::Vector2 point(finiteArgument(L, 1, "scene.getActionMapColorAt"),
                                              finiteArgument(L, 2, "scene.getActionMapColorAt"));
                tesraui::Object* object = nullptr;
                if (lua_gettop(L) >= 3 && !lua_isnil(L, 3))
                {
                    object = getObject(L, 3);
                }
                else if (Session::getActiveScene() != nullptr)
                {
                    object = Session::getActiveScene()->getRootObject();
                }
                const bool raw = (lua_gettop(L) >= 4 && toBool(L, 4));
                if (object == nullptr)
                {
                    return push(L, "000000");
                }
                const kavtypes::Vector2 screen = object->getDerivedPoint(point);
                ActionMapObject* layer = dynamic_cast<ActionMapObject*>(object->getChildUnderPoint(screen));
                if (layer == nullptr)
                {
                    return push(L, "000000");
                }
                const uint32_t color = (raw ? layer->getRawColorAt(screen) : layer->getColorAt(screen));
                return push(L, formatString("%06X", color >> 8));
            }

            GameUiZoom& requireZoom(lua_State* L, const hstring& functionName)
            {
                GameUiZoom& zoom = getGameUiHost();
                if (!zoom.hasZoom())
                {
                    raiseLuaError(L, functionName + ": the UI has not been created yet");
                }
                return zoom;
            }

            int scene_focusPoint(lua_State* L)
            {
                checkArgs(L, 2, 5, "scene.focusPoint", "nnnnb");
                const int count = lua_gettop(L);
                const float x = finiteArgument(L, 1, "scene.focusPoint");
                const float y = finiteArgument(L, 2, "scene.focusPoint");
                const float zoomScale = (count >= 3 ? finiteArgument(L, 3, "scene.focusPoint") : -1.0f);
                const float time = (count >= 4 ? finiteArgument(L, 4, "scene.focusPoint") : -1.0f);
                const bool instant = (count >= 5 && toBool(L, 5));
                requireZoom(L, "scene.focusPoint").focusPoint(x, y, zoomScale, time, !instant);
                return 0;
            }

            int scene_zoomOut(lua_State* L)
            {
                checkArgs(L, 0, 1, "scene.zoomOut", "n");
                const float time = (lua_gettop(L) >= 1 ? finiteArgument(L, 1, "scene.zoomOut") : -1.0f);
                requireZoom(L, "scene.zoomOut").zoomOut(time);
                return 0;
            }
        } // namespace

        void registerScene()
        {
            registerFunction(scene_switch, "scene.switch");
            registerFunction(scene_reset, "scene.reset");
            registerFunction(scene_queued_switchScene, "scene._queued_switchScene");
            registerFunction(scene_queued_reset, "scene._queued_reset");
            registerFunction(scene_lock, "scene.lock");
            registerFunction(scene_unlock, "scene.unlock");
            registerFunction(scene_isLocked, "scene.isLocked");
            registerFunction(scene_isTransitionActive, "scene.isTransitionActive");
            registerFunction(scene_getName, "scene.getName");
            registerFunction(scene_getFullName, "scene.getFullName");
            registerFunction(scene_getChapterName, "scene.getChapterName");
            registerFunction(scene_setBackground, "scene.setBackground");
            registerFunction(scene_delayedCall, "scene.delayedCall");
            registerFunction(scene_addDelayedCall, "scene.addDelayedCall");
            registerFunction(scene_ActionMap, "scene.ActionMap");
            registerFunction(scene_getActionMapColorAt, "scene.getActionMapColorAt");
            registerFunction(scene_focusPoint, "scene.focusPoint");
            registerFunction(scene_zoomOut, "scene.zoomOut");
        }
    } // namespace LuaInterface
} // namespace vumo
