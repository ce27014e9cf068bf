#include <kavtypes/Vector2.h>

#include <cmath>

namespace kavtypes
{
    namespace
    {
        const double degreesPerRadian = 57.29577951308232;
        const double radiansPerDegree = 0.017453292519943295;
    } // namespace

    float Vector2::length() const
    {
        return (float)std::sqrt((double)x * x + (double)y * y);
    }

    void Vector2::normalise()
    {
        float len = length();
        if (len != 0.0f)
        {
            x /= len;
            y /= len;
        }
    }

    Vector2 Vector2::normalised() const
    {
        Vector2 result(*this);
        result.normalise();
        return result;
    }

    float Vector2::angle() const
    {
        // Screen y runs downwards, so y is negated to count counter-clockwise as the eye sees it.
        float radians = (float)std::atan2(-(double)y, (double)x);
        return (float)(radians * degreesPerRadian);
    }

    void Vector2::rotate(float degrees)
    {
        double r = degrees * radiansPerDegree;
        double c = std::cos(r);
        double s = std::sin(r);
        double nx = x * c - y * s;
        double ny = x * s + y * c;
        x = (float)nx;
        y = (float)ny;
    }

    Vector2 Vector2::rotated(float degrees) const
    {
        Vector2 result(*this);
        result.rotate(degrees);
        return result;
    }

    bool Vector2::isInCircle(const Vector2& centre, float radius) const
    {
        float dx = x - centre.x;
        float dy = y - centre.y;
        return radius * radius >= dx * dx + dy * dy;
    }
} // namespace kavtypes
