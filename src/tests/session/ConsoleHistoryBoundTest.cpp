#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>

#include "ConsoleInput.h"
#include "EngineHarness.h"
#include "SessionFixture.h"
#include "SessionState.h"
#include "Variables.h"
#include "ui/DebugUI.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// A console in debug mode whose history file may hold lines past the bound.
class ConsoleHistoryBound : public harness::SessionTest
{
protected:
    UI* ui = nullptr;
    DebugUI* debug = nullptr;

    std::string historyFile() { return folder.userFile("EngineTest", "console.txt"); }
    // With a size, the history file is made that large (sparse: it takes no room).
    void start(const std::string& history, std::uintmax_t size = 0)
    {
        folder.config("scene: c1.a\ndebug_mode: 1\ndeveloper_mode: 1\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "");
        std::filesystem::create_directories(folder.userFile("EngineTest", ""));
        folder.put(historyFile().substr(folder.path.size() + 1), history);
        if (size > 0)
        {
            std::filesystem::resize_file(historyFile(), size);
        }
        ASSERT_NO_FATAL_FAILURE(startSession());
        ui = UI::getInstance();
        debug = ui->getDebugUI();
        engine->frame();
        ui->OnKeyDown(9);
        ui->OnKeyUp(9);
        ASSERT_TRUE(debug->isConsoleOpen());
    }
    void submit(const std::string& line) { harness::submitToConsole(*engine, debug, line); }
};

// A line past the bound runs but is neither kept nor written, so recalling and running it again cannot grow
// the file; one left in the file by an earlier run is dropped from it.
TEST_F(ConsoleHistoryBound, ALongLineRunsButIsNeitherKeptNorWritten)
{
    const std::string tooLong(DebugUI::maxHistoryLine + 1, 'x');
    const std::string longest(DebugUI::maxHistoryLine, 'y');
    start("first\n" + tooLong + "\n" + longest + "\n");
    ASSERT_EQ(debug->getHistory().size(), 2);
    EXPECT_EQ(debug->getHistory()[0], "first");
    EXPECT_EQ(debug->getHistory()[1], longest.c_str());
    EXPECT_EQ(harness::readFile(historyFile()), "first\n" + longest + "\n");

    const std::string command = "long = '" + std::string(DebugUI::maxHistoryLine, 'z') + "'";
    for (int i = 0; i < 3; ++i)
        submit(command);
    EXPECT_EQ(engine->lua("#(c1.a.long or long)"), std::to_string(DebugUI::maxHistoryLine));
    EXPECT_EQ(debug->getHistory().size(), 2);
    submit("2");
    EXPECT_EQ(debug->getHistory().size(), 3);
    EXPECT_EQ(harness::readFile(historyFile()), "first\n" + longest + "\n2\n");
}

// The file holds the history's last commands however many run: it grew by every command while the console
// stayed open, and was read whole at the next opening. One larger than any history is kept aside unread,
// and one that cannot be read (another user's) is neither read again nor added to.
TEST_F(ConsoleHistoryBound, TheFileKeepsTheLastCommandsAndOneItCannotReadIsLeftAlone)
{
    // Two gigabytes: only reading them would cost.
    start("", (std::uintmax_t)2 << 30);
    EXPECT_EQ(debug->getHistory().size(), 0);
    EXPECT_EQ(std::filesystem::file_size(historyFile() + ".damaged"), (std::uintmax_t)2 << 30);
    std::string expected;
    for (int i = 0; i < DebugUI::maxHistory + 5; ++i)
    {
        submit("n = " + std::to_string(i));
        expected += i >= 5 ? "n = " + std::to_string(i) + "\n" : "";
    }
    const int most = DebugUI::maxHistory;
    EXPECT_EQ(debug->getHistory().size(), most);
    EXPECT_EQ(harness::readFile(historyFile()), expected);

    ui->OnKeyDown(9);
    ui->OnKeyUp(9);
    ASSERT_TRUE(engine->waitUntil([this] { return !debug->isConsoleOpen(); }));
    const harness::FileFault unreadable("read", historyFile(), EACCES);
    ui->OnKeyDown(9);
    ui->OnKeyUp(9);
    ASSERT_TRUE(debug->isConsoleOpen());
    EXPECT_EQ(debug->getHistory().size(), 0);
    submit("n = 'last'");
    EXPECT_EQ(engine->lua("c1.a.n or n"), "last");
    EXPECT_EQ(harness::readFile(historyFile()), expected);
}
