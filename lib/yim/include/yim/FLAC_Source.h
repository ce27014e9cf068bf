#pragma once

#include <yim/Source.h>

namespace yim
{
    // Opens the file but decodes nothing: such sounds are silent.
    class FLAC_Source : public Source
    {
    public:
        FLAC_Source(const hstring& filename, Category* category);
        ~FLAC_Source() override;

        bool open() override;
        void close() override;
        void rewind() override;
        bool load(unsigned char* output) override;
        int loadChunk(unsigned char* output, int size) override;
    };
} // namespace yim
