#include <quortypes/Log.h>
#include <quortypes/Thread.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        std::vector<int> seen(writers * linesEach, 0);
        int bad = 0;
        for (size_t start = 0, end; start < text.size(); start = end + 1)
        {
            end = text.find('\n', start);
            ASSERT_NE(end, std::string::npos) << where << ": unterminated last line";
            std::string line = text.substr(start, end - start);
            int tag = -1, i = -1, index = -1, used = 0;
            if (sscanf(line.c_str(), "[w%d] line %d of writer %d, padded to make the segments fill faster%n",
                       &tag, &i, &index, &used) == 3 &&
                used == (int)line.size() && tag == index && tag >= 0 && tag < writers && i >= 0 &&
                i < linesEach)
            {
                ++seen[tag * linesEach + i];
            }
            else if (++bad < 5)
            {
                ADD_FAILURE() << where << ": broken line '" << line << "'";
            }
        }
        EXPECT_EQ(bad, 0) << where;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), writers * linesEach) << where
                                                                                << ": lines missing "
                                                                                   "or repeated";
    }
} // namespace

TEST(LogConcurrencyTest, EightWritersRotateSegmentsAndMergeEveryLineOnce)
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
    for (auto& thread : threads)
    {
        thread->join();
    }
    out.restore();
    expectEveryLineOnce(out.text(), "console");

    auto segment = [&](int n) { return log + ".hlog/" + std::to_string(n) + ".log"; };
    int segments = 0;
    while (std::filesystem::exists(segment(segments)))
    {
        long long size = fileSize(segment(segments));
        if (std::filesystem::exists(segment(++segments)))
        {
            EXPECT_TRUE(size > 0x20000 && size < 0x20000 + 100) << segments - 1 << ": " << size;
        }
    }
    ASSERT_GT(segments, 20);

    // A segment lost before the merge leaves a notice in its place.
    std::string lost = readFile(segment(3));
    std::filesystem::remove(segment(3));
    Log::mergeSegments(true);
    Log::setFilename("", false);
    EXPECT_FALSE(std::filesystem::exists(log + ".hlog"));
    std::string merged = readFile(log);
    std::string notice = "\n[ERROR]\n\nLog segment file '" + segment(3) + "' not found!!\n\n[-----]\n\n";
    size_t at = merged.find(notice);
    ASSERT_NE(at, std::string::npos);
    expectEveryLineOnce(merged.replace(at, notice.size(), lost), "log file");
}
