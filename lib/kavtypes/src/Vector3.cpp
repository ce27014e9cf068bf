#include <kavtypes/Vector3.h>

#include <cmath>

namespace kavtypes
{
    float Vector3::length() const
    {
        return (float)std::sqrt((double)x * x + (double)y * y + (double)z * z);
    }

    Vector3 Vector3::normalized() const
    {
        float len = length();
        if (len == 0.0f)
        {
            return *this;
        }
        return Vector3(x / len, y / len, z / len);
    }
} // namespace kavtypes
