// Feeds arbitrary bytes to the system loader as a system file and runs the result briefly.
#include <memory>
#include <string>

#include <fuzz_support/Leaks.h>
#include <fuzz_support/Scratch.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraparticle/System.h>
#include <tesraparticle/tesraparticle.h>

namespace
{
    void quiet(const hstring&, const hstring&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quortypes::Resource::setCwd(fuzz_support::scratchFolder());
    fuzz_support::checkLeaksBeforeStatics();
    quortypes::Log::setCallback(&quiet);
    tesraparticle::init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_support::writeFile("sys.xml", std::string((const char*)data, size));
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
