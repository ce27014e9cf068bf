#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    class Object;
}

namespace vumo
{
    namespace RegionTables
    {
        // Warns once per name (kept in warned) about each table of the scene's environment that names a
        // region of a map under root only in another case: a click looks up "_RRGGBB" exactly, so such a
        // table is never called.
        void warnMistypedNames(const hstring& environment, tesraui::Object* root, harray<hstring>& warned);
    } // namespace RegionTables
} // namespace vumo
