#include <quortypes/Log.h>
#include <quortypes/Thread.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <vector>

using quortypes::Log;

namespace
{
    const int writers = 8;
    const int linesEach = 20000;

    hstring lineOf(int writer, int i)
    {
        return formatString("line %05d of writer %d, padded to make the segments fill faster", i, writer);
    }

    struct Writer : quortypes::Thread
    {
        explicit Writer(int index) : Thread(run), index(index) {}
        static void run(Thread* thread)
        {
            int index = static_cast<Writer*>(thread)->index;
            for (int i = 0; i < linesEach; ++i)
            {
                Log::write(formatString("w%d", index), lineOf(index, i));
            }
        }
        int index;
    };

    // Every line of every writer exactly once and whole, in any order.
    void expectEveryLineOnce(const std::string& text, const char* where)
    {
        std::vector<std::string> expected, seen;
        for (int w = 0; w < writers; ++w)
        {
            for (int i = 0; i < linesEach; ++i)
            {
                expected.push_back(formatString("[w%d] ", w) + lineOf(w, i));
            }
        }
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
        {
            seen.push_back(line);
        }
        std::sort(expected.begin(), expected.end());
        std::sort(seen.begin(), seen.end());
        EXPECT_TRUE(seen == expected && text.back() == '\n')
            << where << ": lines broken, missing or repeated";
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
        auto size = std::filesystem::file_size(segment(segments));
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
