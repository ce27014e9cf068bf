#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/exception.h>

#include "TempXml.h"

using quorxml::Document;
using quorxml::Node;

namespace
{
    const std::string RULE(58, '-');

    template <typename E> std::string openError(const std::string& path)
    {
        return errorOf<E>("Document", [&] { Document document(path); });
    }
} // namespace

TEST(Document, ParseErrorNamesRowColumnAndTrimmedLine)
{
    // The unclosed tag on the third line; TinyXML's rows and columns count from 1 already.
    TempXml unclosed("unclosed.xml", "<a>\n  <b/>\n  <c x=\"1\" <d/>   \n</a>\n");
    EXPECT_EQ(openError<quorxml::_XMLException>(unclosed.path),
              "An error occcured parsing XML file 'quorxml_files/unclosed.xml': Error reading Attributes."
              " [row 3, column 12]\n" +
                  RULE + "\n<c x=\"1\" <d/>\n" + RULE);

    // An error without a location gets neither a position nor a quoted line; the name is normalised.
    TempXml empty("empty.xml", "  \n\n");
    EXPECT_EQ(openError<quorxml::_XMLException>("./quorxml_files/../quorxml_files/empty.xml"),
              "An error occcured parsing XML file 'quorxml_files/empty.xml': Error document empty.");

    // Names are exact; the message points at the file spelt with other letter case.
    EXPECT_EQ(openError<quortypes::_file_not_found>("quorxml_files/Empty.xml"),
              "'quorxml_files/Empty.xml' not found! But there is file with a different case: "
              "quorxml_files/empty.xml");
}

// An element left open is named with the line it was opened on, wherever the parser noticed the missing end
// tag; quoted ">", comments and empty elements do not count as open.
TEST(Document, AnElementLeftOpenIsNamedWithItsLine)
{
    struct Case
    {
        std::string text;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"<Dataset>\n  <Object name='a'>\n    <Object name='b'/>\n\n\n", "<Object> opened on line 2"},
        {"<Dataset>\n  <Object name='a'>\n    <Object name='b'/>\n</Dataset>\n", "<Object> opened on line 2"},
        {"<Dataset>\n<!-- <Comment> -->\n\t<Object text='>'\n\tx='1'><Image/>\n<Label></Label>\n</Dataset>\n",
         "<Object> opened on line 3"},
        {"<Dataset>\n<Object/>\n", "<Dataset> opened on line 1"},
    };
    for (const Case& c : cases)
    {
        TempXml open("open.xml", c.text);
        const std::string error = openError<quorxml::_XMLException>(open.path);
        EXPECT_NE(error.find("Error reading end tag. The element " + c.named + " is not closed. [row "),
                  std::string::npos)
            << error;
    }
}

TEST(Document, RootChecks)
{
    TempXml noRoot("noroot.xml", "<?xml version=\"1.0\"?>\n<!-- nothing else -->\n");
    Document empty(noRoot.path);
    EXPECT_EQ(errorOf<quorxml::_XMLException>("Document", [&] { empty.root(); }),
              "No root node found in XML file '" + noRoot.path + "'!");

    TempXml dataset("dataset.xml", "<?xml version=\"1.0\"?>\n<!-- c -->\n<Dataset name=\"x\"/>\n");
    Document document(dataset.path);
    // Names compare exactly, letter case included.
    EXPECT_EQ(errorOf<quorxml::_XMLException>("Document", [&] { document.root("dataset"); }),
              "Root node type is not 'dataset' in XML file '" + dataset.path + "'!");
    EXPECT_EQ(document.root(), document.root("Dataset"));
}

// A file nesting 20,000 elements overflowed the stack inside the parser, which recurses for each. Elements
// deeper than the bound are refused before the parse, naming the line of the first one too deep; what does
// not open an element (comments, character data, declarations, empty elements, a ">" in quotes, end tags)
// counts for nothing.
TEST(Document, ElementsNestedPastTheBoundAreRefusedBeforeTheParse)
{
    const int bound = Document::maxDepth;
    const auto nested = [](int count, const std::string& inside)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
        {
            text += "<e>\n";
        }
        text += inside;
        for (int i = 0; i < count; ++i)
        {
            text += "</e>";
        }
        return text + "\n";
    };
    const std::string noise = "<!-- <a><a> --><![CDATA[<b><b>]]><?pi x?><d/><f x='>'/>";
    struct Case
    {
        const char* name;
        std::string text;
        std::string result; // "parsed", or the error
    };
    const std::string rule(58, '-');
    const auto refusedShowing = [&](int row, const std::string& line)
    {
        return "An error occcured parsing XML file 'quorxml_files/deep.xml': elements nest deeper than " +
               std::to_string(bound) + " [row " + std::to_string(row) + "]\n" + rule + "\n" + line + "\n" +
               rule;
    };
    const auto refused = [&](int row) { return refusedShowing(row, "<e>"); };
    const auto repeated = [](const std::string& piece, int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
        {
            text += piece;
        }
        return text;
    };
    const Case cases[] = {
        {"at the bound", nested(bound, ""), "parsed"},
        {"at the bound, with what opens nothing inside", nested(bound - 1, noise), "parsed"},
        {"one past the bound", nested(bound + 1, ""), refused(bound + 1)},
        {"20,000 deep", nested(20000, ""), refused(bound + 1)},
        {"20,000 deep and never closed", std::string(nested(20000, "")).substr(0, 20000 * 4),
         refused(bound + 1)},
        // A name ends at any white space of the parser's, and an unknown node at its first ">", quotes or not
        // (here the first <e>'s).
        {"100,000 deep, names ended by a vertical tab", repeated("<e\vx='a b'>\n", 100000),
         refusedShowing(bound + 1, "<e\vx='a b'>")},
        {"100,000 deep behind an unknown node's quote", "<1 \"\n" + repeated("<e>\n", 100000),
         refusedShowing(bound + 3, "<e>")},
    };
    for (const Case& c : cases)
    {
        TempXml deep("deep.xml", c.text);
        std::string result = "parsed";
        try
        {
            Document document(deep.path);
        }
        catch (const quorxml::_XMLException& e)
        {
            result = e.getMessage().c_str();
            result = result.substr(result.find("] ") + 2);
        }
        EXPECT_EQ(result, c.result) << c.name;
    }
}
