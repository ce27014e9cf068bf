#include <cstddef>
#include <cstdint>

#include <quortypes/exception.h>

#include "ActionMap.h"

using namespace vumo;

// The ".amp" reader over arbitrary bytes. A file it accepts must hold every mask it names, and writing
// it out again must give a file that reads back to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const hstring bytes(std::string((const char*)data, size));
    ActionMap::Contents contents;
    try
    {
        contents = ActionMap::parse(bytes, "fuzz.amp");
    }
    catch (quortypes::exception&)
    {
        return 0;
    }
    for (const ActionMapRegion& region : contents.regions)
    {
        // Every pixel of every rectangle lies inside the masks read.
        region.hasPixel(contents.masks.data(), region.right, region.bottom);
    }
    const hstring written = ActionMap::write(contents);
    if (ActionMap::write(ActionMap::parse(written, "fuzz.amp")) != written)
    {
        __builtin_trap();
    }
    return 0;
}
