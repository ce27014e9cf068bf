#pragma once

#include <kavtypes/Rectangle.h>

namespace kavtypes
{
    // Column-major 4x4 transform: element i of column c is data[4 * c + i], so the translation sits in
    // data[12], data[13] and data[14] and the array can go to the graphics API as it is.
    class Matrix4
    {
    public:
        float data[16];

        Matrix4();

        // this = this x other; the copy lets callers chain.
        Matrix4 multiply(const Matrix4& other);
        Matrix4 operator*=(const Matrix4& other) { return multiply(other); }

        // Orthographic projection of a w by h area with y pointing down. The position is an offset
        // added to the points: (-x, -y) goes to (-1, 1) and (w - x, h - y) to (1, -1); the UI relies
        // on this to scroll its views.
        void setOrthoProjection(const Rectangle& rect);
        // Inline, as drawing code moves the model-view matrix for every object it draws.
        void translate(float x, float y, float z)
        {
            for (int i = 0; i < 4; ++i)
            {
                data[12 + i] = data[i] * x + data[4 + i] * y + data[8 + i] * z + data[12 + i];
            }
        }
        void scale(float x, float y, float z);
        // Rotation about the axis (normalised here) by the angle in degrees, applied on the right.
        void rotate(float x, float y, float z, float degrees);

    private:
        void setIdentity();
    };
} // namespace kavtypes
