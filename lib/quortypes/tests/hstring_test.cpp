#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <stdexcept>

using pieces = harray<hstring>;

TEST(hstring, constructionAndConversions)
{
    EXPECT_EQ(hstring((const char*)nullptr), "");
    EXPECT_EQ(hstring(1.5f), "1.500000");
    // a double's full text is far longer than a small fixed buffer
    char reference[400];
    snprintf(reference, sizeof(reference), "%f", 1e300);
    EXPECT_EQ(hstring(1e300), reference);

    EXPECT_EQ(hstring("12abc").toInt(), 12);
    EXPECT_FALSE(hstring("").toBool());
    EXPECT_FALSE(hstring("0").toBool());
    EXPECT_FALSE(hstring("FaLsE").toBool());
    EXPECT_TRUE(hstring("false ").toBool());
    EXPECT_TRUE(hstring("00").toBool());

    EXPECT_EQ(hstring("ff").hexValue(), 255u);
    EXPECT_EQ(hstring("FFFFFFFF").hexValue(), 0xFFFFFFFFu);
    EXPECT_EQ(hstring("0x1F").hexValue(), 0u);
    EXPECT_TRUE(hstring("-").isNumber());
    EXPECT_TRUE(hstring(".").isNumber());
    EXPECT_FALSE(hstring("1.2.3").isNumber());
    EXPECT_FALSE(hstring("1e5").isNumber());
    EXPECT_FALSE(hstring("12").isNumeric(true));
    EXPECT_TRUE(hstring("12.").isNumeric(true));
}

// Plain decimals take a shorter way than the scanner: every text gives what the scanner gives.
TEST(hstring, numbersConvertAsTheScannerDoes)
{
    const char* const texts[] = {"0",
                                 "-0",
                                 "7",
                                 "-42",
                                 "123456789",
                                 "1234567890",
                                 "-2147483648",
                                 "2147483647",
                                 "12abc",
                                 " 12",
                                 "+5",
                                 "-",
                                 "",
                                 "1.5",
                                 "-0.25",
                                 ".5",
                                 "5.",
                                 "-.5",
                                 "1.2.3",
                                 "1e3",
                                 "3.14159265358979",
                                 "0.1",
                                 "16777217",
                                 "1e40",
                                 "nan",
                                 "0x10",
                                 "340282346638528859811704183484516925440.0"};
    for (const char* text : texts)
    {
        int scannedInt = 0;
        if (sscanf(text, "%d", &scannedInt) != 1)
        {
            scannedInt = 0;
        }
        float scannedFloat = 0.0f;
        if (sscanf(text, "%f", &scannedFloat) != 1)
        {
            scannedFloat = 0.0f;
        }
        // Past the ends of int the scanner's result is undefined; those stop at the ends (the test below).
        const long long wide = strtoll(text, nullptr, 10);
        if (wide >= INT_MIN && wide <= INT_MAX)
        {
            EXPECT_EQ(hstring(text).toInt(), scannedInt) << text;
        }
        const float converted = hstring(text).toFloat();
        if (scannedFloat != scannedFloat)
        {
            EXPECT_NE(converted, converted) << text;
        }
        else
        {
            EXPECT_EQ(memcmp(&converted, &scannedFloat, sizeof(float)), 0) << text;
        }
    }
}

// Past either end of int a text reads as that end (the scanner's own result there is undefined and wraps to
// the other sign), and a hex text past an unsigned int as its greatest value.
TEST(hstring, numbersPastTheEndsOfIntStopThere)
{
    const struct
    {
        const char* text;
        int value;
    } rows[] = {
        {"2147483648", INT_MAX},
        {"99999999999", INT_MAX},
        {"-2147483649", INT_MIN},
        {"-99999999999", INT_MIN},
        {"99999999999999999999999", INT_MAX},
        {" 2147483648x", INT_MAX},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(hstring(row.text).toInt(), row.value) << row.text;
    }
    EXPECT_EQ(hstring("123456789").hexValue(), 0xFFFFFFFFu);
    EXPECT_EQ(hstring("00000000FF").hexValue(), 255u);
    EXPECT_EQ(hstring("ffffffffffffffffffff").hexValue(), 0xFFFFFFFFu);
}

// Equality goes by length and bytes: a zero byte inside a text is part of it, a null pointer is "".
TEST(hstring, equalityByLengthAndBytes)
{
    const hstring withZero(std::string("ab\0c", 4));
    EXPECT_FALSE(withZero == "ab");
    EXPECT_TRUE(withZero == std::string("ab\0c", 4));
    EXPECT_FALSE(withZero == std::string("ab\0d", 4));
    EXPECT_TRUE(hstring("") == (const char*)nullptr);
    EXPECT_FALSE(hstring("a") == (const char*)nullptr);
    EXPECT_TRUE(hstring("abc") == hstring("abc"));
    EXPECT_FALSE(hstring("abc") == hstring("abd"));
    EXPECT_FALSE(hstring("abc") == "abcd");
    EXPECT_TRUE("abc" == hstring("abc"));
}

TEST(hstring, accessThrowsInvalidStringPosition)
{
    const hstring s("abc");
    EXPECT_EQ(s.charAt(1), "b");
    for (int bad : {3, -1})
    {
        try
        {
            (void)s[bad];
            ADD_FAILURE() << "no error";
        }
        catch (const std::out_of_range& e)
        {
            EXPECT_STREQ(e.what(), "invalid string position");
        }
    }
    EXPECT_THROW(s.charAt(3), std::out_of_range);
    EXPECT_THROW(s.subString(4, 1), std::out_of_range);
    EXPECT_EQ(s.subString(3, 5), "");
    EXPECT_EQ(s.subString(1, 100), "bc");
}

TEST(hstring, searchAndSlices)
{
    hstring s("abcabc");
    EXPECT_EQ(s.find("bc", 2), 4);
    EXPECT_EQ(s.find("", 6), 6);
    EXPECT_EQ(s.find("", 7), -1);
    EXPECT_EQ(s.rfind("bc", 3), 1);
    EXPECT_EQ(s.rfind("", 100), 6);
    EXPECT_FALSE(s.startsWith("abcabcd"));
    EXPECT_FALSE(s.endsWith("xabcabc"));
    EXPECT_EQ(s.slice(0, -1), s);
    EXPECT_EQ(s.slice(0, -2), "abcab");
}

TEST(hstring, transformations)
{
    EXPECT_EQ(hstring("AbC\xC3\x89z").lowered(), "abc\xC3\x89z");
    EXPECT_EQ(hstring("AbC\xC3\xA9z").uppered(), "ABC\xC3\xA9Z");
    EXPECT_EQ(hstring("xxaxx").ltrimmed('x'), "axx");
    EXPECT_EQ(hstring("xxaxx").rtrimmed('x'), "xxa");
    EXPECT_EQ(hstring("aaa").replaced("aa", "b"), "ba");
    EXPECT_EQ(hstring("abab").replaced("a", "aa"), "aabaab");
    EXPECT_EQ(hstring("abc").replaced("", "x"), "abc");
}

TEST(hstring, split)
{
    hstring s("a,,b");
    EXPECT_EQ(s.split(","), pieces({"a", "", "b"}));
    EXPECT_EQ(s.split(',', -1, true), pieces({"a", "b"}));
    EXPECT_EQ(s.split(",", 1), pieces({"a", ",b"}));
    EXPECT_EQ(hstring("").split(","), pieces({""}));
    EXPECT_EQ(hstring("").split(",", -1, true), pieces());
    // an empty delimiter matches nowhere rather than everywhere
    EXPECT_EQ(hstring("abc").split(""), pieces({"abc"}));

    hstring left = "L", right = "R";
    EXPECT_FALSE(hstring("abc").split("=", left, right));
    EXPECT_EQ(left + right, "LR");
    EXPECT_TRUE(hstring("k=v=w").rsplit("=", left, right));
    EXPECT_EQ(left + "|" + right, "k=v|w");
    // the result may be written into the string being split
    hstring self("x:y");
    EXPECT_TRUE(self.split(":", self, right));
    EXPECT_EQ(self + "|" + right, "x|y");
}

TEST(hstring, rsplit)
{
    EXPECT_EQ(hstring("a.b.c").rsplit(".", 1), pieces({"a.b", "c"}));
    EXPECT_EQ(hstring("a.b.c").rsplit('.', 5), pieces({"a", "b", "c"}));
    EXPECT_EQ(hstring("").rsplit(".", 1), pieces({""}));
    // the matches at the first and second bytes count like any other
    EXPECT_EQ(hstring("..x").rsplit(".", 1), pieces({".", "x"}));
    EXPECT_EQ(hstring(".x").rsplit(".", 1), pieces({"", "x"}));
    EXPECT_EQ(hstring(".").rsplit(".", 1, true), pieces());
    EXPECT_EQ(hstring("a::b::c").rsplit("::", 1), pieces({"a::b", "c"}));
    // the search steps back one byte at a time, so overlapping matches count
    EXPECT_EQ(hstring("aaaa").rsplit("aa", 2), pieces({"a", "a"}));
    EXPECT_EQ(hstring("a..b...c").rsplit("..", 2), pieces({"a..b", ".c"}));
    EXPECT_EQ(hstring("aaa").rsplit("aa", 3), pieces({"", "a"}));
}

TEST(hstring, formatString)
{
    EXPECT_EQ(formatString("%s-%03d", "x", 7), "x-007");
    // longer than any fixed buffer: every byte arrives
    hstring big = formatString("%40000d", 1);
    EXPECT_EQ(big.size(), 40000);
    EXPECT_EQ(big.back(), '1');
    EXPECT_EQ(formatString("%255d|", 1).size(), 256);
    // the text ends at its first zero byte
    EXPECT_EQ(formatString("a%cb", 0), "a");
}
