#include <quorxml/Node.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    kavtypes::Rectangle readRectNode(quorxml::Node* node, bool sizeDefaultsToMinusOne)
    {
        if (node->hasProperty("rect"))
        {
            return stringToRect(node->getString("rect"));
        }
        kavtypes::Rectangle rect(0.0f, 0.0f, sizeDefaultsToMinusOne ? -1.0f : 0.0f,
                                 sizeDefaultsToMinusOne ? -1.0f : 0.0f);
        if (node->hasProperty("position"))
        {
            kavtypes::Vector2 position = stringToVector2(node->getString("position"));
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
            kavtypes::Vector2 size = stringToVector2(node->getString("size"));
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
