#include <stddef.h>
#include <stdint.h>

#include <string>

#include <pirk/AchievementsStore.h>
#include <pirk/Cfg.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>

#include "Config.h"
#include "Variables.h"

// The readers of files a player can damage. The first byte picks the reader so that one corpus serves
// all four.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
    {
        return 0;
    }
    static bool quiet = []
    {
        quortypes::Log::setCallback(nullptr);
        return true;
    }();
    (void)quiet;
    const std::string bytes((const char*)data + 1, size - 1);
    switch (data[0] % 4)
    {
    case 0:
        try
        {
            Session::parseConfigText(bytes);
        }
        catch (quortypes::exception&)
        {
        }
        break;
    case 1:
    {
        VariableDictionary vars;
        vars.create("a", "1", true);
        vars.applyDiff(bytes, "vars.diff", true, true, true);
        vars.applyDiff(bytes, "vars.diff", false, true, false);
        vars.writeDiff();
        break;
    }
    case 2:
    {
        bool damaged = false;
        pirk::encodeAchievementsStore(pirk::decodeAchievementsStore(bytes, damaged));
        break;
    }
    default:
        pirk::parseCfg(bytes);
        break;
    }
    return 0;
}
