#include <algorithm>

#include <tesraui/Object.h>

namespace tesraui
{
    unsigned char Object::getDerivedAlpha(Object* ancestor) const
    {
        if (ancestor == this)
        {
            return this->color.a;
        }
        if (this->inheritAlpha && this->parent != nullptr && this->parent != ancestor)
        {
            return (unsigned char)(int)(this->color.a * (this->parent->getDerivedAlpha(ancestor) / 255.0f));
        }
        return this->color.a;
    }

    tesra::Color Object::getDerivedColor() const
    {
        tesra::Color result = this->color;
        if (this->inheritAlpha && this->parent != nullptr)
        {
            result.a = (unsigned char)(this->color.a * this->parent->getDerivedAlpha(nullptr) / 255);
        }
        return result;
    }

    float Object::getDisabledAlphaFactor() const
    {
        if (!this->useDisabledAlpha)
        {
            return 1.0f;
        }
        if (!this->enabled || (this->parent != nullptr && !this->parent->isDerivedEnabled()))
        {
            return 0.5f;
        }
        return 1.0f;
    }

    bool Object::isDerivedEnabled() const
    {
        return this->enabled && (this->parent == nullptr || this->parent->isDerivedEnabled());
    }

    bool Object::isDerivedVisible() const
    {
        return this->visible && this->color.a > 0 &&
               (this->parent == nullptr || this->parent->isDerivedVisible());
    }

    float Object::getDerivedAngle(Object* ancestor) const
    {
        if (ancestor == this || this->parent == nullptr || this->parent == ancestor)
        {
            return this->angle;
        }
        return this->angle + this->parent->getDerivedAngle(ancestor);
    }

    kavtypes::Vector2 Object::getDerivedScale(Object* ancestor) const
    {
        if (ancestor == this || this->parent == nullptr || this->parent == ancestor)
        {
            return this->scaleFactor;
        }
        return this->scaleFactor * this->parent->getDerivedScale(ancestor);
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
        return this->getDerivedPoint(kavtypes::Vector2(), ancestor);
    }

    kavtypes::Vector2 Object::getDerivedCenter(Object* ancestor) const
    {
        return this->getDerivedPoint(this->center, ancestor);
    }

    harray<kavtypes::Vector2> Object::getDerivedCorners(Object* ancestor) const
    {
        harray<kavtypes::Vector2> result;
        result.push_back(this->getDerivedPoint(kavtypes::Vector2(0.0f, 0.0f), ancestor));
        result.push_back(this->getDerivedPoint(kavtypes::Vector2(0.0f, this->rect.h), ancestor));
        result.push_back(this->getDerivedPoint(kavtypes::Vector2(this->rect.w, 0.0f), ancestor));
        result.push_back(this->getDerivedPoint(kavtypes::Vector2(this->rect.w, this->rect.h), ancestor));
        return result;
    }

    kavtypes::Rectangle Object::getBoundingRect(Object* ancestor) const
    {
        harray<kavtypes::Vector2> corners = this->getDerivedCorners(ancestor);
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
            result.push_back(this->transformToLocalSpace(point, ancestor));
        }
        return result;
    }
} // namespace tesraui
