#include <algorithm>

#include "DebugNames.h"

namespace vumo
{
    namespace DebugNames
    {
        namespace
        {
            bool registrationOff = false;
            bool actionMapDebug = false;

            void add(harray<hstring>& names, const hstring& name)
            {
                if (!registrationOff && std::find(names.begin(), names.end(), name) == names.end())
                {
                    names.push_back(name);
                }
            }
        } // namespace

        void registerItem(const hstring& name)
        {
            add(getItemNames(), name);
        }

        void registerVar(const hstring& name)
        {
            add(getVarNames(), name);
        }

        harray<hstring>& getItemNames()
        {
            static harray<hstring> names;
            return names;
        }

        harray<hstring>& getVarNames()
        {
            static harray<hstring> names;
            return names;
        }

        void setRegistrationOff(bool value)
        {
            registrationOff = value;
        }

        bool isActionMapDebugEnabled()
        {
            return actionMapDebug;
        }

        void setActionMapDebugEnabled(bool value)
        {
            actionMapDebug = value;
        }

        void forget()
        {
            getItemNames().clear();
            getVarNames().clear();
            registrationOff = false;
            actionMapDebug = false;
        }
    } // namespace DebugNames
} // namespace vumo
