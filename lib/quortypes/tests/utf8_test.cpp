#include <gtest/gtest.h>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include <cstring>
#include <iconv.h>
#include <memory>

#include "../src/utf8.h"

// glibc's converter is the reference for valid scalar values.
static std::string iconvEncode(iconv_t converter, unsigned int codePoint)
{
    char output[8];
    char* in = (char*)&codePoint;
    char* out = output;
    size_t inLeft = 4, outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == (size_t)-1)
    {
        return "<iconv error>";
    }
    return std::string(output, out - output);
}

TEST(utf8, everyCodePointRoundTripsAndMatchesIconv)
{
    iconv_t converter = iconv_open("UTF-8", "UTF-32LE");
    ASSERT_NE(converter, (iconv_t)-1);
    std::unique_ptr<void, int (*)(iconv_t)> closer(converter, iconv_close);
    int mismatches = 0;
    for (unsigned int c = 1; c <= 0x10FFFF && mismatches < 5; ++c)
    {
        hstring encoded = hstring::fromUnicode(c);
        int length = 0;
        bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        if (encoded.unicodeCharAt(0, &length) != c || length != encoded.size() ||
            encoded.toUnicode() != ustring(1, c) || (!surrogate && iconvEncode(converter, c) != encoded))
        {
            ++mismatches;
            ADD_FAILURE() << std::hex << "code point " << c;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(utf8, encodingRules)
{
    EXPECT_EQ(hstring::fromUnicode(0x20ACu), "\xE2\x82\xAC");
    EXPECT_EQ(hstring::fromUnicode(0u), "");
    EXPECT_EQ(hstring::fromUnicode(0x80000000u), "");
    EXPECT_EQ(hstring::fromUnicode(0x7FFFFFFFu), "\xFD\xBF\xBF\xBF\xBF\xBF");
    EXPECT_EQ(hstring::fromUnicode(0x200000u), "\xF8\x88\x80\x80\x80");
    const unsigned int zeroTerminated[] = {'a', 0x80000000u, 0xE9, 0};
    EXPECT_EQ(hstring::fromUnicode(zeroTerminated), "a\xC3\xA9");
    EXPECT_EQ(hstring::fromUnicode(harray<unsigned int>({'x', 0xFFFFFFFFu, 0x20AC})), "x\xE2\x82\xAC");
    // zero elements add nothing rather than a zero byte inside the text
    EXPECT_EQ(hstring::fromUnicode(harray<unsigned int>({0x41, 0, 0x42})), "AB");
    EXPECT_EQ(hstring::fromUnicode(ustring({0, 0x41, 0})), "A");
    // 16-bit units are encoded one by one: a surrogate pair gives two sequences
    EXPECT_EQ(hstring::fromUnicode(u"\u00e9\U0001F600"), "\xC3\xA9\xED\xA0\xBD\xED\xB8\x80");
}

TEST(utf8, decodingCountsAndSubstrings)
{
    hstring text("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(text.utf8Size(), 5);
    EXPECT_EQ(text.toUnicode(), ustring({'a', 0xE9, 0x20AC, 0x1F600, 'z'}));
    EXPECT_EQ(text.utf8SubString(1, 2), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(text.utf8SubString(3, 100), "\xF0\x9F\x98\x80z");
    // decoding stops at the first zero byte
    hstring withZero("ab\0cd", 5);
    EXPECT_EQ(withZero.utf8Size(), 2);
    EXPECT_EQ(withZero.toUnicode(), ustring({'a', 'b'}));
    // a stray continuation byte takes four bytes, as the lead byte says
    EXPECT_EQ(hstring("\x80xyzw").utf8Size(), 2);
}

TEST(utf8, truncatedSequencesStayInsideTheText)
{
    // Every lead byte on heap buffers of exactly the bytes the decoder may read: any read past them is
    // an AddressSanitizer error.
    for (unsigned int lead = 0; lead < 256; ++lead)
    {
        for (size_t available = 1; available <= 4; ++available)
        {
            std::unique_ptr<unsigned char[]> bytes(new unsigned char[available]);
            memset(bytes.get(), 0xBF, available);
            bytes[0] = (unsigned char)lead;
            int length = 0;
            quortypes::utf8::decode(bytes.get(), available, &length);
            EXPECT_TRUE(length >= 1 && (size_t)length <= available) << lead;
        }
    }
    // A text that ends inside a sequence: the tail counts as one character of the bytes present.
    hstring cut("a\xE2\x82");
    EXPECT_EQ(cut.utf8Size(), 2);
    EXPECT_EQ(cut.toUnicode(), ustring({'a', 0x2080}));
    EXPECT_EQ(cut.utf8SubString(1, 5), "\xE2\x82");
    // a zero byte inside a sequence ends it
    int length = 0;
    EXPECT_EQ(hstring("\xE2\0\x82\xAC", 4).unicodeCharAt(0, &length), 0x2000u);
    EXPECT_EQ(length, 1);
}
