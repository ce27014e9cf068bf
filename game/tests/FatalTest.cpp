#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "EngineHarness.h"

using namespace vumo;

using harness::GameFolder;
using harness::inOrder;

namespace
{
    const char* const boxStart = "Message box 'VUMO ERROR!': 'An error has ocurred!\n\nDetails:\n";
} // namespace

TEST(FatalError, AFolderWithoutTheUIDatasetEndsWithTheBoxAndExitCodeOne)
{
    GameFolder folder;
    folder.config();
    EXPECT_EQ(harness::runPlayer(folder), 1);
    const std::string out = harness::readFile(folder.path + "/out.txt");
    const std::string merged = harness::readFile(folder.userFile("EngineTest", "game.log"));
    for (const std::string& text : {out, merged})
    {
        EXPECT_TRUE(inOrder(text, {"\n----------------------\nEXCEPTION: ", "data/ui/ui.dts",
                                   "\n----------------------\n", boxStart,
                                   "\n---------------\nPlease check if you're running the latest version"}))
            << text;
    }
}

TEST(FatalError, AnInvalidTitleShowsTheConfigurationBox)
{
    GameFolder folder;
    folder.put("cfg/vumo.cfg", "title: Not valid!\n");
    EXPECT_EQ(harness::runPlayer(folder), 1);
    EXPECT_TRUE(inOrder(harness::readFile(folder.path + "/out.txt"),
                        {"Message box 'VUMO ERROR': '", "Invalid 'title' property in cfg file"}));
}

TEST(SingleInstance, ASecondPlayerWarnsAndLeavesTheFirstRunning)
{
    GameFolder folder;
    folder.copyDemo();
    GameFolder second;
    second.copyDemo();
    const std::string command = "cd '" + folder.path + "' && exec env " + folder.environment() +
                                "SDL_VIDEODRIVER=offscreen TESRA_MESSAGEBOX_ANSWER=ok '" VUMO_PLAYER
                                "' > out.txt 2>&1";
    const pid_t first = fork();
    ASSERT_GE(first, 0);
    if (first == 0)
    {
        execl("/bin/sh", "sh", "-c", command.c_str(), (char*)nullptr);
        _exit(127);
    }
    const std::string firstOut = folder.path + "/out.txt";
    for (int i = 0; i < 600 && harness::readFile(firstOut).find("VumoDemo") == std::string::npos; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The second shares the first's instance lock folder.
    EXPECT_EQ(harness::runPlayer(second, "XDG_RUNTIME_DIR='" + folder.path + "/run'"), 0);
    EXPECT_TRUE(inOrder(harness::readFile(second.path + "/out.txt"),
                        {"Message box 'Warning': 'Cannot launch 'VUMO', already running!'"}));
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first player ended";
    kill(first, SIGTERM);
    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(inOrder(harness::readFile(firstOut), {"Starting project 'VumoDemo'", "VUMO destroyed"}));
}
