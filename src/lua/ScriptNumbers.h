#pragma once

#include <kavtypes/Vector2.h>

namespace tesraui
{
    class Object;
}

// Points scripts get back that stay numbers.
namespace vumo
{
    namespace LuaInterface
    {
        // The point (in the coordinates of the UI's root) in the object's coordinates. An object scaled to
        // nothing along an axis (under 0.0001, where it is neither drawn nor hit), or one under it, has no
        // point there: all of it shrank to its centre, which is the answer on that axis where the plain
        // mapping would divide by zero.
        kavtypes::Vector2 localPoint(const tesraui::Object* object, kavtypes::Vector2 point);
    } // namespace LuaInterface
} // namespace vumo
