#include <lua.hpp>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/LuaInterface.h"
#include "lua/ScriptNumbers.h"
#include "lua/api/delayedcall.h"
#include "lua/api/registrars.h"
#include "objects/VumoViewportObject.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            hstring loadingScreenName;

            int vumo_log(lua_State* L)
            {
                const int count = lua_gettop(L);
                for (int i = 1; i <= count; ++i)
                {
                    logScripting(dumpValue(L, i));
                }
                return 0;
            }

            int vumo_endProgram(lua_State*)
            {
                if (tesra::window != nullptr)
                {
                    tesra::window->terminateMainLoop();
                }
                return 0;
            }

            int vumo_getCursorPos(lua_State* L)
            {
                tesraui::Object* space = nullptr;
                if (Session::getActiveScene() != nullptr)
                {
                    space = Session::getActiveScene()->getRootObject();
                }
                if (space == nullptr)
                {
                    space = Session::getViewport();
                }
                kavtypes::Vector2 position = tesraui::getCursorPosition();
                if (space != nullptr)
                {
                    position = localPoint(space, position);
                }
                push(L, position.x);
                push(L, position.y);
                return 2;
            }

            int vumo_getLocalization(lua_State* L)
            {
                return push(L, tesraui::getLocalization());
            }

            int vumo_setLocalization(lua_State* L)
            {
                checkArgsExact(L, 1, "vumo.setLocalization", "s");
                Session::setLocalization(toString(L, 1));
                return 0;
            }

            int vumo_isPaused(lua_State* L)
            {
                return push(L, Session::isPaused());
            }

            int vumo_pause(lua_State*)
            {
                if (!Session::isPaused())
                {
                    Session::setPaused(true);
                }
                return 0;
            }

            int vumo_unpause(lua_State*)
            {
                if (Session::isPaused())
                {
                    Session::setPaused(false);
                }
                return 0;
            }

            int vumo_showLoadingScreen(lua_State* L)
            {
                checkArgs(L, 0, 1, "vumo.showLoadingScreen", "s");
                const hstring name = (lua_gettop(L) >= 1 ? toString(L, 1) : hstring());
                loadingScreenName = name;
                GameUiSceneHooks& hooks = getGameUiHost();
                hooks.OnBeginLoading(name);
                hooks.OnUpdateLoading(1.0f);
                hooks.OnFinishLoading(name);
                return 0;
            }

            int vumo_updateLoadingScreen(lua_State* L)
            {
                checkArgsExact(L, 1, "vumo.updateLoadingScreen", "n");
                // The hook's text could carry no other number.
                const float progress = finiteArgument(L, 1, "vumo.updateLoadingScreen");
                GameUiSceneHooks& hooks = getGameUiHost();
                hooks.OnUpdateLoading(progress);
                if (progress == 1.0f)
                {
                    hooks.OnFinishLoading(loadingScreenName);
                }
                return 0;
            }

            int vumo_delayedCall(lua_State* L)
            {
                tesraui::Container* root = getGameUiHost().getRootObject();
                if (root == nullptr)
                {
                    raiseLuaError(L, "Unable to execute vumo.delayedCall, UI root object is NULL.");
                }
                createDelayedCall(L, root, Session::getActiveScene(), "vumo.delayedCall");
                return 0;
            }

            int vumo_isDebugModeEnabled(lua_State* L)
            {
                return push(L, getGameUiHost().isDebugModeEnabled());
            }

            int vumo_isDeveloperModeEnabled(lua_State* L)
            {
                return push(L, getGameUiHost().isDeveloperModeEnabled());
            }
        } // namespace

        void registerVumo()
        {
            registerFunction(vumo_log, "vumo.log");
            registerFunction(vumo_endProgram, "vumo.endProgram");
            registerFunction(vumo_getCursorPos, "vumo.getCursorPos");
            registerFunction(vumo_getLocalization, "vumo.getLocalization");
            registerFunction(vumo_setLocalization, "vumo.setLocalization");
            registerFunction(vumo_isPaused, "vumo.isPaused");
            registerFunction(vumo_pause, "vumo.pause");
            registerFunction(vumo_unpause, "vumo.unpause");
            registerFunction(vumo_delayedCall, "vumo.delayedCall");
            registerFunction(vumo_showLoadingScreen, "vumo.showLoadingScreen");
            registerFunction(vumo_updateLoadingScreen, "vumo.updateLoadingScreen");
            registerFunction(vumo_isDebugModeEnabled, "vumo.isDebugModeEnabled");
            registerFunction(vumo_isDeveloperModeEnabled, "vumo.isDeveloperModeEnabled");
            execute(ObjectTexts::setVersion(Session::getVersion()));
        }
    } // namespace LuaInterface
} // namespace vumo
