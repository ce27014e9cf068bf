#pragma once

#include <quortypes/StreamBase.h>

namespace quortypes
{
    // A growable stream in memory; it starts with 16 bytes and doubles its capacity as needed.
    class Stream : public StreamBase
    {
    public:
        explicit Stream(unsigned char byteOffset = 0);
        ~Stream() override;

        using StreamBase::readRaw;
        using StreamBase::writeRaw;

        bool isOpen() override { return this->buffer != nullptr; }
        int getCapacity() const { return this->capacity; }

    protected:
        unsigned char* buffer = nullptr;
        int dataLength = 0;
        int capacity = 0;
        int streamPosition = 0;

        void refreshSize() override;
        int readRaw(void* buffer, int size, int count) override;
        int writeRaw(const void* buffer, int size, int count) override;
        int position() override { return this->streamPosition; }
        void doSeek(int offset, SeekMode mode) override;
    };
} // namespace quortypes
