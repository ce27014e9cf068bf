#include <quortypes/Log.h>
#include <quortypes/Thread.h>

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <memory>
#include <vector>

using quortypes::Log;

namespace
{
    const int writers = 8;
    const int linesEach = 20000;

    struct Writer : quortypes::Thread
    {
        explicit Writer(int index) : Thread(run), index(index) {}
        static void run(Thread* thread)
        {
            int index = static_cast<Writer*>(thread)->index;
            hstring tag = formatString("w%d", index);
            for (int i = 0; i < linesEach; ++i)
            {
                Log::writef(tag, "line %05d of writer %d, padded to make the segments fill faster", i, index);
            }
        }
        int index;
    };

    // Every line must be a whole line of one writer, and each must appear exactly once.
    void expectEveryLineOnce(const std::string& text, const std::string& where)
    {
        std::vector<std::vector<int>> seen(writers, std::vector<int>(linesEach, 0));
        size_t start = 0;
        int bad = 0;
        while (start < text.size())
        {
            size_t end = text.find('\n', start);
            ASSERT_NE(end, std::string::npos) << where << ": unterminated last line";
            std::string line = text.substr(start, end - start);
            start = end + 1;
            int tag = -1, i = -1, index = -1, used = 0;
            if (sscanf(line.c_str(), "[w%d] line %d of writer %d, padded to make the segments fill faster%n",
                       &tag, &i, &index, &used) != 3 ||
                used != (int)line.size() || tag != index || tag < 0 || tag >= writers || i < 0 ||
                i >= linesEach)
            {
                if (++bad < 5)
                {
                    ADD_FAILURE() << where << ": broken line '" << line << "'";
                }
                continue;
            }
            ++seen[tag][i];
        }
        EXPECT_EQ(bad, 0) << where;
        int wrong = 0;
        for (int w = 0; w < writers; ++w)
        {
            for (int i = 0; i < linesEach; ++i)
            {
                wrong += seen[w][i] != 1;
            }
        }
        EXPECT_EQ(wrong, 0) << where << ": lines missing or repeated";
    }
} // namespace

TEST(LogConcurrencyTest, EightWritersRotateSegmentsAndMergeEveryLineOnce)
{
    TempDir dir;
    std::string log = dir / "game.log";
    StdoutCapture out(dir / "console.txt");
    Log::setFilename(log, true);

    std::vector<std::unique_ptr<Writer>> threads;
    for (int w = 0; w < writers; ++w)
    {
        threads.emplace_back(new Writer(w));
        threads.back()->start();
    }
    for (auto& thread : threads)
    {
        thread->join();
    }
    out.restore();

    int segments = 0;
    while (pathExists(log + ".hlog/" + std::to_string(segments) + ".log"))
    {
        ++segments;
    }
    EXPECT_GT(segments, 20);
    for (int n = 0; n + 1 < segments; ++n)
    {
        long long size = fileSize(log + ".hlog/" + std::to_string(n) + ".log");
        EXPECT_GT(size, 0x20000) << n;
        EXPECT_LT(size, 0x20000 + 100) << n;
    }

    Log::mergeSegments(true);
    Log::setFilename("", false);
    EXPECT_FALSE(pathExists(log + ".hlog"));
    expectEveryLineOnce(StdoutCapture::readFile(log), "log file");
    expectEveryLineOnce(out.text(), "console");
}
