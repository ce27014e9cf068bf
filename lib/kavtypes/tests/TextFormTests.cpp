#include <kavtypes/textForms.h>

#include <quortypes/exception.h>

#include <gtest/gtest.h>

using kavtypes::Rectangle;
using kavtypes::Vector2;

TEST(TextForms, RectanglesAndVectorsRoundTrip)
{
    EXPECT_EQ("0.500000,0.000000,10.000000,20.000000", kavtypes::rectToString(Rectangle(0.5f, 0, 10, 20)));
    // Values that six decimals carry in full come back exactly.
    for (const Rectangle& r : {Rectangle(), Rectangle(-12345.125f, 99999.5f, 0.015625f, 1e7f),
                               Rectangle(0.1f, 123.456f, -7.75f, 3.3f)})
    {
        EXPECT_EQ(r, kavtypes::stringToRect(kavtypes::rectToString(r))) << kavtypes::rectToString(r);
    }
    Vector2 v(0.3f, -4096.0625f);
    EXPECT_EQ(v, kavtypes::stringToVector2(kavtypes::vector2ToString(v)));
}

TEST(TextForms, PiecesAreLenientButTheirCountIsStrict)
{
    EXPECT_EQ(Rectangle(1, 2.5f, 3, 4), kavtypes::stringToRect("  1 ,2.5,   3,4  "));
    EXPECT_EQ(Rectangle(1, 0, 3, 0), kavtypes::stringToRect("1,,3,abc"));
    EXPECT_EQ(Vector2(-2, 7), kavtypes::stringToVector2(" -2 , 7"));

    for (hstring text : {"1,2,3", "1,2,3,4,", "", "1;2;3;4"})
    {
        try
        {
            kavtypes::stringToRect(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        }
        catch (const quortypes::exception& e)
        {
            EXPECT_TRUE(
                e.getMessage().endsWith("Cannot convert string '" + text + "' to kavtypes::Rectangle."))
                << e.getMessage();
        }
    }
    EXPECT_THROW(kavtypes::stringToVector2("1,2,3"), quortypes::exception);
}
