#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tesra/tesra.h>

namespace
{
    // The helper program running with its input and output on pipes.
    struct Child
    {
        pid_t pid = -1;
        int input = -1; // the write end of the child's input
        FILE* output = nullptr;

        std::string readLine()
        {
            char line[256] = "";
            return fgets(line, sizeof(line), output) != nullptr ? std::string(line, strcspn(line, "\n")) : "";
        }
        std::string readAll()
        {
            std::string text;
            for (int c = fgetc(output); c != EOF; c = fgetc(output))
            {
                text += (char)c;
            }
            return text;
        }
        int wait()
        {
            close(input);
            int status = 0;
            waitpid(pid, &status, 0);
            fclose(output);
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        bool running() const { return waitpid(pid, nullptr, WNOHANG) == 0; }
    };

    Child start(const char* mode, const std::string& argument)
    {
        int in[2];
        int out[2];
        EXPECT_EQ(pipe(in), 0);
        EXPECT_EQ(pipe(out), 0);
        Child child;
        child.pid = fork();
        if (child.pid == 0)
        {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(out[1], 2);
            close(in[1]);
            close(out[0]);
            setenv(tesra::messageBoxAnswerVariable, "ok", 1);
            execl(TESRA_TEST_HELPER, TESRA_TEST_HELPER, mode, argument.c_str(), (char*)nullptr);
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        child.input = in[1];
        child.output = fdopen(out[0], "r");
        return child;
    }
} // namespace

TEST(Process, SecondInstanceStopsWhileTheFirstRuns)
{
    const std::string name = "Vumo Test\\" + std::to_string(getpid());
    Child first = start("instance", name);
    ASSERT_EQ(first.readLine(), "running");
    Child second = start("instance", name);
    const std::string output = second.readAll();
    EXPECT_EQ(second.wait(), 3);
    const std::string shownName = "Vumo Test/" + std::to_string(getpid());
    EXPECT_NE(output.find("Message box 'Warning': 'Cannot launch '" + shownName + "', already running!'"),
              std::string::npos)
        << output;
    EXPECT_TRUE(first.running());
    // Once the first has ended, the name is free again.
    EXPECT_EQ(first.wait(), 0);
    Child third = start("instance", name);
    EXPECT_EQ(third.readLine(), "running");
    EXPECT_EQ(third.wait(), 0);
}

TEST(Process, FatalBoxKeepsTheLogAndFails)
{
    const std::string log = "/tmp/tesra-fatal-" + std::to_string(getpid()) + ".log";
    Child child = start("fatal", log);
    const std::string output = child.readAll();
    EXPECT_EQ(child.wait(), 1) << output;
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    EXPECT_NE(text.str().find("[test] before the failure"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Message box 'VUMO ERROR!': 'something failed'"), std::string::npos);
    EXPECT_EQ(text.str().find("after the box"), std::string::npos);
    // The segments were joined and removed.
    EXPECT_EQ(access((log + ".hlog").c_str(), F_OK), -1);
    remove(log.c_str());
}
