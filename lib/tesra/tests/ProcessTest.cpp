#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tesra/tesra.h>

namespace
{
    // The helper program with its output, errors included, on a pipe; message boxes answer OK.
    FILE* start(const std::string& arguments)
    {
        const std::string command =
            std::string(tesra::messageBoxAnswerVariable) + "=ok " TESRA_TEST_HELPER " " + arguments + " 2>&1";
        return popen(command.c_str(), "r");
    }

    std::string readLine(FILE* output)
    {
        char line[256] = "";
        return fgets(line, sizeof(line), output) != nullptr ? std::string(line, strcspn(line, "\n")) : "";
    }

    // The rest of the output and the exit code.
    std::pair<std::string, int> finish(FILE* output)
    {
        std::string text;
        for (int c = fgetc(output); c != EOF; c = fgetc(output))
        {
            text += (char)c;
        }
        const int status = pclose(output);
        return {text, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    }
} // namespace

TEST(Process, SecondInstanceStopsWhileTheFirstRuns)
{
    const std::string id = std::to_string(getpid());
    const std::string hold = "/tmp/tesra-instance-" + id;
    std::ofstream{hold};
    const std::string arguments = "instance 'Vumo Test\\" + id + "' " + hold;
    FILE* first = start(arguments);
    ASSERT_EQ(readLine(first), "running");
    const auto [output, code] = finish(start(arguments));
    EXPECT_EQ(code, 3);
    EXPECT_NE(output.find("Message box 'Warning': 'Cannot launch 'Vumo Test/" + id + "', already running!'"),
              std::string::npos)
        << output;
    // The first ran on; once it has ended, the name is free again.
    remove(hold.c_str());
    EXPECT_EQ(finish(first).second, 0);
    FILE* third = start(arguments);
    EXPECT_EQ(readLine(third), "running");
    EXPECT_EQ(finish(third).second, 0);
}

TEST(Process, FatalBoxKeepsTheLogAndFails)
{
    const std::string log = "/tmp/tesra-fatal-" + std::to_string(getpid()) + ".log";
    const auto [output, code] = finish(start("fatal " + log));
    EXPECT_EQ(code, 1) << output;
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    EXPECT_NE(text.str().find("[test] before the failure"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Message box 'VUMO ERROR!': 'something failed'"), std::string::npos);
    EXPECT_EQ(text.str().find("after the box"), std::string::npos);
    // The segments were joined and removed.
    EXPECT_EQ(access((log + ".hlog").c_str(), F_OK), -1);
    remove(log.c_str());
}
