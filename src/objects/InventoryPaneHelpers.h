#pragma once

#include <algorithm>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include "GameUiHost.h"
#include "Variables.h"

namespace vumo
{
    // The small answers the inventory pane's files share.
    namespace inventorypane
    {
        template <class T> int indexIn(const harray<T>& values, const T& value)
        {
            const auto it = std::find(values.begin(), values.end(), value);
            return it == values.end() ? -1 : (int)(it - values.begin());
        }

        inline bool isIdiomPC()
        {
            return getGameUiHost().getUIIdiom() == GameUiHost::IDIOM_PC;
        }

        inline bool isPointerDown()
        {
            return getGameUiHost().isPointerDown();
        }

        // The value of "items" as stored now.
        inline hstring storedItems()
        {
            VariableDictionary& variables = VariableDictionary::getGlobal();
            return variables.exists("items") ? variables.get("items").value() : hstring();
        }

        inline bool isNothing(const hstring& item)
        {
            return item == "" || item == "0" || item == "false";
        }
    } // namespace inventorypane
} // namespace vumo
