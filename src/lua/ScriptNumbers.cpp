#include "lua/ScriptNumbers.h"

#include <cmath>

#include <tesraui/Object.h>

namespace vumo
{
    namespace LuaInterface
    {
        kavtypes::Vector2 localPoint(const tesraui::Object* object, kavtypes::Vector2 point)
        {
            harray<const tesraui::Object*> chain;
            for (const tesraui::Object* link = object; link != nullptr; link = link->getParent())
            {
                chain.push_back(link);
            }
            // As Object::transformToLocalSpace, from the root down.
            for (int i = chain.size() - 1; i >= 0; --i)
            {
                const tesraui::Object* link = chain[i];
                const kavtypes::Vector2 center = link->getCenter();
                const kavtypes::Vector2 scale = link->getScale();
                point -= link->getPosition() + center;
                point.rotate(link->getAngle());
                // Under this scale the library neither draws an object nor finds points in it.
                point.x = (std::fabs(scale.x) >= 0.0001f ? point.x / scale.x : 0.0f);
                point.y = (std::fabs(scale.y) >= 0.0001f ? point.y / scale.y : 0.0f);
                point += center;
            }
            return point;
        }
    } // namespace LuaInterface
} // namespace vumo
