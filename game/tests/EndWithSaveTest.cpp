#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

#include "EngineHarness.h"
#include "X11Windows.h"

using harness::GameFolder;

namespace
{
    // A game that asks before every close (its ui.OnWindowClose refuses), makes the profile Anna and sets
    // its score in the first frame, saving nothing itself; once the engine's clock has synced the profile
    // (once a second) it runs the given ending. Only the shut-down save can put the score in Anna's files.
    void putGame(const GameFolder& folder, const std::string& ending)
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", "vars.create('score', 0)\n"
                                      "function ui.OnWindowClose() vumo.log('close refused') end\n"
                                      "elapsed = nil\n"
                                      "function ui.update(dt)\n"
                                      "\tif elapsed == nil then\n"
                                      "\t\tprofile.change(profile.create('Anna'))\n"
                                      "\t\tvars.score = 7\n"
                                      "\t\telapsed = 0\n"
                                      "\telseif elapsed < 1.5 then\n"
                                      "\t\telapsed = elapsed + dt\n"
                                      "\t\tif elapsed >= 1.5 then\n"
                                      "\t\t\tio.open('end_asked', 'w'):close()\n"
                                      "\t\t\t" +
                                          ending +
                                          "\n"
                                          "\t\tend\n"
                                          "\tend\n"
                                          "end\n");
    }

    struct Ending
    {
        const char* name;
        const char* script;
        int code;
    };

    struct PlayerEnd
    {
        int code = -1;
        double endSeconds = -1.0; // from the ending's start to the process's end
        std::string out;
        std::string diff;
    };

    PlayerEnd runToEnd(const GameFolder& folder, const std::string& environment = "")
    {
        PlayerEnd result;
        result.code = harness::runPlayer(folder, environment + "timeout -s KILL 30");
        result.out = harness::readFile(folder.path + "/out.txt");
        result.diff = harness::readFile(folder.userFile("EngineTest", "Anna/vars.diff"));
        std::error_code error;
        const auto asked = std::filesystem::last_write_time(folder.path + "/end_asked", error);
        if (!error)
        {
            result.endSeconds =
                std::chrono::duration<double>(std::filesystem::file_time_type::clock::now() - asked).count();
        }
        return result;
    }
} // namespace

// A termination signal is no close the game may refuse, and a script's os.exit no end at the spot: each
// ends through the engine's end, which saves the profile.
TEST(EndWithSave, SignalsAndOsExitEndThroughTheShutDownSave)
{
    // The signals come from a shell the game starts, after the game's call has returned: a shell's
    // $PPID is the player.
    const Ending endings[] = {
        {"SIGTERM", "os.execute('(sleep 0.3; kill -TERM $PPID) &')", 0},
        {"SIGINT", "os.execute('(sleep 0.3; kill -INT $PPID) &')", 0},
        {"SIGHUP", "os.execute('(sleep 0.3; kill -HUP $PPID) &')", 0},
        {"os.exit()", "os.exit() vumo.log('the script goes on')", 0},
        {"os.exit(3)", "os.exit(3)", 3},
    };
    for (const Ending& ending : endings)
    {
        SCOPED_TRACE(ending.name);
        GameFolder folder;
        putGame(folder, ending.script);
        const PlayerEnd result = runToEnd(folder);
        EXPECT_EQ(result.code, ending.code) << result.out;
        EXPECT_NE(result.diff.find("score: 7"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("VUMO destroyed"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("close refused"), std::string::npos) << result.out;
        // Generous for a loaded machine under the sanitizers; the signals wait 0.3 s before they come.
        EXPECT_GE(result.endSeconds, 0.0) << result.out;
        EXPECT_LT(result.endSeconds, 10.0) << result.out;
    }
}

// Under X11 another program may destroy the player's window; what the player asks about it then fails, and
// Xlib's default end would leave the profile unsaved. Run on a virtual display by the test below.
TEST(EndWithSave, AWindowDestroyedOnTheDisplay)
{
    if (std::getenv("VUMO_WINDOW_DESTROY_RUN") == nullptr)
    {
        GTEST_SKIP()
            << "run on a virtual display by EndWithSave.AWindowAnotherProgramDestroysEndsThroughTheSave";
    }
    GameFolder folder;
    putGame(folder, "");
    std::future<PlayerEnd> result =
        std::async(std::launch::async, [&folder] { return runToEnd(folder, "SDL_VIDEODRIVER=x11 "); });
    // Once the score is synced, as in the other endings.
    for (int i = 0; i < 600 && !std::filesystem::exists(folder.path + "/end_asked"); ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(harness::destroyWindowTitled("Engine Test", 10.0));
    const PlayerEnd end = result.get();
    EXPECT_EQ(end.code, 0) << end.out;
    EXPECT_NE(end.diff.find("score: 7"), std::string::npos) << end.out;
    EXPECT_NE(end.out.find("The window was destroyed by another program"), std::string::npos) << end.out;
    EXPECT_NE(end.out.find("VUMO destroyed"), std::string::npos) << end.out;
}

TEST(EndWithSave, AWindowAnotherProgramDestroysEndsThroughTheSave)
{
    if (std::system("command -v xvfb-run > /dev/null 2>&1") != 0)
    {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    // A folder of its own: the whole program may run beside this one test at the same time.
    const GameFolder scratch;
    const std::string log = scratch.path + "/window-destroyed.txt";
    const std::string run = "xvfb-run -a env -u SDL_VIDEODRIVER VUMO_WINDOW_DESTROY_RUN=1 " +
                            harness::ownCaseCommand("EndWithSave.AWindowDestroyedOnTheDisplay") + " > '" +
                            log + "' 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0) << harness::readFile(log);
}
