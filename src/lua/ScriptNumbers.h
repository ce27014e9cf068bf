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
        // The description of a property by its name; a parameterised one ("name:x") is described as "name:%".
        // Null when the descriptions hold none.
        const PropertyInfo* findPropertyDescription(const harray<PropertyInfo>& descriptions,
                                                    const hstring& name);

        // Why a property of the type cannot hold the text a script gives it ("'1e308' is not a number a float
        // can hold"), or "" when it can. The setters
        // read numbers from the text as their type holds them and keep what comes out: a float of "1e308"
        // is infinite, an int of "1e308" is 1. So a float (and each part of a rectangle or vector) must come
        // out finite, an int must be written as a whole number an int holds, and a colour channel as a
        // number an int holds (its low 8 bits are kept, its fraction dropped). Text that reads as no number
        // at all passes: it reads as 0.
        hstring propertyValueRefusal(int type, const hstring& value);

        // The point (in the coordinates of the UI's root) in the object's coordinates. An object scaled to
        // nothing along an axis (under 0.0001, where it is neither drawn nor hit), or one under it, has no
        // point there: all of it shrank to its centre, which is the answer on that axis where the plain
        // mapping would divide by zero.
        kavtypes::Vector2 localPoint(const tesraui::Object* object, kavtypes::Vector2 point);
    } // namespace LuaInterface
} // namespace vumo
