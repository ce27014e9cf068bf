#include <string>

#include "EngineTestSupport.h"
#include "lua/ScriptErrorLog.h"

using enginetest::Lines;
using enginetest::LogCapture;

namespace
{
    std::string repeated(const std::string& piece, int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
        {
            text += piece;
        }
        return text;
    }
} // namespace

TEST(ScriptErrorLogText, LongLinesAndLongTextsKeepTheirEnds)
{
    const std::string line = repeated("a", 300) + repeated("b", 620) + repeated("c", 80);
    // "€" is three bytes: the cuts move back to the start of a character.
    const std::string euros = repeated("\xE2\x82\xAC", 400);
    struct Case
    {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"short", "boom\nstack traceback:\n\t[C]: in ?", "boom\nstack traceback:\n\t[C]: in ?"},
        {"a line of 1000 bytes", "bad '" + line + "'\nnext",
         "bad '" + repeated("a", 295) + " ... <626 bytes cut> ... " + repeated("c", 79) + "'\nnext"},
        {"whole characters", "x" + euros,
         "x" + repeated("\xE2\x82\xAC", 99) + " ... <822 bytes cut> ... " + repeated("\xE2\x82\xAC", 27)},
        {"a line of exactly the limit", repeated("d", ScriptErrorLog::lineLimit),
         repeated("d", ScriptErrorLog::lineLimit)},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(std::string(ScriptErrorLog::shortened(c.text)), c.expected) << c.name;
    }

    // Many short lines: the first ones and the last ones stay.
    std::string lines;
    for (int i = 0; i < 5000; ++i)
    {
        lines += "line " + std::to_string(i) + "\n";
    }
    const std::string cut = ScriptErrorLog::shortened(lines);
    EXPECT_LT(cut.size(), (size_t)ScriptErrorLog::textLimit + 100);
    EXPECT_EQ(cut.rfind("line 0\nline 1\n", 0), 0u);
    EXPECT_NE(cut.find(" bytes cut> ...\n"), std::string::npos);
    EXPECT_EQ(cut.substr(cut.size() - 20), "line 4998\nline 4999\n");
}

// The log as a game sees it over frames: each text once, then its count when it stops repeating or before
// a new text; two texts that alternate (a failure's log line and its overlay line) are both counted.
TEST(ScriptErrorLogRepeats, ATextIsWrittenOnceThenCounted)
{
    ScriptErrorLog::flush();
    LogCapture log;
    const auto frame = [] { ScriptErrorLog::advance(0.5f); };
    for (int i = 0; i < 4; ++i)
    {
        ScriptErrorLog::write("vumo", "A\nstack traceback:\n\tsomewhere");
        ScriptErrorLog::write("scripting", "Scripting Error: A", false);
        frame();
    }
    EXPECT_EQ(log.take(),
              (Lines{"vumo: ERROR: A\nstack traceback:\n\tsomewhere", "scripting: Scripting Error: A"}));

    // Another text: the counts come first.
    ScriptErrorLog::write("vumo", "B");
    EXPECT_EQ(log.take(),
              (Lines{"vumo: ERROR: (the same error 3 more times: A)",
                     "scripting: (the same error 3 more times: Scripting Error: A)", "vumo: ERROR: B"}));

    // Stopped: two seconds of frames without it.
    ScriptErrorLog::write("vumo", "B");
    for (int i = 0; i < 3; ++i)
    {
        frame();
    }
    EXPECT_EQ(log.take(), Lines{});
    frame();
    EXPECT_EQ(log.take(), (Lines{"vumo: ERROR: (the same error once more: B)"}));

    // Forgotten once stopped; the same text under another tag is another text; the end writes the rest.
    ScriptErrorLog::write("vumo", "B");
    ScriptErrorLog::write("other", "B");
    ScriptErrorLog::write("other", "B");
    ScriptErrorLog::flush();
    EXPECT_EQ(log.take(),
              (Lines{"vumo: ERROR: B", "other: ERROR: B", "other: ERROR: (the same error once more: B)"}));
}
