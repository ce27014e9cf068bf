#include <string>

#include "Match3SceneFixture.h"

// The duel's scripts reach for its tiles, which the board works with every frame: each way of destroying
// them is refused, and the duel plays on with its whole board.
class Match3TilesHeld : public Match3SceneTest
{
protected:
    // Every cell of the board is still there, the chapter's object of its name and under the scene's root.
    void expectWholeBoard()
    {
        for (int c = 0; c < 5; ++c)
        {
            for (int r = 0; r < 5; ++r)
            {
                Match3Element* cell = scene()->getCell(c, r);
                ASSERT_NE(cell, nullptr);
                EXPECT_EQ(object(cell->getName()), cell);
                EXPECT_EQ(cell->getParent(), scene()->getRootObject());
            }
        }
    }
    // Frames of 0.1 s until a second board has been dealt (the first one lost), or 20 s.
    bool playUntilDealtAgain()
    {
        for (int i = 0; i < 200 && templarCount() < 2; ++i)
        {
            engine->frame(0.1f);
        }
        return templarCount() >= 2;
    }
};

TEST_F(Match3TilesHeld, ScriptsAndDestructorsCannotTakeTilesAndTheDuelPlaysOn)
{
    // Notes the refusal of a destruction, or that it went through.
    const std::string tryTo =
        "local function try(f, ...)\n"
        "  local ok, e = pcall(f, ...)\n"
        "  note(ok and 'destroyed' or (e:find('goes only with it') and 'refused' or e))\n"
        "end\n";
    const struct
    {
        const char* what;
        std::string script;
        std::string journal;
        const char* warning;
    } rows[] = {
        {"OnLost destroying the children of the scene's root",
         tryTo + "function OnLost() try(object.destroyChildren, root_object) end\n", "refused", nullptr},
        {"each tile destroyed by name",
         tryTo + "function OnUpdate()\n"
                 "  if done then return end\n"
                 "  done = true\n"
                 "  for c = 0, 4 do for r = 0, 4 do try(object.destroy, '0x_' .. c .. '_' .. r) end end\n"
                 "end\n",
         "refused refused refused refused refused refused refused refused refused refused refused refused "
         "refused refused refused refused refused refused refused refused refused refused refused refused "
         "refused",
         nullptr},
        {"a destructor hung under a tile",
         "function OnUpdate()\n"
         "  if done then return end\n"
         "  done = true\n"
         "  object.create('ObjectDestructor', 'od', 'duel.0x_1_1', {})\n"
         "end\n",
         "",
         "ObjectDestructor: object 'duel.0x_1_1' is a part of 'duel.duel.board_sceneRootObject' and goes "
         "only "
         "with it, its deletion is not queued."},
        {"one tile destroyed from OnUpdate",
         tryTo + "function OnUpdate()\n"
                 "  if done then return end\n"
                 "  done = true\n"
                 "  try(object.destroy, 'duel.0x_1_1')\n"
                 "end\n",
         "refused", nullptr},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        // Each a game of its own, with the audio the fixture may have started for the last.
        engine.reset();
        if (ownAudio)
        {
            yim::destroy();
            ownAudio = false;
        }
        harness::forgetSession();
        harness::Engine::log().clear();
        start({{"time", "1"}}, row.script);
        ASSERT_NE(scene(), nullptr);
        EXPECT_TRUE(playUntilDealtAgain());
        EXPECT_EQ(journal(), row.journal);
        if (row.warning != nullptr)
        {
            EXPECT_EQ(engine->logCount(row.warning), 1) << engine->logText();
        }
        expectWholeBoard();
        EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
    }
}

// A name the board would give a tile, already taken by an object of the scene's script: that object keeps
// it and the tile takes a free one, whichever way the duel is entered; the board is dealt whole and plays.
TEST_F(Match3TilesHeld, ATileNameAGameObjectTookStaysItsAndTheTileTakesAFreeOne)
{
    const struct
    {
        const char* what;
        bool fromLobby;
        bool reset;
    } rows[] = {
        {"a switch into the duel", true, false},
        {"the duel as the start scene", false, false},
        {"a reset of the duel", true, true},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        startAfresh({},
                    "if not object.exists('duel.0x_2_3') then\n"
                    "  object.create('ImageBox', '0x_2_3', nil, {x = 0, y = 0, w = 10, h = 10})\n"
                    "end\n",
                    row.fromLobby);
        ASSERT_NE(scene(), nullptr);
        if (row.reset)
        {
            LuaInterface::execute("scene.reset()");
            engine->frame(0.1f);
            ASSERT_NE(scene(), nullptr);
        }
        expectWholeBoard();
        EXPECT_EQ(scene()->getCell(2, 3)->getName(), "0x_2_3_2");
        ASSERT_NE(object("0x_2_3"), nullptr);
        EXPECT_EQ(dynamic_cast<Match3Element*>(object("0x_2_3")), nullptr) << "the script's object keeps it";
        EXPECT_EQ(engine->logCount("Another object of dataset 'duel' is named '0x_2_3'"), 1u)
            << engine->logText();
        ASSERT_TRUE(settle());
        click(2, 3);
        EXPECT_TRUE(scene()->hasSelection());
        EXPECT_EQ(scene()->getSelectedColumn(), 2);
        EXPECT_EQ(scene()->getSelectedRow(), 3);
        EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
    }
}
