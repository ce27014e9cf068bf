#include <kavtypes/Spline.h>

#include <gtest/gtest.h>

using kavtypes::Spline;
using kavtypes::Vector2;

namespace
{
    void expectNear(Vector2 expected, Vector2 actual, float tolerance = 1e-2f)
    {
        EXPECT_NEAR((expected - actual).length(), 0.0f, tolerance) << actual.x << ", " << actual.y;
    }

    Spline built(const harray<Vector2>& points, bool closed = false, Vector2 start = Vector2(),
                 Vector2 end = Vector2())
    {
        Spline spline;
        spline.build(points, closed, start, end);
        return spline;
    }
} // namespace

TEST(Spline, StraightTwoPointSplineRunsEvenlyAndWraps)
{
    Spline spline = built({Vector2(0, 0), Vector2(100, 0)});
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
    Spline square = built({Vector2(0, 0), Vector2(100, 0), Vector2(100, 100), Vector2(0, 100)}, true);
    expectNear(Vector2(100, 100), square.calcPosition(0.5));
    expectNear(Vector2(0, 0), square.calcPosition(0.99999));
    // The join at the first corner is smooth.
    Vector2 arriving = (square.calcPosition(0.99999) - square.calcPosition(0.995)).normalised();
    EXPECT_GT(square.calcTangent(0.0).dot(arriving), 0.99f);

    Spline line = built({Vector2(0, 0), Vector2(100, 0), Vector2(200, 0), Vector2(300, 0), Vector2(400, 0)},
                        false, Vector2(0, 50), Vector2(0, 50));
    EXPECT_EQ(5, line.getPointCount());
    EXPECT_GT(line.calcTangent(0.0).y, 0.9f);
}

TEST(Spline, NoOrOnePointAndRebuildsStayInRange)
{
    EXPECT_EQ(Vector2(0, 0), Spline().calcPosition(0.5));
    for (bool closed : {false, true})
    {
        Spline single = built({Vector2(7, 8)}, closed, Vector2(1, 2), Vector2(3, 4));
        EXPECT_EQ(Vector2(7, 8), single.calcPosition(0.6));
        EXPECT_EQ(Vector2(0, 0), single.calcTangent(0.6));
    }
    // A rebuild into a curve without length forgets the former curve's table.
    harray<Vector2> five(
        {Vector2(0, 0), Vector2(100, 0), Vector2(100, 100), Vector2(0, 100), Vector2(-50, 50)});
    Spline spline = built(five);
    spline.build(harray<Vector2>({Vector2(5, 5), Vector2(5, 5)}), false, Vector2(), Vector2());
    EXPECT_EQ(0.0, spline.getLength());
    EXPECT_EQ(Vector2(5, 5), spline.calcPosition(0.9));
    spline.build(harray<Vector2>(), false, Vector2(), Vector2());
    EXPECT_EQ(Vector2(0, 0), spline.calcPosition(0.5));
}

TEST(Spline, AddedPointsExtendTheCurve)
{
    // Grown from nothing, the first and the last point act as guides.
    Spline spline;
    for (Vector2 p : {Vector2(0, 0), Vector2(0, 0), Vector2(100, 0)})
    {
        spline.addPoint(p);
        EXPECT_EQ(Vector2(0, 0), spline.calcPosition(0.5));
    }
    spline.addPoint(Vector2(100, 0));
    EXPECT_NEAR(100.0, spline.getLength(), 1e-4);
    expectNear(Vector2(50, 0), spline.calcPosition(0.5), 1e-4f);

    // On a built spline the former trailing guide joins the curve.
    Spline grown = built({Vector2(0, 0), Vector2(100, 0)}, false, Vector2(), Vector2(0, 10));
    grown.addPoint(Vector2(100, 100));
    EXPECT_EQ(3, grown.getPointCount());
    EXPECT_GT(grown.getLength(), 100.0);
}
