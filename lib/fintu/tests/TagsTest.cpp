#include <gtest/gtest.h>

#include <fintu/Renderer.h>

#include "TestSupport.h"

using fintu::FormatTag;
using fintutest::LogCapture;

namespace
{
    hstring describe(const harray<FormatTag>& tags)
    {
        hstring result;
        for (const FormatTag& tag : tags)
        {
            result += formatString("%d:%s@%d+%d ", tag.type, tag.data.c_str(), tag.start, tag.count);
        }
        return result;
    }

    hstring parse(const hstring& text, hstring& tags)
    {
        fintu::Renderer renderer;
        harray<FormatTag> parsed;
        hstring plain = renderer.parseTags(text, parsed);
        tags = describe(parsed);
        return plain;
    }
} // namespace

TEST(Tags, ParsingPositionsAndLiterals)
{
    hstring tags;
    EXPECT_EQ(parse("[c:red]a[/c]b", tags), "ab");
    EXPECT_EQ(tags, "2:red@0+7 8:@1+4 ");
    // "[]" is a literal "[": the tags after it move back by one byte less than the two removed
    EXPECT_EQ(parse("[]a[c:red]b", tags), "[ab");
    EXPECT_EQ(tags, "2:red@2+7 ");
    // byte positions: "é" is two bytes
    EXPECT_EQ(parse("\xC3\xA9[x:2]b[/x]", tags), "\xC3\xA9"
                                                 "b");
    EXPECT_EQ(tags, "3:2@2+5 8:@3+4 ");
    // the data starts at the fourth character, whatever separates it from the letter
    EXPECT_EQ(parse("[f:Serif:1.5]a[n][s][b=blue]", tags), "a");
    EXPECT_EQ(tags, "1:Serif:1.5@0+13 4:@1+3 5:@1+3 6:blue@1+8 ");
    EXPECT_EQ(parse("[f:]", tags), "");
    EXPECT_EQ(tags, "1:@0+4 ");
    // non-tags stay text, and a bracketed stretch that is not a tag is skipped whole
    EXPECT_EQ(parse("[a[b]x] [q:1] [c no end", tags), "[a[b]x] [q:1] [c no end");
    EXPECT_EQ(tags, "");
    EXPECT_EQ(parse("[a[c]x", tags), "[a[c]x");
    // a letter's data may hold multi-byte characters
    EXPECT_EQ(parse("[f:\xC3\xA9t\xC3\xA9]z", tags), "z");
    EXPECT_EQ(tags, "1:\xC3\xA9t\xC3\xA9@0+9 ");
}

TEST(Tags, IgnoreStretchAndUnmatchedClosings)
{
    hstring tags;
    EXPECT_EQ(parse("[-][c:red][/-]", tags), "[c:red]");
    EXPECT_EQ(tags, "7:@0+3 8:@7+4 ");
    // inside the stretch "[]" and "[/c]" are text; "[/-" followed by anything closes it
    EXPECT_EQ(parse("[-][][/c][/-x]y", tags), "[][/c]y");
    EXPECT_EQ(tags, "7:@0+3 8:@6+5 ");

    LogCapture log;
    EXPECT_EQ(parse("[c:red]a[/f]b", tags), "a[/f]b");
    EXPECT_EQ(tags, "2:red@0+7 ");
    EXPECT_EQ(log.count("WARNING: Closing tag that was not opened ('[/f]' in '[c:red]a[/f]b')!"), 1);
    EXPECT_EQ(parse("x[/c]", tags), "x[/c]");
    EXPECT_EQ(log.count("WARNING: Closing tag that was not opened ('[/c]' in 'x[/c]')!"), 1);
    // a text of many unmatched closings: one warning, quoting the text's ends, with the count
    const auto closings = [](int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += "[/b]";
        return text;
    };
    EXPECT_EQ(parse(closings(20000), tags), closings(20000));
    EXPECT_EQ(log.take(), (harray<hstring>{
                              "WARNING: Closing tag that was not opened ('[/f]' in '[c:red]a[/f]b')!",
                              "WARNING: Closing tag that was not opened ('[/c]' in 'x[/c]')!",
                              "WARNING: Closing tag that was not opened ('[/b]' in '" + closings(75) +
                                  " ... <79620 bytes cut> ... " + closings(20) + "'), and 19999 more!",
                          }));
    // closings match the innermost open tag only
    EXPECT_EQ(parse("[c:red][x:2]a[/c][/x][/c]", tags), "a[/c]");
    EXPECT_EQ(tags, "2:red@0+7 3:2@0+5 8:@5+4 8:@5+4 ");
}

TEST(Tags, PreparedListsStartWithTheFont)
{
    fintu::Renderer renderer;
    harray<FormatTag> tags;
    EXPECT_EQ(renderer.prepareFormattedText("Serif", "[c:red]a", tags), "a");
    EXPECT_EQ(describe(tags), "1:Serif@0+0 2:red@0+7 ");
    EXPECT_EQ(describe(renderer.makeDefaultTags("Mono")), "1:Mono@0+0 ");
}

TEST(Tags, LayoutAppliesFontsAndScales)
{
    fintu::Renderer renderer;
    renderer.registerFont(new fintutest::HandFont("Serif", 16, 20, 5, 10));
    renderer.registerFont(new fintutest::HandFont("Wide", 30, 40, 9, 20));
    LogCapture log;
    // "a" 10, "b" at scale 2 20, "c" back to 10, then "d" 20 in Wide, "e" at Wide scale 1.5 30
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "a[x:2]b[/x]c[f:Wide]d[/f][f:Wide:1.5]e"), 90.0f);
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif:1.5", "ab"), 30.0f);
    // an unknown font measures with the previous glyphs and warns; its characters take room
    EXPECT_FLOAT_EQ(renderer.getTextWidth("Serif", "a[f:Nope]b"), 20.0f);
    EXPECT_EQ(log.count("WARNING: Font 'Nope' does not exist!"), 1);
    // the first font's metrics stay for every line
    harray<FormatTag> tags;
    hstring plain = renderer.prepareFormattedText("Serif", "a\n[f:Wide]b", tags);
    harray<fintu::RenderLine> lines =
        renderer.createRenderLines(kavtypes::Rectangle(0, 0, 100, 100), plain, tags, fintu::LEFT, fintu::TOP);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FLOAT_EQ(lines[1].rect.y, 20.0f);
    EXPECT_FLOAT_EQ(lines[1].rect.h, 16.0f);
    EXPECT_FLOAT_EQ(lines[1].rect.w, 20.0f);
}
