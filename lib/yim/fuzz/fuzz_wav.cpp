// Arbitrary bytes as a ".wav" file: read by the source directly, whole and in pieces, then played through
// the manager in every source and buffer mode.
#include <algorithm>
#include <string>
#include <vector>

#include <yim/WAV_Source.h>

#include "FuzzAudio.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_audio::start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_support::writeFile("sound.wav", std::string((const char*)data, size));
    {
        yim::WAV_Source source("sound.wav", yim::manager->getCategory("ram"));
        if (source.open())
        {
            // The size the header claims is cut to the file, so the buffer is never larger than the input.
            std::vector<unsigned char> whole((size_t)std::max(source.getSize(), 0) + 1);
            source.load(whole.data());
            source.rewind();
            unsigned char piece[97];
            int pieces = 0;
            while (source.loadChunk(piece, (int)sizeof(piece)) > 0 && ++pieces < 10000)
            {
            }
            source.close();
        }
    }
    fuzz_audio::playInEveryCategory("sound.wav");
    return 0;
}
