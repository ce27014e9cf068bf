#include <kavtypes/Spline.h>

#include <gtest/gtest.h>

using kavtypes::Spline;
using kavtypes::Vector2;

namespace
{
    void expectNear(Vector2 expected, Vector2 actual, float tolerance = 1e-2f)
    {
        EXPECT_NEAR(expected.x, actual.x, tolerance);
        EXPECT_NEAR(expected.y, actual.y, tolerance);
    }
} // namespace

TEST(Spline, StraightTwoPointSplineRunsEvenlyAndWraps)
{
    Spline spline;
    spline.build(harray<Vector2>({Vector2(0, 0), Vector2(100, 0)}), false, Vector2(), Vector2());
    EXPECT_NEAR(100.0, spline.getLength(), 1e-4);
    expectNear(Vector2(50, 0), spline.calcPosition(0.5), 1e-4f);
    expectNear(spline.calcPosition(0.25), spline.calcPosition(1.25), 1e-4f);
    // 1 itself has come round to the start, and so has anything the curve does not reach.
    EXPECT_EQ(Vector2(0, 0), spline.calcPosition(1.0));
    EXPECT_EQ(Vector2(0, 0), spline.calcPosition(-0.5));
    expectNear(Vector2(0, 1), spline.calcNormal(0.3), 1e-5f);
    // Near the end the second sample has wrapped, so the tangent points back to the start.
    expectNear(Vector2(-1, 0), spline.calcTangent(0.995), 1e-5f);
}

TEST(Spline, ClosedSquareAndTangentsShapeTheCurve)
{
    Spline square;
    square.build(harray<Vector2>({Vector2(0, 0), Vector2(100, 0), Vector2(100, 100), Vector2(0, 100)}), true,
                 Vector2(), Vector2());
    expectNear(Vector2(100, 100), square.calcPosition(0.5));
    expectNear(Vector2(0, 0), square.calcPosition(0.99999));
    // The join at the first corner is smooth.
    Vector2 arriving = (square.calcPosition(0.99999) - square.calcPosition(0.995)).normalised();
    EXPECT_GT(square.calcTangent(0.0).dot(arriving), 0.99f);

    Spline line;
    line.build(
        harray<Vector2>({Vector2(0, 0), Vector2(100, 0), Vector2(200, 0), Vector2(300, 0), Vector2(400, 0)}),
        false, Vector2(0, 50), Vector2(0, 50));
    EXPECT_GT(line.calcTangent(0.0).y, 0.9f);
    EXPECT_GT((line.calcPosition(0.99999) - line.calcPosition(0.999)).normalised().y, 0.9f);
    expectNear(Vector2(400, 0), line.calcPosition(0.99999));
}

TEST(Spline, EmptyAndSinglePointSplinesStayInRange)
{
    Spline empty;
    EXPECT_EQ(Vector2(0, 0), empty.calcPosition(0.5));
    EXPECT_EQ(0.0, empty.getLength());

    for (bool closed : {false, true})
    {
        Spline single;
        single.build(harray<Vector2>({Vector2(7, 8)}), closed, Vector2(1, 2), Vector2(3, 4));
        EXPECT_EQ(0.0, single.getLength());
        EXPECT_EQ(Vector2(7, 8), single.calcPosition(0.6));
        EXPECT_EQ(Vector2(0, 0), single.calcTangent(0.6));
    }
}

TEST(Spline, RebuildingForgetsTheFormerCurve)
{
    Spline spline;
    harray<Vector2> five = harray<Vector2>(
        {Vector2(0, 0), Vector2(100, 0), Vector2(100, 100), Vector2(0, 100), Vector2(-50, 50)});
    spline.build(five, false, Vector2(), Vector2());
    spline.build(harray<Vector2>({Vector2(5, 5), Vector2(5, 5)}), false, Vector2(), Vector2());
    EXPECT_EQ(0.0, spline.getLength());
    EXPECT_EQ(Vector2(5, 5), spline.calcPosition(0.1));
    EXPECT_EQ(Vector2(5, 5), spline.calcPosition(0.9));
    spline.build(five, false, Vector2(), Vector2());
    spline.build(harray<Vector2>(), false, Vector2(), Vector2());
    EXPECT_EQ(0, spline.getPointCount());
    EXPECT_EQ(Vector2(0, 0), spline.calcPosition(0.5));
}

TEST(Spline, AddedPointsExtendTheCurve)
{
    // Grown from nothing, the first and the last point act as guides.
    Spline spline;
    spline.addPoint(Vector2(0, 0));
    EXPECT_EQ(Vector2(0, 0), spline.calcPosition(0.5));
    spline.addPoint(Vector2(0, 0));
    EXPECT_EQ(Vector2(0, 0), spline.calcTangent(0.5));
    spline.addPoint(Vector2(100, 0));
    EXPECT_EQ(1, spline.getPointCount());
    spline.addPoint(Vector2(100, 0));
    EXPECT_NEAR(100.0, spline.getLength(), 1e-4);
    expectNear(Vector2(50, 0), spline.calcPosition(0.5), 1e-4f);

    // On a built spline the former trailing guide joins the curve.
    Spline built;
    built.build(harray<Vector2>({Vector2(0, 0), Vector2(100, 0)}), false, Vector2(), Vector2(0, 10));
    built.addPoint(Vector2(100, 100));
    EXPECT_EQ(3, built.getPointCount());
    EXPECT_GT(built.getLength(), 100.0);
}
