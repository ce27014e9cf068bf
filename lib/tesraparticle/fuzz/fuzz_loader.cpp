// Feeds arbitrary bytes to the system loader as a system file and runs the result briefly.
#include <stdlib.h>

#include <fstream>
#include <memory>
#include <string>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraparticle/System.h>
#include <tesraparticle/tesraparticle.h>

namespace
{
    std::string folder;

    void quiet(const hstring&, const hstring&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/tesraparticle_fuzz_XXXXXX";
    folder = mkdtemp(pattern);
    quortypes::Resource::setCwd(folder);
    quortypes::Log::setCallback(&quiet);
    tesraparticle::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    std::ofstream(folder + "/sys.xml", std::ios::binary).write((const char*)data, (std::streamsize)size);
    try
    {
        std::unique_ptr<tesraparticle::System> system(tesraparticle::loadSystem("sys.xml"));
        std::unique_ptr<tesraparticle::System> copy(new tesraparticle::System(*system));
        // The file's own pre-update and fixed steps: the loader bounds them. Several rounds, so particles
        // that die (or were born dead) are aged, removed and drawn over again.
        for (int i = 0; i < 4; ++i)
        {
            copy->update(0.1f);
            copy->draw(0.0f, 0.0f, tesra::Color());
            copy->draw(0.0f, 0.0f, tesra::Color(255, 128, 0, 200));
        }
        copy->reset();
        copy->update(0.1f);
    }
    catch (quortypes::exception&)
    {
    }
    tesraparticle::clearCache();
    return 0;
}
