#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <orvalo/orvalo.h>
#include <quortypes/exception.h>

#include "fuzz_support/Scratch.h"

// A promoted game's "game.cfg", read as the more-games screen's start reads the games folder, in a scratch
// folder that is the working folder (the games path is relative, as the game gives it).
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The reader warns about every bad line; the console would drown in them.
    static FILE* quiet = freopen("/dev/null", "w", stdout);
    (void)quiet;
    if (chdir(fuzz_support::scratchFolder().c_str()) != 0)
    {
        std::perror("fuzz_gamecfg: scratch folder");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_support::writeFile("games/g/game.cfg", std::string((const char*)data, size));
    try
    {
        orvalo::initData("g", "", "games");
    }
    catch (const quortypes::exception&)
    {
        // A file without a category names no game: refused with a message.
    }
    // Touch what was read.
    volatile size_t sum = 0;
    for (const orvalo::Game& game : orvalo::getGames())
    {
        sum = sum + game.id.size() + game.UrlTorvin.size() + game.UrlStore.size() + game.UrlRateMe.size() +
              game.UrlFacebookShare.size();
    }
    sum = sum + orvalo::getCurrentGame().UrlStore.size();
    return 0;
}
