#include <gtest/gtest.h>

#include <string>

#include <quortypes/Stream.h>
#include <quortypes/exception.h>

using quortypes::SeekMode;
using quortypes::Stream;

namespace
{
    // Every byte of the stream; the position is left at the end.
    std::string contents(Stream& stream)
    {
        stream.rewind();
        std::string bytes((size_t)stream.getSize(), '\0');
        stream.readRaw(&bytes[0], (int)bytes.size());
        return bytes;
    }

    // A stream holding the bytes, positioned at the start.
    struct Filled : Stream
    {
        explicit Filled(const std::string& bytes, unsigned char byteOffset = 0) : Stream(byteOffset)
        {
            this->write(bytes);
            this->rewind();
        }
    };
} // namespace

TEST(MemoryStream, GrowsByDoublingAndClampsSeeks)
{
    Stream stream;
    EXPECT_EQ(stream.getCapacity(), 16);
    std::string bytes(40, 'x');
    EXPECT_EQ(stream.writeRaw(bytes.data(), 40), 40);
    EXPECT_EQ(stream.getCapacity(), 64);

    stream.seek(-5, SeekMode::Start);
    EXPECT_EQ(stream.getPosition(), 0);
    stream.seek(5, SeekMode::End);
    EXPECT_EQ(stream.getPosition(), 40);
    EXPECT_TRUE(stream.eof());
}

TEST(MemoryStream, TypedLittleEndianRoundTrips)
{
    Stream stream;
    stream.writeUint8(0xAB);
    stream.writeUint16(0x12345);
    stream.writeUint32(0x12345678);
    stream.writeInt32(-2);
    EXPECT_EQ(contents(stream), std::string("\xAB\x45\x23\x78\x56\x34\x12\xFE\xFF\xFF\xFF", 11));
    stream.rewind();
    EXPECT_EQ(stream.readUint8(), 0xAB);
    EXPECT_EQ(stream.readUint16(), 0x2345);
    EXPECT_EQ(stream.readUint32(), 0x12345678u);
    EXPECT_EQ((int)stream.readUint32(), -2);
    // Short reads: the bytes that are there, zeros for the rest.
    stream.seek(-3, SeekMode::End);
    EXPECT_EQ(stream.readUint32(), 0xFFFFFFu);
    EXPECT_EQ(stream.readUint16(), 0);
}

TEST(MemoryStream, LengthPrefixedStrings)
{
    Stream plain;
    plain.writeString("abc");
    plain.writeString("");
    EXPECT_EQ(contents(plain), std::string("\x03\0\0\0abc\0\0\0\0", 11));
    plain.rewind();
    EXPECT_EQ(plain.readString(), "abc");
    EXPECT_EQ(plain.readString(), "");
    EXPECT_TRUE(plain.eof());

    Stream shifted(1);
    shifted.writeString("abc");
    EXPECT_EQ(contents(shifted), std::string("\x03\0\0\0`ab", 7));
    shifted.rewind();
    EXPECT_EQ(shifted.readString(), "abc");

    // A corrupt length stops at the end of the stream.
    Filled corrupt(std::string("\xF0\xFF\xFF\xFF"
                               "abc",
                               7));
    EXPECT_EQ(corrupt.readString(), "abc");
    EXPECT_EQ(corrupt.readString(), "");
}

TEST(MemoryStream, ReadRemovesEveryCarriageReturn)
{
    Filled returns("\ra\r\r\nb\rc\r");
    EXPECT_EQ(returns.read(""), "a\nbc");
    returns.rewind();
    EXPECT_EQ(returns.readLine(), "a");
    EXPECT_EQ(returns.readLine(), "bc");
    EXPECT_EQ(Filled("a\n\nb\n").readLines(), harray<hstring>({"a", "", "b", ""}));
}

TEST(MemoryStream, ReadToDelimiterAcrossChunksAndZeroBytes)
{
    // A delimiter that straddles the 4096-byte chunk boundary, and a text longer than several chunks.
    std::string first(4095, 'x');
    std::string second(10000, 'y');
    Filled stream(first + "<>" + second + "<>" + "tail");
    EXPECT_EQ(stream.read("<>"), first);
    EXPECT_EQ(stream.getPosition(), 4097);
    EXPECT_EQ(stream.read("<>"), second);
    EXPECT_EQ(stream.read("<>"), "tail");

    // The position after the delimiter follows the bytes consumed, zero bytes included.
    Filled zeros(std::string("ab\0cd\nef", 8));
    EXPECT_EQ(zeros.readLine(), std::string("ab\0cd", 5));
    EXPECT_EQ(zeros.getPosition(), 6);
}

TEST(MemoryStream, WriteStreamKeepsSourcePosition)
{
    Filled source("0123456789");
    source.seek(4, SeekMode::Start);
    Stream target;
    target.write(">");
    target.writeStream(source);
    EXPECT_EQ(source.getPosition(), 4);
    target.writef("%d-%s", 42, "x");
    target.writeLine("!");
    EXPECT_EQ(contents(target), ">45678942-x!\n");
}
