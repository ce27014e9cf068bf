#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/api/registrars.h"

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
                time = formatString("%f", seconds);
            }
            else
            {
                name =
                    toString(L, 1, "scene.switch: expecting a scene name or a table {scene, time, effect}");
                time = formatString("%f", 0.5);
            }
            if (!name.contains("."))
            {
                Scene* active = Session::getActiveScene();
                if (active == nullptr)
                {
                    raiseLuaError(L, "Can't switch to '" + name +
                                         "', active_scene is null therefore scene name must have a chapter "
                                         "prefix");
                }
                if (!active->getChapter()->hasScene(name))
                {
                    raiseLuaError(L, "Can't switch to '" + name + "', scene not found in chapter '" +
                                         active->getChapter()->getName() + "'");
                }
            }
            if (name.startsWith("ui."))
            {
                raiseLuaError(L, formatString("Unable to switch scene to UI chapter (%s), not permitted.",
                                              name.c_str()));
            }
            Session::queueScript("scene._queued_switchScene(" + literal(name, '\'') + ", " + time + ", " +
                                     literal(effect, '\'') + ")",
                                 true);
            return 0;
        }

        int scene_reset(lua_State* L)
        {
            Scene* scene = requireActiveScene(L, "scene.reset");
            Session::queueScript("scene._queued_reset(" + literal(scene->getFullName(), '\'') + ")", true);
            return 0;
        }

        int scene_queued_switchScene(lua_State* L)
        {
            checkArgsExact(L, 3, "scene._queued_switchScene", "sns");
            Session::changeScene(toString(L, 1), (float)lua_tonumber(L, 2), toString(L, 3));
            return 0;
        }

        int scene_queued_reset(lua_State* L)
        {
            checkArgsExact(L, 1, "scene._queued_reset", "s");
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
                // Hidden objects hand over bare names of the active chapter's scenes.
                chapter = Session::getActiveChapter();
            }
            if (chapter == nullptr)
            {
                raiseLuaError(L, "scene._queued_reset: no loaded chapter holds the scene '" + toString(L, 1) +
                                     "'");
            }
            chapter->getScene(name)->reset();
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
            createDelayedCall(L, scene->getRootObject(), scene);
            return 0;
        }

        int scene_addDelayedCall(lua_State* L)
        {
            quortypes::Log::warn(Session::logTag, "scene.addDelayedCall is deprecated as of VUMO 3.4.0 and "
                                                  "will be removed soon, use scene.delayedCall or "
                                                  "vumo.delayedCall!");
            return scene_delayedCall(L);
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
    }
} // namespace LuaInterface
