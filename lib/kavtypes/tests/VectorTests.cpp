#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>

#include <gtest/gtest.h>

#include <cmath>

using kavtypes::Vector2;

TEST(Vector2, AnglesAndRotationFollowScreenAxes)
{
    EXPECT_FLOAT_EQ(90.0f, Vector2(0, -1).angle());
    EXPECT_FLOAT_EQ(45.0f, Vector2(2, -2).angle());
    EXPECT_FLOAT_EQ(180.0f, std::fabs(Vector2(-1, 0).angle()));

    Vector2 v(12.5f, -7.25f);
    v.rotate(90);
    EXPECT_NEAR(7.25f, v.x, 1e-5f);
    EXPECT_NEAR(12.5f, v.y, 1e-5f);
}

TEST(Vector2, LengthNormalisingAndCircles)
{
    // Squares beyond the float range still measure, since the length is taken in double.
    EXPECT_FLOAT_EQ(5e20f, Vector2(3e20f, 4e20f).length());
    EXPECT_EQ(Vector2(0, 0), Vector2(0, 0).normalised());

    // The rim counts as inside.
    EXPECT_TRUE(Vector2(13, 14).isInCircle(Vector2(10, 10), 5));
    EXPECT_FALSE(Vector2(13, 14.01f).isInCircle(Vector2(10, 10), 5));
}

TEST(Vector2, CompoundOperatorsReturnACopyOfTheNewValue)
{
    Vector2 a(1, 2);
    Vector2 c = (a += Vector2(4, -8));
    EXPECT_EQ(Vector2(5, -6), c);
    c.x = 100;
    EXPECT_EQ(Vector2(5, -6), a);
    EXPECT_EQ(Vector2(5, -1.5f), (a /= Vector2(1, 4)));
    EXPECT_EQ(Vector2(-5, 6), Vector2(-10, 3) / Vector2(2, 0.5f));
    EXPECT_EQ(kavtypes::Vector3(0, 0, 0), kavtypes::Vector3().normalized());
}
