#include "objects/RegionTables.h"

#include <algorithm>
#include <cctype>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesraui/Object.h>

#include "ActionMap.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "objects/ActionMapObject.h"

namespace vumo
{
    namespace RegionTables
    {
        namespace
        {
            bool has(const harray<hstring>& names, const hstring& name)
            {
                return std::find(names.begin(), names.end(), name) != names.end();
            }

            bool isRegionLike(const hstring& name)
            {
                if (name.size() != 7 || name[0] != '_')
                {
                    return false;
                }
                for (int i = 1; i < 7; ++i)
                {
                    if (!std::isxdigit((unsigned char)name[i]))
                    {
                        return false;
                    }
                }
                return true;
            }

            // The environment's names of the "_rrggbb" form that are not all upper case.
            harray<hstring> namesInOtherCase(const hstring& environment)
            {
                harray<hstring> names;
                lua_State* L = LuaInterface::state;
                if (L == nullptr)
                {
                    return names;
                }
                const int top = lua_gettop(L);
                try
                {
                    LuaInterface::pushGlobal(L, environment);
                }
                catch (const quortypes::exception&)
                {
                    lua_settop(L, top);
                    return names;
                }
                if (lua_istable(L, -1))
                {
                    lua_pushnil(L);
                    while (lua_next(L, -2) != 0)
                    {
                        if (lua_type(L, -2) == LUA_TSTRING)
                        {
                            size_t length = 0;
                            const char* text = lua_tolstring(L, -2, &length);
                            const hstring name(text, (int)length);
                            if (isRegionLike(name) && name != name.uppered())
                            {
                                names.push_back(name);
                            }
                        }
                        lua_pop(L, 1);
                    }
                }
                lua_settop(L, top);
                return names;
            }

            void collectRegionNames(tesraui::Object* object, harray<hstring>& names)
            {
                ActionMapObject* mapObject = dynamic_cast<ActionMapObject*>(object);
                if (mapObject != nullptr && mapObject->getMap() != nullptr)
                {
                    try
                    {
                        for (const ActionMapRegion& region : mapObject->getMap()->getRegions())
                        {
                            names.push_back(formatString("_%06X", region.color >> 8));
                        }
                    }
                    catch (const quortypes::exception&)
                    {
                        // A map that cannot be read has been reported where it was read.
                    }
                }
                for (tesraui::Object* child : object->getChildren())
                {
                    collectRegionNames(child, names);
                }
            }
        } // namespace

        void warnMistypedNames(const hstring& environment, tesraui::Object* root, harray<hstring>& warned)
        {
            if (root == nullptr)
            {
                return;
            }
            // Most scenes name their tables right: their maps are read only when a name is in doubt.
            const harray<hstring> names = namesInOtherCase(environment);
            if (names.size() == 0)
            {
                return;
            }
            harray<hstring> regions;
            collectRegionNames(root, regions);
            for (const hstring& name : names)
            {
                if (has(regions, name.uppered()) && !has(warned, name))
                {
                    warned.push_back(name);
                    quortypes::Log::warn(
                        Session::logTag,
                        "Scene '" + environment + "' defines the table '" + name +
                            "', which no click calls: region tables are named in upper case, '" +
                            name.uppered() + "'");
                }
            }
        }
    } // namespace RegionTables
} // namespace vumo
