#include <cstddef>
#include <cstdint>
#include <string>

#include "window/CursorFile.h"

// ".cur" and ".ani" files: the decoder picks the kind by the content.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tesra::CursorFile file;
    std::string error;
    if (!tesra::decodeCursorFile(data, size, file, error))
    {
        return 0;
    }
    // Touch every pixel and step so that a buffer smaller than its frame claims shows up.
    volatile unsigned char sum = 0;
    for (const tesra::CursorImage& image : file.frames)
    {
        const size_t bytes = (size_t)image.width * image.height * 4;
        for (size_t i = 0; i < bytes; ++i)
        {
            sum = sum + image.pixels[i];
        }
    }
    for (size_t i = 0; i < file.sequence.size(); ++i)
    {
        sum = sum + (unsigned char)file.frames.at((size_t)file.sequence[i]).width +
              (unsigned char)file.rates.at(i);
    }
    return 0;
}
