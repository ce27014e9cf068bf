#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tesra/tesra.h>

namespace
{
    std::string readFile(const std::string& path)
    {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }

    // The helper's standard error and log file, and its exit code, for one run in the given environment.
    struct Ending
    {
        int code;
        std::string errors;
        std::string log;
    };

    Ending runHelper(const std::string& environment, const std::string& arguments, const std::string& log)
    {
        const std::string errors = "/tmp/tesra-fatal-errors-" + std::to_string(getpid());
        const std::string command =
            "env " + environment + " " TESRA_TEST_HELPER " " + arguments + " > /dev/null 2> " + errors;
        const int status = std::system(command.c_str());
        Ending ending = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(errors), readFile(log)};
        remove(errors.c_str());
        remove(log.c_str());
        return ending;
    }
} // namespace

// Where no box can be shown, the message still reaches standard error and the log.
TEST(FatalMessage, ReachesStandardErrorAndTheLogWithoutADisplay)
{
    const std::string log = "/tmp/tesra-fatal-nodisplay-" + std::to_string(getpid()) + ".log";
    const std::string variable = tesra::messageBoxAnswerVariable;
    // The box tried for real, then answered by the tests' switch.
    for (const std::string& answer :
         {"-u " + variable + " SDL_VIDEODRIVER=offscreen", "SDL_VIDEODRIVER=offscreen " + variable + "=ok"})
    {
        const Ending ending = runHelper("-u DISPLAY -u WAYLAND_DISPLAY " + answer, "fatal " + log, log);
        EXPECT_EQ(ending.code, 1) << answer;
        EXPECT_NE(ending.errors.find("VUMO ERROR!: something failed\n"), std::string::npos)
            << answer << ": " << ending.errors;
        EXPECT_NE(ending.log.find("Message box 'VUMO ERROR!': 'something failed'"), std::string::npos)
            << answer << ": " << ending.log;
        EXPECT_EQ(ending.log.find("after the box"), std::string::npos);
    }
}

TEST(FatalMessage, AlreadyRunningIsOnStandardErrorToo)
{
    const std::string id = std::to_string(getpid());
    const std::string hold = "/tmp/tesra-fatal-instance-" + id;
    std::ofstream{hold};
    const std::string arguments = "instance 'Vumo Fatal\\" + id + "' " + hold;
    FILE* first = popen(
        (std::string(tesra::messageBoxAnswerVariable) + "=ok " TESRA_TEST_HELPER " " + arguments).c_str(),
        "r");
    char line[64] = "";
    ASSERT_NE(fgets(line, sizeof(line), first), nullptr);
    const Ending second =
        runHelper("-u DISPLAY -u WAYLAND_DISPLAY -u " + std::string(tesra::messageBoxAnswerVariable) +
                      " SDL_VIDEODRIVER=offscreen",
                  arguments, "/tmp/none");
    EXPECT_EQ(second.code, 3);
    EXPECT_NE(second.errors.find("Warning: Cannot launch 'Vumo Fatal/" + id + "', already running!\n"),
              std::string::npos)
        << second.errors;
    remove(hold.c_str());
    pclose(first);
}

// A desktop without the dialog helper that the platform may try: SDL's own X11 box either shows (and
// waits for its button, so it is ended after a generous wait) or cannot, for want of the fonts it asks the
// X server for; in both cases the message is on standard error and in the log, and the run fails.
TEST(FatalMessage, UnderX11WithoutADialogHelperTheMessageIsKept)
{
    if (std::system("command -v xvfb-run > /dev/null") != 0)
    {
        GTEST_SKIP() << "xvfb-run is not installed (scripts/install-deps installs it)";
    }
    const std::string id = std::to_string(getpid());
    const std::string log = "/tmp/tesra-fatal-x11-" + id + ".log";
    const std::string empty = "/tmp/tesra-fatal-path-" + id;
    mkdir(empty.c_str(), 0700);
    // Only an empty folder on the program's path: no dialog helper can be started. The program's own
    // exit code is kept aside, apart from the X server wrapper's.
    const std::string command = "xvfb-run -a sh -c 'timeout -s KILL 30 env -u WAYLAND_DISPLAY -u " +
                                std::string(tesra::messageBoxAnswerVariable) + " PATH=" + empty +
                                " SDL_VIDEODRIVER=x11 " TESRA_TEST_HELPER " fatal " + log +
                                " > /dev/null 2> " + empty + ".err; echo $? > " + empty + ".code'";
    std::system(command.c_str());
    const std::string errors = readFile(empty + ".err");
    const std::string text = readFile(log);
    const int code = std::atoi(readFile(empty + ".code").c_str());
    // 137: the box was up until the wait ended it.
    EXPECT_TRUE(code == 1 || code == 137) << code << errors;
    EXPECT_NE(errors.find("VUMO ERROR!: something failed\n"), std::string::npos) << errors;
    if (code == 1)
    {
        // A killed program never joins its log segments; one that ended by itself has.
        EXPECT_NE(text.find("Message box 'VUMO ERROR!': 'something failed'"), std::string::npos) << text;
        EXPECT_EQ(text.find("after the box"), std::string::npos) << text;
    }
    remove((empty + ".err").c_str());
    remove((empty + ".code").c_str());
    rmdir(empty.c_str());
    remove(log.c_str());
}
