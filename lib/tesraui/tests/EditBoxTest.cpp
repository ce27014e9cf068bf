#include <tesraui/Container.h>
#include <tesraui/EditBox.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesraui::EditBox;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    enum Key : unsigned int
    {
        BACKSPACE = 8,
        ENTER = 13,
        CONTROL = 17,
        END = 35,
        HOME = 36,
        LEFT = 37,
        UP = 38,
        RIGHT = 39,
        DOWN = 40,
        DELETE = 46,
        // Released rather than pressed.
        RELEASE = 0x10000
    };

    // A font whose lines have no height; nothing can be placed with it.
    class FlatFont : public uitest::BlockFont
    {
    public:
        FlatFont() : uitest::BlockFont("flat") { this->lineHeight = 0.0f; }
    };

    // An edit box of 100 by 30 at (10, 10) in a loaded dataset, with the block font (advance 8, line
    // height 20, descender 4); without a render system unless a test draws.
    class EditBoxes : public testing::Test
    {
    protected:
        uitest::UiLibrary library;
        uitest::TextRenderer text;
        tesraui::Dataset dataset{"", "edit"};
        tesraui::Container* root = new tesraui::Container("root", Rectangle(0, 0, 200, 200));
        EditBox* box = new EditBox("box", Rectangle(10, 10, 100, 30));
        harray<hstring> journal;

        void SetUp() override
        {
            this->dataset.load();
            this->root->addChild(this->box);
            this->dataset.registerObjects(this->root);
            uitest::listen(this->box, &this->journal, {"Submit", "Click", "onTextChanged"});
        }

        // Presses or releases the keys in order.
        void type(std::initializer_list<unsigned int> codes)
        {
            for (unsigned int code : codes)
                EXPECT_FALSE((code & RELEASE) != 0 ? this->box->onKeyUp(code & ~RELEASE)
                                                   : this->box->onKeyDown(code));
        }

        void typeText(const char* text)
        {
            for (const char* c = text; *c != '\0'; ++c)
                EXPECT_FALSE(this->box->onChar((unsigned char)*c));
        }

        harray<hstring> taken()
        {
            this->dataset.processEvents();
            return std::exchange(this->journal, harray<hstring>());
        }
    };
} // namespace

TEST_F(EditBoxes, LengthFilterAndTextEvents)
{
    std::unique_ptr<tesraui::Object> made(tesraui::createObject("EditBox", "fresh", Rectangle(0, 0, 10, 10)));
    EXPECT_EQ(made->getProperty("text") + "|" + made->getProperty("horz_formatting") + "|" +
                  made->getProperty("background_color"),
              "|left|000000FF");
    EXPECT_EQ(made->getPropertyDescriptions().size(), 53);
    this->box->setText("abcdef");
    this->box->setCursorIndex(6);
    EXPECT_EQ(this->taken(), harray<hstring>({"onTextChanged:0"}));
    EXPECT_TRUE(this->box->setProperty("max_length", "5"));
    EXPECT_EQ(this->box->getText(), "abcde");
    EXPECT_EQ(this->box->getProperty("cursor_index"), "5");
    this->typeText("x");
    EXPECT_EQ(this->box->getText(), "abcde");
    this->box->setText("0123456789");
    EXPECT_EQ(this->box->getText(), "01234");
    // Editing fires no "onTextChanged"; setText does, once per change.
    this->type({BACKSPACE, HOME, DELETE});
    EXPECT_EQ(this->box->getText(), "123");
    EXPECT_EQ(this->taken(), harray<hstring>({"onTextChanged:0"}));
    this->box->setProperty("max_length", "0");
    this->box->setProperty("filter", "0123456789");
    this->box->setText("a1b2\nc3");
    EXPECT_EQ(this->box->getText(), "12\n3");
    this->typeText("x4");
    EXPECT_EQ(this->box->getText(), "412\n3");
    EXPECT_EQ(this->box->getProperty("cursor_index"), "1");
    // The font must have a glyph for a character.
    this->box->setProperty("filter", "");
    EXPECT_FALSE(this->box->onChar(0xE9) || this->box->onChar('5'));
    EXPECT_EQ(this->box->getText(), "4512\n3");
    this->box->setProperty("password_char", "*x");
    EXPECT_EQ(this->box->getProperty("password_char"), "*");
}

TEST_F(EditBoxes, KeysWordsAndLines)
{
    struct Row
    {
        const char* text;
        int cursor;
        std::initializer_list<unsigned int> keys;
        const char* result;
        int resultCursor;
        bool multiLine;
    };
    const Row rows[] = {
        {"hello world  ", 13, {CONTROL, BACKSPACE}, "hello ", 6, false},
        {"hello world  ", 0, {CONTROL, DELETE}, "world  ", 0, false},
        {"ab\ncd", 0, {CONTROL, RIGHT}, "ab\ncd", 2, false},
        {"ab\ncd", 2, {CONTROL, RIGHT}, "ab\ncd", 3, false},
        {"ab  cd", 0, {CONTROL, RIGHT}, "ab  cd", 4, false},
        {"ab\n  cd", 7, {CONTROL, LEFT}, "ab\n  cd", 5, false},
        {"ab\n  cd", 5, {CONTROL, LEFT}, "ab\n  cd", 3, false},
        {"ab\ncd", 3, {CONTROL, LEFT}, "ab\ncd", 2, false},
        // Control released by 18 as well as 17.
        {"ab cd", 5, {CONTROL, RELEASE | 18, LEFT}, "ab cd", 4, false},
        {"ab cd", 2, {UP}, "ab cd", 0, false},
        {"ab cd", 2, {DOWN}, "ab cd", 5, false},
        {"ab", 1, {ENTER}, "ab", 1, false},
        {"ab", 1, {ENTER}, "a\nb", 2, true},
        {"abc\nde", 5, {UP}, "abc\nde", 1, true},
        {"abc\nde", 2, {DOWN}, "abc\nde", 6, true},
        {"abc\nde", 0, {UP, END, LEFT, RIGHT, RIGHT}, "abc\nde", 6, true},
    };
    for (const Row& row : rows)
    {
        this->box->setMultiLine(row.multiLine);
        this->box->setText(row.text);
        this->box->setCursorIndex(row.cursor);
        this->type(row.keys);
        this->type({RELEASE | CONTROL});
        EXPECT_EQ(this->box->getText(), row.result) << row.text << " " << row.cursor;
        EXPECT_EQ(this->box->getCursorIndex(), row.resultCursor) << row.text << " " << row.cursor;
    }
    harray<hstring> events = this->taken();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Submit:13"), 2);

    // Keys go to the focused box, or to any box while nothing has the focus.
    EditBox* other = new EditBox("other", Rectangle(0, 100, 50, 20));
    this->root->addChild(other);
    this->dataset.registerObjects(other);
    this->box->setText("");
    other->setFocused(true);
    this->typeText("a");
    EXPECT_FALSE(this->root->onChar('b'));
    EXPECT_EQ(this->box->getText() + "|" + other->getText(), "|b");
}

TEST_F(EditBoxes, PressDragAndReleasePlaceTheCaret)
{
    this->box->setText("abcdef");
    EXPECT_EQ(this->taken(), harray<hstring>({"onTextChanged:0"}));
    // Characters are 8 wide from the box's left edge at 10; a point left of a character's middle goes before
    // it.
    tesraui::setCursorPosition(Vector2(10 + 8 * 2 + 3, 25));
    EXPECT_TRUE(this->root->onMouseDown(1));
    EXPECT_EQ(this->box->getCursorIndex(), 2);
    EXPECT_TRUE(this->box->isFocused());
    EXPECT_TRUE(this->box->isPushed());
    tesraui::setCursorPosition(Vector2(10 + 8 * 4 + 5, 25));
    this->box->update(0.1f);
    EXPECT_EQ(this->box->getCursorIndex(), 5);
    EXPECT_EQ(this->box->getBlinkTimer(), 0.0f);
    tesraui::setCursorPosition(Vector2(100, 25));
    EXPECT_TRUE(this->root->onMouseUp(1));
    EXPECT_EQ(this->taken(), harray<hstring>({"Click:1"}));
    EXPECT_EQ(this->box->getCursorIndex(), 5);
    // Released outside: no click.
    this->root->onMouseDown(1);
    tesraui::setCursorPosition(Vector2(150, 150));
    EXPECT_FALSE(this->root->onMouseUp(1));
    EXPECT_FALSE(this->box->isPushed());
    EXPECT_EQ(this->taken(), harray<hstring>());

    // A disabled box refuses a press handed to it.
    this->box->setFocused(false);
    this->box->setEnabled(false);
    tesraui::setCursorPosition(Vector2(20, 20));
    EXPECT_FALSE(this->box->onMouseDown(1));
    EXPECT_FALSE(this->box->isFocused());
    this->box->setEnabled(true);

    // A masked text is hit-tested as drawn: "a" and two characters the font draws with no width.
    this->box->setText("a\xC3\xA9\xC3\xA9");
    this->box->setPasswordChar('*');
    this->box->setCursorIndexAt(8 + 5, 15);
    EXPECT_EQ(this->box->getCursorIndex(), 2);
    // Two lines: above the first gives 0, below the last the end.
    this->box->setPasswordChar(0);
    this->box->setText("ab\ncd");
    this->box->setProperty("vert_formatting", "top");
    for (auto [y, index] : {std::pair<float, int>{-5, 0}, {5, 1}, {25, 4}, {45, 5}})
    {
        this->box->setCursorIndexAt(11, y);
        EXPECT_EQ(this->box->getCursorIndex(), index) << y;
    }
}

TEST_F(EditBoxes, UnusableFontsNeitherScrollNorTake)
{
    fintu::renderer->registerFont(new FlatFont());
    for (const char* font : {"flat", "missing"})
    {
        this->box->setFont(font);
        this->box->setText("abcdefghijklmnopqrstuvwxyz");
        this->box->setCursorIndex(26);
        this->box->setFocused(true);
        this->box->_draw();
        EXPECT_EQ(this->box->getTextOffset(), Vector2()) << font;
        this->typeText("z");
        this->box->setCursorIndexAt(3, 3);
        this->type({DOWN});
        EXPECT_EQ(this->box->getText(), "abcdefghijklmnopqrstuvwxyz") << font;
        EXPECT_EQ(this->box->getCursorIndex(), 26) << font;
    }
}

namespace
{
    class EditBoxDraw : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<uitest::TextRenderer> text;
        tesraui::Dataset* dataset = nullptr;
        EditBox* box = nullptr;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->text.reset(new uitest::TextRenderer());
            // The library deletes it.
            this->dataset = new tesraui::Dataset("", "drawn");
            this->dataset->load();
            this->box = new EditBox("box", Rectangle(0, 0, 100, 30));
            this->dataset->registerObjects(this->box);
        }
        void TearDown() override
        {
            tesraui::destroy();
            this->text.reset();
            uitest::UiWindowTest::TearDown();
        }

        // Lit pixels of a column range at row 10, drawn on black.
        int lit(int from, int to)
        {
            tesra::rendersys->clear(true, false);
            this->box->draw();
            std::unique_ptr<tesra::Image> shot = grab();
            int result = 0;
            for (int x = from; x <= to; ++x)
                result += pixel(*shot, x, 10) != 0x000000FFu ? 1 : 0;
            return result;
        }
    };
} // namespace

TEST_F(EditBoxDraw, HintMaskCaretBlinkAndScrolling)
{
    this->box->setProperty("empty_text", "hint");
    this->box->setProperty("background_color", "00000000");
    this->box->draw();
    EXPECT_TRUE(uitest::TextRenderer::drew("[-]hint", Rectangle(-50, -15, 100, 30), 3, 1));
    // Focused: no hint, and the caret blinks at 2 Hz, shown first.
    this->box->setFocused(true);
    EXPECT_EQ(this->lit(2, 40), 0);
    EXPECT_GT(this->lit(0, 1), 0);
    this->box->update(0.2f);
    EXPECT_GT(this->lit(0, 1), 0);
    this->box->update(0.1f);
    EXPECT_EQ(this->lit(0, 1), 0);
    this->box->update(0.2f);
    EXPECT_GT(this->lit(0, 1), 0);

    // Masked as drawn, stored as typed.
    this->box->setText("ab\xC3\xA9"
                       "cd");
    this->box->setProperty("password_char", "*");
    this->box->setCursorIndex(5);
    this->box->draw();
    EXPECT_TRUE(uitest::TextRenderer::drew("[-]*****", Rectangle(-50, -15, 100, 30), 3, 1));
    EXPECT_EQ(this->box->getText(), "ab\xC3\xA9"
                                    "cd");
    EXPECT_EQ(this->box->getCaretPosition(), Vector2(40, 13));

    // A long line scrolls in steps of the line height to keep the caret inside, and back to its start.
    this->box->setPasswordChar(0);
    this->box->setText("abcdefghijklmnopqrst");
    this->box->setCursorIndex(20);
    this->box->draw();
    EXPECT_EQ(this->box->getTextOffset(), Vector2(-80, 0));
    EXPECT_EQ(this->box->getCaretPosition(), Vector2(80, 13));
    this->box->setCursorIndex(0);
    this->box->draw();
    EXPECT_EQ(this->box->getTextOffset(), Vector2(0, 0));

    // Leading spaces are trimmed for good; the cursor stays on the same character.
    this->box->setSpaceHack(true);
    this->box->setText("   xy");
    this->box->setCursorIndex(4);
    this->box->draw();
    EXPECT_EQ(this->box->getText(), "xy");
    EXPECT_EQ(this->box->getCursorIndex(), 1);
}

TEST_F(EditBoxDraw, TypedTagsShowAsTypedAndTheHeightWarningComesOnce)
{
    this->box->setWidth(128);
    this->box->setText("[/-][c:FF0000]x");
    this->box->setProperty("text_color", "00FF00");
    this->box->setProperty("background_color", "00000000");
    this->box->draw();
    std::unique_ptr<tesra::Image> shot = grab();
    int red = 0, green = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 128; ++x)
        {
            red += pixel(*shot, x, y) == 0xFF0000FFu ? 1 : 0;
            green += pixel(*shot, x, y) == 0x00FF00FFu ? 1 : 0;
        }
    // All fifteen characters, each a 6 by 16 block, in green.
    EXPECT_EQ(red, 0);
    EXPECT_EQ(green, 15 * 6 * 16);

    this->box->setMultiLine(true);
    this->box->setHeight(20);
    LogCapture log;
    this->box->draw();
    this->box->draw();
    EXPECT_EQ(log.take(),
              Lines{"WARNING: EditBox 'box' height (20) is smaller than the minimum needed line height "
                    "(24) for the given font '' when using multi-line!"});
}

TEST_F(EditBoxes, CodesThatStoreNothingLeaveTheCursor)
{
    this->box->setText("ab");
    this->box->setCursorIndex(1);
    for (unsigned int code : {0u, 0x80000000u, 0xFFFFFFFFu})
    {
        this->box->insertChar(code);
        EXPECT_EQ(this->box->getText(), "ab") << code;
        EXPECT_EQ(this->box->getCursorIndex(), 1) << code;
    }
    this->box->insertChar('x');
    this->box->insertChar(0xE9);
    EXPECT_EQ(this->box->getText(), "ax\xC3\xA9"
                                    "b");
    EXPECT_EQ(this->box->getCursorIndex(), 3);
}

TEST_F(EditBoxDraw, OffsetsAndHeightsFarOutsideTheBoxScrollInOneDraw)
{
    // Each case would once loop for ever adding a line height to a float that no longer changes.
    struct Row
    {
        const char* name;
        bool multiLine;
        const char* property;
        const char* value;
    };
    const Row rows[] = {
        {"offset x", false, "text_offset_x", "-1e30"}, {"offset x, right", false, "text_offset_x", "1e30"},
        {"offset y", true, "text_offset_y", "-1e30"},  {"offset y, below", true, "text_offset_y", "1e30"},
        {"height", true, "h", "-1e30"},           {"infinite offset", true, "text_offset_y", "-inf"},
    };
    for (const Row& row : rows)
    {
        this->box->setText("abcdefghijklmnopqrst\nuvw");
        this->box->setMultiLine(row.multiLine);
        this->box->setHeight(30);
        this->box->setTextOffset(Vector2());
        if (hstring(row.name) == "offset x, right")
            this->box->setProperty("horz_formatting", "right");
        else
            this->box->setProperty("horz_formatting", "left");
        this->box->setCursorIndex(10);
        this->box->setFocused(true);
        EXPECT_TRUE(this->box->setProperty(row.property, row.value)) << row.name;
        this->box->draw();
        SCOPED_TRACE(row.name);
        if (row.property != hstring("h"))
        {
            // Back in view: the caret is inside the box again.
            Vector2 caret = this->box->getCaretPosition();
            EXPECT_TRUE(caret.x >= 0 && caret.x <= 100 && caret.y >= 0 && caret.y <= 30)
                << caret.x << "," << caret.y;
        }
    }
    // Ordinary scrolling still moves in whole line heights.
    this->box->setHeight(30);
    this->box->setMultiLine(false);
    this->box->setTextOffset(Vector2(-200, 0));
    this->box->setText("abcdefghijklmnopqrst");
    this->box->setCursorIndex(0);
    this->box->draw();
    EXPECT_EQ(this->box->getTextOffset(), Vector2(0, 0));
}
