#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // What the debug tools list and switch, gathered while the game runs whether or not they are shown: the
    // items and variables the scripts named, and the action-map overlay.
    namespace DebugNames
    {
        void registerItem(const hstring& name);
        void registerVar(const hstring& name);
        harray<hstring>& getItemNames();
        harray<hstring>& getVarNames();
        // While off, reading values for the debug panel does not add names to the lists it shows.
        void setRegistrationOff(bool value);
        bool isActionMapDebugEnabled();
        void setActionMapDebugEnabled(bool value);
        // Empties the lists and switches everything back off: a fresh start.
        void forget();
    } // namespace DebugNames
} // namespace vumo
