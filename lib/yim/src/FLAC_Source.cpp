#include <yim/FLAC_Source.h>

namespace yim
{
    FLAC_Source::FLAC_Source(const hstring& filename, Category* category) : Source(filename, category) {}

    FLAC_Source::~FLAC_Source()
    {
        this->close();
    }

    bool FLAC_Source::open()
    {
        this->streamOpen = Source::open();
        return this->streamOpen;
    }

    void FLAC_Source::close()
    {
        Source::close();
    }

    void FLAC_Source::rewind() {}

    bool FLAC_Source::load(unsigned char* output)
    {
        return Source::load(output);
    }

    int FLAC_Source::loadChunk(unsigned char* output, int size)
    {
        Source::loadChunk(output, size);
        return 0;
    }
} // namespace yim
