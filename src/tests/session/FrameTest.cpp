#include <lua.hpp>

#include "EngineHarness.h"
#include "lua/Calls.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    // A script function that queues a text for the next run of the deferred texts.
    int queueFromLua(lua_State* L)
    {
        Session::queueScript(LuaInterface::toString(L, 1), false);
        return 0;
    }

    // Saves as told: true, false or a throw; counts the calls.
    struct ScriptedSave : Session::AutosaveTarget
    {
        std::vector<int> outcomes; // 1 saved, 0 failed, -1 throws
        int calls = 0;
        int syncs = 0;
        void syncIfAllowed() override { ++syncs; }
        bool saveToFile() override
        {
            const int outcome = outcomes.size() > (size_t)calls ? outcomes[calls] : 1;
            ++calls;
            if (outcome < 0)
            {
                throw std::runtime_error("disk full");
            }
            return outcome == 1;
        }
    };
} // namespace

TEST(SessionFrameBeforeViewport, DoesNothingAtAll)
{
    Session::queueScript("never = true", false);
    Session::update(1.5f);
    EXPECT_EQ(Session::getAutosaveSeconds(), 0);
    EXPECT_EQ(Session::getAutosaveAccumulator(), 0.0f);
}

class SessionFrame : public harness::GameTest
{
protected:
    ScriptedSave save;

    void SetUp() override
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", "journal = {}\nfunction note(x) journal[#journal + 1] = x end\n"
                                      "function ui.update(dt) note(string.format('dt=%g', dt)) end\n");
        engine.reset(new Engine(folder));
        engine->start();
        LuaInterface::registerFunction(queueFromLua, "test.queue");
        Session::setAutosaveTarget(&save);
    }
    void TearDown() override { Session::setAutosaveTarget(nullptr); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
};

TEST_F(SessionFrame, ClampsTheFrameAndRunsQueuedTextsInOrderWithinTheFrame)
{
    engine->frame(0.5f);
    EXPECT_EQ(journal(), "dt=0.1");
    Session::queueScript("note('a'); test.queue(\"note('c')\")", false);
    Session::queueScript("note('b')", false);
    engine->frame(0.05f);
    // The text queued by the first one runs in the same frame, after those queued before it.
    EXPECT_EQ(journal(), "dt=0.1 a b c dt=0.05");
}

TEST_F(SessionFrame, UniqueQueueingComparesWithTheFirstTextOnly)
{
    Session::queueScript("note('x')", true);
    Session::queueScript("note('x')", true);
    Session::queueScript("note('y')", false);
    Session::queueScript("note('y')", true);
    Session::runQueuedScripts();
    EXPECT_EQ(journal(), "x y y");
}

TEST_F(SessionFrame, ATextThatQueuesItselfLeavesTheFrameAfterAThousand)
{
    const char* self = "count = (count or 0) + 1; test.queue(selfText)";
    LuaInterface::execute(hstring("selfText = ") + LuaInterface::literal(self));
    Session::queueScript(self, false);
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("count"), "1000");
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("count"), "2000");
    int errors = 0;
    for (const std::string& line : Engine::log())
    {
        errors += line.find("queued scripts in one frame") != std::string::npos;
    }
    EXPECT_EQ(errors, 1);
}

TEST_F(SessionFrame, AutosaveCountsWholeSecondsAndRetriesAFailedSave)
{
    Session::update(1.5f);
    EXPECT_EQ(Session::getAutosaveSeconds(), 1);
    EXPECT_FLOAT_EQ(Session::getAutosaveAccumulator(), 0.5f);
    // A failed save, then one that throws, then a good one: at 121 s, 111 s later, 111 s after that.
    save.outcomes = {0, -1, 1};
    std::vector<int> savedAt;
    for (int second = 2; second <= 400; ++second)
    {
        const int before = save.calls;
        Session::update(1.0001f);
        if (save.calls != before)
        {
            savedAt.push_back(second);
        }
    }
    EXPECT_EQ(savedAt, (std::vector<int>{121, 232, 343}));
    EXPECT_TRUE(inOrder(engine->logText(),
                        {"vumo: ERROR: Autosave failed: disk full", "vumo: Game state autosaved"}));
    EXPECT_EQ(Session::getAutosaveSeconds(), 400 - 343);
}

TEST_F(SessionFrame, SecondsAreCountedWhilePaused)
{
    Session::setPaused(true);
    for (int second = 1; second <= 130; ++second)
    {
        Session::update(1.0001f);
    }
    EXPECT_EQ(save.calls, 0);
    EXPECT_EQ(save.syncs, 0);
    EXPECT_EQ(Session::getAutosaveSeconds(), 130);
    Session::setPaused(false);
    Session::update(1.0001f);
    EXPECT_EQ(save.calls, 1);
    EXPECT_TRUE(inOrder(engine->logText(), {"vumo: Session paused", "vumo: Session unpaused"}));
}
