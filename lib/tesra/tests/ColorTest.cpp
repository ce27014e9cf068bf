#include <limits>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesra/Color.h>

using tesra::Color;

// Colours are compared packed, as 0xRRGGBBAA.

TEST(Color, ConstructionAndPacking)
{
    Color color(0x11, 0x22, 0x33, 0x44);
    EXPECT_TRUE(color.r == 0x11 && color.g == 0x22 && color.b == 0x33 && color.a == 0x44);
    EXPECT_EQ(0x11223344u, color.toUInt());
    EXPECT_EQ(color, Color(0x11223344u));
    EXPECT_EQ(0xFFFFFFFFu, Color().toUInt());
    EXPECT_EQ(0x11223399u, Color(color, 0x99).toUInt());
    EXPECT_EQ("FFFFFF", Color().hex(true));
    EXPECT_EQ("0A0B0C0D", Color(10, 11, 12, 13).hex());
}

TEST(Color, ParsesHexText)
{
    EXPECT_EQ(0xFF000080u, Color("0xFF000080").toUInt());
    EXPECT_EQ(0xFF000080u, Color("FF000080").toUInt());
    EXPECT_EQ(0xFF0000FFu, Color(hstring("ff0000")).toUInt());
    EXPECT_EQ(0xABCDEFFFu, Color("0xaBcDeF").toUInt());
    Color color(1, 2, 3, 4);
    for (const char* text : {"0xFFF", "12345G", "", "0X112233", "0x", "1234567", "FF00008", "FF0000800"})
    {
        try
        {
            color.set(hstring(text));
            ADD_FAILURE() << "no exception for '" << text << "'";
        }
        catch (quortypes::exception& e)
        {
            EXPECT_EQ(
                "[Color:132] Color format must be either 0xRRGGBBAA or 0xRRGGBB (with or without 0x prefix)",
                e.getMessage());
        }
        EXPECT_EQ(0x01020304u, color.toUInt()); // left as it was
    }
    EXPECT_THROW(Color("xyz"), quortypes::exception);
}

TEST(Color, ArithmeticSaturatesAndTruncates)
{
    EXPECT_EQ(0x64321980u, (Color(200, 100, 50, 255) * Color(128, 128, 128, 128)).toUInt());
    EXPECT_EQ(0xFFFFFFFFu, (Color() * Color()).toUInt());
    EXPECT_EQ(0xFFFFFFFFu, (Color(200, 200, 200, 200) * 2.0f).toUInt());
    EXPECT_EQ(0x02020202u, (Color(10, 10, 10, 10) / 4.0f).toUInt());
    EXPECT_EQ(0xFFC8966Eu, (Color(200, 100, 50, 10) + Color(100, 100, 100, 100)).toUInt());
    Color color(1, 2, 3, 4);
    color *= 3.0f;
    color += Color(250, 0, 0, 0);
    EXPECT_EQ(0xFD06090Cu, color.toUInt());
    // Negative, huge and non-finite results are clamped before they become integers (under UBSan
    // an unclamped conversion would stop the test).
    EXPECT_EQ(0u, (Color(10, 20, 30, 40) * -1.0f).toUInt());
    EXPECT_EQ(0u, (Color(10, 10, 10, 10) * -1e30f).toUInt());
    EXPECT_EQ(0xFF00FFFFu, (Color(10, 0, 20, 255) / 0.0f).toUInt());
    EXPECT_EQ(0u, (Color(10, 0, 20, 255) / -0.0f).toUInt());
    EXPECT_EQ(0xFF00FFFFu, (Color(10, 0, 20, 255) * std::numeric_limits<float>::infinity()).toUInt());
    EXPECT_EQ(0u, (Color(10, 0, 20, 255) * std::numeric_limits<float>::quiet_NaN()).toUInt());
}
