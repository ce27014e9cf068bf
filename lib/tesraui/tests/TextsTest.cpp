#include "UiTestSupport.h"

using uitest::Lines;
using uitest::LogCapture;
using uitest::ResourceFolder;

TEST(Texts, FileGrammarWithMarkLineEndsAndComments)
{
    ResourceFolder folder;
    folder.write("texts/menu.txt",
                 "\xEF\xBB\xBFmenu_start\r\n{\r\nStart game\r\n}\r\n# main menu\r\n"
                 "menu_quit # asked on exit\r\n{\r\nDo you really\r\nwant to quit?\r\n}\r\n");
    // A mark in front of a non-ASCII key takes only the mark with it, and so does no mark at all.
    folder.write("texts/other.txt", "\xEF\xBB\xBF\xC3\xA4rger\n{\nvexed\n}\n");
    folder.write("texts/plain.txt", "\xC3\xBCppig\n{\nabove\n}\n"
                                    "dropped\n\n{\nnever stored\n}\n"
                                    "commented\n# in between\n{\nnever stored either\n}\n"
                                    "raw\n{\n{\n# not a comment\n  blanks stay  \n}\n"
                                    "empty\n{\n}\n");
    tesraui::Dataset dataset("", "texts_grammar");
    LogCapture log;
    dataset.loadTexts("texts");
    EXPECT_EQ(log.take(), Lines{"Loading texts: texts"});
    const std::pair<const char*, const char*> texts[] = {{"menu_start", "Start game"},
                                                         {"menu_quit", "Do you really\nwant to quit?"},
                                                         {"\xC3\xA4rger", "vexed"},
                                                         {"\xC3\xBCppig", "above"},
                                                         {"raw", "{\n# not a comment\n  blanks stay  "},
                                                         {"empty", ""},
                                                         {"missing", "ERROR: Text 'missing' not found!"}};
    for (const auto& [key, text] : texts)
        EXPECT_EQ(dataset.getText(key), text);
    EXPECT_FALSE(dataset.hasText("dropped") || dataset.hasText("commented") || dataset.hasText(""));
    EXPECT_TRUE(log.take().empty());
}

TEST(Texts, FilesReadInNameOrderShareTheParserState)
{
    ResourceFolder folder;
    // Written in reverse so that the directory's own order cannot make the test pass by chance.
    folder.write("texts/d.txt", "{\ncarried over\n}\n");
    folder.write("texts/c.txt", "late\n{\nfrom c\n}\ncarried");
    folder.write("texts/b.txt", "second line\n}\nlate\n{\nfrom b\n}\n");
    folder.write("texts/a.txt", "late\n{\nfrom a\n}\nopen\n{\nfirst line");
    tesraui::Dataset dataset("", "texts_order");
    dataset.loadTexts("texts");
    EXPECT_EQ(dataset.getText("late"), "from c");
    // A block left open by one file goes on in the next, and so does the last key.
    EXPECT_EQ(dataset.getText("open"), "first line\nsecond line");
    EXPECT_EQ(dataset.getText("carried"), "carried over");
}

TEST(Texts, FormattedKeys)
{
    ResourceFolder folder;
    folder.write("main/t.txt",
                 "menu_start\n{\nStart game\n}\nfmt_two\n{\n%s and %s\n}\npercent\n{\n50%% off\n}\n"
                 "bad_nested\n{\n%d\n}\nopen_nested\n{\nat end %\n}\nword\n{\nW\xC3\xB6rd\n}\n");
    folder.write("other/t.txt", "greeting\n{\nHi %s\n}\n");
    tesraui::Dataset dataset("", "main"), other("", "other");
    dataset.loadTexts("main");
    other.loadTexts("other");
    // A result equal to the key means the key came back unchanged. Lines of two parts are an error and
    // the "- while preprocessing format: " (p) or "- while processing args: " (a) line after it.
    struct Row
    {
        const char* key;
        const char* result;
        Lines log;
    };
    const Row rows[] = {
        {"menu_start", "Start game", {}},
        {"missing", "ERROR: Text 'missing' not found!", {"WARNING: Text key 'missing' does not exist!"}},
        {"", "ERROR: Text '' not found!", {"WARNING: Text key '' does not exist!"}},
        {"{}", "", {}},
        {"{%s!}menu_start", "Start game!", {}},
        {"{100%% %s}menu_start", "100% Start game", {}},
        {"{%f.}fmt_two {a} {b}", "a and b.", {}},
        // Extra arguments are left unused; missing keys give their error text without a warning.
        {"{%s}menu_start word", "Start game", {}},
        {"{%s|%s}  nokey  word ", "ERROR: Text 'nokey' not found!|W\xC3\xB6rd", {}},
        // Literals keep their blanks, do not nest, and are not looked up.
        {"{[%s][%s][%s]}menu_start {42 points}word", "[Start game][42 points][W\xC3\xB6rd]", {}},
        {"{%s}{a {b}", "a {b", {}},
        // "%%" turns into "%" only at the end, inside inserted arguments too.
        {"{%s}percent", "50% off", {}},
        {"{%s %%s}{x}", "x %s", {}},
        {"{<%f> %s}fmt_two {1} {2} {3}", "<1 and 2> 3", {}},
        {"{%f}other.greeting menu_start", "Hi Start game", {}},
        {"other.greeting", "Hi %s", {}},
        {"menu}", nullptr, {"ERROR: Malformed formatted text key 'menu}'!"}},
        {"x{y", nullptr, {"ERROR: Malformed formatted text key 'x{y'!"}},
        {"{%s", nullptr, {"ERROR: Could not parse formatted key '{%s'."}},
        {"{%s %s}menu_start", nullptr, {"ERROR: Not enough args!", "p'%s %s' with args 'menu_start'."}},
        {"{%d}menu_start", nullptr, {"ERROR: Unsupported formatting '%d'!", "p'%d' with args 'menu_start'."}},
        {"{%s}{x", nullptr, {"ERROR: '{' without '}' or '}' without '{'.", "a'%s' with args '{x'."}},
        {"{%s}  }x{  ", nullptr, {"ERROR: '}' before '{'.", "a'%s' with args '}x{'."}},
        {"{%s}", nullptr, {"ERROR: Not enough args!", "p'%s' with args ''."}},
        {"{50%}menu_start", nullptr, {"ERROR: Last character is '%'!", "p'50%' with args 'menu_start'."}},
        // Nested formats are checked when they are taken in.
        {"{%f}bad_nested", nullptr, {"ERROR: Unsupported formatting '%d'!", "p'%f' with args 'bad_nested'."}},
        {"{%f}open_nested", nullptr, {"ERROR: Last character is '%'!", "p'%f' with args 'open_nested'."}},
        {"{%f}fmt_two {a}", nullptr, {"ERROR: Not enough args!", "p'%f' with args 'fmt_two {a}'."}},
        {"{%f}", nullptr, {"ERROR: Not enough args!", "p'%f' with args ''."}},
        {"{%\xC3\xA9}",
         nullptr,
         {"ERROR: Unsupported formatting '%\xC3\xA9'!", "p'%\xC3\xA9' with args ''."}}};
    // Dotted keys: the first segment names the dataset, the rest is looked up there.
    EXPECT_EQ(dataset.getText("other.main.menu_start"), "Start game");
    EXPECT_TRUE(other.hasText("main.menu_start"));
    EXPECT_EQ(other.getText("main.x"), "ERROR: Text 'x' not found!");
    EXPECT_EQ(uitest::thrownText<tesraui::_GenericException>([&] { dataset.getText("nowhere.x"); }),
              "Dataset 'nowhere' doesn't exist!");
    for (const Row& row : rows)
    {
        Lines expected = row.log;
        if (expected.size() == 2)
            expected[1] =
                (expected[1][0] == 'p' ? "- while preprocessing format: " : "- while processing args: ") +
                expected[1].substr(1);
        LogCapture log;
        EXPECT_EQ(dataset.getTextFormatted(row.key), row.result != nullptr ? row.result : row.key) << row.key;
        EXPECT_EQ(log.take(), expected) << row.key;
    }
    // A long key composes the same: every argument in its turn, nested formats taking theirs.
    std::string format, args, composed;
    for (int i = 0; i < 3000; ++i)
    {
        const std::string number = std::to_string(i);
        if (i % 3 == 2)
        {
            format += "<%f>%%";
            args += " fmt_two {" + number + "} menu_start";
            composed += "<" + number + " and Start game>%";
        }
        else
        {
            format += "%s,";
            args += (i % 2 == 0 ? " {" + number + "}" : " word");
            composed += (i % 2 == 0 ? number : std::string("W\xC3\xB6rd")) + ",";
        }
    }
    LogCapture log;
    EXPECT_EQ(std::string(dataset.getTextFormatted(("{" + format + "}" + args).c_str()).c_str()), composed);
    EXPECT_EQ(log.take(), Lines());
}
