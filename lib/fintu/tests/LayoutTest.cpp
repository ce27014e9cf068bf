#include <gtest/gtest.h>

#include <fintu/Renderer.h>

#include "TestSupport.h"

using fintu::RenderLine;
using fintu::RenderWord;
using fintutest::HandFont;
using fintutest::LogCapture;
using fintutest::texts;

namespace
{
    // letters 10 wide, the space 5, line height 20, font height 16, descender 5
    class Layout : public ::testing::Test
    {
    protected:
        fintu::Renderer renderer;
        HandFont* font = nullptr;

        void SetUp() override
        {
            font = new HandFont("Serif");
            renderer.registerFont(font);
        }

        harray<RenderLine> lay(const hstring& text, float w, int horz, int vert = fintu::TOP, float h = 200,
                               bool keepSpaces = false, kavtypes::Vector2 offset = kavtypes::Vector2())
        {
            harray<fintu::FormatTag> tags;
            hstring plain = renderer.prepareFormattedText("Serif", text, tags);
            return renderer.createRenderLines(kavtypes::Rectangle(0, 0, w, h), plain, tags, horz, vert,
                                              offset, keepSpaces);
        }

        static harray<hstring> list(std::initializer_list<const char*> items)
        {
            harray<hstring> result;
            for (const char* item : items)
            {
                result.push_back(item);
            }
            return result;
        }
    };
} // namespace

TEST_F(Layout, WordsLinesAndWrapping)
{
    harray<RenderLine> lines = lay("a b", 200, fintu::LEFT);
    ASSERT_EQ(lines.size(), 1);
    ASSERT_EQ(lines[0].words.size(), 3);
    EXPECT_EQ(lines[0].words[1].text, " ");
    EXPECT_EQ(lines[0].words[1].spaces, 1);
    EXPECT_FLOAT_EQ(lines[0].words[2].rect.x, 15.0f);
    EXPECT_FLOAT_EQ(lines[0].rect.w, 25.0f);
    EXPECT_EQ(lines[0].spaces, 1);

    // exactly as wide as "a" and "b": the space wraps alone and is trimmed
    lines = lay("a b", 10, fintu::LEFT_WRAPPED);
    EXPECT_EQ(texts(lines), list({"a", "", "b"}));
    EXPECT_EQ(lines[1].words.size(), 0);
    EXPECT_FLOAT_EQ(lines[2].rect.y, 40.0f);
    EXPECT_FLOAT_EQ(lines[2].words[0].rect.y, 40.0f);
    // the same spaces stay with keepWrappedSpaces
    EXPECT_EQ(texts(lay("a b", 10, fintu::LEFT_WRAPPED, fintu::TOP, 200, true)), list({"a", " ", "b"}));

    lines = lay("a\n\nb", 200, fintu::LEFT);
    EXPECT_EQ(texts(lines), list({"a", "", "b"}));
    EXPECT_TRUE(lines[0].terminated);
    EXPECT_TRUE(lines[1].terminated);
    EXPECT_FALSE(lines[2].terminated);

    // words wrap as wholes; a word wider than the rectangle is cut into pieces that fit
    EXPECT_EQ(texts(lay("ab cd ef", 55, fintu::LEFT_WRAPPED)), list({"ab cd", "ef"}));
    EXPECT_EQ(texts(lay("abcdefg hi", 30, fintu::LEFT_WRAPPED)), list({"abc", "def", "g", "hi"}));
    // not wrapping: one line, whatever its width
    EXPECT_EQ(texts(lay("ab cd ef", 20, fintu::LEFT)), list({"ab cd ef"}));
}

TEST_F(Layout, CharacterTooWideStopsTheText)
{
    LogCapture log;
    harray<RenderLine> lines = lay("ab", 5, fintu::LEFT_WRAPPED);
    EXPECT_EQ(lines.size(), 0);
    EXPECT_EQ(log.count("WARNING: String does not fit in rect: ab"), 1);
    // the words made before the character are kept
    lines = lay("a[x:2]b", 14, fintu::LEFT);
    EXPECT_EQ(texts(lines), list({"a"}));
    // only the bytes before a zero are laid out
    hstring zero("ab", 2);
    zero += '\0';
    zero += "cd";
    EXPECT_EQ(texts(lay(zero, 200, fintu::LEFT)), list({"ab"}));
    EXPECT_EQ(log.count(hstring("WARNING: Text 'ab' has \\0 character before the actual end!")), 1);
    // a zero as the last byte is still before the end
    EXPECT_EQ(texts(lay(hstring("ab", 3), 200, fintu::LEFT)), list({"ab"}));
    EXPECT_EQ(log.count(hstring("WARNING: Text 'ab' has \\0 character before the actual end!")), 2);
}

TEST_F(Layout, VerticalAndHorizontalPlacement)
{
    // two lines (plus one for the final newline) of 20 in a 100 high rectangle
    harray<RenderLine> lines = lay("a\nb\n", 100, fintu::CENTER, fintu::CENTER_VERTICAL, 100);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FLOAT_EQ(lines[0].rect.y, -(3 * 20 - 100 + 5) * 0.5f);
    EXPECT_FLOAT_EQ(lines[0].rect.x, 45.0f);
    EXPECT_FLOAT_EQ(lines[0].words[0].rect.x, 45.0f);
    lines = lay("ab", 100, fintu::RIGHT, fintu::BOTTOM, 100, false, kavtypes::Vector2(3, 4));
    EXPECT_FLOAT_EQ(lines[0].rect.y, -(20 - 100 + 5 + 4.0f));
    EXPECT_FLOAT_EQ(lines[0].rect.x, 100 - 3 - 20);
    lines = lay("ab", 100, fintu::LEFT, fintu::TOP, 100, false, kavtypes::Vector2(3, 4));
    EXPECT_FLOAT_EQ(lines[0].rect.x, -3.0f);
    EXPECT_FLOAT_EQ(lines[0].words[0].rect.y, -4.0f);
    // lines scrolled out of the rectangle are dropped; empty lines stay
    lines = lay("a\n\nb\nc", 100, fintu::LEFT, fintu::TOP, 10, false, kavtypes::Vector2(0, 35));
    EXPECT_EQ(texts(lines), list({"", "b"}));
}

TEST_F(Layout, JustifiedLines)
{
    // "ab cd ef" at 55: "ab cd" is stretched, "ef" is the last line and stays left
    harray<RenderLine> lines = lay("ab cd ef", 55, fintu::JUSTIFIED);
    ASSERT_EQ(texts(lines), list({"ab cd", "ef"}));
    ASSERT_EQ(lines[0].words.size(), 2); // the spaces are taken out
    EXPECT_FLOAT_EQ(lines[0].words[0].rect.x, 0.0f);
    EXPECT_FLOAT_EQ(lines[0].words[1].rect.x, 35.0f); // 55 - 20 right edge
    EXPECT_FLOAT_EQ(lines[1].words[0].rect.x, 0.0f);
    // a line ended by a newline is not stretched; a line without spaces is centred
    lines = lay("ab cd\nef gh ij", 55, fintu::JUSTIFIED);
    EXPECT_EQ(texts(lines), list({"ab cd", "ef gh", "ij"}));
    EXPECT_EQ(lines[0].words.size(), 3);
    EXPECT_FLOAT_EQ(lines[0].words[2].rect.x, 25.0f);
    EXPECT_FLOAT_EQ(lines[1].words[1].rect.x, 35.0f);
    lines = lay("abcdef gh", 65, fintu::JUSTIFIED);
    EXPECT_EQ(texts(lines), list({"abcdef", "gh"}));
    EXPECT_FLOAT_EQ(lines[0].rect.x, 2.5f);
    // the shift is rounded to whole pixels: (56 - 40) / 1 space, 16 - 5 = 11 shift
    lines = lay("ab cd ef", 56, fintu::JUSTIFIED);
    EXPECT_FLOAT_EQ(lines[0].words[1].rect.x, 36.0f);
}

TEST_F(Layout, Measurements)
{
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "ab\ncdef"), renderer.getTextWidth("Serif", "cdef"));
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "ab\ncdef"), 40.0f);
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", ""), 0.0f);
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "[c:red][/c]"), 0.0f);
    // a measurement never answers for another text with the same plain text under other tags
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "[x:2]ab"), 40.0f);
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "ab"), 20.0f);
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "[x:3]ab"), 60.0f);
    // three lines of line height 20 and descender 5
    EXPECT_FLOAT_EQ(renderer.getTextHeight("Serif", "ab cd ef", 25), 65.0f);
    EXPECT_FLOAT_EQ(renderer.getTextHeight("Serif:2", "ab", 100), 50.0f);
    EXPECT_FLOAT_EQ(renderer.getTextHeight("Serif", "ab", 0), 0.0f);
    EXPECT_FLOAT_EQ(renderer.getTextHeight("Serif", "", 100), 0.0f);

    LogCapture log;
    EXPECT_FLOAT_EQ(renderer.getTextHeight("Nope", "ab", 100), 0.0f);
    EXPECT_EQ(log.count("WARNING: Font 'Nope' does not exist!"), 1);

    // the fitting line stops at the first character whose extent passes the width
    harray<fintu::FormatTag> tags = renderer.makeDefaultTags("Serif");
    RenderLine line = renderer.calculateFittingLine(kavtypes::Rectangle(0, 0, 35, 20), "abcd\nef", tags);
    EXPECT_EQ(line.text, "abc");
    EXPECT_FLOAT_EQ(line.rect.w, 30.0f);
}

TEST_F(Layout, BearingsAndOverhangs)
{
    // "j" hangs 3 left of the pen, "f" 4 past its advance
    font->define('j', fintu::CharacterDefinition(0, 0, 8, 16, -3, 0, 6));
    font->define('f', fintu::CharacterDefinition(0, 0, 10, 16, 0, 0, 6));
    renderer.clearCache();
    harray<fintu::RenderWord> words = renderer.createRenderWords(kavtypes::Rectangle(0, 0, 100, 20), "jf",
                                                                 renderer.makeDefaultTags("Serif"));
    ASSERT_EQ(words.size(), 1);
    // the first "j" would reach left of the start: it advances 9 (its extent is at least that); "f" then ends
    // at 19
    EXPECT_FLOAT_EQ(words[0].charWidths[0], 9.0f);
    EXPECT_FLOAT_EQ(words[0].rect.w, 15.0f);
    EXPECT_FLOAT_EQ(words[0].fullWidth, 19.0f);
    // the last word of a line takes its overhang as its width
    harray<RenderLine> lines = lay("jf", 100, fintu::LEFT);
    EXPECT_FLOAT_EQ(lines[0].rect.w, 19.0f);
}

TEST_F(Layout, IdeographWords)
{
    for (unsigned int c : {0x4E01u, 0x4E02u, 0x4E03u, 0x3002u})
    {
        font->define(c, fintu::CharacterDefinition(0, 0, 10, 16, 0, 0, 10));
    }
    renderer.clearCache();
    const hstring text = hstring::fromUnicode(0x4E01) + hstring::fromUnicode(0x4E02) +
                         hstring::fromUnicode(0x4E03) + hstring::fromUnicode(0x3002);
    const hstring first = hstring::fromUnicode(0x4E01) + hstring::fromUnicode(0x4E02);
    const hstring last = hstring::fromUnicode(0x4E03) + hstring::fromUnicode(0x3002);
    // cut by width only: the full stop starts a line
    EXPECT_EQ(texts(lay(text, 35, fintu::LEFT_WRAPPED)),
              list({(first + hstring::fromUnicode(0x4E03)).c_str(), hstring::fromUnicode(0x3002).c_str()}));
    renderer.setUseIdeographWords(true);
    // wraps between any two ideographs, but the full stop stays with the one before it
    harray<RenderLine> lines = lay(text, 35, fintu::LEFT_WRAPPED);
    EXPECT_EQ(texts(lines), list({first.c_str(), last.c_str()}));
    EXPECT_EQ(lines[0].words.size(), 2);
}
