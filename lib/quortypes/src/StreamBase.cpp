#include <quortypes/StreamBase.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>

#include <quortypes/exception.h>

#include "CarriageReturns.h"

namespace quortypes
{
    namespace
    {
        const int chunkSize = 4096;
        const int firstChunkSize = 128;
    } // namespace

    StreamBase::StreamBase(unsigned char byteOffset) : byteOffset(byteOffset) {}

    StreamBase::~StreamBase() = default;

    void StreamBase::failNotOpen()
    {
        throw _file_not_open(this->getDescriptor(), "hsbase", __LINE__);
    }

    hstring StreamBase::getDescriptor()
    {
        return "stream";
    }

    int StreamBase::readRaw(void* buffer, int count)
    {
        this->checkOpen();
        return this->readRaw(buffer, 1, count);
    }

    int StreamBase::writeRaw(const void* buffer, int count)
    {
        this->checkOpen();
        int written = this->writeRaw(buffer, 1, count);
        this->refreshSize();
        return written;
    }

    unsigned char StreamBase::readUint8()
    {
        unsigned char bytes[1] = {0};
        this->readRaw(bytes, 1);
        return bytes[0];
    }

    unsigned short StreamBase::readUint16()
    {
        unsigned char bytes[2] = {0, 0};
        this->readRaw(bytes, 2);
        return (unsigned short)(bytes[0] | (bytes[1] << 8));
    }

    unsigned int StreamBase::readUint32()
    {
        unsigned char bytes[4] = {0, 0, 0, 0};
        this->readRaw(bytes, 4);
        return (unsigned int)bytes[0] | ((unsigned int)bytes[1] << 8) | ((unsigned int)bytes[2] << 16) |
               ((unsigned int)bytes[3] << 24);
    }

    void StreamBase::writeUint8(unsigned char value)
    {
        this->writeRaw(&value, 1);
    }

    void StreamBase::writeUint16(unsigned int value)
    {
        unsigned char bytes[2] = {(unsigned char)(value & 0xFF), (unsigned char)((value >> 8) & 0xFF)};
        this->writeRaw(bytes, 2);
    }

    void StreamBase::writeUint32(unsigned int value)
    {
        unsigned char bytes[4] = {(unsigned char)(value & 0xFF), (unsigned char)((value >> 8) & 0xFF),
                                  (unsigned char)((value >> 16) & 0xFF),
                                  (unsigned char)((value >> 24) & 0xFF)};
        this->writeRaw(bytes, 4);
    }

    void StreamBase::writeInt32(int value)
    {
        this->writeUint32((unsigned int)value);
    }

    void StreamBase::writeString(const hstring& text)
    {
        this->checkOpen();
        this->writeUint32((unsigned int)text.size());
        if (this->byteOffset == 0)
        {
            this->writeRaw(text.data(), (int)text.size());
            return;
        }
        std::string shifted = text;
        for (char& c : shifted)
        {
            c = (char)(unsigned char)((unsigned char)c - this->byteOffset);
        }
        this->writeRaw(shifted.data(), (int)shifted.size());
    }

    hstring StreamBase::readString()
    {
        uint32_t remaining = this->readUint32();
        std::string result;
        char buffer[chunkSize];
        // A corrupt length may promise far more than the stream holds: stop at the first empty read
        // instead of trusting it.
        while (remaining > 0)
        {
            int wanted = (int)std::min<uint32_t>(remaining, chunkSize);
            int got = this->readRaw(buffer, wanted);
            if (got <= 0)
            {
                break;
            }
            result.append(buffer, got);
            remaining -= (uint32_t)got;
        }
        if (this->byteOffset != 0)
        {
            for (char& c : result)
            {
                c = (char)(unsigned char)((unsigned char)c + this->byteOffset);
            }
        }
        return result;
    }

    hstring StreamBase::read(const hstring& delimiter)
    {
        this->checkOpen();
        const std::string& needle = delimiter;
        if (needle.size() == 1)
        {
            return this->readPast(needle[0]);
        }
        return this->readUpTo(needle);
    }

    hstring StreamBase::readPast(char delimiter)
    {
        return this->readUpTo(std::string(1, delimiter));
    }

    hstring StreamBase::readUpTo(const std::string& needle)
    {
        std::string result;
        char buffer[chunkSize];
        // Lines are mostly short: a small first read spares copying and seeking back over most of a
        // chunk; the reads grow to full chunks for long texts.
        int wanted = needle.empty() ? chunkSize : firstChunkSize;
        while (this->position() < this->dataSize)
        {
            int got = this->readRaw(buffer, 1, wanted);
            wanted = std::min(wanted * 2, chunkSize);
            if (got <= 0)
            {
                break;
            }
            // Only the new bytes and the tail that a delimiter could straddle need searching.
            size_t searchFrom = result.size() >= needle.size() ? result.size() - needle.size() + 1 : 0;
            result.append(buffer, got);
            if (needle.empty())
            {
                continue;
            }
            size_t index = result.find(needle, searchFrom);
            if (index != std::string::npos)
            {
                // result holds exactly the bytes consumed, so this puts the position right after the
                // delimiter.
                size_t consumedPastDelimiter = result.size() - (index + needle.size());
                this->doSeek(-(int)consumedPastDelimiter, SeekMode::Current);
                result.resize(index);
                break;
            }
        }
        removeCarriageReturns(result);
        return result;
    }

    harray<hstring> StreamBase::readLines()
    {
        std::string text = this->read("");
        harray<hstring> lines;
        size_t start = 0;
        while (true)
        {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
            {
                lines.push_back(text.substr(start));
                break;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

    void StreamBase::write(const hstring& text)
    {
        this->writeRaw(text.data(), (int)text.size());
    }

    void StreamBase::writeLine(const hstring& text)
    {
        this->write(text + "\n");
    }

    void StreamBase::writef(const char* format, ...)
    {
        this->checkOpen();
        va_list args;
        va_start(args, format);
        hstring text = formatStringV(format, args);
        va_end(args);
        this->write(text);
    }

    void StreamBase::writeStream(StreamBase& other)
    {
        this->checkOpen();
        other.checkOpen();
        int count = other.dataSize - other.position();
        if (count <= 0)
        {
            return;
        }
        std::string buffer((size_t)count, '\0');
        int got = other.readRaw(&buffer[0], 1, count);
        if (got <= 0)
        {
            return;
        }
        other.doSeek(-got, SeekMode::Current);
        this->writeRaw(buffer.data(), got);
    }

    void StreamBase::rewind()
    {
        this->seek(0, SeekMode::Start);
    }

    void StreamBase::seek(int offset, SeekMode mode)
    {
        this->checkOpen();
        this->doSeek(offset, mode);
    }

    int StreamBase::getPosition()
    {
        this->checkOpen();
        return this->position();
    }

    int StreamBase::getSize()
    {
        this->checkOpen();
        return this->dataSize;
    }
} // namespace quortypes
