#include <kavtypes/textForms.h>

#include <quortypes/exception.h>

#include <gtest/gtest.h>

using kavtypes::Rectangle;
using kavtypes::Vector2;

TEST(TextForms, RoundTripsLenientPiecesAndStrictCounts)
{
    EXPECT_EQ("0.500000,0.000000,10.000000,20.000000", kavtypes::rectToString(Rectangle(0.5f, 0, 10, 20)));
    // Values that six decimals carry in full come back exactly.
    Rectangle r(-12345.125f, 99999.5f, 0.015625f, 1e7f);
    EXPECT_EQ(r, kavtypes::stringToRect(kavtypes::rectToString(r)));
    EXPECT_EQ(Vector2(0.5f, -4096.0625f),
              kavtypes::stringToVector2(kavtypes::vector2ToString(Vector2(0.5f, -4096.0625f))));
    EXPECT_EQ(Rectangle(1, 0, 3, 0), kavtypes::stringToRect("  1 ,,   3,abc"));
    for (hstring text : {"1,2,3", "1,2,3,4,"})
    {
        try
        {
            kavtypes::stringToRect(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        }
        catch (const quortypes::exception& e)
        {
            EXPECT_TRUE(
                e.getMessage().endsWith("Cannot convert string '" + text + "' to kavtypes::Rectangle."));
        }
    }
}
