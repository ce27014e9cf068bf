#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "LibraryTestSupport.h"

using library_support::LogCapture;
using library_support::ResourceFolder;
typedef std::vector<std::string> Lines;

class FormattedKey : public testing::Test
{
protected:
    ResourceFolder folder;
    tesraui::Dataset* dataset = nullptr;
    tesraui::Dataset* other = nullptr;

    void SetUp() override
    {
        this->folder.write("main/t.txt", "menu_start\n{\nStart game\n}\n"
                                         "fmt_two\n{\n%s and %s\n}\n"
                                         "percent\n{\n50%% off\n}\n"
                                         "bad_nested\n{\n%d\n}\n"
                                         "open_nested\n{\nat end %\n}\n"
                                         "word\n{\nW\xC3\xB6rd\n}\n");
        this->folder.write("other/t.txt", "greeting\n{\nHi %s\n}\n");
        this->dataset = new tesraui::Dataset("", "main");
        this->other = new tesraui::Dataset("", "other");
        this->dataset->loadTexts("main");
        this->other->loadTexts("other");
    }

    void TearDown() override
    {
        delete this->dataset;
        delete this->other;
    }

    // The result of the key and the library's log lines it caused.
    std::pair<std::string, Lines> format(const hstring& key)
    {
        LogCapture log;
        std::string result = this->dataset->getTextFormatted(key);
        return {result, log.take()};
    }
};

TEST_F(FormattedKey, TableOfExamples)
{
    EXPECT_EQ(format("menu_start"), std::make_pair(std::string("Start game"), Lines{}));
    EXPECT_EQ(format("missing"), std::make_pair(std::string("ERROR: Text 'missing' not found!"),
                                                Lines{"WARNING: Text key 'missing' does not exist!"}));
    EXPECT_EQ(format("{%s!}menu_start"), std::make_pair(std::string("Start game!"), Lines{}));
    EXPECT_EQ(format("{100%% %s}menu_start"), std::make_pair(std::string("100% Start game"), Lines{}));
    EXPECT_EQ(format("{%f.}fmt_two {a} {b}"), std::make_pair(std::string("a and b."), Lines{}));
    EXPECT_EQ(format("{%s %s}menu_start"),
              std::make_pair(std::string("{%s %s}menu_start"),
                             Lines{"ERROR: Not enough args!",
                                   "- while preprocessing format: '%s %s' with args 'menu_start'."}));
    EXPECT_EQ(format("{%d}menu_start"),
              std::make_pair(std::string("{%d}menu_start"),
                             Lines{"ERROR: Unsupported formatting '%d'!",
                                   "- while preprocessing format: '%d' with args 'menu_start'."}));
    EXPECT_EQ(format("menu}"),
              std::make_pair(std::string("menu}"), Lines{"ERROR: Malformed formatted text key 'menu}'!"}));
}

TEST_F(FormattedKey, ParseAndArgumentErrors)
{
    EXPECT_EQ(format("{%s"),
              std::make_pair(std::string("{%s"), Lines{"ERROR: Could not parse formatted key '{%s'."}));
    EXPECT_EQ(format("x{y"),
              std::make_pair(std::string("x{y"), Lines{"ERROR: Malformed formatted text key 'x{y'!"}));
    EXPECT_EQ(format("{%s}{x"),
              std::make_pair(std::string("{%s}{x"), Lines{"ERROR: '{' without '}' or '}' without '{'.",
                                                          "- while processing args: '%s' with args '{x'."}));
    EXPECT_EQ(format("{%s}  }x{  "), std::make_pair(std::string("{%s}  }x{  "),
                                                    Lines{"ERROR: '}' before '{'.",
                                                          "- while processing args: '%s' with args '}x{'."}));
    EXPECT_EQ(format("{%s}"),
              std::make_pair(std::string("{%s}"), Lines{"ERROR: Not enough args!",
                                                        "- while preprocessing format: '%s' with args ''."}));
    EXPECT_EQ(format("{50%}menu_start"),
              std::make_pair(std::string("{50%}menu_start"),
                             Lines{"ERROR: Last character is '%'!",
                                   "- while preprocessing format: '50%' with args 'menu_start'."}));
    // Nested formats are checked when they are taken in.
    EXPECT_EQ(format("{%f}bad_nested"),
              std::make_pair(std::string("{%f}bad_nested"),
                             Lines{"ERROR: Unsupported formatting '%d'!",
                                   "- while preprocessing format: '%f' with args 'bad_nested'."}));
    EXPECT_EQ(format("{%f}open_nested"),
              std::make_pair(std::string("{%f}open_nested"),
                             Lines{"ERROR: Last character is '%'!",
                                   "- while preprocessing format: '%f' with args 'open_nested'."}));
    EXPECT_EQ(format("{%f}fmt_two {a}"),
              std::make_pair(std::string("{%f}fmt_two {a}"),
                             Lines{"ERROR: Not enough args!",
                                   "- while preprocessing format: '%f' with args 'fmt_two {a}'."}));
    EXPECT_EQ(format("{%f}"),
              std::make_pair(std::string("{%f}"), Lines{"ERROR: Not enough args!",
                                                        "- while preprocessing format: '%f' with args ''."}));
    EXPECT_EQ(format("{%\xC3\xA9}"),
              std::make_pair(std::string("{%\xC3\xA9}"),
                             Lines{"ERROR: Unsupported formatting '%\xC3\xA9'!",
                                   "- while preprocessing format: '%\xC3\xA9' with args ''."}));
}

TEST_F(FormattedKey, ArgumentsAndPercentSigns)
{
    EXPECT_EQ(format("{}"), std::make_pair(std::string(""), Lines{}));
    EXPECT_EQ(format(""), std::make_pair(std::string("ERROR: Text '' not found!"),
                                         Lines{"WARNING: Text key '' does not exist!"}));
    // Extra arguments are left unused; missing keys give their error text without a warning.
    EXPECT_EQ(format("{%s}menu_start word"), std::make_pair(std::string("Start game"), Lines{}));
    EXPECT_EQ(format("{%s|%s}  nokey  word "),
              std::make_pair(std::string("ERROR: Text 'nokey' not found!|W\xC3\xB6rd"), Lines{}));
    // Literals keep their blanks, do not nest, and are not looked up.
    EXPECT_EQ(format("{[%s][%s][%s]}menu_start {42 points}word"),
              std::make_pair(std::string("[Start game][42 points][W\xC3\xB6rd]"), Lines{}));
    EXPECT_EQ(format("{%s}{a {b}"), std::make_pair(std::string("a {b"), Lines{}));
    // "%%" turns into "%" only at the end, inside inserted arguments too.
    EXPECT_EQ(format("{%s}percent"), std::make_pair(std::string("50% off"), Lines{}));
    EXPECT_EQ(format("{%s %%s}{x}"), std::make_pair(std::string("x %s"), Lines{}));
    // A nested format and its arguments, then the outer format's own.
    EXPECT_EQ(format("{<%f> %s}fmt_two {1} {2} {3}"), std::make_pair(std::string("<1 and 2> 3"), Lines{}));
    // Dotted keys read other datasets, in arguments as well.
    EXPECT_EQ(format("{%f}other.greeting menu_start"), std::make_pair(std::string("Hi Start game"), Lines{}));
    EXPECT_EQ(format("other.greeting"), std::make_pair(std::string("Hi %s"), Lines{}));
}
