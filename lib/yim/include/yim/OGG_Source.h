#pragma once

#include <memory>

#include <yim/Source.h>

struct OggVorbis_File;

namespace yim
{
    // OGG Vorbis through vorbisfile, reading the stream through callbacks; delivers 16-bit signed
    // little-endian samples.
    class OGG_Source : public Source
    {
    public:
        OGG_Source(const hstring& filename, Category* category);
        ~OGG_Source() override;

        bool open() override;
        void close() override;
        void rewind() override;
        bool load(unsigned char* output) override;
        int loadChunk(unsigned char* output, int size) override;

    protected:
        std::unique_ptr<OggVorbis_File> oggStream;
        int currentSection = 0;
        // Decodes through vorbisfile's float samples and converts them here as its own reading would.
        bool convertsFloats = false;

        // Decodes until size bytes came, the data ended or the decoder failed; returns the bytes read.
        int decode(unsigned char* output, int size);
    };
} // namespace yim
