#include <gtest/gtest.h>

#include <fintu/Renderer.h>

#include "TestSupport.h"

using fintutest::HandFont;
using fintutest::LogCapture;

namespace
{
    // letters 10 wide, the space 5, line height 20, descender 5: n lines measure 20 n + 5
    class TextHeight : public ::testing::Test
    {
    protected:
        fintu::Renderer renderer;

        void SetUp() override { renderer.registerFont(new HandFont("Serif")); }
    };
} // namespace

TEST_F(TextHeight, TextTooNarrowToWrapStillTakesItsLines)
{
    LogCapture log;
    struct Case
    {
        const char* text;
        float width;
        float height;
    };
    const Case cases[] = {
        // wrapped as usual
        {"ab cd ef", 25, 65},
        {"abc", 15, 65},
        {"ab\n\ncd", 100, 65},
        {"ab\n", 100, 25},
        // narrower than any character: one line, and one more per line break inside the text
        {"ab", 5, 25},
        {"ab cd", 1, 25},
        {"ab\ncd", 5, 45},
        {"ab\n\ncd", 5, 65},
        {"ab\n", 5, 25},
        // the layout stops at the doubled "b", the text still takes both lines
        {"a[x:2]b\nc", 15, 45},
    };
    for (const Case& c : cases)
    {
        EXPECT_FLOAT_EQ(renderer.getTextHeight("Serif", c.text, c.width), c.height)
            << c.text << " at " << c.width;
    }
}
