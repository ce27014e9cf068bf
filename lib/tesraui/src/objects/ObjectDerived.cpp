#include <algorithm>

#include <tesraui/Object.h>

namespace tesraui
{
    unsigned char Object::getDerivedAlpha(Object* ancestor) const
    {
        if (ancestor == this)
        {
            return color.a;
        }
        if (inheritAlpha && parent != nullptr && parent != ancestor)
        {
            return (unsigned char)(int)(color.a * (parent->getDerivedAlpha(ancestor) / 255.0f));
        }
        return color.a;
    }

    tesra::Color Object::_getColorUnderAncestors() const
    {
        // Under opaque ancestors the alpha stays as it is.
        tesra::Color result = color;
        const unsigned char inherited = parent->getDerivedAlpha(nullptr);
        if (inherited != 255)
        {
            result.a = (unsigned char)(color.a * inherited / 255);
        }
        return result;
    }

    float Object::getDisabledAlphaFactor() const
    {
        if (!useDisabledAlpha)
        {
            return 1.0f;
        }
        if (!enabled || (parent != nullptr && !parent->isDerivedEnabled()))
        {
            return 0.5f;
        }
        return 1.0f;
    }

    bool Object::isDerivedEnabled() const
    {
        return enabled && (parent == nullptr || parent->isDerivedEnabled());
    }

    bool Object::isDerivedVisible() const
    {
        return visible && color.a > 0 && (parent == nullptr || parent->isDerivedVisible());
    }

    float Object::getDerivedAngle(Object* ancestor) const
    {
        if (ancestor == this || parent == nullptr || parent == ancestor)
        {
            return angle;
        }
        return angle + parent->getDerivedAngle(ancestor);
    }

    kavtypes::Vector2 Object::getDerivedScale(Object* ancestor) const
    {
        if (ancestor == this || parent == nullptr || parent == ancestor)
        {
            return scaleFactor;
        }
        return scaleFactor * parent->getDerivedScale(ancestor);
    }

    kavtypes::Vector2 Object::getDerivedPoint(kavtypes::Vector2 point, Object* ancestor) const
    {
        for (const Object* object = this; object != nullptr; object = object->parent)
        {
            point = (point - object->center) * object->scaleFactor;
            point.rotate(-object->angle);
            point += object->rect.getPosition() + object->center;
            if (object == ancestor)
            {
                break;
            }
        }
        return point;
    }

    kavtypes::Vector2 Object::getDerivedPosition(Object* ancestor) const
    {
        return getDerivedPoint(kavtypes::Vector2(), ancestor);
    }

    kavtypes::Vector2 Object::getDerivedCenter(Object* ancestor) const
    {
        return getDerivedPoint(center, ancestor);
    }

    harray<kavtypes::Vector2> Object::getDerivedCorners(Object* ancestor) const
    {
        harray<kavtypes::Vector2> result;
        result.push_back(getDerivedPoint(kavtypes::Vector2(0.0f, 0.0f), ancestor));
        result.push_back(getDerivedPoint(kavtypes::Vector2(0.0f, rect.h), ancestor));
        result.push_back(getDerivedPoint(kavtypes::Vector2(rect.w, 0.0f), ancestor));
        result.push_back(getDerivedPoint(kavtypes::Vector2(rect.w, rect.h), ancestor));
        return result;
    }

    kavtypes::Rectangle Object::getBoundingRect(Object* ancestor) const
    {
        harray<kavtypes::Vector2> corners = getDerivedCorners(ancestor);
        kavtypes::Vector2 low = corners[0];
        kavtypes::Vector2 high = corners[0];
        for (const kavtypes::Vector2& corner : corners)
        {
            low.set(std::min(low.x, corner.x), std::min(low.y, corner.y));
            high.set(std::max(high.x, corner.x), std::max(high.y, corner.y));
        }
        return kavtypes::Rectangle(low.x, low.y, high.x - low.x, high.y - low.y);
    }

    kavtypes::Vector2 Object::transformToLocalSpace(kavtypes::Vector2 point, Object* ancestor) const
    {
        harray<const Object*> chain;
        for (const Object* object = this; object != nullptr; object = object->parent)
        {
            chain.push_back(object);
            if (object == ancestor)
            {
                break;
            }
        }
        for (int i = chain.size() - 1; i >= 0; --i)
        {
            const Object* object = chain[i];
            point -= object->rect.getPosition() + object->center;
            point.rotate(object->angle);
            point /= object->scaleFactor;
            point += object->center;
        }
        return point;
    }

    harray<kavtypes::Vector2> Object::transformToLocalSpace(const harray<kavtypes::Vector2>& points,
                                                            Object* ancestor) const
    {
        harray<kavtypes::Vector2> result;
        result.reserve(points.size());
        for (const kavtypes::Vector2& point : points)
        {
            result.push_back(transformToLocalSpace(point, ancestor));
        }
        return result;
    }
} // namespace tesraui
