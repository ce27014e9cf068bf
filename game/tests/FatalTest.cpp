#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <lua.hpp>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "Profile.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    const char* const boxStart = "Message box 'VUMO ERROR!': 'An error has ocurred!\n\nDetails:\n";

    struct ThrowingObject : tesraui::Object
    {
        using tesraui::Object::Object;
        static tesraui::Object* create(const hstring& name, kavtypes::Rectangle rect)
        {
            return new ThrowingObject(name, rect);
        }
        void update(float timeDelta) override
        {
            if (timeDelta > 0.0f)
            {
                throw std::out_of_range("test object went out of range");
            }
        }
    };
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

TEST(FatalError, AStandardExceptionFromAnObjectUpdateEndsWithTheBox)
{
    // The child is forked before any thread exists, so it writes into this test's folder.
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts",
               "<Dataset><Object type='ThrowingObject' name='bad' rect='0,0,1,1'/></Dataset>");
    EXPECT_EXIT(
        {
            tesraui::registerObjectFactory("ThrowingObject", &ThrowingObject::create);
            Engine engine(folder);
            engine.start();
            engine.frame(0.016f);
        },
        ::testing::ExitedWithCode(1), "");
    const std::string merged = harness::readFile(folder.userFile("EngineTest", "game.log"));
    EXPECT_TRUE(inOrder(
        merged, {"EXCEPTION: test object went out of range", boxStart, "test object went out of range"}));
}

namespace
{
    // Lua's allocator once memory has run out: nothing new is had, what is given back is freed.
    void* exhausted(void*, void* block, size_t, size_t size)
    {
        if (size == 0)
        {
            std::free(block);
        }
        return nullptr;
    }
} // namespace

// Lua running out of memory in a call the engine makes outside every protected call would end the process
// with Lua's panic, saving nothing: it ends through the fatal box, after the save of what the last sync took.
TEST(FatalError, LuaOutOfMemoryOutsideAProtectedCallSavesAndEndsWithTheBox)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua", "vars.create('score', 0)\n");
    EXPECT_EXIT(
        {
            Engine engine(folder);
            engine.start();
            Profile::changeProfile(Profile::create("Anna"));
            VariableDictionary::getGlobal().get("score").setValue("7", true);
            Session::getProfile()->syncIfAllowed();
            VariableDictionary::getGlobal().get("score").setValue("8", true);
            lua_setallocf(LuaInterface::state, exhausted, nullptr);
            lua_newtable(LuaInterface::state);
            std::exit(7);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_NE(harness::readFile(folder.userFile("EngineTest", "Anna/vars.diff")).find("score: 7\n"),
              std::string::npos);
    const std::string merged = harness::readFile(folder.userFile("EngineTest", "game.log"));
    EXPECT_TRUE(inOrder(merged, {"EXCEPTION: ", "Lua failed outside any protected call: not enough memory",
                                 "Saving profile Anna", boxStart, "not enough memory"}))
        << merged;
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
