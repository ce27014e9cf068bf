#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include <pirk/AchievementsStore.h>
#include <pirk/Cfg.h>
#include <quortypes/exception.h>

#include "Config.h"
#include "Variables.h"

using namespace vumo;

// The readers of files a player can damage. The first byte picks the reader so that one corpus serves
// all five.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
    {
        return 0;
    }
    // The readers warn about every bad line; the console would drown in them.
    static FILE* quiet = freopen("/dev/null", "w", stdout);
    (void)quiet;
    const std::string bytes((const char*)data + 1, size - 1);
    switch (data[0] % 5)
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
    case 3:
        pirk::parseCfg(bytes);
        break;
    default:
        // The achievements store's companion of check sums, against a store of one record.
        pirk::storeMatchesChecksums(pirk::encodeAchievementsStore({{"a", 100}}), bytes);
        break;
    }
    return 0;
}
