#include <functional>
#include <string>
#include <vector>

#include "Match3SceneFixture.h"

namespace
{
    const char* const leave = "scene._queued_switchScene('away.room', 0, 'none')";
} // namespace

// The duel's script leaves the duel's chapter from each of its hooks: the switch waits for the next frame's
// start, so the duel's update that called the hook finishes on a scene that still stands.
TEST_F(Match3SceneTest, LeavingTheDuelFromItsHooksWaitsForTheFramesStart)
{
    struct Row
    {
        const char* hook;
        Settings settings;
        std::string script;
        // Brings the hook about.
        std::function<void()> play;
    };
    const std::vector<Row> rows = {
        {"OnUpdate",
         {},
         std::string("function OnUpdate(dt) if leaving then leaving = false note('OnUpdate') ") + leave +
             " end end\n",
         [] { LuaInterface::execute("leaving = true"); }},
        {"OnSolved",
         {{"positive_effect", "1000"}},
         std::string("function OnSolved() note('OnSolved') ") + leave + " end\n",
         [this]
         {
             ASSERT_TRUE(settle());
             int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
             ASSERT_TRUE(findSwap(true, c1, r1, c2, r2));
             click(c1, r1);
             click(c2, r2);
         }},
        {"OnLost",
         {{"time", "1"}},
         std::string("function OnLost() note('OnLost') ") + leave + " end\n",
         [] {}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.hook);
        harness::forgetSession();
        harness::Engine::log().clear();
        start(row.settings, row.script);
        folder.put("data/chapters/away/away.datadef", "<Dataset/>");
        folder.put("data/chapters/away/scenes/room.scene", "");
        ASSERT_NE(scene(), nullptr) << engine->logText();
        row.play();
        for (int i = 0; i < 300 && Session::getActiveScene()->getFullName() != "away.room"; ++i)
        {
            engine->frame(0.1f);
        }
        engine->frame(0.1f);
        EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "away.room");
        EXPECT_EQ(journal(), row.hook);
        EXPECT_FALSE(Session::getChapter("duel")->isLoaded());
        // The fixture's game has no sound for a solved duel, which is reported as such.
        const size_t noSound = engine->logCount("Sound 'ui.minigame_solved' does not exist!");
        EXPECT_EQ((size_t)harness::Engine::errorLines(), noSound) << engine->logText();
        TearDown();
        ownAudio = false;
    }
}
