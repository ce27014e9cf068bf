// A dataset file and the files it includes, all from one input (the text up to the first "=== NAME" line is
// "ui/main.xml", each such line starts the file "ui/NAME"), loaded with textures from a few pictures, its
// events run, updated, drawn and unloaded.
#include <string>

#include <fuzz_support/Leaks.h>
#include <fuzz_support/Scratch.h>
#include <fuzz_support/Window.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra_testing/Png.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

namespace
{
    std::string solidPng(int width, int height, tesra::Color color)
    {
        return tesra_testing::makePng(width, height, [color](int, int) { return color; });
    }
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quortypes::Resource::setCwd(fuzz_support::scratchFolder());
    fuzz_support::checkLeaksBeforeStatics();
    fuzz_support::openWindow(128, 128);
    tesraui::init();
    fuzz_support::writeFile(
        "gfx/quads.png",
        tesra_testing::makePng(
            16, 16, [](int x, int y) { return tesra::Color(x < 8 ? 255 : 0, y < 8 ? 255 : 0, 0); }));
    fuzz_support::writeFile("gfx/plain.png", solidPng(16, 16, tesra::Color(255, 255, 0)));
    fuzz_support::writeFile("gfx/stripes.png", solidPng(16, 16, tesra::Color(0, 0, 255)));
    fuzz_support::writeFile("gfx/a/button.png", solidPng(2, 2, tesra::Color()));
    fuzz_support::writeFile("gfx/b/button.png", solidPng(2, 2, tesra::Color()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_support::clearScratch({"gfx"});
    for (const auto& [name, bytes] :
         fuzz_support::splitFiles(std::string((const char*)data, size), "main.xml"))
    {
        fuzz_support::writeFile("ui/" + name, bytes);
    }
    tesraui::Dataset dataset("ui/main.xml");
    try
    {
        dataset.load();
    }
    catch (const quortypes::exception&)
    {
        return 0;
    }
    try
    {
        tesraui::processEvents();
        dataset.update(0.1f);
        dataset.updateTextures(0.1f);
        if (dataset.getRoot() != nullptr)
        {
            tesra::rendersys->clear(true, false);
            dataset.getRoot()->draw();
        }
        tesraui::processEvents();
        dataset.unload();
    }
    catch (const quortypes::exception&)
    {
    }
    return 0;
}
