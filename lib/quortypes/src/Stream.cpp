#include <quortypes/Stream.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quortypes
{
    namespace
    {
        const int initialCapacity = 16;

        int64_t byteCount(int size, int count)
        {
            int64_t total = (int64_t)size * (int64_t)count;
            return total < 0 ? 0 : total;
        }
    } // namespace

    Stream::Stream(unsigned char byteOffset) : StreamBase(byteOffset)
    {
        this->buffer = (unsigned char*)malloc(initialCapacity);
        if (this->buffer != nullptr)
        {
            this->capacity = initialCapacity;
        }
    }

    Stream::~Stream()
    {
        free(this->buffer);
    }

    void Stream::refreshSize()
    {
        this->dataSize = this->dataLength;
    }

    int Stream::readRaw(void* buffer, int size, int count)
    {
        int64_t wanted = std::min<int64_t>(byteCount(size, count), this->dataLength - this->streamPosition);
        if (wanted <= 0)
        {
            return 0;
        }
        memcpy(buffer, this->buffer + this->streamPosition, (size_t)wanted);
        this->streamPosition += (int)wanted;
        return (int)wanted;
    }

    int Stream::writeRaw(const void* buffer, int size, int count)
    {
        int64_t wanted = byteCount(size, count);
        if (wanted <= 0)
        {
            return 0;
        }
        int64_t room = (int64_t)this->capacity - this->streamPosition;
        if (wanted > room)
        {
            int64_t newCapacity = std::max(this->capacity, initialCapacity);
            while (newCapacity - this->streamPosition < wanted)
            {
                newCapacity *= 2;
            }
            unsigned char* grown = nullptr;
            if (newCapacity <= INT_MAX)
            {
                grown = (unsigned char*)realloc(this->buffer, (size_t)newCapacity);
            }
            if (grown != nullptr)
            {
                this->buffer = grown;
                this->capacity = (int)newCapacity;
            }
            else
            {
                // Keep what we have and write only what still fits.
                wanted = room;
                if (wanted <= 0)
                {
                    return 0;
                }
            }
        }
        memcpy(this->buffer + this->streamPosition, buffer, (size_t)wanted);
        this->streamPosition += (int)wanted;
        this->dataLength = std::max(this->dataLength, this->streamPosition);
        return (int)wanted;
    }

    void Stream::doSeek(int offset, SeekMode mode)
    {
        int64_t target = 0;
        switch (mode)
        {
        case SeekMode::Current:
            target = (int64_t)this->streamPosition + offset;
            break;
        case SeekMode::Start:
            target = offset;
            break;
        case SeekMode::End:
            target = (int64_t)this->dataLength + offset;
            break;
        default:
            return;
        }
        this->streamPosition = (int)std::clamp<int64_t>(target, 0, this->dataLength);
    }
} // namespace quortypes
