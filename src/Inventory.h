#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/exception.h>

namespace vumo
{
    // An item whose picture "items/" + item is missing from the UI's dataset.
    class _ItemImageError : public tesraui::_GenericException
    {
    public:
        _ItemImageError(const hstring& item, int lineNumber);

        static const char* const typeText;
    };

    // The items the player carries: the text of the variable "items", names joined by ",", one entry per
    // carried copy. The held item is the UI's selected item.
    namespace Inventory
    {
        // Throws _ItemImageError without a picture, and refuses a name holding "," (it would become two
        // items).
        void addItem(const hstring& item);
        // Removes the last copy; a held item is released first when this was its only copy.
        void removeItem(const hstring& item);
        void clear();
        // False for an item without a picture, whatever the list holds.
        bool hasItem(const hstring& item);
        int getItemCount(const hstring& item);
        harray<hstring> getItems();
        // The items a value of "items" holds, in order.
        harray<hstring> splitItems(const hstring& value);
        hstring getSelectedItem();
        void selectItem(const hstring& item);
        bool hasItemImage(const hstring& item);

        bool canUseItem(const hstring& item);
        // Script failures show in the error overlay; these return normally.
        void useItem(const hstring& item);
        void combineItems(const hstring& a, const hstring& b);

        // Script hooks named after an item: an item name that is not a Lua identifier cannot be pasted into
        // code, so those are looked up as a global by their composed name.
        bool isGlobalFunction(const hstring& name);
        // Letters, digits and "_" only: safe to paste into Lua code.
        bool isIdentifier(const hstring& name);
        // The code that calls the global of that name when it is a function.
        hstring callGlobalCode(const hstring& name);
    } // namespace Inventory
} // namespace vumo
