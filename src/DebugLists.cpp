#include "DebugLists.h"

#include <algorithm>

namespace Session
{
    namespace
    {
        bool actionMapDebug = false;
    }

    bool isActionMapDebugEnabled()
    {
        return actionMapDebug;
    }

    void setActionMapDebugEnabled(bool value)
    {
        actionMapDebug = value;
    }

    harray<hstring>& getDebugItemNames()
    {
        static harray<hstring> names;
        return names;
    }

    harray<hstring>& getDebugVarNames()
    {
        static harray<hstring> names;
        return names;
    }

    void addDebugName(harray<hstring>& names, const hstring& name)
    {
        if (std::find(names.begin(), names.end(), name) == names.end())
        {
            names.push_back(name);
        }
    }
} // namespace Session
