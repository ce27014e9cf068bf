#pragma once

#include <cmath>

namespace kavtypes
{
    class Vector3
    {
    public:
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;

        Vector3() = default;
        Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

        void set(float x, float y, float z)
        {
            this->x = x;
            this->y = y;
            this->z = z;
        }

        Vector3 operator+(const Vector3& v) const { return Vector3(x + v.x, y + v.y, z + v.z); }
        Vector3 operator-(const Vector3& v) const { return Vector3(x - v.x, y - v.y, z - v.z); }
        Vector3 operator*(float f) const { return Vector3(x * f, y * f, z * f); }
        Vector3 operator+=(const Vector3& v)
        {
            x += v.x;
            y += v.y;
            z += v.z;
            return *this;
        }
        bool operator==(const Vector3& v) const { return x == v.x && y == v.y && z == v.z; }

        float length() const { return (float)std::sqrt((double)x * x + (double)y * y + (double)z * z); }
        float squaredLength() const { return x * x + y * y + z * z; }
        // A zero vector comes back unchanged. Defined here, since particles normalize every step.
        Vector3 normalized() const
        {
            float len = length();
            if (len == 0.0f)
            {
                return *this;
            }
            return Vector3(x / len, y / len, z / len);
        }
    };
} // namespace kavtypes
