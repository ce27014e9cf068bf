#pragma once

#include <quortypes/PropertyInfo.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <kavtypes/Vector2.h>

namespace tesraui
{
    class Object;
}

// The numbers scripts hand the engine and get back: what a property can hold, and points that stay numbers.
namespace vumo
{
    namespace LuaInterface
    {
        // PropertyInfo::find, for the script API.
        const PropertyInfo* findPropertyDescription(const harray<PropertyInfo>& descriptions,
                                                    const hstring& name);

        // Why a property of the type cannot hold the text a script gives it, or "" when it can: the rule of
        // PropertyInfo::valueRefusal, which a data file's loader shares.
        hstring propertyValueRefusal(int type, const hstring& value);

        // The point (in the coordinates of the UI's root) in the object's coordinates. An object scaled to
        // nothing along an axis (under 0.0001, where it is neither drawn nor hit), or one under it, has no
        // point there: all of it shrank to its centre, which is the answer on that axis where the plain
        // mapping would divide by zero.
        kavtypes::Vector2 localPoint(const tesraui::Object* object, kavtypes::Vector2 point);
    } // namespace LuaInterface
} // namespace vumo
