#include <limits>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesra/Color.h>

using tesra::Color;

namespace
{
    void expectColor(const Color& color, int r, int g, int b, int a)
    {
        EXPECT_EQ(r, color.r);
        EXPECT_EQ(g, color.g);
        EXPECT_EQ(b, color.b);
        EXPECT_EQ(a, color.a);
    }
} // namespace

TEST(Color, ConstructionAndPacking)
{
    expectColor(Color(), 255, 255, 255, 255);
    expectColor(Color(0x11223344u), 0x11, 0x22, 0x33, 0x44);
    expectColor(Color(Color(1, 2, 3, 4), 99), 1, 2, 3, 99);
    EXPECT_EQ(0x11223344u, Color(0x11, 0x22, 0x33, 0x44).toUInt());
    EXPECT_EQ("FFFFFF", Color().hex(true));
    EXPECT_EQ("0A0B0C0D", Color(10, 11, 12, 13).hex());
}

TEST(Color, ParsesHexText)
{
    expectColor(Color("0xFF000080"), 255, 0, 0, 128);
    expectColor(Color(hstring("ff0000")), 255, 0, 0, 255);
    expectColor(Color("0xaBcDeF"), 0xAB, 0xCD, 0xEF, 255);
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
            EXPECT_TRUE(e.getMessage().endsWith(
                "Color format must be either 0xRRGGBBAA or 0xRRGGBB (with or without 0x prefix)"))
                << e.getMessage();
        }
        expectColor(color, 1, 2, 3, 4);
    }
    EXPECT_THROW(Color("xyz"), quortypes::exception);
}

TEST(Color, ArithmeticSaturatesAndTruncates)
{
    expectColor(Color(200, 100, 50, 255) * Color(128, 128, 128, 128), 100, 50, 25, 128);
    expectColor(Color(255, 255, 255, 255) * Color(255, 255, 255, 255), 255, 255, 255, 255);
    expectColor(Color(200, 200, 200, 200) * 2.0f, 255, 255, 255, 255);
    expectColor(Color(10, 10, 10, 10) / 4.0f, 2, 2, 2, 2);
    expectColor(Color(10, 20, 30, 40) * -1.0f, 0, 0, 0, 0);
    expectColor(Color(200, 100, 50, 10) + Color(100, 100, 100, 100), 255, 200, 150, 110);
    Color color(1, 2, 3, 4);
    color *= 3.0f;
    color += Color(250, 0, 0, 0);
    expectColor(color, 253, 6, 9, 12);
}

TEST(Color, NonFiniteFactorsDoNotOverflow)
{
    // Out-of-range and non-finite results are clamped before they become integers (under UBSan
    // an unclamped conversion would stop the test).
    expectColor(Color(10, 0, 20, 255) / 0.0f, 255, 0, 255, 255);
    expectColor(Color(10, 0, 20, 255) / -0.0f, 0, 0, 0, 0);
    expectColor(Color(10, 0, 20, 255) * std::numeric_limits<float>::infinity(), 255, 0, 255, 255);
    expectColor(Color(10, 0, 20, 255) * std::numeric_limits<float>::quiet_NaN(), 0, 0, 0, 0);
    expectColor(Color(10, 10, 10, 10) * -1e30f, 0, 0, 0, 0);
}
