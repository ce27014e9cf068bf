#include <quorxml/Node.h>
#include <tesraui/tesraui.h>

#include "LocatedError.h"

namespace tesraui
{
    kavtypes::Vector2 readVectorNode(quorxml::Node* node, const hstring& name)
    {
        return located(node, [&]() { return stringToVector2(node->getString(name)); });
    }

    kavtypes::Rectangle readRectNode(quorxml::Node* node, bool sizeDefaultsToMinusOne)
    {
        if (node->hasProperty("rect"))
        {
            return located(node, [&]() { return stringToRect(node->getString("rect")); });
        }
        kavtypes::Rectangle rect(0.0f, 0.0f, sizeDefaultsToMinusOne ? -1.0f : 0.0f,
                                 sizeDefaultsToMinusOne ? -1.0f : 0.0f);
        if (node->hasProperty("position"))
        {
            kavtypes::Vector2 position = readVectorNode(node, "position");
            rect.x = position.x;
            rect.y = position.y;
        }
        else
        {
            rect.x = node->getFloat("x");
            rect.y = node->getFloat("y");
        }
        if (node->hasProperty("size"))
        {
            kavtypes::Vector2 size = readVectorNode(node, "size");
            rect.w = size.x;
            rect.h = size.y;
        }
        else if (sizeDefaultsToMinusOne)
        {
            rect.w = node->getFloat("w", -1.0f);
            rect.h = node->getFloat("h", -1.0f);
        }
        else
        {
            rect.w = node->getFloat("w");
            rect.h = node->getFloat("h");
        }
        return rect;
    }
} // namespace tesraui
