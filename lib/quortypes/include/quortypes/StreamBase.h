#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace quortypes
{
    // Origin of a seek.
    enum class SeekMode
    {
        Current = 0,
        Start = 1,
        End = 2
    };

    // A byte stream with typed little-endian integers, length-prefixed strings and text reading on top of
    // the raw reads and writes that each kind of stream supplies.
    class StreamBase
    {
    public:
        explicit StreamBase(unsigned char byteOffset = 0);
        virtual ~StreamBase();
        StreamBase(const StreamBase&) = delete;
        StreamBase& operator=(const StreamBase&) = delete;

        // Throws _file_not_open with the descriptor unless the stream is open. Inline: reading line by line
        // asks for every line.
        void checkOpen()
        {
            if (!this->isOpen())
            {
                this->failNotOpen();
            }
        }
        // A name for messages.
        virtual hstring getDescriptor();
        virtual bool isOpen() = 0;

        int readRaw(void* buffer, int count);
        int writeRaw(const void* buffer, int count);

        unsigned char readUint8();
        unsigned short readUint16();
        unsigned int readUint32();
        void writeUint8(unsigned char value);
        // Stores the value modulo 0x10000.
        void writeUint16(unsigned int value);
        void writeUint32(unsigned int value);
        void writeInt32(int value);

        // A 4-byte length followed by the bytes, shifted by the byte offset.
        void writeString(const hstring& text);
        hstring readString();

        // The text up to the delimiter (the position then stands after it) or to the end when the
        // delimiter is empty; every carriage return is removed.
        hstring read(const hstring& delimiter);
        // Made by the stream straight into the returned string, so that a line costs at most its one
        // allocation. Inline, as eof is, so that a caller holding the stream itself calls its functions
        // directly.
        hstring readLine()
        {
            this->checkOpen();
            return this->readPast('\n');
        }
        harray<hstring> readLines();
        void write(const hstring& text);
        void writeLine(const hstring& text);
        void writef(const char* format, ...) __attribute__((format(printf, 2, 3)));
        // Copies what lies between other's position and its end; other's position is kept.
        void writeStream(StreamBase& other);

        void rewind();
        void seek(int offset, SeekMode mode);
        int getPosition();
        int getSize();
        bool eof()
        {
            this->checkOpen();
            return this->position() >= this->dataSize;
        }

    protected:
        int dataSize = 0;
        unsigned char byteOffset = 0;

        virtual void refreshSize() = 0;
        virtual int readRaw(void* buffer, int size, int count) = 0;
        virtual int writeRaw(const void* buffer, int size, int count) = 0;
        virtual int position() = 0;
        virtual void doSeek(int offset, SeekMode mode) = 0;
        // read of a one-byte delimiter: the text up to and past it, leaving the position after it, without
        // the delimiter and every carriage return; empty at or past the stream's size. A stream with a
        // faster way than readRaw overrides it.
        virtual hstring readPast(char delimiter);

    private:
        [[noreturn]] void failNotOpen();
        // read's work through readRaw: up to the needle, or to the end when it is empty.
        hstring readUpTo(const std::string& needle);
    };
} // namespace quortypes
