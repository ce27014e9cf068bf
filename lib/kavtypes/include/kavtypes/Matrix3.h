#pragma once

#include <kavtypes/Vector3.h>

namespace kavtypes
{
    // Column-major 3x3 matrix (element i of column c is data[3 * c + i]), used to turn vectors in space.
    class Matrix3
    {
    public:
        float data[9];

        Matrix3();

        Vector3 transform(const Vector3& v) const;
        // Rotation about the axis by the angle in degrees. An axis shorter than 1e-6 is taken as it is
        // rather than blown up by normalising.
        void setRotation(const Vector3& axis, float degrees);
        void setRotation(float x, float y, float z, float degrees);
    };
} // namespace kavtypes
