#include "EngineHarness.h"

// The engine's own tests run without a game: it registers nothing of its own, and its end is the session's.
namespace harness
{
    void registerGameTypes() {}

    void destroyGame()
    {
        Session::destroy();
    }

    namespace
    {
        // Each test reads the log of its own engines only, as it would alone in its process.
        class ForgetLogAtTestStart : public ::testing::EmptyTestEventListener
        {
            void OnTestStart(const ::testing::TestInfo&) override { Engine::log().clear(); }
        };

        const bool forgetLogAtTestStart = []
        {
            ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetLogAtTestStart());
            return true;
        }();
    } // namespace
} // namespace harness
