#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector3.h>

#include <gtest/gtest.h>

using kavtypes::Rectangle;
using kavtypes::Vector2;

TEST(Vector2, ScreenAnglesLengthsCirclesAndCompoundOperators)
{
    EXPECT_FLOAT_EQ(90.0f, Vector2(0, -1).angle());
    Vector2 v = Vector2(12.5f, -7.25f).rotated(90);
    EXPECT_NEAR((v - Vector2(7.25f, 12.5f)).length(), 0.0f, 1e-5f);
    // Squares beyond the float range still measure, since the length is taken in double.
    EXPECT_FLOAT_EQ(5e20f, Vector2(3e20f, 4e20f).length());
    EXPECT_EQ(Vector2(0, 0), Vector2(0, 0).normalised());
    EXPECT_EQ(kavtypes::Vector3(0, 0, 0), kavtypes::Vector3().normalized());
    // The rim counts as inside.
    EXPECT_TRUE(Vector2(13, 14).isInCircle(Vector2(10, 10), 5));

    Vector2 a(1, 2);
    a += Vector2(4, -8);
    EXPECT_EQ(Vector2(5, -6), a);
}

TEST(Rectangle, HalfOpenEdgesMovesAndScales)
{
    Rectangle r(0, 0, 10, 10);
    EXPECT_TRUE(r.isPointInside(Vector2(0, 0)));
    EXPECT_FALSE(r.isPointInside(Vector2(10, 5)));
    EXPECT_FALSE(r.isPointInside(Vector2(5, 10)));
    EXPECT_FALSE(r.intersects(Rectangle(10, 0, 5, 5)));
    EXPECT_TRUE(r.intersects(Rectangle(9.5f, 0, 5, 5)));

    r.set(10, 20, 30, 40);
    EXPECT_EQ(Rectangle(10, 20, 15, 120), r * Vector2(0.5f, 3));
    EXPECT_EQ(Rectangle(5, 15, 30, 40), (r -= Vector2(5, 5)));
    EXPECT_EQ(Rectangle(5, 15, 30, 40), r);
}
