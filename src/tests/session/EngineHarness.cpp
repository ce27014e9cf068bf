#include "EngineHarness.h"

// The engine's own tests run without a game: it registers nothing of its own, and its end is the session's.
namespace harness
{
    void registerGameTypes() {}

    void destroyGame()
    {
        Session::destroy();
    }
} // namespace harness
