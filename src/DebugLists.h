#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// The names the developer console offers: items the scripts registered and variables they read or
// registered. Each name is kept once, in the order it first came.
namespace Session
{
    harray<hstring>& getDebugItemNames();
    harray<hstring>& getDebugVarNames();
    void addDebugName(harray<hstring>& names, const hstring& name);
    // Whether action map objects draw their regions and markers; the debug UI toggles it.
    bool isActionMapDebugEnabled();
    void setActionMapDebugEnabled(bool value);
} // namespace Session
