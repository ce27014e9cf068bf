#include "EngineHarness.h"

// Both programs that start the engine link this file: each test reads the log of its own engines only, as it
// would alone in its process.
namespace harness
{
    namespace
    {
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
