#pragma once

#include <yim/Source.h>

namespace yim
{
    // RIFF PCM files. Only the payloads of "data" chunks are delivered, in file order.
    class WAV_Source : public Source
    {
    public:
        WAV_Source(const hstring& filename, Category* category);
        ~WAV_Source() override;

        bool open() override;
        void close() override;
        void rewind() override;
        bool load(unsigned char* output) override;
        int loadChunk(unsigned char* output, int size) override;

    protected:
        // Bytes of the current "data" chunk not yet delivered.
        int dataLeft = 0;
        // The current "data" chunk has an odd size: its pad byte comes before the next chunk header.
        bool padAfterData = false;

        // Reads chunk headers from the current position, skipping other chunks, until a "data" one;
        // false when the file ends first.
        bool seekNextData();
        // The chunk size cut to the bytes the file still has.
        int cutToFile(unsigned long long size);
        // Moves past a chunk body of that size and its pad byte, as far as the file goes.
        void skipChunk(unsigned int size);
        int readData(unsigned char* output, int size);
    };
} // namespace yim
