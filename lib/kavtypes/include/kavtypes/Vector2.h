#pragma once

namespace kavtypes
{
    // A point, size, scale or direction on screen (y grows downwards).
    class Vector2
    {
    public:
        float x = 0.0f;
        float y = 0.0f;

        Vector2() = default;
        Vector2(float x, float y) : x(x), y(y) {}

        void set(float x, float y)
        {
            this->x = x;
            this->y = y;
        }

        Vector2 operator+(const Vector2& v) const { return Vector2(x + v.x, y + v.y); }
        Vector2 operator-(const Vector2& v) const { return Vector2(x - v.x, y - v.y); }
        Vector2 operator-() const { return Vector2(-x, -y); }
        Vector2 operator*(const Vector2& v) const { return Vector2(x * v.x, y * v.y); }
        Vector2 operator/(const Vector2& v) const { return Vector2(x / v.x, y / v.y); }
        Vector2 operator*(float f) const { return Vector2(x * f, y * f); }
        Vector2 operator/(float f) const { return Vector2(x / f, y / f); }

        // The compound operators hand back a copy rather than a reference; callers chain on values.
        Vector2 operator+=(const Vector2& v)
        {
            x += v.x;
            y += v.y;
            return *this;
        }
        Vector2 operator-=(const Vector2& v)
        {
            x -= v.x;
            y -= v.y;
            return *this;
        }
        Vector2 operator*=(const Vector2& v)
        {
            x *= v.x;
            y *= v.y;
            return *this;
        }
        Vector2 operator/=(const Vector2& v)
        {
            x /= v.x;
            y /= v.y;
            return *this;
        }
        Vector2 operator*=(float f)
        {
            x *= f;
            y *= f;
            return *this;
        }
        Vector2 operator/=(float f)
        {
            x /= f;
            y /= f;
            return *this;
        }

        bool operator==(const Vector2& v) const { return x == v.x && y == v.y; }
        bool operator!=(const Vector2& v) const { return !(*this == v); }

        float length() const;
        float squaredLength() const { return x * x + y * y; }
        float dot(const Vector2& v) const { return x * v.x + y * v.y; }
        void normalise();
        Vector2 normalised() const;
        // Degrees, counter-clockwise as seen on screen: (1, 0) is 0 and (0, -1) is 90.
        float angle() const;
        void rotate(float degrees);
        Vector2 rotated(float degrees) const;
        bool isZero() const { return x == 0.0f && y == 0.0f; }
        // The rim counts as inside.
        bool isInCircle(const Vector2& centre, float radius) const;
    };
} // namespace kavtypes
