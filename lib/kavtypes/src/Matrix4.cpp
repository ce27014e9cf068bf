#include <kavtypes/Matrix4.h>

#include <cmath>

namespace kavtypes
{
    namespace
    {
        const double radiansPerDegree = 0.017453292519943295;
    }

    Matrix4::Matrix4()
    {
        setIdentity();
    }

    void Matrix4::setIdentity()
    {
        for (int i = 0; i < 16; ++i)
        {
            data[i] = (i % 5 == 0 ? 1.0f : 0.0f);
        }
    }

    Matrix4 Matrix4::multiply(const Matrix4& other)
    {
        float result[16];
        for (int c = 0; c < 4; ++c)
        {
            for (int i = 0; i < 4; ++i)
            {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k)
                {
                    sum += data[4 * k + i] * other.data[4 * c + k];
                }
                result[4 * c + i] = sum;
            }
        }
        for (int i = 0; i < 16; ++i)
        {
            data[i] = result[i];
        }
        return *this;
    }

    void Matrix4::setOrthoProjection(const Rectangle& rect)
    {
        setIdentity();
        data[0] = 2.0f / rect.w;
        data[5] = -2.0f / rect.h;
        data[10] = -2.0f;
        data[12] = rect.x * 2.0f / rect.w - 1.0f;
        data[13] = 1.0f - rect.y * 2.0f / rect.h;
    }

    // Both are the product with the translation or scaling matrix, worked out: every object of a drawn
    // tree does them. The sums run in the order the full product's do, so the results are the same.
    void Matrix4::scale(float x, float y, float z)
    {
        for (int i = 0; i < 4; ++i)
        {
            data[i] *= x;
            data[4 + i] *= y;
            data[8 + i] *= z;
        }
    }

    void Matrix4::rotate(float x, float y, float z, float degrees)
    {
        double len = std::sqrt((double)x * x + (double)y * y + (double)z * z);
        if (len != 0.0)
        {
            x = (float)(x / len);
            y = (float)(y / len);
            z = (float)(z / len);
        }
        double r = degrees * radiansPerDegree;
        float c = (float)std::cos(r);
        float s = (float)std::sin(r);
        float t = 1.0f - c;
        Matrix4 m;
        m.data[0] = t * x * x + c;
        m.data[1] = t * x * y + z * s;
        m.data[2] = t * x * z - y * s;
        m.data[4] = t * x * y - z * s;
        m.data[5] = t * y * y + c;
        m.data[6] = t * y * z + x * s;
        m.data[8] = t * x * z + y * s;
        m.data[9] = t * y * z - x * s;
        m.data[10] = t * z * z + c;
        multiply(m);
    }
} // namespace kavtypes
