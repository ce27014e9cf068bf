#include <limits>
#include <string>

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

// Every form the one parser reads, with and without the "0x" prefix allowed: the colour after a read,
// and that a refused text leaves the colour as it was.
TEST(Color, TrySetAndIsHexReadTheSameForms)
{
    struct Row
    {
        const char* text;
        bool allowPrefix;
        bool read;
        unsigned int packed;
    };
    const Row rows[] = {
        {"FF000080", true, true, 0xFF000080u},
        {"FF000080", false, true, 0xFF000080u},
        {"ff0000", true, true, 0xFF0000FFu},
        {"ff0000", false, true, 0xFF0000FFu},
        {"0xaBcDeF", true, true, 0xABCDEFFFu},
        {"0x11223344", true, true, 0x11223344u},
        {"0xaBcDeF", false, false, 0},
        {"0x11223344", false, false, 0},
        {"0X112233", true, false, 0},
        {"0x", true, false, 0},
        {"", true, false, 0},
        {"", false, false, 0},
        {"12345G", true, false, 0},
        {"12345G", false, false, 0},
        {"FFF", false, false, 0},
        {"1234567", false, false, 0},
        {"FF0000800", false, false, 0},
        {"#FF0000", true, false, 0},
        {"0x0x1122", true, false, 0},
        {" 112233", false, false, 0},
        {"_3C2314", false, false, 0},
        {"3C2314", false, true, 0x3C2314FFu},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(std::string(row.text) + (row.allowPrefix ? " (prefix allowed)" : ""));
        EXPECT_EQ(row.read, Color::isHex(row.text, row.allowPrefix));
        Color color(1, 2, 3, 4);
        EXPECT_EQ(row.read, color.trySet(row.text, row.allowPrefix));
        EXPECT_EQ(row.read ? row.packed : 0x01020304u, color.toUInt());
        if (row.allowPrefix)
        {
            // set() reads exactly what trySet() reads with the prefix allowed.
            Color thrown(1, 2, 3, 4);
            if (row.read)
            {
                thrown.set(hstring(row.text));
                EXPECT_EQ(row.packed, thrown.toUInt());
            }
            else
            {
                EXPECT_THROW(thrown.set(hstring(row.text)), quortypes::exception);
            }
        }
    }
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
