#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
#include <quortypes/FileBytes.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>

#include "test_support.h"

using quortypes::File;

namespace
{
    // What the step threw, after its "[file:line] " prefix; "" when it threw nothing.
    std::string thrownBy(const std::function<void()>& step)
    {
        try
        {
            step();
        }
        catch (const quortypes::exception& e)
        {
            const std::string message = e.getMessage();
            const size_t start = message.find("] ");
            return start == std::string::npos ? message : message.substr(start + 2);
        }
        return "";
    }

    // Runs the step on a thread and waits for it generously. A step that hangs on the pipe (opening it
    // waits for its other end) is set free by opening that end, and counts as failed.
    bool endsWithoutWaitingFor(const std::string& pipe, const std::function<void()>& step)
    {
        std::atomic<bool> ended{false};
        std::thread runner(
            [&]
            {
                step();
                ended = true;
            });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!ended && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const bool result = ended;
        // Both ends at once never wait: a blocked opener goes on.
        const int fd = result ? -1 : ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
        runner.join();
        if (fd >= 0)
            ::close(fd);
        return result;
    }

    bool isPipe(const std::string& path)
    {
        struct stat info;
        return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
    }
} // namespace

// A named pipe where a player's file belongs would hold every open until something opened its other end,
// which nothing does: readers and writers refuse it at once, say so, and leave it where it is.
TEST(NonRegularFiles, ANamedPipeInAFilesPlaceIsRefusedAtOnceAndLeftAlone)
{
    ScratchDir dir;
    const std::string pipe = dir / "vars.diff";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    dir.put("good.txt", "good");
    const struct
    {
        const char* what;
        std::function<std::string()> step;
        std::string thrown;
    } cases[] = {
        {"read if present",
         [&]
         {
             hstring bytes;
             return thrownBy([&] { readFileIfPresent(pipe, bytes); });
         },
         "Unable to read file '" + pipe + "': not a regular file"},
        {"read whole", [&] { return thrownBy([&] { readFileBytes(pipe, false); }); },
         "'" + pipe + "' is not a regular file"},
        {"open to write", [&] { return thrownBy([&] { File file(pipe, quortypes::AccessMode::Write); }); },
         "'" + pipe + "' is not a regular file"},
        {"save atomically", [&] { return thrownBy([&] { quortypes::saveFileAtomically(pipe, "new"); }); },
         "Unable to save file '" + pipe +
             "': something that is not a regular file is in its place, and is left as it is"},
        // The save steps around it, writing under another temporary name.
        {"save beside a pipe under the temporary name",
         [&] { return thrownBy([&] { quortypes::saveFileAtomically(dir / "vars", "new"); }); }, ""},
        {"clear", [&] { return std::string(File::clear(pipe) ? "cleared" : ""); }, ""},
        {"copy from", [&] { return std::string(File::copy(pipe, dir / "copy.txt") ? "copied" : ""); }, ""},
        {"copy over", [&] { return std::string(File::copy(dir / "good.txt", pipe, true) ? "copied" : ""); },
         ""},
        {"open with fopen's modes",
         [&]
         {
             std::string opened;
             for (const char* mode : {"rb", "wb", "ab", "r+b", "w+b", "a+b"})
             {
                 if (FILE* file = quortypes::openRegularFile(pipe, mode))
                 {
                     fclose(file);
                     opened += mode;
                 }
                 else if (quortypes::describeFileError(errno) != "not a regular file")
                 {
                     opened += quortypes::describeFileError(errno);
                 }
             }
             return opened;
         },
         ""},
    };
    ASSERT_EQ(::mkfifo((dir / "vars.tmp").c_str(), 0644), 0);
    for (const auto& c : cases)
    {
        std::string result = "not run";
        EXPECT_TRUE(endsWithoutWaitingFor(pipe, [&] { result = c.step(); })) << c.what;
        EXPECT_EQ(result, c.thrown) << c.what;
        EXPECT_TRUE(isPipe(pipe)) << c.what;
    }
    EXPECT_TRUE(isPipe(dir / "vars.tmp"));
    EXPECT_EQ(dir.read("vars"), "new");
    EXPECT_FALSE(File::exists(dir / "vars.1.tmp"));
    EXPECT_EQ(dir.read("good.txt"), "good");
    // Regular files open as before with every mode.
    for (const char* mode : {"rb", "r+b", "ab", "a+b"})
    {
        FILE* file = quortypes::openRegularFile(dir / "good.txt", mode);
        ASSERT_NE(file, nullptr) << mode;
        fclose(file);
    }
    EXPECT_EQ(dir.read("good.txt"), "good");
}

// The log file in the player's folder: a pipe there is named once on the console and no log file is
// written, while the lines still reach the console and the callback.
TEST(NonRegularFiles, ALogFileThatIsAPipeIsNamedAndLeftAlone)
{
    ScratchDir dir;
    const std::string pipe = dir / "game.log";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    StdoutCapture out;
    EXPECT_TRUE(endsWithoutWaitingFor(pipe,
                                      [&]
                                      {
                                          quortypes::Log::setFilename(pipe, true);
                                          quortypes::Log::write("t", "a line");
                                          quortypes::Log::error("t", "an error");
                                          quortypes::Log::flush();
                                          quortypes::Log::mergeSegments(true);
                                      }));
    quortypes::Log::setFilename("", false);
    const std::string text = out.text();
    out.restore();
    EXPECT_NE(text.find("Cannot write log file '" + pipe +
                        "': not a regular file. Lines are not written into "
                        "a log file."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("[t] a line"), std::string::npos) << text;
    EXPECT_TRUE(isPipe(pipe));
    EXPECT_FALSE(std::filesystem::exists(pipe + ".hlog"));
}
