#include <kavtypes/Matrix3.h>
#include <kavtypes/Matrix4.h>

#include <gtest/gtest.h>

#include <cmath>

using kavtypes::Matrix3;
using kavtypes::Matrix4;
using kavtypes::Rectangle;
using kavtypes::Vector3;

namespace
{
    // The point (x, y, z, 1) through a column-major matrix.
    Vector3 apply(const Matrix4& m, float x, float y, float z)
    {
        const float* d = m.data;
        return Vector3(d[0] * x + d[4] * y + d[8] * z + d[12], d[1] * x + d[5] * y + d[9] * z + d[13],
                       d[2] * x + d[6] * y + d[10] * z + d[14]);
    }

    void expectNear(const Vector3& expected, const Vector3& actual)
    {
        EXPECT_NEAR((expected - actual).length(), 0.0f, 1e-5f);
    }
} // namespace

TEST(Matrix4, ProductsAndTransformsApplyOnTheRight)
{
    Matrix4 a;
    Matrix4 b;
    for (int i = 0; i < 16; ++i)
    {
        a.data[i] = (float)(i + 1);
        b.data[i] = (float)(16 - i);
    }
    a *= b;
    // Worked by hand: element 4c + i = sum over k of a[4k + i] * b[4c + k].
    EXPECT_EQ(386.0f, a.data[0]);
    EXPECT_EQ(70.0f, a.data[14]);

    // Points are scaled first, then moved.
    Matrix4 ts;
    ts.translate(10, 20, 30);
    ts.scale(2, 3, 4);
    EXPECT_EQ(Vector3(12, 23, 34), apply(ts, 1, 1, 1));

    Matrix4 r;
    r.rotate(0, 0, 5, 90);
    expectNear(Vector3(0, 1, 0), apply(r, 1, 0, 0));
    // Each step undone in reverse order gives the identity back.
    Matrix4 m;
    m.translate(5, -7, 2);
    m.rotate(1, 2, 3, 37);
    m.scale(2, 4, 0.5f);
    m.scale(0.5f, 0.25f, 2);
    m.rotate(1, 2, 3, -37);
    m.translate(-5, 7, -2);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NEAR(i % 5 == 0 ? 1.0f : 0.0f, m.data[i], 1e-5f) << "element " << i;
    }
    Matrix4 z;
    z.rotate(0, 0, 0, 90);
    EXPECT_TRUE(std::isfinite(z.data[0]));
}

TEST(Matrix4, OrthoProjectionMapsTheAreaToClipSpace)
{
    Matrix4 m;
    m.translate(3, 3, 3);
    m.setOrthoProjection(Rectangle(0, 0, 800, 600));
    expectNear(Vector3(-1, 1, 0), apply(m, 0, 0, 0));
    expectNear(Vector3(1, -1, 0), apply(m, 800, 600, 0));
    // The position works as an offset: callers pass (-x, -y) to bring the point (x, y) to the top-left.
    m.setOrthoProjection(Rectangle(-100, -50, 200, 100));
    expectNear(Vector3(-1, 1, 0), apply(m, 100, 50, 0));
}

TEST(Matrix3, RotationMatchesTheFourByFourOne)
{
    Matrix3 m;
    m.setRotation(Vector3(1, -2, 3), 37);
    Matrix4 m4;
    m4.rotate(1, -2, 3, 37);
    for (int c = 0; c < 3; ++c)
    {
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(m4.data[4 * c + i], m.data[3 * c + i], 1e-6f) << "column " << c << " row " << i;
        }
    }
    // No axis: nothing is divided by zero. A tiny axis is used as it is.
    m.setRotation(Vector3(0, 0, 0), 90);
    expectNear(Vector3(0, 0, 0), m.transform(Vector3(1, 1, 1)));
    m.setRotation(0, 0, 1e-7f, 180);
    EXPECT_NEAR(-1.0f, m.data[0], 1e-6f);
}
