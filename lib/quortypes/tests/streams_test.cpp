#include <gtest/gtest.h>

#include <string>

#include <quortypes/Stream.h>
#include <quortypes/exception.h>

using quortypes::SeekMode;
using quortypes::Stream;

namespace
{
    std::string contents(Stream& stream)
    {
        int position = stream.getPosition();
        stream.rewind();
        std::string bytes((size_t)stream.getSize(), '\0');
        stream.readRaw(&bytes[0], (int)bytes.size());
        stream.seek(position, SeekMode::Start);
        return bytes;
    }

    void fill(Stream& stream, const std::string& bytes)
    {
        stream.writeRaw(bytes.data(), (int)bytes.size());
        stream.rewind();
    }
} // namespace

TEST(MemoryStream, GrowsByDoublingAndClampsSeeks)
{
    Stream stream;
    EXPECT_EQ(stream.getCapacity(), 16);
    std::string bytes(40, 'x');
    EXPECT_EQ(stream.writeRaw(bytes.data(), 40), 40);
    EXPECT_EQ(stream.getCapacity(), 64);
    EXPECT_EQ(stream.getSize(), 40);
    stream.seek(10, SeekMode::Start);
    stream.writeRaw("yy", 2);
    EXPECT_EQ(stream.getSize(), 40);
    EXPECT_EQ(stream.getPosition(), 12);

    stream.seek(-5, SeekMode::Start);
    EXPECT_EQ(stream.getPosition(), 0);
    stream.seek(5, SeekMode::End);
    EXPECT_EQ(stream.getPosition(), 40);
    EXPECT_TRUE(stream.eof());
    stream.seek(-50, SeekMode::Current);
    EXPECT_EQ(stream.getPosition(), 0);

    char buffer[64];
    stream.seek(35, SeekMode::Start);
    EXPECT_EQ(stream.readRaw(buffer, 64), 5);
    EXPECT_EQ(stream.readRaw(buffer, -3), 0);
    EXPECT_EQ(stream.writeRaw(buffer, -3), 0);
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
    EXPECT_EQ(stream.readUint8(), 0);
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
    EXPECT_EQ(plain.getPosition(), 11);

    Stream shifted(1);
    shifted.writeString("abc");
    shifted.writeString(std::string("\x00\xFF", 2));
    EXPECT_EQ(contents(shifted), std::string("\x03\0\0\0`ab\x02\0\0\0\xFF\xFE", 13));
    shifted.rewind();
    EXPECT_EQ(shifted.readString(), "abc");
    EXPECT_EQ(shifted.readString(), std::string("\x00\xFF", 2));
}

TEST(MemoryStream, ReadStringWithCorruptLengthStopsAtTheEnd)
{
    Stream stream;
    stream.writeUint32(0xFFFFFFF0u);
    stream.write("abc");
    stream.rewind();
    EXPECT_EQ(stream.readString(), "abc");
    EXPECT_TRUE(stream.eof());
    // At the end there is neither a length nor text.
    EXPECT_EQ(stream.readString(), "");
    EXPECT_TRUE(stream.eof());
}

TEST(MemoryStream, ReadRemovesEveryCarriageReturn)
{
    Stream returns;
    fill(returns, "\ra\r\r\nb\rc\r");
    EXPECT_EQ(returns.read(""), "a\nbc");
    returns.rewind();
    EXPECT_EQ(returns.readLine(), "a");
    EXPECT_EQ(returns.readLine(), "bc");

    Stream lines;
    fill(lines, "a\n\nb\n");
    EXPECT_EQ(lines.readLines(), harray<hstring>({"a", "", "b", ""}));
}

TEST(MemoryStream, ReadToDelimiterAcrossChunksAndZeroBytes)
{
    // A delimiter that straddles the 4096-byte chunk boundary, and a line longer than several chunks.
    std::string first(4095, 'x');
    std::string second(10000, 'y');
    Stream stream;
    fill(stream, first + "<>" + second + "<>" + "tail");
    EXPECT_EQ(stream.read("<>"), first);
    EXPECT_EQ(stream.getPosition(), 4097);
    EXPECT_EQ(stream.read("<>"), second);
    EXPECT_EQ(stream.read("<>"), "tail");
    EXPECT_TRUE(stream.eof());

    // The position after the delimiter follows the bytes consumed, zero bytes included.
    Stream zeros;
    fill(zeros, std::string("ab\0cd\nef", 8));
    EXPECT_EQ(zeros.readLine(), std::string("ab\0cd", 5));
    EXPECT_EQ(zeros.getPosition(), 6);
    EXPECT_EQ(zeros.readLine(), "ef");
}

TEST(MemoryStream, WriteStreamKeepsSourcePosition)
{
    Stream source;
    fill(source, "0123456789");
    source.seek(4, SeekMode::Start);
    Stream target;
    target.write(">");
    target.writeStream(source);
    EXPECT_EQ(source.getPosition(), 4);
    EXPECT_EQ(contents(target), ">456789");

    target.writef("%d-%s", 42, "x");
    target.writeLine("!");
    EXPECT_EQ(contents(target), ">45678942-x!\n");
}
