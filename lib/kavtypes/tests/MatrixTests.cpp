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
    // Applies a column-major matrix to the point (x, y, z, 1).
    Vector3 apply(const Matrix4& m, float x, float y, float z)
    {
        const float* d = m.data;
        return Vector3(d[0] * x + d[4] * y + d[8] * z + d[12], d[1] * x + d[5] * y + d[9] * z + d[13],
                       d[2] * x + d[6] * y + d[10] * z + d[14]);
    }

    void expectIdentity(const Matrix4& m, float tolerance)
    {
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_NEAR(i % 5 == 0 ? 1.0f : 0.0f, m.data[i], tolerance) << "element " << i;
        }
    }
} // namespace

TEST(Matrix4, ProductIsThisTimesOtherColumnMajor)
{
    Matrix4 a;
    Matrix4 b;
    for (int i = 0; i < 16; ++i)
    {
        a.data[i] = (float)(i + 1);
        b.data[i] = (float)(16 - i);
    }
    Matrix4 result = a.multiply(b);
    // Worked by hand: element (column c, row i) = sum over k of a[4k + i] * b[4c + k].
    EXPECT_EQ(386.0f, a.data[0]);
    EXPECT_EQ(400.0f, a.data[7]);
    EXPECT_EQ(70.0f, a.data[14]);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(a.data[i], result.data[i]);
    }
    // The other order gives another, also hand-checked, product.
    Matrix4 reversed;
    for (int i = 0; i < 16; ++i)
    {
        reversed.data[i] = (float)(16 - i);
        a.data[i] = (float)(i + 1);
    }
    reversed *= a;
    EXPECT_EQ(80.0f, reversed.data[0]);
    expectIdentity(Matrix4(), 0.0f);
}

TEST(Matrix4, TransformsApplyOnTheRight)
{
    // translate then scale: points are scaled first, then moved.
    Matrix4 ts;
    ts.translate(10, 20, 30);
    ts.scale(2, 3, 4);
    const float expected[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 10, 20, 30, 1};
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(expected[i], ts.data[i]) << "element " << i;
    }
    Vector3 p = apply(ts, 1, 1, 1);
    EXPECT_EQ(Vector3(12, 23, 34), p);

    Matrix4 st;
    st.scale(2, 3, 4);
    st.translate(10, 20, 30);
    EXPECT_EQ(Vector3(22, 63, 124), apply(st, 1, 1, 1));

    // A quarter turn about z takes x to y (y pointing down on screen: clockwise as seen).
    Matrix4 r;
    r.rotate(0, 0, 1, 90);
    Vector3 q = apply(r, 1, 0, 0);
    EXPECT_NEAR(0.0f, q.x, 1e-6f);
    EXPECT_NEAR(1.0f, q.y, 1e-6f);
    EXPECT_NEAR(0.0f, q.z, 1e-6f);
    // The axis need not be of unit length.
    Matrix4 r5;
    r5.rotate(0, 0, 5, 90);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_FLOAT_EQ(r.data[i], r5.data[i]);
    }
    // A third of a turn about the diagonal cycles the axes.
    Matrix4 d;
    d.rotate(1, 1, 1, 120);
    q = apply(d, 1, 0, 0);
    EXPECT_NEAR(0.0f, q.x, 1e-6f);
    EXPECT_NEAR(1.0f, q.y, 1e-6f);
    EXPECT_NEAR(0.0f, q.z, 1e-6f);
    // A zero axis must not produce NaNs.
    Matrix4 z;
    z.rotate(0, 0, 0, 90);
    for (float f : z.data)
    {
        EXPECT_TRUE(std::isfinite(f));
    }
}

TEST(Matrix4, OppositeTransformsCancel)
{
    Matrix4 m;
    m.translate(5, -7, 2);
    m.rotate(1, 2, 3, 37);
    m.scale(2, 4, 0.5f);
    m.scale(0.5f, 0.25f, 2);
    m.rotate(1, 2, 3, -37);
    m.translate(-5, 7, -2);
    expectIdentity(m, 1e-5f);
}

TEST(Matrix4, OrthoProjectionMapsTheRectangleToClipSpace)
{
    Matrix4 m;
    m.translate(3, 3, 3);
    m.setOrthoProjection(Rectangle(0, 0, 800, 600));
    Vector3 topLeft = apply(m, 0, 0, 0);
    Vector3 bottomRight = apply(m, 800, 600, 0);
    EXPECT_FLOAT_EQ(-1.0f, topLeft.x);
    EXPECT_FLOAT_EQ(1.0f, topLeft.y);
    EXPECT_FLOAT_EQ(1.0f, bottomRight.x);
    EXPECT_FLOAT_EQ(-1.0f, bottomRight.y);
    EXPECT_EQ(-2.0f, m.data[10]);
    EXPECT_EQ(1.0f, m.data[15]);

    // The position works as an offset: callers pass (-x, -y) to bring the point (x, y) to the top-left.
    m.setOrthoProjection(Rectangle(-100, -50, 200, 100));
    Vector3 corner = apply(m, 100, 50, 0);
    Vector3 centre = apply(m, 200, 100, 0);
    EXPECT_FLOAT_EQ(-1.0f, corner.x);
    EXPECT_FLOAT_EQ(1.0f, corner.y);
    EXPECT_NEAR(0.0f, centre.x, 1e-6f);
    EXPECT_NEAR(0.0f, centre.y, 1e-6f);
}

TEST(Matrix3, RotationMatchesTheFourByFourRotation)
{
    Matrix3 m;
    EXPECT_EQ(Vector3(1, 2, 3), m.transform(Vector3(1, 2, 3)));

    m.setRotation(Vector3(0, 0, 1), 90);
    Vector3 v = m.transform(Vector3(1, 0, 0));
    EXPECT_NEAR(0.0f, v.x, 1e-6f);
    EXPECT_NEAR(1.0f, v.y, 1e-6f);
    m.setRotation(2, 2, 2, 120);
    v = m.transform(Vector3(0, 1, 0));
    EXPECT_NEAR(0.0f, v.x, 1e-6f);
    EXPECT_NEAR(0.0f, v.y, 1e-6f);
    EXPECT_NEAR(1.0f, v.z, 1e-6f);

    m.setRotation(1, -2, 3, 37);
    Matrix4 m4;
    m4.rotate(1, -2, 3, 37);
    for (int c = 0; c < 3; ++c)
    {
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(m4.data[4 * c + i], m.data[3 * c + i], 1e-6f) << "column " << c << " row " << i;
        }
    }

    // Without an axis nothing is divided by zero: the result only scales by the cosine.
    m.setRotation(Vector3(0, 0, 0), 90);
    for (float f : m.data)
    {
        EXPECT_TRUE(std::isfinite(f));
    }
    v = m.transform(Vector3(1, 1, 1));
    EXPECT_NEAR(0.0f, v.x, 1e-6f);
    // A tiny axis is used as it is rather than normalised.
    m.setRotation(0, 0, 1e-7f, 180);
    EXPECT_NEAR(-1.0f, m.data[0], 1e-6f);
    EXPECT_NEAR(0.0f, m.data[1], 1e-6f);
}
