#pragma once

#include <kavtypes/Vector2.h>

namespace kavtypes
{
    // An area given by its top-left corner and its size.
    class Rectangle
    {
    public:
        float x = 0.0f;
        float y = 0.0f;
        float w = 0.0f;
        float h = 0.0f;

        Rectangle() = default;
        Rectangle(float x, float y, float w, float h) : x(x), y(y), w(w), h(h) {}

        void set(float x, float y, float w, float h)
        {
            this->x = x;
            this->y = y;
            this->w = w;
            this->h = h;
        }
        void setSize(float w, float h)
        {
            this->w = w;
            this->h = h;
        }

        float left() const { return x; }
        float right() const { return x + w; }
        float bottom() const { return y + h; }
        Vector2 getPosition() const { return Vector2(x, y); }
        Vector2 getSize() const { return Vector2(w, h); }
        Vector2 getCenter() const { return Vector2(x + w * 0.5f, y + h * 0.5f); }
        float aspect() const { return w / h; }

        Rectangle operator+(const Vector2& v) const { return Rectangle(x + v.x, y + v.y, w, h); }
        Rectangle operator-(const Vector2& v) const { return Rectangle(x - v.x, y - v.y, w, h); }
        Rectangle operator+=(const Vector2& v)
        {
            x += v.x;
            y += v.y;
            return *this;
        }
        Rectangle operator-=(const Vector2& v)
        {
            x -= v.x;
            y -= v.y;
            return *this;
        }
        // Scales the size only; the corner stays where it is.
        Rectangle operator*(const Vector2& v) const { return Rectangle(x, y, w * v.x, h * v.y); }

        bool operator==(const Rectangle& r) const { return x == r.x && y == r.y && w == r.w && h == r.h; }
        bool operator!=(const Rectangle& r) const { return !(*this == r); }

        // Half-open: the left and top edges are inside, the right and bottom edges are not, so
        // neighbouring rectangles never both claim a point.
        bool isPointInside(const Vector2& p) const
        {
            return x <= p.x && p.x < x + w && y <= p.y && p.y < y + h;
        }
        // Rectangles that only touch do not intersect.
        bool intersects(const Rectangle& o) const
        {
            return x + w > o.x && o.x + o.w > x && y + h > o.y && o.y + o.h > y;
        }
    };
} // namespace kavtypes
