#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tesra/tesra.h>

namespace
{

    // A helper program running with its input and output on pipes.
    struct Child
    {
        pid_t pid = -1;
        int input = -1;  // write end of the child's input
        int output = -1; // read end of the child's output

        std::string readLine()
        {
            std::string line;
            char c;
            while (read(output, &c, 1) == 1 && c != '\n')
            {
                line += c;
            }
            return line;
        }
        std::string readAll()
        {
            std::string text;
            char buffer[4096];
            ssize_t count;
            while ((count = read(output, buffer, sizeof(buffer))) > 0)
            {
                text.append(buffer, (size_t)count);
            }
            return text;
        }
        int wait()
        {
            if (input >= 0)
            {
                close(input);
                input = -1;
            }
            int status = 0;
            waitpid(pid, &status, 0);
            if (output >= 0)
            {
                close(output);
            }
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        bool running() const { return waitpid(pid, nullptr, WNOHANG) == 0; }
    };

    Child start(const std::vector<std::string>& args)
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
            std::vector<char*> argv;
            argv.push_back((char*)TESRA_TEST_HELPER);
            for (const std::string& arg : args)
            {
                argv.push_back((char*)arg.c_str());
            }
            argv.push_back(nullptr);
            setenv(tesra::messageBoxAnswerVariable, "ok", 1);
            execv(TESRA_TEST_HELPER, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        child.input = in[1];
        child.output = out[0];
        return child;
    }

    std::string temporaryFolder()
    {
        char pattern[] = "/tmp/tesra-test-XXXXXX";
        return mkdtemp(pattern);
    }

} // namespace

TEST(Process, SecondInstanceStopsWhileTheFirstRuns)
{
    const std::string name = "Vumo Test\\" + std::to_string(getpid());
    Child first = start({"instance", name});
    ASSERT_EQ(first.readLine(), "running");
    Child second = start({"instance", name});
    const std::string output = second.readAll();
    EXPECT_EQ(second.wait(), 3);
    const std::string shownName = "Vumo Test/" + std::to_string(getpid());
    EXPECT_NE(output.find("Message box 'Warning': 'Cannot launch '" + shownName + "', already running!'"),
              std::string::npos)
        << output;
    EXPECT_TRUE(first.running());
    // Once the first has ended, the name is free again.
    EXPECT_EQ(first.wait(), 0);
    Child third = start({"instance", name});
    EXPECT_EQ(third.readLine(), "running");
    EXPECT_EQ(third.wait(), 0);
}

TEST(Process, FatalBoxKeepsTheLogAndFails)
{
    const std::string folder = temporaryFolder();
    const std::string log = folder + "/game.log";
    Child child = start({"fatal", log});
    const std::string output = child.readAll();
    EXPECT_EQ(child.wait(), 1) << output;
    std::ifstream file(log);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("[test] before the failure"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Message box 'VUMO ERROR!': 'something failed'"), std::string::npos);
    EXPECT_EQ(text.str().find("after the box"), std::string::npos);
    // The segments were joined and removed.
    EXPECT_EQ(access((log + ".hlog").c_str(), F_OK), -1);
    remove(log.c_str());
    rmdir(folder.c_str());
}
