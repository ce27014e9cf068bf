#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "LibraryTestSupport.h"

using library_support::LogCapture;
using library_support::ResourceFolder;
using library_support::thrownText;

TEST(Texts, FileGrammarWithMarkLineEndsAndComments)
{
    ResourceFolder folder;
    folder.write("texts/menu.txt",
                 "\xEF\xBB\xBFmenu_start\r\n{\r\nStart game\r\n}\r\n"
                 "# main menu\r\n"
                 "menu_quit # asked on exit\r\n{\r\nDo you really\r\nwant to quit?\r\n}\r\n");
    // A mark in front of a non-ASCII key takes only the mark with it, and so does no mark at all.
    folder.write("texts/other.txt", "\xEF\xBB\xBF\xC3\xA4rger\n{\nvexed\n}\n");
    folder.write("texts/plain.txt", "\xC3\xBC"
                                    "ber\n{\nabove\n}\n"
                                    "dropped\n\n{\nnever stored\n}\n"
                                    "commented\n# in between\n{\nnever stored either\n}\n"
                                    "raw\n{\n{\n# not a comment\n  blanks stay  \n}\n"
                                    "empty\n{\n}\n");
    tesraui::Dataset dataset("", "texts_grammar");
    LogCapture log;
    dataset.loadTexts("texts");
    EXPECT_EQ(log.take(), std::vector<std::string>{"Loading texts: texts"});
    EXPECT_EQ(dataset.getText("menu_start"), "Start game");
    EXPECT_EQ(dataset.getText("menu_quit"), "Do you really\nwant to quit?");
    EXPECT_EQ(dataset.getText("\xC3\xA4rger"), "vexed");
    EXPECT_EQ(dataset.getText("\xC3\xBC"
                              "ber"),
              "above");
    EXPECT_FALSE(dataset.hasText("dropped"));
    EXPECT_FALSE(dataset.hasText("commented"));
    EXPECT_FALSE(dataset.hasText(""));
    EXPECT_EQ(dataset.getText("raw"), "{\n# not a comment\n  blanks stay  ");
    EXPECT_EQ(dataset.getText("empty"), "");
    EXPECT_EQ(dataset.getText("missing"), "ERROR: Text 'missing' not found!");
    EXPECT_TRUE(log.take().empty());
}

TEST(Texts, FilesReadInNameOrderShareTheParserState)
{
    ResourceFolder folder;
    // Written in reverse so that the directory's own order cannot make the test pass by chance.
    folder.write("texts/c.txt", "late\n{\nfrom c\n}\n");
    folder.write("texts/b.txt", "second line\n}\nlate\n{\nfrom b\n}\n");
    folder.write("texts/a.txt", "late\n{\nfrom a\n}\nopen\n{\nfirst line");
    tesraui::Dataset dataset("", "texts_order");
    dataset.loadTexts("texts");
    EXPECT_EQ(dataset.getText("late"), "from c");
    // A block left open by one file goes on in the next.
    EXPECT_EQ(dataset.getText("open"), "first line\nsecond line");
}

TEST(Texts, LastKeyOfAFileStaysCurrent)
{
    ResourceFolder folder;
    folder.write("texts/a.txt", "carried");
    folder.write("texts/b.txt", "{\ncarried over\n}\n");
    tesraui::Dataset dataset("", "texts_carry");
    dataset.loadTexts("texts");
    EXPECT_EQ(dataset.getText("carried"), "carried over");
}

TEST(Texts, FolderFollowsTheLocalizationWithFallback)
{
    ResourceFolder folder;
    folder.write("data/ui/texts/de/t.txt", "hello\n{\nHallo\n}\n");
    folder.write("data/ui/texts/t.txt", "hello\n{\nHello\n}\n");
    folder.write("data/ui/words/fr/t.txt", "hello\n{\nBonjour\n}\n");
    tesraui::Dataset dataset("data/ui/ui.dts", "");
    EXPECT_EQ(dataset.getName(), "ui");
    EXPECT_EQ(dataset.getTextsFolder(), "data/ui/texts");
    tesraui::setLocalization("de");
    EXPECT_EQ(dataset.getTextsFolder(), "data/ui/texts/de");
    // No folder for this one: the default localisation's folder is read instead.
    tesraui::setLocalization("it");
    EXPECT_EQ(dataset.getTextsFolder(), "data/ui/texts");
    dataset.reloadTexts();
    EXPECT_EQ(dataset.getText("hello"), "Hello");
    dataset.setTextsPath("words");
    tesraui::setLocalization("fr");
    EXPECT_EQ(dataset.getTextsFolder(), "data/ui/words/fr");
    dataset.reloadTexts();
    EXPECT_EQ(dataset.getText("hello"), "Bonjour");
    tesraui::setLocalization("");
}

TEST(Texts, DottedKeysReachOtherDatasets)
{
    ResourceFolder folder;
    folder.write("a/t.txt", "x\n{\nfrom a\n}\nb.y\n{\nstored with a dot\n}\n");
    folder.write("b/t.txt", "y\n{\nfrom b\n}\n");
    tesraui::Dataset a("", "a");
    tesraui::Dataset b("", "b");
    a.loadTexts("a");
    b.loadTexts("b");
    EXPECT_EQ(b.getText("a.x"), "from a");
    EXPECT_EQ(b.getText("a.b.y"), "from b");
    EXPECT_TRUE(a.hasText("b.y"));
    EXPECT_FALSE(a.hasText("b.x"));
    EXPECT_EQ(a.getText("b.x"), "ERROR: Text 'x' not found!");
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { a.getText("nowhere.x"); }),
              "Dataset 'nowhere' doesn't exist!");
    EXPECT_THROW(a.hasText("nowhere.x"), tesraui::_GenericException);
}
