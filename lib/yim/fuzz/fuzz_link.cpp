// Arbitrary bytes as a ".xln" link file beside a sound and a folder with another: the link is resolved to the
// file its text names, which is then played in every source and buffer mode.
#include <string>

#include "FuzzAudio.h"

namespace
{
    // A second of silence, mono 8-bit at 8000 Hz, as a writer lays it out.
    std::string silentWav()
    {
        const auto le = [](unsigned int value, int bytes)
        {
            std::string out;
            for (int i = 0; i < bytes; ++i)
            {
                out += (char)((value >> (8 * i)) & 0xFF);
            }
            return out;
        };
        const std::string format = le(1, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2);
        const std::string body =
            "fmt " + le(16, 4) + format + "data" + le(8000, 4) + std::string(8000, '\x80');
        return "RIFF" + le((unsigned int)body.size() + 4, 4) + "WAVE" + body;
    }
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_audio::start();
    fuzz_support::writeFile("audio/hum.wav", silentWav());
    fuzz_support::writeFile("audio/more/Tone.wav", silentWav());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_support::writeFile("audio/link.xln", std::string((const char*)data, size));
    fuzz_audio::playInEveryCategory("audio/link.xln");
    return 0;
}
