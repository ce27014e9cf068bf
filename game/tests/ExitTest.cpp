#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "EngineHarness.h"

using namespace vumo;

using harness::GameFolder;

namespace
{
    struct PlayerRun
    {
        int code = -1;
        double seconds = 0.0;      ///< the whole run
        double exitSeconds = -1.0; ///< from the script's end request to the process's end; -1 without one
        std::string out;
    };

    // Runs the player in the folder, killed when it outlives the limit, so that a hang fails the test
    // instead of stopping it.
    PlayerRun runPlayerWithin(const GameFolder& folder, int limitSeconds)
    {
        const auto start = std::chrono::steady_clock::now();
        PlayerRun run;
        run.code = harness::runPlayer(folder, "timeout -s KILL " + std::to_string(limitSeconds));
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.out = harness::readFile(folder.path + "/out.txt");
        std::error_code error;
        const auto asked = std::filesystem::last_write_time(folder.path + "/end_asked", error);
        if (!error)
        {
            run.exitSeconds =
                std::chrono::duration<double>(std::filesystem::file_time_type::clock::now() - asked).count();
        }
        return run;
    }

    // The demo at a window size, ending itself after three seconds of frames.
    void demoAt(const GameFolder& folder, int width, int height)
    {
        folder.copyDemo();
        std::string config = harness::readFile(folder.path + "/cfg/vumo.cfg");
        for (const std::string key : {"width: ", "height: "})
        {
            const size_t at = config.find("\n" + key) + 1;
            config.replace(at, config.find('\n', at) - at,
                           key + std::to_string(key[0] == 'w' ? width : height));
        }
        folder.put("cfg/vumo.cfg", config);
        folder.put("data/lib/zz_end.lua", "local update = ui.update\n"
                                          "function ui.update(dt)\n"
                                          "\tupdate(dt)\n"
                                          "\tif ui.clock > 3 and not ui.ending then\n"
                                          "\t\tui.ending = true\n"
                                          "\t\tio.open('end_asked', 'w'):close()\n"
                                          "\t\tvumo.endProgram()\n"
                                          "\tend\n"
                                          "end\n");
    }
} // namespace

// Window sizes at which the software renderer once fell so far behind the unpaced frames that destroying
// its context at exit never returned.
TEST(Exit, ThePlayerEndsPromptlyAtEveryWindowSize)
{
    const int runs = 3;
    for (const std::pair<int, int>& size :
         std::vector<std::pair<int, int>>{{800, 600}, {1024, 768}, {1280, 720}})
    {
        const std::string name = std::to_string(size.first) + "x" + std::to_string(size.second);
        std::vector<std::unique_ptr<GameFolder>> folders;
        std::vector<std::future<PlayerRun>> results;
        for (int i = 0; i < runs; ++i)
        {
            folders.emplace_back(new GameFolder());
            demoAt(*folders.back(), size.first, size.second);
            results.push_back(
                std::async(std::launch::async, runPlayerWithin, std::cref(*folders.back()), 60));
        }
        for (std::future<PlayerRun>& result : results)
        {
            const PlayerRun run = result.get();
            EXPECT_EQ(run.code, 0) << name << "\n" << run.out;
            // The exit itself is timed: start-up and the three seconds of frames stretch on a loaded machine.
            EXPECT_GE(run.exitSeconds, 0.0) << name << "\n" << run.out;
            EXPECT_LT(run.exitSeconds, 10.0) << name << "\n" << run.out;
            EXPECT_NE(run.out.find("VUMO destroyed"), std::string::npos) << name << "\n" << run.out;
        }
    }
}

TEST(Exit, AnEndAskedForDuringStartUpEndsTheProgramBeforeItsFirstFrame)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua", "function ui.init() vumo.endProgram() end\n"
                                  "function ui.update(dt) vumo.log('a frame ran') end\n");
    const PlayerRun run = runPlayerWithin(folder, 30);
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("VUMO destroyed"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("a frame ran"), std::string::npos) << run.out;
}

TEST(Exit, AGameThatForbidsUndeclaredGlobalsRunsAndEnds)
{
    GameFolder folder;
    folder.config("scene: ch1.a\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/a_ui.lua", "frames = 0\n"
                                    "function ui.update(dt)\n"
                                    "\tframes = frames + 1\n"
                                    "\tif frames == 5 then vumo.log('frames done') vumo.endProgram() end\n"
                                    "end\n");
    folder.put("data/lib/b_strict.lua",
               "setmetatable(_G, {__index = function(t, k) error('undeclared ' .. k, 2) end})\n");
    folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
    // The scene declares the hooks the engine asks it for: a lookup of a missing one fails under these
    // rules, and a scripting error holds the game behind the error overlay.
    folder.put("data/chapters/ch1/scenes/a.scene",
               "function OnActivate() end\nfunction OnDeactivate() end\nfunction OnUpdate(dt) end\n");
    const PlayerRun run = runPlayerWithin(folder, 30);
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_EQ(run.out.find("PANIC"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("activating scene a"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("frames done"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("VUMO destroyed"), std::string::npos) << run.out;
}

TEST(Exit, NamedPipesInPlaceOfThePlayersLogAndDiffAreNamedAndDoNotHoldTheStart)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua",
               "function ui.init()\n"
               "\tlocal ok, error = pcall(profile.change, 'Anna')\n"
               "\tvumo.log('profile changed: ' .. tostring(ok) .. ' ' .. tostring(error))\n"
               "\tvumo.endProgram()\n"
               "end\n");
    const std::string log = folder.userFile("EngineTest", "game.log");
    const std::string diff = folder.userFile("EngineTest", "Anna/vars.diff");
    std::filesystem::create_directories(std::filesystem::path(diff).parent_path());
    ASSERT_EQ(mkfifo(log.c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(diff.c_str(), 0644), 0);
    const PlayerRun run = runPlayerWithin(folder, 60);
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_NE(run.out.find("Cannot write log file '" + log + "': not a regular file."), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Unable to read file '" + diff + "': not a regular file"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("profile changed: false"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("VUMO destroyed"), std::string::npos) << run.out;
    for (const std::string& path : {log, diff})
        EXPECT_TRUE(std::filesystem::is_fifo(path)) << path;
}
