#include <kavtypes/Matrix3.h>

#include <cmath>

namespace kavtypes
{
    Matrix3::Matrix3()
    {
        for (int i = 0; i < 9; ++i)
        {
            data[i] = (i % 4 == 0 ? 1.0f : 0.0f);
        }
    }

    Vector3 Matrix3::transform(const Vector3& v) const
    {
        return Vector3(data[0] * v.x + data[3] * v.y + data[6] * v.z,
                       data[1] * v.x + data[4] * v.y + data[7] * v.z,
                       data[2] * v.x + data[5] * v.y + data[8] * v.z);
    }

    void Matrix3::setRotation(const Vector3& axis, float degrees)
    {
        setRotation(axis.x, axis.y, axis.z, degrees);
    }

    void Matrix3::setRotation(float x, float y, float z, float degrees)
    {
        float len = Vector3(x, y, z).length();
        if (len >= 1e-6f)
        {
            x /= len;
            y /= len;
            z /= len;
        }
        float r = degrees * 0.017453292519943295f;
        float c = std::cos(r);
        float s = std::sin(r);
        float t = 1.0f - c;
        data[0] = t * x * x + c;
        data[1] = t * x * y + z * s;
        data[2] = t * x * z - y * s;
        data[3] = t * x * y - z * s;
        data[4] = t * y * y + c;
        data[5] = t * y * z + x * s;
        data[6] = t * x * z + y * s;
        data[7] = t * y * z - x * s;
        data[8] = t * z * z + c;
    }
} // namespace kavtypes
