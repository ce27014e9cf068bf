#include "DebugNames.h"
#include "EngineHarness.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    // A game of its own title whose library script declares a variable of that name and names a debug item.
    void writeGame(const GameFolder& folder, const std::string& title)
    {
        folder.put("cfg/vumo.cfg",
                   "title: " + title + "\ntarget: pc\nwidth: 160\nheight: 120\naudio_mute: 1\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/game.lua",
                   "vars.create('" + title + "', 1)\ndebug.registerItem('" + title + "_item')\n");
    }

    // What the process holds of a session: its variables, its configuration, its user folder and its debug
    // names.
    std::string processState()
    {
        VariableDictionary& variables = VariableDictionary::getGlobal();
        std::string state = variables.isLocked() ? "locked" : "unlocked";
        for (const char* name : {"First", "Second", "active_scene"})
        {
            state += variables.exists(name) ? std::string(" $") + name : "";
        }
        state += " title=" + std::string(Session::getConfigValue("title"));
        state += " items=" + std::string(DebugNames::getItemNames().joined(","));
        return state;
    }
} // namespace

// The player and a test program may start the engine more than once in a process; each start meets
// the process as the first one did.
TEST(EngineRestart, AnEndedEngineLeavesNothingAndStartsAnotherGameFromNothing)
{
    std::vector<std::string> journal;
    GameFolder first;
    GameFolder second;
    writeGame(first, "First");
    writeGame(second, "Second");
    {
        Engine engine(first);
        engine.start();
        journal.push_back("running: " + processState());
        EXPECT_NE(std::string(Session::getUserFolder()).find(first.path), std::string::npos);
    }
    journal.push_back("ended: " + processState());
    {
        Engine engine(second);
        engine.start();
        journal.push_back("running: " + processState());
        EXPECT_NE(std::string(Session::getUserFolder()).find(second.path + "/xdg/Torvin Games/Second"),
                  std::string::npos)
            << Session::getUserFolder();
        EXPECT_EQ(engine.lua("vars.Second"), "1");
        EXPECT_EQ(engine.errorLines(), 0) << engine.logText();
    }
    journal.push_back("ended: " + processState());
    EXPECT_EQ(journal, (std::vector<std::string>{
                           "running: locked $First $active_scene title=First items=First_item",
                           "ended: unlocked title= items=",
                           "running: locked $Second $active_scene title=Second items=Second_item",
                           "ended: unlocked title= items=",
                       }));
}
