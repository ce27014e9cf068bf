#include <tesraui/EditBox.h>
#include <tesraui/Label.h>
#include <tesraui/TextImageButton.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesraui::Label;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    // Counts of the text events a label queued, after its dataset ran them.
    struct TextEvents
    {
        static inline int texts = 0, keys = 0;
        static void attach(tesraui::Object* object)
        {
            texts = keys = 0;
            object->registerEvent("onTextChanged", [](tesraui::EventArgs*) { ++texts; });
            object->registerEvent("onTextKeyChanged", [](tesraui::EventArgs*) { ++keys; });
        }
    };
} // namespace

TEST(Labels, PropertiesRoundTripAndRefusedWords)
{
    uitest::UiLibrary library;
    std::unique_ptr<tesraui::Object> made(tesraui::createObject("Label", "title", Rectangle(0, 0, 50, 20)));
    Label* label = dynamic_cast<Label*>(made.get());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getText(), "Label: title");
    EXPECT_EQ(label->getPropertyDescriptions().size(), 45);
    EXPECT_EQ(label->getPropertyDescriptions().back().name, "background_color");
    // Object's properties come first; a name neither part has is "" and false.
    EXPECT_EQ(label->getProperty("x"), "0.000000");
    EXPECT_EQ(label->getProperty("nonsense"), "");
    // Through the text block the label's own overrides answer.
    tesraui::LabelBase& block = *label;
    EXPECT_EQ(block.getPropertyDescriptions().size(), 45);
    EXPECT_FALSE(label->setProperty("nonsense", "1"));
    const std::pair<const char*, const char*> defaults[] = {{"horz_formatting", "center_wrapped"},
                                                            {"vert_formatting", "center"},
                                                            {"text_color", "FFFFFFFF"},
                                                            {"effect", "none"},
                                                            {"background_color", "00000000"},
                                                            {"text_offset", "0.000000,0.000000"},
                                                            {"font", ""},
                                                            {"text_key", ""}};
    for (const auto& [name, value] : defaults)
        EXPECT_EQ(label->getProperty(name), value) << name;
    struct Row
    {
        const char* name;
        const char* value;
        bool taken;
        const char* readBack;
        Lines log;
    };
    const Row rows[] = {
        {"horz_formatting", "justified", true, "justified", {}},
        {"horz_formatting",
         "middle",
         false,
         "justified",
         {"WARNING: 'horz_formatting=' does not support value 'middle'."}},
        {"vert_formatting",
         "center_wrapped",
         false,
         "center",
         {"WARNING: 'vert_formatting=' does not support value 'center_wrapped'."}},
        {"vert_formatting", "bottom", true, "bottom", {}},
        {"effect", "shadow:FF0000", true, "shadow:FF0000FF", {}},
        // The reset comes first, so a refused word leaves no effect at all.
        {"effect", "glow", false, "none", {"WARNING: 'effect=' does not support value 'glow'."}},
        {"effect",
         "border:12345",
         false,
         "border",
         {"WARNING: 'effect=' is using invalid color modifier '12345'."}},
        {"effect", "", true, "none", {}},
        {"effect", "border:00ff0080", true, "border:00FF0080", {}},
        {"text_offset", "3,-4.5", true, "3.000000,-4.500000", {}},
        {"text_offset_y", "junk", true, "0.000000", {}},
        {"text_color", "FF8000", true, "FF8000FF", {}},
        {"font", "block:2", true, "block:2", {}},
    };
    for (const Row& row : rows)
    {
        LogCapture log;
        EXPECT_EQ(label->setProperty(row.name, row.value), row.taken) << row.name << "=" << row.value;
        EXPECT_EQ(label->getProperty(row.name), row.readBack) << row.name << "=" << row.value;
        EXPECT_EQ(log.take(), row.log) << row.name << "=" << row.value;
    }
    EXPECT_THROW(label->setProperty("background_color", "purple"), quortypes::exception);
    EXPECT_EQ(label->getProperty("background_color"), "00000000");
    EXPECT_THROW(label->setProperty("text_offset", "1"), quortypes::exception);
}

TEST(Labels, TextEventsKeysAndLocalization)
{
    uitest::ResourceFolder folder;
    folder.write("texts/en/t.txt", "greet\n{\nHello\n}\nsame\n{\nHello\n}\nhint\n{\nType\n}\n");
    folder.write("texts/de/t.txt", "greet\n{\nHallo\n}\nsame\n{\nHallo\n}\nhint\n{\nTippen\n}\n");
    uitest::UiLibrary library;
    tesraui::setLocalization("en");
    tesraui::Dataset dataset("", "labels");
    dataset.load();
    dataset.reloadTexts();
    Label* keyed = new Label("keyed", Rectangle(0, 0, 50, 20));
    Label* plain = new Label("plain", Rectangle(0, 0, 50, 20));
    dataset.registerObjects(keyed);
    dataset.registerObjects(plain);
    TextEvents::attach(keyed);
    struct Step
    {
        std::function<void()> call;
        const char* text;
        const char* key;
        int texts, keys;
    };
    const Step steps[] = {
        {[&] { keyed->setText("Label: keyed"); }, "Label: keyed", "", 0, 0},
        {[&] { keyed->setTextKey("greet"); }, "Hello", "greet", 1, 1},
        // The same key reads the text again; a new key with the same text changes only the key.
        {[&] { keyed->setTextKey("greet"); }, "Hello", "greet", 1, 1},
        {[&] { keyed->setTextKey("same"); }, "Hello", "same", 1, 2},
        {[&] { EXPECT_FALSE(keyed->trySetTextKey("same")); }, "Hello", "same", 1, 2},
        {[&] { EXPECT_TRUE(keyed->setProperty("text_key", "{%s!}greet")); }, "Hello!", "{%s!}greet", 2, 3},
        // The same text still clears the key.
        {[&] { keyed->setText("Hello!"); }, "Hello!", "", 2, 3},
        {[&] { keyed->setProperty("text_key", "greet"); }, "Hello", "greet", 3, 4},
    };
    for (const Step& step : steps)
    {
        step.call();
        dataset.processEvents();
        EXPECT_EQ(keyed->getText(), step.text);
        EXPECT_EQ(keyed->getTextKey(), step.key);
        EXPECT_EQ(std::make_pair(TextEvents::texts, TextEvents::keys), std::make_pair(step.texts, step.keys))
            << step.text;
    }
    plain->setText("as typed");
    tesraui::TextImageButton* button = new tesraui::TextImageButton("button", Rectangle(0, 0, 50, 20));
    tesraui::EditBox* box = new tesraui::EditBox("box", Rectangle(0, 0, 50, 20));
    dataset.registerObjects(button);
    dataset.registerObjects(box);
    button->setProperty("text_key", "greet");
    box->setProperty("empty_text_key", "hint");
    EXPECT_EQ(box->getEmptyText(), "Type");
    tesraui::setLocalization("de");
    EXPECT_EQ(keyed->getText(), "Hallo");
    EXPECT_EQ(keyed->getTextKey(), "greet");
    EXPECT_EQ(plain->getText(), "as typed");
    EXPECT_EQ(button->getText() + "|" + box->getEmptyText() + "|" + box->getEmptyTextKey(),
              "Hallo|Tippen|hint");
    tesraui::setLocalization("");

    // Outside a dataset a key has nothing to be looked up in.
    Label loose("loose", Rectangle(0, 0, 10, 10));
    LogCapture log;
    loose.setTextKey("greet");
    EXPECT_EQ(log.take(),
              Lines{"WARNING: Object 'loose' belongs to no dataset, cannot set text key 'greet'."});
    EXPECT_EQ(loose.getText(), "Label: loose");
    loose.notifyEvent("onLocalizationChanged", nullptr);
    EXPECT_TRUE(log.take().empty());
    tesraui::EditBox looseBox("looseBox", Rectangle(0, 0, 10, 10));
    looseBox.setEmptyTextKey("hint");
    EXPECT_EQ(log.take(),
              Lines{"WARNING: Object 'looseBox' belongs to no dataset, cannot set empty text key 'hint'."});
    EXPECT_EQ(looseBox.getEmptyTextKey(), "");
}

namespace
{
    class LabelDraw : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<uitest::TextRenderer> text;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->text.reset(new uitest::TextRenderer());
        }
        void TearDown() override
        {
            this->text.reset();
            uitest::UiWindowTest::TearDown();
        }
    };
} // namespace

TEST_F(LabelDraw, TextBackgroundAndEffectPrefixes)
{
    Label label("l", Rectangle(10, 10, 60, 30));
    label.setText("ab");
    label.setProperty("horz_formatting", "left");
    label.setProperty("vert_formatting", "top");
    label.setProperty("text_offset", "5,3");
    label.setProperty("effect", "shadow:FF0000");
    label.setProperty("text_color", "00FF00FF");
    label.draw();
    std::unique_ptr<tesra::Image> shot = grab();
    // The offset moves the text right and down; the red shadow shows one pixel beyond each green block.
    EXPECT_EQ(pixel(*shot, 14, 14), 0x000000FFu);
    EXPECT_EQ(pixel(*shot, 15, 15), 0x00FF00FFu);
    EXPECT_EQ(pixel(*shot, 21, 20), 0xFF0000FFu);
    EXPECT_EQ(pixel(*shot, 23, 20), 0x00FF00FFu);
    EXPECT_TRUE(uitest::TextRenderer::drew("[s:FF0000FF]ab", Rectangle(-30, -15, 60, 30), 3, 0, Vector2(5, 3),
                                           tesra::Color(0, 255, 0)));
    label.setProperty("effect", "border");
    label.setText("[c:FF0000]x");
    label.setTextFormatting(false);
    label.draw();
    EXPECT_TRUE(uitest::TextRenderer::drew("[b][-][c:FF0000]x", Rectangle(-30, -15, 60, 30), 3, 0,
                                           Vector2(5, 3), tesra::Color(0, 255, 0)));

    // A background fills the rectangle and is outlined in the text colour; a disabled label halves both.
    tesra::rendersys->clear(true, false);
    label.setText("");
    label.setProperty("background_color", "0000FFFF");
    label.draw();
    shot = grab();
    EXPECT_EQ(pixel(*shot, 40, 25), 0x0000FFFFu);
    int outline = 0;
    for (int x : {9, 10, 11, 68, 69, 70})
        outline += pixel(*shot, x, 25) == 0x00FF00FFu ? 1 : 0;
    EXPECT_EQ(outline, 2);
    tesra::rendersys->clear(true, false);
    label.setEnabled(false);
    label.draw();
    shot = grab();
    EXPECT_NEAR((int)(pixel(*shot, 40, 25) >> 8 & 0xFF), 127, 1);
}
