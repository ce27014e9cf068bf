#include <quortypes/Log.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

using quortypes::Log;

namespace
{
    // Past this size a segment is closed, so every line this long fills one segment of its own.
    const size_t segmentBytes = 0x20001;
    const int keptSegments = 128;

    std::string lineOf(int number)
    {
        std::string text = std::to_string(number) + ":";
        return text + std::string(segmentBytes - text.size(), 'x');
    }

    std::string droppedNotice(int count)
    {
        return "\n[WARNING]\n\n" + std::to_string(count) +
               " older log segment files were dropped.\n\n[-----]\n\n";
    }
} // namespace

TEST(LogBoundsTest, AnEndlessRunKeepsOnlyTheNewestSegments)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    StdoutCapture out;
    Log::setFilename(log, true);
    const int lines = keptSegments + 8;
    for (int i = 0; i < lines; ++i)
        Log::write("", lineOf(i));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(log + ".hlog"))
    {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, keptSegments);
    EXPECT_FALSE(std::filesystem::exists(log + ".hlog/7.log"));
    EXPECT_EQ(readFile(log + ".hlog/8.log"), lineOf(8) + "\n");

    Log::mergeSegments(true);
    std::string expected = droppedNotice(8);
    for (int i = 8; i < lines; ++i)
        expected += lineOf(i) + "\n";
    EXPECT_TRUE(readFile(log) == expected) << readFile(log).substr(0, 200);
    EXPECT_FALSE(std::filesystem::exists(log + ".hlog"));
    Log::setFilename("", false);
}

TEST(LogBoundsTest, LeftSegmentsMergeInBlocksWithinTheBound)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    StdoutCapture out;
    // An earlier run that kept every segment; the newest holds carriage returns across many read blocks.
    dir.put("game.log", "old\n");
    const int last = keptSegments + 3;
    for (int i = 0; i < last; ++i)
        dir.put("game.log.hlog/" + std::to_string(i) + ".log", std::to_string(i) + "\n");
    std::string windows, plain;
    for (int i = 0; i < 30000; ++i)
    {
        windows += "line " + std::to_string(i) + "\r\n";
        plain += "line " + std::to_string(i) + "\n";
    }
    dir.put("game.log.hlog/" + std::to_string(last) + ".log", windows);
    Log::setFilename(log, false);
    std::string expected = "old\n" + droppedNotice(4);
    for (int i = 4; i < last; ++i)
        expected += std::to_string(i) + "\n";
    expected += plain;
    EXPECT_TRUE(readFile(log) == expected) << readFile(log).substr(0, 200);
    EXPECT_FALSE(std::filesystem::exists(log + ".hlog"));
    Log::setFilename("", false);
}
