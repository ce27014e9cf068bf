#include <kavtypes/Rectangle.h>

#include <gtest/gtest.h>

using kavtypes::Rectangle;
using kavtypes::Vector2;

TEST(Rectangle, RightAndBottomEdgesAreOutside)
{
    Rectangle r(0, 0, 10, 10);
    EXPECT_TRUE(r.isPointInside(Vector2(0, 0)));
    EXPECT_TRUE(r.isPointInside(Vector2(9.999f, 9.999f)));
    EXPECT_FALSE(r.isPointInside(Vector2(10, 5)));
    EXPECT_FALSE(r.isPointInside(Vector2(5, 10)));
    EXPECT_FALSE(Rectangle(3, 3, 0, 0).isPointInside(Vector2(3, 3)));

    EXPECT_FALSE(r.intersects(Rectangle(10, 0, 5, 5)));
    EXPECT_FALSE(r.intersects(Rectangle(0, -5, 5, 5)));
    EXPECT_TRUE(r.intersects(Rectangle(9.5f, 0, 5, 5)));
}

TEST(Rectangle, MovingMovesThePositionAndScalingTheSize)
{
    Rectangle r(10, 20, 30, 40);
    EXPECT_EQ(Vector2(25, 40), r.getCenter());
    EXPECT_EQ(Rectangle(11, 18, 30, 40), r + Vector2(1, -2));
    EXPECT_EQ(Rectangle(10, 20, 15, 120), r * Vector2(0.5f, 3));
    EXPECT_EQ(Rectangle(5, 15, 30, 40), (r -= Vector2(5, 5)));
    EXPECT_EQ(Rectangle(5, 15, 30, 40), r);
}
