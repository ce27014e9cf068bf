// Feeds arbitrary bytes to a Theora clip as an .ogv file: headers, frame geometry, decoding, looping and a
// seek, without the manager's workers.
#include <cstring>
#include <memory>
#include <string>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraVideoManager.h>

#include "Theora/TheoraVideoClip_Theora.h"

namespace
{
    void quiet(const std::string&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    TheoraVideoManager::setLogFunction(&quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
    memcpy(bytes.get(), data, size);
    // The clip owns the source, and the source the bytes.
    auto source = std::make_unique<TheoraMemoryFileDataSource>(std::move(bytes), (long)size, "fuzz");
    try
    {
        TheoraVideoClip_Theora clip(std::move(source), TH_RGBA, 2, false);
        clip.load();
        clip.setAutoRestart(true);
        for (int i = 0; i < 12; ++i)
        {
            clip.decodeNextFrame();
            clip.update(0.04f);
            if (clip.getNextFrame() != nullptr)
            {
                clip.popFrame();
            }
        }
        clip.seek(0.5f);
        clip._executeSeek();
        clip.decodeNextFrame();
    }
    catch (const _TheoraGenericException&)
    {
    }
    return 0;
}
