#include <climits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "../src/ParseWalk.h"

namespace
{
    // How deep the elements of a parsed tree go.
    int elementDepth(const TiXmlNode* node)
    {
        int deepest = 0;
        for (const TiXmlNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling())
        {
            deepest = std::max(deepest, elementDepth(child) + (child->ToElement() != nullptr ? 1 : 0));
        }
        return deepest;
    }

    // The pieces texts are made of: what starts, ends and hides tags in each kind of node, white space of
    // every kind, quotes, entities, a byte order mark, declarations naming encodings and the lead bytes of
    // characters of several bytes, which swallow what follows them once the text is read as UTF-8.
    const std::vector<std::string> pieces = {
        "<",
        ">",
        "/",
        "</",
        "/>",
        "a",
        "b",
        "_",
        "1",
        "\xC3\xA9",
        "\xC3",
        "\xF0",
        " ",
        "\t",
        "\v",
        "\f",
        "\n",
        "\r",
        "'",
        "\"",
        "=",
        "<!--",
        "-->",
        "<![CDATA[",
        "]]>",
        "<!",
        "<?xml",
        "?>",
        "<?",
        " encoding='UTF-8'",
        "&",
        "&lt;",
        "&#60;",
        "&#x3c;",
        " x='1'",
        " x=1",
        "<a>",
        "</a>",
        "<b x='>'>",
        "</b >",
        "<a/>",
        "<1 \"",
        "<a\v",
        " encoding='x'",
        "\xEF\xBB\xBF",
        "<a x='1' x='2'>",
        "<?xml version='1.0'?>",
        "<!DOCTYPE a>",
    };
} // namespace

// The walk stands for the parser's recursion, so it must open every element the parse opens and no other:
// for texts made at random of what tells the nodes apart, the tree the parser builds (which keeps what it
// read up to its first error) goes exactly as deep as the walk says.
TEST(ParseWalk, GoesAsDeepAsTheParseOfAnyText)
{
    std::mt19937 random(74);
    std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(1, 40);
    int disagreements = 0;
    int deepest = 0;
    for (int i = 0; i < 20000 && disagreements < 10; ++i)
    {
        std::string text = (i % 4 == 0 ? "\xEF\xBB\xBF" : "");
        for (int count = length(random); count > 0; --count)
        {
            text += pieces[piece(random)];
        }
        std::string padded = text + std::string(4, '\0');
        TiXmlDocument document;
        document.Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
        const quorxml::ParseWalk walk = quorxml::walkParse(padded.c_str(), INT_MAX);
        const int parsed = elementDepth(&document);
        deepest = std::max(deepest, parsed);
        if (walk.deepest != parsed || walk.tooDeep)
        {
            ++disagreements;
            ADD_FAILURE() << "walked " << walk.deepest << ", parsed " << parsed << ": "
                          << ::testing::PrintToString(text);
        }
    }
    // The texts reach several levels.
    EXPECT_GE(deepest, 4);
}

// Past the bound the walk stops at the first element too deep, with its line, and keeps the elements open
// there; where the parse ends with elements still open, the innermost is the one whose end tag is missing.
TEST(ParseWalk, StopsAtTheFirstElementTooDeepAndKeepsWhatIsOpen)
{
    struct Case
    {
        const char* name;
        std::string text;
        int bound;
        std::string open; // name:line of each element open where the walk ends
        bool tooDeep;
    };
    const Case cases[] = {
        {"closed", "<a>\n<b>\n</b>\n</a>", 2, "", false},
        {"past the bound", "<a>\n<b/>\n<b>\n<c>", 2, "a:1 b:3 c:4", true},
        {"an empty element at the bound opens nothing", "<a><b><c/></b></a>", 2, "", false},
        {"vertical tab and form feed end a name", "<a\vx='a b'>\n<a\fx='a b'>\n<a\vx='a b'>", 2,
         "a:1 a:2 a:3", true},
        {"an unknown node ends at its first '>'", "<1 \"<a>\n<a>\n<a>\n<a>", 2, "a:2 a:3 a:4", true},
        {"a missing end tag", "<a>\n<b>\n<c/>\n</a>", 5, "a:1 b:2", false},
        {"a character of several bytes swallows a '<'", "\xEF\xBB\xBF<a>\xC3<b><c>", 2, "a:1 c:1", false},
    };
    for (const Case& c : cases)
    {
        const std::string padded = c.text + std::string(4, '\0');
        const quorxml::ParseWalk walk = quorxml::walkParse(padded.c_str(), c.bound);
        std::string open;
        for (const quorxml::OpenElement& element : walk.open)
        {
            open += (open.empty() ? "" : " ") + element.name + ":" + std::to_string(element.line);
        }
        EXPECT_EQ(open, c.open) << c.name;
        EXPECT_EQ(walk.tooDeep, c.tooDeep) << c.name;
    }
}
