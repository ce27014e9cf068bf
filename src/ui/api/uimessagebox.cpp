#include <lua.hpp>

#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"
#include "ui/UI.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            UI& getUI(lua_State* L)
            {
                UI* ui = UI::getInstance();
                if (ui == nullptr)
                {
                    raiseLuaError(
                        L,
                        "Lua function needs to access the UI instance, but UI hasn't been initialised yet.");
                }
                return *ui;
            }

            int ui_messageBox(lua_State* L)
            {
                checkArgsExact(L, 1, "ui.messageBox", "t");
                checkTableArgument(L, 1, "ui.messageBox", "t");
                UI& ui = getUI(L);
                hstring type;
                hdict<hstring> parameters;
                hdict<int> references;
                lua_pushnil(L);
                while (lua_next(L, 1) != 0)
                {
                    // A copy of the key, so that converting it leaves the walk's key alone.
                    lua_pushvalue(L, -2);
                    const hstring key =
                        lua_tostring(L, -1) != nullptr ? hstring(lua_tostring(L, -1)) : hstring();
                    lua_pop(L, 1);
                    const int kind = lua_type(L, -1);
                    if (kind == LUA_TSTRING || kind == LUA_TNUMBER)
                    {
                        const hstring value = lua_tostring(L, -1);
                        lua_pop(L, 1);
                        if (key == "type")
                        {
                            type = value;
                        }
                        else
                        {
                            references.removeKey(key);
                            parameters[key] = value;
                        }
                        continue;
                    }
                    // Any other value stays a Lua value, held in the registry until its box is done.
                    const int reference = luaL_ref(L, LUA_REGISTRYINDEX);
                    if (references.hasKey(key))
                    {
                        luaL_unref(L, LUA_REGISTRYINDEX, references[key]);
                    }
                    references[key] = reference;
                    parameters[key] = UIMessageBoxManager::refPrefix + hstring(reference);
                }
                const bool free = !ui.isMessageBoxActive();
                ui.queueMessageBox(type, parameters, references);
                return push(L, free);
            }

            int ui_isMessageBoxActive(lua_State* L)
            {
                return push(L, getUI(L).isMessageBoxActive());
            }

            int ui_getActiveMessageBoxType(lua_State* L)
            {
                return push(L, getUI(L).getActiveMessageBoxType());
            }

            int ui_getNumQueuedMessageBoxTypes(lua_State* L)
            {
                checkArgsExact(L, 1, "ui.getNumQueuedMessageBoxTypes", "s");
                return push(L, getUI(L).getNumQueuedMessageBoxTypes(toString(L, 1)));
            }

            int ui_cancelActiveMessageBox(lua_State* L)
            {
                getUI(L).cancelActiveMessageBox();
                return 0;
            }

            int ui_clearQueuedMessageBoxes(lua_State* L)
            {
                getUI(L).clearQueuedMessageBoxes();
                return 0;
            }
        } // namespace

        void registerUIMessageBoxes()
        {
            registerFunction(ui_messageBox, "ui.messageBox");
            registerFunction(ui_isMessageBoxActive, "ui.isMessageBoxActive");
            registerFunction(ui_getActiveMessageBoxType, "ui.getActiveMessageBoxType");
            registerFunction(ui_getNumQueuedMessageBoxTypes, "ui.getNumQueuedMessageBoxTypes");
            registerFunction(ui_cancelActiveMessageBox, "ui.cancelActiveMessageBox");
            registerFunction(ui_clearQueuedMessageBoxes, "ui.clearQueuedMessageBoxes");
        }
    } // namespace LuaInterface
} // namespace vumo
