#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>

#include <gtest/gtest.h>

#include <cmath>

using kavtypes::Vector2;
using kavtypes::Vector3;

TEST(Vector2, AngleCountsCounterClockwiseOnScreen)
{
    EXPECT_FLOAT_EQ(0.0f, Vector2(1, 0).angle());
    EXPECT_FLOAT_EQ(90.0f, Vector2(0, -1).angle());
    EXPECT_FLOAT_EQ(-90.0f, Vector2(0, 1).angle());
    EXPECT_FLOAT_EQ(180.0f, std::fabs(Vector2(-1, 0).angle()));
    EXPECT_FLOAT_EQ(45.0f, Vector2(2, -2).angle());
}

TEST(Vector2, RotationTurnsTowardsPositiveY)
{
    Vector2 r = Vector2(1, 0).rotated(90);
    EXPECT_NEAR(0.0f, r.x, 1e-6f);
    EXPECT_NEAR(1.0f, r.y, 1e-6f);
    r = Vector2(3, 4).rotated(-180);
    EXPECT_NEAR(-3.0f, r.x, 1e-5f);
    EXPECT_NEAR(-4.0f, r.y, 1e-5f);
    // A full turn keeps the length and comes back to the start.
    Vector2 v(12.5f, -7.25f);
    Vector2 back = v.rotated(30).rotated(150).rotated(180);
    EXPECT_NEAR(v.x, back.x, 1e-4f);
    EXPECT_NEAR(v.y, back.y, 1e-4f);
    v.rotate(90);
    EXPECT_NEAR(7.25f, v.x, 1e-5f);
    EXPECT_NEAR(12.5f, v.y, 1e-5f);
}

TEST(Vector2, LengthAndNormalising)
{
    EXPECT_FLOAT_EQ(5.0f, Vector2(3, 4).length());
    EXPECT_FLOAT_EQ(25.0f, Vector2(3, -4).squaredLength());
    EXPECT_FLOAT_EQ(-5.0f, Vector2(3, 4).dot(Vector2(1, -2)));
    // Squares beyond the float range still measure, since the length is taken in double.
    EXPECT_FLOAT_EQ(5e20f, Vector2(3e20f, 4e20f).length());

    EXPECT_EQ(Vector2(0, 0), Vector2(0, 0).normalised());
    Vector2 n = Vector2(0, -8).normalised();
    EXPECT_FLOAT_EQ(0.0f, n.x);
    EXPECT_FLOAT_EQ(-1.0f, n.y);
    Vector2 v(6, 8);
    v.normalise();
    EXPECT_FLOAT_EQ(0.6f, v.x);
    EXPECT_FLOAT_EQ(0.8f, v.y);
    Vector2 zero;
    zero.normalise();
    EXPECT_TRUE(zero.isZero());
    EXPECT_FALSE(Vector2(0, 1e-30f).isZero());
}

TEST(Vector2, ArithmeticAndCompoundOperatorsReturnTheNewValue)
{
    Vector2 a(1, 2);
    Vector2 b(4, -8);
    EXPECT_EQ(Vector2(5, -6), a + b);
    EXPECT_EQ(Vector2(-3, 10), a - b);
    EXPECT_EQ(Vector2(-1, -2), -a);
    EXPECT_EQ(Vector2(4, -16), a * b);
    EXPECT_EQ(Vector2(4, -4), b / a);
    EXPECT_EQ(Vector2(3, 6), a * 3.0f);
    EXPECT_EQ(Vector2(2, -4), b / 2.0f);

    Vector2 c = (a += b);
    EXPECT_EQ(Vector2(5, -6), a);
    EXPECT_EQ(a, c);
    c = (a -= b);
    EXPECT_EQ(Vector2(1, 2), c);
    c = (a *= Vector2(2, 3));
    EXPECT_EQ(Vector2(2, 6), c);
    c = (a /= Vector2(2, 3));
    EXPECT_EQ(Vector2(1, 2), c);
    c = (a *= 4.0f);
    EXPECT_EQ(Vector2(4, 8), c);
    c = (a /= 8.0f);
    EXPECT_EQ(Vector2(0.5f, 1), c);
    // The copy is not an alias of the vector.
    c.x = 100;
    EXPECT_EQ(0.5f, a.x);
    EXPECT_NE(a, c);
    a.set(7, 9);
    EXPECT_EQ(Vector2(7, 9), a);
}

TEST(Vector2, CircleRimCountsAsInside)
{
    Vector2 centre(10, 10);
    EXPECT_TRUE(Vector2(13, 14).isInCircle(centre, 5));
    EXPECT_TRUE(Vector2(10, 10).isInCircle(centre, 0));
    EXPECT_FALSE(Vector2(13, 14.01f).isInCircle(centre, 5));
}

TEST(Vector3, ArithmeticAndNormalising)
{
    Vector3 a(1, 2, 2);
    EXPECT_FLOAT_EQ(3.0f, a.length());
    EXPECT_FLOAT_EQ(9.0f, a.squaredLength());
    Vector3 n = a.normalized();
    EXPECT_FLOAT_EQ(1.0f / 3, n.x);
    EXPECT_FLOAT_EQ(2.0f / 3, n.z);
    EXPECT_EQ(Vector3(0, 0, 0), Vector3().normalized());
    EXPECT_EQ(Vector3(2, 4, 4), a * 2.0f);
    EXPECT_EQ(Vector3(0, 0, 0), a - a);
    Vector3 c = (a += Vector3(1, 1, 1));
    EXPECT_EQ(Vector3(2, 3, 3), a);
    EXPECT_EQ(a, c);
    EXPECT_EQ(Vector3(4, 6, 6), a + c);
    c.set(-1, 0, 5);
    EXPECT_EQ(Vector3(-1, 0, 5), c);
}
