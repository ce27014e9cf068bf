#include <lua.hpp>

#include <quortypes/harray.h>

#include "DebugNames.h"
#include "Inventory.h"
#include "lua/Calls.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            hstring itemArgument(lua_State* L, const char* functionName)
            {
                checkArgsExact(L, 1, functionName, "s");
                const hstring item = toString(L, 1);
                DebugNames::registerItem(item);
                return item;
            }

            int inventory_addItem(lua_State* L)
            {
                Inventory::addItem(itemArgument(L, "inventory.luaAssertCallArgs"));
                return 0;
            }

            int inventory_removeItem(lua_State* L)
            {
                Inventory::removeItem(itemArgument(L, "inventory.removeItem"));
                return 0;
            }

            int inventory_hasItem(lua_State* L)
            {
                return push(L, Inventory::hasItem(itemArgument(L, "inventory.luaAssertCallArgs")));
            }

            int inventory_getItemCount(lua_State* L)
            {
                return push(L, Inventory::getItemCount(itemArgument(L, "inventory.getItemCount")));
            }

            int inventory_isItemValid(lua_State* L)
            {
                checkArgsExact(L, 1, "inventory.isItemValid", "s");
                return push(L, Inventory::hasItemImage(toString(L, 1)));
            }

            int inventory_clear(lua_State*)
            {
                Inventory::clear();
                return 0;
            }
        } // namespace

        void registerInventory()
        {
            registerFunction(inventory_addItem, "inventory.addItem");
            registerFunction(inventory_removeItem, "inventory.removeItem");
            registerFunction(inventory_hasItem, "inventory.hasItem");
            registerFunction(inventory_getItemCount, "inventory.getItemCount");
            registerFunction(inventory_isItemValid, "inventory.isItemValid");
            registerFunction(inventory_clear, "inventory.clear");
        }
    } // namespace LuaInterface
} // namespace vumo
