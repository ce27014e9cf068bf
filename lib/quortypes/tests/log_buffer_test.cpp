#include <quortypes/Log.h>
#include <quortypes/Thread.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <memory>
#include <sstream>
#include <vector>

using quortypes::Log;

namespace
{
    std::string segment(const std::string& log, int number)
    {
        return log + ".hlog/" + std::to_string(number) + ".log";
    }

    // Standard output into a file read without flushing the stream, so that what waits in its buffer
    // is not seen.
    struct Console
    {
        explicit Console(const ScratchDir& dir)
            : path(dir / "console.txt"), fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)),
              capture(fd)
        {
        }
        ~Console()
        {
            capture.restore();
            close(fd);
        }
        std::string text() const { return readFile(path); }

        std::string path;
        int fd;
        StdoutCapture capture;
    };

    const int writers = 4;
    const int linesEach = 3000;

    struct Writer : quortypes::Thread
    {
        explicit Writer(int index) : Thread(run), index(index) {}
        static void run(Thread* thread)
        {
            int index = static_cast<Writer*>(thread)->index;
            for (int i = 0; i < linesEach; ++i)
            {
                Log::write(formatString("w%d", index), formatString("%d", i));
            }
        }
        int index;
    };

    // Every writer's lines once each and in the order written; the frame's own lines likewise.
    void expectEachWriterInOrder(const std::string& text, int frames, const char* where)
    {
        std::vector<int> next(writers, 0);
        int frame = 0;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
        {
            int writer = 0, number = 0;
            if (sscanf(line.c_str(), "[w%d] %d", &writer, &number) == 2 && writer >= 0 && writer < writers)
            {
                ASSERT_EQ(number, next[writer]) << where << ": writer " << writer;
                ++next[writer];
            }
            else
            {
                ASSERT_EQ(line, "[frame] end " + std::to_string(frame)) << where;
                ++frame;
            }
        }
        EXPECT_EQ(next, std::vector<int>(writers, linesEach)) << where;
        EXPECT_EQ(frame, frames) << where;
    }
} // namespace

TEST(LogBufferTest, WarningsAndErrorsAreWrittenAtOnceOtherLinesAtTheFrameFlush)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    Console out(dir);
    Log::setFilename(log, true);
    Log::write("t", "one");
    Log::warn("t", "two");
    // The warning takes the line before it along.
    EXPECT_EQ(readFile(segment(log, 0)), "[t] one\n[t] WARNING: two\n");
    EXPECT_EQ(out.text(), "[t] one\n[t] WARNING: two\n");
    Log::write("t", "three");
    Log::flush();
    EXPECT_EQ(readFile(segment(log, 0)), "[t] one\n[t] WARNING: two\n[t] three\n");
    EXPECT_EQ(out.text(), "[t] one\n[t] WARNING: two\n[t] three\n");
    Log::error("t", "four");
    EXPECT_EQ(readFile(segment(log, 0)), "[t] one\n[t] WARNING: two\n[t] three\n[t] ERROR: four\n");
    Log::setFilename("", false);
}

TEST(LogBufferTest, AnErrorRightBeforeACrashIsInTheLog)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    Console out(dir);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        Log::setFilename(log, true);
        Log::write("t", "before");
        Log::error("t", "the fault");
        abort();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(out.text(), "[t] before\n[t] ERROR: the fault\n");
    // The next run joins the segments the crashed one left.
    Log::setFilename(log, false);
    EXPECT_EQ(readFile(log), "[t] before\n[t] ERROR: the fault\n");
    Log::setFilename("", false);
}

TEST(LogBufferTest, LinesOfSeveralThreadsStayInOrderAcrossFrameFlushes)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    StdoutCapture out;
    Log::setFilename(log, true);
    std::vector<std::unique_ptr<Writer>> threads;
    for (int w = 0; w < writers; ++w)
    {
        threads.emplace_back(new Writer(w));
        threads.back()->start();
    }
    // The main thread's frames end while the others log.
    int frames = 0;
    for (; frames < 200; ++frames)
    {
        Log::write("frame", "end " + std::to_string(frames));
        Log::flush();
    }
    for (auto& thread : threads)
    {
        thread->join();
    }
    Log::flush();
    out.restore();
    expectEachWriterInOrder(out.text(), frames, "console");
    Log::mergeSegments(true);
    expectEachWriterInOrder(readFile(log), frames, "log file");
    Log::setFilename("", false);
}

TEST(LogBufferTest, SegmentsRotateAtTheLimitAcrossFlushesAndRuns)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    StdoutCapture out;
    // Lines of 0x1000 bytes with their line break: the 33rd passes the limit, the 34th starts segment 1.
    const std::string text(0x1000 - 5, 'x');
    Log::setFilename(log, true);
    for (int i = 0; i < 40; ++i)
    {
        Log::write("t", text);
        if (i % 3 == 0)
        {
            Log::flush();
        }
    }
    Log::flush();
    EXPECT_EQ(std::filesystem::file_size(segment(log, 0)), 33u * 0x1000);
    EXPECT_EQ(std::filesystem::file_size(segment(log, 1)), 7u * 0x1000);
    Log::mergeSegments(true);
    EXPECT_EQ(std::filesystem::file_size(log), 40u * 0x1000);
    // After a merge the lines start again in segment 0.
    Log::write("t", "next");
    Log::flush();
    EXPECT_EQ(readFile(segment(log, 0)), "[t] next\n");
    EXPECT_FALSE(std::filesystem::exists(segment(log, 1)));
    Log::setFilename("", false);
}
