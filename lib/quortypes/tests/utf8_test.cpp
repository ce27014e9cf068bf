#include <gtest/gtest.h>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

#include "../src/utf8.h"

// Encodes with glibc's converter: the reference for valid scalar values.
static std::string iconvEncode(iconv_t converter, unsigned int codePoint)
{
    char input[4];
    memcpy(input, &codePoint, 4);
    char output[8];
    char* in = input;
    char* out = output;
    size_t inLeft = 4, outLeft = sizeof(output);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == (size_t)-1)
    {
        return "<iconv error " + std::to_string(errno) + ">";
    }
    return std::string(output, out - output);
}

TEST(utf8, everyCodePointRoundTripsAndMatchesIconv)
{
    iconv_t converter = iconv_open("UTF-8", "UTF-32LE");
    ASSERT_NE(converter, (iconv_t)-1);
    std::unique_ptr<void, int (*)(iconv_t)> closer(converter, iconv_close);
    int mismatches = 0;
    for (unsigned int c = 1; c <= 0x10FFFF; ++c)
    {
        hstring encoded = hstring::fromUnicode(c);
        int length = 0;
        unsigned int decoded = encoded.unicodeCharAt(0, &length);
        if (decoded != c || length != encoded.size() || encoded.utf8Size() != 1)
        {
            ASSERT_LT(++mismatches, 5) << "too many";
            ADD_FAILURE() << std::hex << "round trip of " << c;
        }
        ustring decodedText = encoded.toUnicode();
        if (decodedText.size() != 1 || decodedText[0] != c)
        {
            ASSERT_LT(++mismatches, 5) << "too many";
            ADD_FAILURE() << std::hex << "toUnicode of " << c;
        }
        bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        if (!surrogate && iconvEncode(converter, c) != encoded)
        {
            ASSERT_LT(++mismatches, 5) << "too many";
            ADD_FAILURE() << std::hex << "iconv differs at " << c;
        }
    }
    EXPECT_EQ(mismatches, 0);

    // Code point 0 has no encoding of its own (it ends texts); the zero byte
    // still decodes to it.
    EXPECT_EQ(hstring::fromUnicode(0u), "");
    int length = 0;
    EXPECT_EQ(hstring("", 1).unicodeCharAt(0, &length), 0u);
    EXPECT_EQ(length, 1);
}

TEST(utf8, encodingRules)
{
    EXPECT_EQ(hstring::fromUnicode(0x20ACu), "\xE2\x82\xAC");
    EXPECT_EQ(hstring::fromUnicode(0x80000000u), "");
    EXPECT_EQ(hstring::fromUnicode(0x7FFFFFFFu), "\xFD\xBF\xBF\xBF\xBF\xBF");
    EXPECT_EQ(hstring::fromUnicode(0x200000u), "\xF8\x88\x80\x80\x80");
    const unsigned int zeroTerminated[] = {'a', 0x80000000u, 0xE9, 0};
    EXPECT_EQ(hstring::fromUnicode(zeroTerminated), "a\xC3\xA9");
    EXPECT_EQ(hstring::fromUnicode((const unsigned int*)nullptr), "");
    EXPECT_EQ(hstring::fromUnicode(harray<unsigned int>({'x', 0xFFFFFFFFu, 0x20AC})), "x\xE2\x82\xAC");
    EXPECT_EQ(hstring::fromUnicode(ustring({0x20AC, 'y'})), "\xE2\x82\xACy");
    // 16-bit units are encoded one by one: a surrogate pair gives two sequences
    EXPECT_EQ(hstring::fromUnicode(u"\u00e9\U0001F600"), "\xC3\xA9\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(hstring::fromUnicode((const char16_t*)nullptr), "");
}

TEST(utf8, decodingCountsAndSubstrings)
{
    hstring text("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(text.utf8Size(), 5);
    EXPECT_EQ(text.toUnicode(), ustring({'a', 0xE9, 0x20AC, 0x1F600, 'z'}));
    EXPECT_EQ(text.utf8SubString(1, 2), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(text.utf8SubString(3, 100), "\xF0\x9F\x98\x80z");
    EXPECT_EQ(text.utf8SubString(5, 1), "");
    int length = 0;
    EXPECT_EQ(text.unicodeCharAt(3, &length), 0x20ACu);
    EXPECT_EQ(length, 3);
    // decoding stops at the first zero byte
    hstring withZero("ab", 2);
    withZero += '\0';
    withZero += "cd";
    EXPECT_EQ(withZero.utf8Size(), 2);
    EXPECT_EQ(withZero.toUnicode(), ustring({'a', 'b'}));
    // a stray continuation byte takes four bytes, as the lead byte says
    EXPECT_EQ(hstring("\x80"
                      "abcd")
                  .utf8Size(),
              2);
}

TEST(utf8, truncatedSequencesStayInsideTheText)
{
    // The decoder on heap buffers of exactly the bytes it may read: any read
    // past them is an AddressSanitizer error.
    for (unsigned int lead = 0; lead < 256; ++lead)
    {
        for (size_t available = 1; available <= 4; ++available)
        {
            std::unique_ptr<unsigned char[]> bytes(new unsigned char[available]);
            bytes[0] = (unsigned char)lead;
            for (size_t i = 1; i < available; ++i)
            {
                bytes[i] = 0xBF;
            }
            int length = 0;
            quortypes::utf8::decode(bytes.get(), available, &length);
            EXPECT_GE(length, 1);
            EXPECT_LE((size_t)length, available);
        }
    }

    // Each text ends inside a sequence its lead byte announces; copied into a
    // buffer of exactly its size so that any read past the end is caught.
    for (const char* bytes : {"\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xFF", "a\xF0", "\x80\x80"})
    {
        size_t size = strlen(bytes);
        std::unique_ptr<char[]> exact(new char[size]);
        memcpy(exact.get(), bytes, size);
        hstring text(exact.get(), (int)size);
        EXPECT_GE(text.utf8Size(), 1) << bytes;
        EXPECT_EQ(text.toUnicode().size(), (size_t)text.utf8Size()) << bytes;
        EXPECT_EQ(text.utf8SubString(0, 10), text) << bytes;
        int length = 0;
        text.unicodeCharAt((int)size - 1, &length);
        EXPECT_EQ(length, 1);
        text.unicodeCharAt(0, &length);
        EXPECT_LE(length, (int)size);
    }
    // the tail counts as one character of the bytes present
    EXPECT_EQ(hstring("a\xE2\x82").utf8Size(), 2);
    EXPECT_EQ(hstring("a\xE2\x82").toUnicode(), ustring({'a', 0x2080}));
    // a zero byte inside a sequence ends it: what follows is not part of it
    hstring cut("\xE2", 1);
    cut += '\0';
    cut += "\x82\xAC";
    int length = 0;
    EXPECT_EQ(cut.unicodeCharAt(0, &length), 0x2000u);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(cut.unicodeCharAt(99, &length), 0u);
}
