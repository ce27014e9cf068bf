#include <quortypes/Log.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <vector>

using quortypes::Log;

namespace
{
    std::vector<std::string> received;

    void remember(const hstring& tag, const hstring& text)
    {
        received.push_back(tag + "|" + text);
    }

    // Logging from a static initialiser, before main and before anything else used the log.
    struct EarlyLogger
    {
        EarlyLogger()
        {
            Log::setCallback(remember);
            Log::warn("early", "from a static initialiser");
            Log::setCallback(nullptr);
        }
    } earlyLogger;
} // namespace

TEST(LogTest, LevelsTagsAndCallback)
{
    EXPECT_EQ(received, std::vector<std::string>{"early|WARNING: from a static initialiser"});
    received.clear();
    Log::setFilename("", false);
    Log::setCallback(remember);
    StdoutCapture out;
    EXPECT_FALSE(Log::debug("x", "y"));
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
    EXPECT_EQ(received, (std::vector<std::string>{"|hello", "tag|hello", "tag|ERROR: bad",
                                                  "quortypes|WARNING: 3 files", "|ERROR: oops!"}));
}

// Output redirected while the program runs, to a terminal and away from it again, gets colour codes exactly
// while it goes to the terminal, whatever its buffer held, plain lines included.
TEST(LogTest, ColoursOnlyOnATerminal)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
    {
        GTEST_SKIP() << "no pseudo-terminals here";
    }
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    // The output was asked about before it turns to the terminal.
    Log::write("", "before");
    std::string inFiles;
    {
        StdoutCapture terminal(slave);
        Log::error("tag", "bad");
        Log::write("", "plain");
        Log::warn("", "careful");
    }
    {
        StdoutCapture file;
        Log::write("", "plain");
        Log::error("tag", "bad");
        inFiles += file.text();
    }
    {
        StdoutCapture terminal(slave);
        Log::write("", "again");
        Log::flush();
    }
    close(slave);

    // The terminal turns "\n" into "\r\n".
    std::string expected = "\033[91m[tag] ERROR: bad\033[0m\r\n\033[97mplain\033[0m\r\n"
                           "\033[93mWARNING: careful\033[0m\r\n\033[97magain\033[0m\r\n";
    std::string seen;
    pollfd wait = {master, POLLIN, 0};
    char buffer[256];
    ssize_t n = 0;
    while (seen.size() < expected.size() && poll(&wait, 1, 2000) > 0 && (n = read(master, buffer, 256)) > 0)
    {
        seen.append(buffer, n);
    }
    close(master);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(inFiles, "plain\n[tag] ERROR: bad\n");
}

TEST(LogTest, SegmentFilesAndMerging)
{
    ScratchDir dir;
    std::string log = dir / "game.log";
    StdoutCapture out;
    // Segments an earlier run left are merged before new lines are written.
    dir.put("game.log", "old\n");
    dir.put("game.log.hlog/0.log", "zero\r\n");
    dir.put("game.log.hlog/1.log", "one\n");
    dir.put("game.log.hlog/2.log", "two\n");
    Log::setFilename(log, false);
    EXPECT_EQ(readFile(log), "old\nzero\none\ntwo\n");
    EXPECT_FALSE(std::filesystem::exists(log + ".hlog"));
    Log::write("t", "new");
    Log::flush();
    EXPECT_EQ(readFile(log + ".hlog/0.log"), "[t] new\n");
    Log::mergeSegments(false);
    EXPECT_EQ(readFile(log), "old\nzero\none\ntwo\n[t] new\n");
    // Starting afresh empties the file; writing goes on from segment 0 after a merge.
    Log::setFilename(log, true);
    EXPECT_EQ(readFile(log), "");
    Log::write("", "again");
    Log::flush();
    EXPECT_EQ(readFile(log + ".hlog/0.log"), "again\n");
    Log::setFilename("", false);
}

TEST(LogTest, UnwritableFileIsReportedOnceAndNeverThrows)
{
    ScratchDir dir;
    dir.put("file", "not a directory");
    StdoutCapture out;
    Log::setFilename(dir / "file/a.log", true);
    for (int i = 0; i < 3; ++i)
    {
        bool written = false;
        EXPECT_NO_THROW(written = Log::writef("t", "line %d", i));
        EXPECT_TRUE(written);
    }
    EXPECT_EQ(out.text(), "[t] line 0\n[quortypes] WARNING: Cannot write log file '" +
                              dir / "file/a.log.hlog/0.log" +
                              "': Not a directory. Further lines are not written into the log file.\n"
                              "[t] line 1\n[t] line 2\n");

    // A new file name is tried afresh, and lines of any length reach it whole.
    Log::setFilename(dir / "b.log", true);
    std::string big(40000, 'x');
    Log::writef("t", "<%s>", big.c_str());
    Log::mergeSegments(true);
    EXPECT_EQ(readFile(dir / "b.log"), "[t] <" + big + ">\n");
    Log::setFilename("", false);
}

// A quoted text is cut to its first 300 and last 80 bytes, moved back to the start of a character; a run of
// bytes that are no character (UTF-8 continuation bytes only) was walked back to its very start, so the
// whole text, a megabyte of it, went into the line.
TEST(LogTest, QuoteCutsEveryLongTextToAFewHundredBytes)
{
    const std::string euro = "\xE2\x82\xAC";
    struct Case
    {
        const char* name;
        std::string text;
        std::string start; // what the quote begins with, before the separator
        std::string end;   // what it ends with, after the separator
    };
    const Case cases[] = {
        {"plain", std::string(1000, 'x'), std::string(300, 'x'), std::string(80, 'x')},
        // A three-byte character across each cut point is kept whole on the end side and left out on the
        // start side.
        {"characters across the cuts",
         std::string(299, 'a') + euro + std::string(1000, 'b') + euro + std::string(79, 'c'),
         std::string(299, 'a'), euro + std::string(79, 'c')},
        {"continuation bytes only", "[/b]" + std::string(1000000, '\x80'), "[/b]" + std::string(296, '\x80'),
         std::string(80, '\x80')},
        {"continuation bytes after a lead byte", "\xE2" + std::string(1000000, '\x80'),
         "\xE2" + std::string(299, '\x80'), std::string(80, '\x80')},
    };
    for (const Case& c : cases)
    {
        const std::string quoted = Log::quote(c.text);
        EXPECT_LT(quoted.size(), 420u) << c.name;
        const size_t separator = quoted.find(" ... <");
        ASSERT_NE(separator, std::string::npos) << c.name;
        EXPECT_TRUE(quoted.substr(0, separator) == c.start) << c.name;
        EXPECT_TRUE(quoted.size() >= c.end.size() && quoted.substr(quoted.size() - c.end.size()) == c.end)
            << c.name;
        const size_t cut = c.text.size() - c.start.size() - c.end.size();
        EXPECT_NE(quoted.find("<" + std::to_string(cut) + " bytes cut>"), std::string::npos) << c.name;
    }
    // A short text stays whole, and a cut in the middle of a character moves to its start.
    EXPECT_EQ(std::string(Log::quote("short")), "short");
    EXPECT_EQ(Log::characterStart("a" + euro, 3), 1u);
    EXPECT_EQ(Log::characterStart(std::string(10, '\x80'), 7), 7u);
}
