#include <quortypes/Log.h>

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <stdexcept>
#include <vector>

using quortypes::Log;

namespace
{
    std::vector<std::pair<std::string, std::string>> received;

    void remember(const hstring& tag, const hstring& text)
    {
        received.emplace_back(tag, text);
    }

    size_t count(const std::string& text, const std::string& part)
    {
        size_t found = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        {
            ++found;
        }
        return found;
    }

    // Logging from a static initialiser, before main and before anything else used the log.
    std::vector<std::string> earlyLines;
    void rememberEarly(const hstring& tag, const hstring& text)
    {
        earlyLines.push_back(tag + " " + text);
    }
    struct EarlyLogger
    {
        EarlyLogger()
        {
            Log::setCallback(rememberEarly);
            Log::warn("early", "from a static initialiser");
            Log::setCallback(nullptr);
        }
    } earlyLogger;

    // Fills the current segment past its limit with lines of 100 bytes.
    void fillSegment(const std::string& segment, char mark)
    {
        std::string line(99, mark);
        while (fileSize(segment) <= 0x20000)
        {
            Log::write("", line);
        }
    }
} // namespace

TEST(LogTest, LevelsTagsAndCallback)
{
    Log::setFilename("", false);
    received.clear();
    Log::setCallback(remember);
    StdoutCapture out;
    EXPECT_FALSE(Log::debug("x", "y"));
    EXPECT_FALSE(Log::debugf("x", "%d", 1));
    EXPECT_TRUE(Log::write("", "hello"));
    EXPECT_TRUE(Log::write("tag", "hello"));
    EXPECT_TRUE(Log::error("tag", "bad"));
    EXPECT_TRUE(Log::warnf("quortypes", "%d files", 3));
    EXPECT_TRUE(Log::errorf("", "%s!", "oops"));
    Log::setCallback(nullptr);
    EXPECT_TRUE(Log::write("tag", "unseen by the callback"));
    // Not a terminal: no colour codes.
    EXPECT_EQ(out.text(), "hello\n[tag] hello\n[tag] ERROR: bad\n[quortypes] WARNING: 3 files\nERROR: oops!\n"
                          "[tag] unseen by the callback\n");
    std::vector<std::pair<std::string, std::string>> expected = {{"", "hello"},
                                                                 {"tag", "hello"},
                                                                 {"tag", "ERROR: bad"},
                                                                 {"quortypes", "WARNING: 3 files"},
                                                                 {"", "ERROR: oops!"}};
    EXPECT_EQ(received, expected);
}

TEST(LogTest, StaticInitialisersMayLog)
{
    EXPECT_EQ(earlyLines, std::vector<std::string>{"early WARNING: from a static initialiser"});
}

TEST(LogTest, ColoursOnlyOnATerminal)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
    {
        GTEST_SKIP() << "no pseudo-terminals here";
    }
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    fflush(stdout);
    int saved = dup(1);
    dup2(slave, 1);
    Log::error("tag", "bad");
    Log::warn("", "careful");
    Log::write("tag", "plain");
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(slave);

    // The terminal turns "\n" into "\r\n".
    std::string expected = "\033[91m[tag] ERROR: bad\033[0m\r\n\033[93mWARNING: careful\033[0m\r\n"
                           "\033[97m[tag] plain\033[0m\r\n";
    std::string seen;
    pollfd wait = {master, POLLIN, 0};
    char buffer[256];
    while (seen.size() < expected.size() && poll(&wait, 1, 2000) > 0)
    {
        ssize_t n = read(master, buffer, sizeof(buffer));
        if (n <= 0)
        {
            break;
        }
        seen.append(buffer, n);
    }
    close(master);
    EXPECT_EQ(seen, expected);
}

TEST(LogTest, SegmentsRotateAndMergeWithMissingNotice)
{
    TempDir dir;
    std::string log = dir / "a.log";
    // Only the console before a log file is set.
    {
        StdoutCapture out;
        Log::setFilename("", false);
        Log::write("", "nowhere");
    }
    EXPECT_FALSE(pathExists(log + ".hlog"));

    StdoutCapture out;
    Log::setFilename(log, true);
    EXPECT_EQ(fileSize(log), 0);
    Log::write("t", "first");
    EXPECT_EQ(StdoutCapture::readFile(log + ".hlog/0.log"), "[t] first\n");

    fillSegment(log + ".hlog/0.log", 'a');
    EXPECT_FALSE(pathExists(log + ".hlog/1.log"));
    // The segment may pass the limit by its last line only.
    EXPECT_LE(fileSize(log + ".hlog/0.log"), 0x20000 + 100);
    Log::write("", "next");
    EXPECT_EQ(StdoutCapture::readFile(log + ".hlog/1.log"), "next\n");
    fillSegment(log + ".hlog/1.log", 'b');
    Log::write("", "last");
    EXPECT_EQ(StdoutCapture::readFile(log + ".hlog/2.log"), "last\n");

    std::string segment0 = StdoutCapture::readFile(log + ".hlog/0.log");
    ASSERT_EQ(unlink((log + ".hlog/1.log").c_str()), 0);
    Log::mergeSegments(true);
    std::string notice = "\n[ERROR]\n\nLog segment file '" + log + ".hlog/1.log' not found!!\n\n[-----]\n\n";
    EXPECT_EQ(StdoutCapture::readFile(log), segment0 + notice + "last\n");
    EXPECT_FALSE(pathExists(log + ".hlog"));

    // Writing goes on from segment 0 after a merge.
    Log::write("", "again");
    EXPECT_EQ(StdoutCapture::readFile(log + ".hlog/0.log"), "again\n");
    Log::setFilename("", false);
}

TEST(LogTest, SegmentsOfAnEarlierRunAreMergedFirst)
{
    TempDir dir;
    std::string log = dir / "game.log";
    {
        std::ofstream(log) << "old\n";
        std::filesystem::create_directory(log + ".hlog");
        std::ofstream(log + ".hlog/0.log") << "zero\r\n";
        std::ofstream(log + ".hlog/1.log") << "one\n";
        std::ofstream(log + ".hlog/2.log") << "two\n";
    }
    StdoutCapture out;
    Log::setFilename(log, false);
    EXPECT_EQ(StdoutCapture::readFile(log), "old\nzero\none\ntwo\n");
    EXPECT_FALSE(pathExists(log + ".hlog"));
    Log::write("", "new");
    Log::mergeSegments(false);
    EXPECT_EQ(StdoutCapture::readFile(log), "old\nzero\none\ntwo\nnew\n");
    Log::setFilename("", false);
}

TEST(LogTest, UnwritableFileIsReportedOnceAndNeverThrows)
{
    TempDir dir;
    std::ofstream(dir / "file") << "not a directory";
    StdoutCapture out;
    Log::setFilename(dir / "file/a.log", true);
    for (int i = 0; i < 3; ++i)
    {
        bool written = false;
        EXPECT_NO_THROW(written = Log::writef("t", "line %d", i));
        EXPECT_TRUE(written);
    }
    std::string text = out.text();
    EXPECT_EQ(count(text, "[FATAL] ERROR: Cannot write log file '" + dir / "file/a.log.hlog/0.log'"), 1u)
        << text;
    EXPECT_EQ(count(text, "[t] line "), 3u);

    // A new file name is tried afresh.
    Log::setFilename(dir / "b.log", true);
    Log::write("t", "works");
    EXPECT_EQ(StdoutCapture::readFile(dir / "b.log.hlog/0.log"), "[t] works\n");
    Log::setFilename("", false);
}

TEST(LogTest, LongLinesReachTheFileWhole)
{
    TempDir dir;
    StdoutCapture out;
    Log::setFilename(dir / "a.log", true);
    std::string big(40000, 'x');
    std::string huge(200000, 'y');
    Log::writef("t", "<%s>", big.c_str());
    Log::write("", huge);
    Log::mergeSegments(true);
    EXPECT_EQ(StdoutCapture::readFile(dir / "a.log"), "[t] <" + big + ">\n" + huge + "\n");
    Log::setFilename("", false);
}
