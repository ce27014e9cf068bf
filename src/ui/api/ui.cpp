#include <lua.hpp>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

#include "lua/Calls.h"
#include "lua/api/registrars.h"
#include "ui/UI.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            UI* requireUI(lua_State* L)
            {
                UI* ui = UI::getInstance();
                if (ui == nullptr)
                {
                    raiseLuaError(
                        L,
                        "Lua function needs to access the UI instance, but UI hasn't been initialised yet.");
                }
                return ui;
            }

            int ui_getUIIdiom(lua_State* L)
            {
                switch (requireUI(L)->getUIIdiom())
                {
                case 1:
                    return push(L, "pc");
                case 2:
                    return push(L, "mobile");
                case 3:
                    return push(L, "tablet");
                case 4:
                    return push(L, "gamepad");
                default:
                    return push(L, "unknown");
                }
            }

            int ui_selectItem(lua_State* L)
            {
                UI* ui = requireUI(L);
                checkArgsExact(L, 1, "selectItem", "s");
                ui->selectItem(toString(L, 1));
                return 0;
            }

            int ui_getSelectedItem(lua_State* L)
            {
                return push(L, requireUI(L)->getSelectedItem());
            }

            int ui_getCursorPos(lua_State* L)
            {
                const kavtypes::Vector2 position = requireUI(L)->getCursorPosition();
                push(L, position.x);
                push(L, position.y);
                return 2;
            }

            // The inverse of UI::getCursorPosition: root-object coordinates to the window's.
            int ui_setCursorPos(lua_State* L)
            {
                UI* ui = requireUI(L);
                checkArgsExact(L, 2, "ui.setCursorPos", "nn");
                kavtypes::Vector2 position(finiteArgument(L, 1, "ui.setCursorPos"),
                                           finiteArgument(L, 2, "ui.setCursorPos"));
                tesraui::Container* root = ui->getRootObject();
                if (root != nullptr)
                {
                    const kavtypes::Rectangle bounds = root->getBoundingRect();
                    const kavtypes::Vector2 size = root->getSize();
                    if (size.x != 0.0f && size.y != 0.0f)
                    {
                        position.set(bounds.x + position.x * bounds.w / size.x,
                                     bounds.y + position.y * bounds.h / size.y);
                    }
                }
                tesraui::setCursorPosition(position);
                return 0;
            }

            int ui_isPointerPressed(lua_State* L)
            {
                return push(L, requireUI(L)->isPointerDown());
            }
        } // namespace

        void registerUI()
        {
            registerFunction(ui_getUIIdiom, "ui.getUIIdiom");
            registerFunction(ui_selectItem, "ui.selectItem");
            registerFunction(ui_getSelectedItem, "ui.getSelectedItem");
            registerFunction(ui_getCursorPos, "ui.getCursorPos");
            registerFunction(ui_setCursorPos, "ui.setCursorPos");
            registerFunction(ui_isPointerPressed, "ui.isPointerPressed");
        }
    } // namespace LuaInterface
} // namespace vumo
