#include "Inventory.h"

#include <algorithm>
#include <cctype>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesraui/Dataset.h>

#include "Session.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"
#include "lua/Host.h"

namespace vumo
{
    const char* const _ItemImageError::typeText = "_ItemImageError";

    _ItemImageError::_ItemImageError(const hstring& item, int lineNumber)
        : tesraui::_GenericException("_ItemImageError: item image '" + item + "' not found!", "Inventory",
                                     lineNumber)
    {
    }

    namespace Inventory
    {
        namespace
        {
            Variable& itemsVariable()
            {
                return VariableDictionary::getGlobal().get("items");
            }

            void run(const hstring& code)
            {
                try
                {
                    LuaInterface::execute(code);
                }
                catch (const quortypes::exception& e)
                {
                    LuaInterface::getHost().reportScriptError({}, e.getMessage());
                }
            }
        } // namespace

        bool isIdentifier(const hstring& name)
        {
            if (name.size() == 0)
            {
                return false;
            }
            for (unsigned char c : (const std::string&)name)
            {
                if (!(std::isalnum(c) || c == '_'))
                {
                    return false;
                }
            }
            return true;
        }

        bool isGlobalFunction(const hstring& name)
        {
            if (LuaInterface::state == nullptr)
            {
                return false;
            }
            // The global of the whole name, points and all, as the text that calls it reads it.
            return LuaInterface::typeOfGlobal(LuaInterface::state, name) == LUA_TFUNCTION;
        }

        hstring callGlobalCode(const hstring& name)
        {
            return InventoryTexts::callGlobal(name);
        }

        bool hasItemImage(const hstring& item)
        {
            tesraui::Dataset* dataset = getGameUiHost().getDataset();
            return dataset != nullptr && dataset->getImages().hasKey("items/" + item);
        }

        harray<hstring> splitItems(const hstring& value)
        {
            if (value.size() == 0)
            {
                return harray<hstring>();
            }
            return value.split(",", -1, false);
        }

        harray<hstring> getItems()
        {
            return splitItems(itemsVariable().value());
        }

        void addItem(const hstring& item)
        {
            if (item.contains(","))
            {
                throw quortypes::exception("Inventory: item name '" + item + "' can't contain ','",
                                           "Inventory", __LINE__);
            }
            if (!hasItemImage(item))
            {
                throw _ItemImageError(item, 17);
            }
            quortypes::Log::write(Session::logTag, "Inventory: adding item " + quortypes::Log::quote(item));
            Variable& items = itemsVariable();
            const hstring list = items.value();
            items.set(list.size() == 0 ? item : list + "," + item);
            getGameUiHost().OnItemAdded(item);
        }

        void removeItem(const hstring& item)
        {
            if (!hasItem(item))
            {
                return;
            }
            if (getSelectedItem() == item && getItemCount(item) == 1)
            {
                selectItem("");
            }
            harray<hstring> entries = getItems();
            for (int i = entries.size() - 1; i >= 0; --i)
            {
                if (entries[i] == item)
                {
                    entries.removeAt(i);
                    break;
                }
            }
            itemsVariable().set(entries.joined(","));
            quortypes::Log::write(Session::logTag, "Inventory: removed item " + quortypes::Log::quote(item));
            getGameUiHost().OnItemRemoved(item);
        }

        void clear()
        {
            quortypes::Log::write(Session::logTag, "Inventory: cleared all items");
            getGameUiHost().selectItem("");
            itemsVariable().set("");
        }

        bool hasItem(const hstring& item)
        {
            if (!hasItemImage(item))
            {
                return false;
            }
            const harray<hstring> entries = getItems();
            return std::find(entries.begin(), entries.end(), item) != entries.end();
        }

        int getItemCount(const hstring& item)
        {
            if (!hasItemImage(item))
            {
                throw _ItemImageError(item, 38);
            }
            int count = 0;
            for (const hstring& entry : getItems())
            {
                count += (entry == item ? 1 : 0);
            }
            return count;
        }

        hstring getSelectedItem()
        {
            return getGameUiHost().getSelectedItem();
        }

        void selectItem(const hstring& item)
        {
            if (item != "" && !hasItemImage(item))
            {
                throw _ItemImageError(item, 82);
            }
            getGameUiHost().selectItem(item);
        }

        bool canUseItem(const hstring& item)
        {
            return isGlobalFunction("inv_use_item_" + item);
        }

        void useItem(const hstring& item)
        {
            const hstring name = "inv_use_item_" + item;
            if (isIdentifier(name))
            {
                run(InventoryTexts::callIfDefined(name));
            }
            else
            {
                run(callGlobalCode(name));
            }
        }

        void combineItems(const hstring& a, const hstring& b)
        {
            for (const hstring& name : {"inv_combine_" + a + "_and_" + b, "inv_combine_" + b + "_and_" + a})
            {
                if (isGlobalFunction(name))
                {
                    run(isIdentifier(name) ? InventoryTexts::call(name) : callGlobalCode(name));
                    return;
                }
            }
            getGameUiHost().OnUseItemFail(a);
        }
    } // namespace Inventory
} // namespace vumo
