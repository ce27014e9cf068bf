#include <tesraui/Container.h>
#include <tesraui/Image.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/TextImageButton.h>
#include <tesraui/ToggleButton.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesra::Color;
using tesraui::ImageButton;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    const unsigned int GREY = 0x808080FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, RED = 0xFF0000FF;

    // A dataset of an image box, a keyed label with a shadow, and three buttons, one of them partly covered.
    const char* const datasetXml = R"(<Dataset>
  <Texture filename="../gfx/btn" filter="nearest">
    <Image name="normal" rect="0,0,8,8"/>
    <Image name="hover" rect="8,0,8,8"/>
    <Image name="pushed" rect="16,0,8,8"/>
    <Image name="disabled" rect="24,0,8,8"/>
  </Texture>
  <Object type="Container" name="root" rect="0,0,128,128">
    <Object type="ImageBox" name="back" rect="0,0,128,30" image="btn/pushed"/>
    <Object type="Label" name="title" rect="0,0,128,30" text_key="title" effect="shadow:FF0000"/>
    <Object type="ImageButton" name="ok" rect="10,40,40,20" image="btn/normal" hover_image="btn/hover"
            pushed_image="btn/pushed"/>
    <Object type="ImageButton" name="plain" rect="60,40,40,20" image="btn/normal"/>
    <Object type="ImageButton" name="under" rect="10,80,40,20" image="btn/normal"/>
    <Object type="ImageBox" name="cover" rect="30,80,40,20" image="btn/pushed"/>
  </Object>
</Dataset>)";

    class Buttons : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<uitest::TextRenderer> text;
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Object* root = nullptr;
        ImageButton* ok = nullptr;
        ImageButton* plain = nullptr;
        harray<hstring> journal;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->text.reset(new uitest::TextRenderer());
            const Color tiles[4] = {Color(128, 128, 128), Color(0, 255, 0), Color(0, 0, 255),
                                    Color(255, 0, 0)};
            this->folder.write("gfx/btn.png",
                               uitest::makePng(32, 8, [&](int x, int) { return tiles[x / 8]; }));
            this->folder.write("ui/case.xml", datasetXml);
            this->folder.write("ui/texts/t.txt", "title\n{\nHi\n}\n");
            this->dataset.reset(new tesraui::Dataset("ui/case.xml", "d"));
            this->dataset->load();
            this->root = this->dataset->getRoot();
            this->ok = dynamic_cast<ImageButton*>(this->dataset->getObject("ok"));
            this->plain = dynamic_cast<ImageButton*>(this->dataset->getObject("plain"));
            uitest::listen(this->ok, &this->journal,
                           {"MouseDown", "MouseUp", "Click", "ButtonDown", "ButtonUp", "ButtonClick"});
        }

        void TearDown() override
        {
            this->dataset.reset();
            this->text.reset();
            uitest::UiWindowTest::TearDown();
        }

        void moveTo(float x, float y)
        {
            tesraui::setCursorPosition(Vector2(x, y));
            this->dataset->clearChildUnderCursorCaches();
            this->root->onMouseMove();
        }

        // One frame as the engine runs it, then the pixel at x, y of the drawn tree.
        unsigned int frame(int x, int y)
        {
            tesraui::processEvents();
            tesraui::update(0.01f);
            tesra::rendersys->clear(true, false);
            this->root->draw();
            return pixel(*grab(), x, y);
        }

        harray<hstring> taken()
        {
            this->dataset->processEvents();
            return std::exchange(this->journal, harray<hstring>());
        }
    };
} // namespace

TEST_F(Buttons, LoadedDatasetDrawsAndClicksInOrder)
{
    ASSERT_TRUE(this->ok != nullptr && this->plain != nullptr);
    EXPECT_EQ(this->ok->getProperty("hover_image"), "d.btn/hover");
    EXPECT_EQ(this->plain->getProperty("hover_image"), "");
    EXPECT_EQ(uitest::names(this->dataset->getObject("title")->getDescendants()), harray<hstring>());
    this->moveTo(0, 127);
    EXPECT_EQ(this->frame(20, 50), GREY);
    EXPECT_TRUE(uitest::TextRenderer::drew("[s:FF0000FF]Hi", Rectangle(-64, -15, 128, 30), 7, 1));
    std::unique_ptr<tesra::Image> shot = grab();
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 128; ++x)
            red += pixel(*shot, x, y) == RED ? 1 : 0;
    EXPECT_GT(red, 0);

    // The image follows the state one update late.
    this->moveTo(20, 50);
    EXPECT_TRUE(this->ok->isHovered());
    EXPECT_EQ(this->frame(20, 50), GREEN);
    EXPECT_TRUE(this->root->onMouseDown(1));
    EXPECT_EQ(pixel(*grab(), 20, 50), GREEN);
    // Handlers run only when the dataset processes its queue.
    EXPECT_EQ(this->journal, harray<hstring>());
    EXPECT_EQ(this->frame(20, 50), BLUE);
    EXPECT_EQ(this->journal, harray<hstring>({"MouseDown:1"}));
    EXPECT_TRUE(this->root->onMouseUp(1));
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseDown:1", "MouseUp:1", "Click:1"}));

    // A release elsewhere queues nothing; a release over it after a press elsewhere only "MouseUp".
    this->root->onMouseDown(1);
    this->moveTo(5, 120);
    EXPECT_FALSE(this->root->onMouseUp(1));
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseDown:1"}));
    this->root->onMouseDown(1);
    this->moveTo(20, 50);
    EXPECT_TRUE(this->root->onMouseUp(1));
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseUp:1"}));
    // The right key never presses or clicks, though its release over the button is reported.
    EXPECT_FALSE(this->root->onMouseDown(2));
    EXPECT_FALSE(this->ok->isPushed());
    this->root->onMouseUp(2);
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseUp:2"}));

    // A covered button is not hovered even with the pointer inside its rectangle.
    ImageButton* under = dynamic_cast<ImageButton*>(this->dataset->getObject("under"));
    this->moveTo(40, 90);
    EXPECT_FALSE(under->isHovered());
    this->moveTo(20, 90);
    EXPECT_TRUE(under->isHovered());

    // The focused button is hovered anywhere, and the controller's button 11 clicks it.
    this->ok->setFocusIndex(0);
    this->dataset->focus(this->ok);
    this->moveTo(5, 120);
    EXPECT_TRUE(this->ok->isHovered());
    EXPECT_FALSE(this->root->onButtonDown(3));
    EXPECT_TRUE(this->root->onButtonDown(11));
    EXPECT_TRUE(this->root->onButtonUp(11));
    EXPECT_EQ(this->taken(), harray<hstring>({"ButtonDown:11", "ButtonUp:11", "ButtonClick:11"}));
}

// A modal layer over everything (a message box) takes the pointer from every button outside it, also from
// one of another dataset whose tree holds no cover (a library's screen under a game's box), and leaves it to
// its own; once it goes, or is destroyed, the buttons under the pointer light up again.
TEST_F(Buttons, AModalLayerAloneTakesThePointer)
{
    this->folder.write("ui/screen.xml", R"(<Dataset>
  <Object type="Container" name="screen" rect="0,0,128,128">
    <Object type="ImageButton" name="thumb" rect="10,10,40,20"/>
  </Object>
</Dataset>)");
    tesraui::Dataset screen("ui/screen.xml", "screen");
    screen.load();
    ImageButton* thumb = dynamic_cast<ImageButton*>(screen.getObject("thumb"));
    ASSERT_NE(thumb, nullptr);
    tesraui::Container* layer = new tesraui::Container("layer", Rectangle(0, 60, 128, 68));
    this->dataset->registerObjects(layer);
    this->root->addChild(layer);
    ImageButton* inside = new ImageButton("inside", Rectangle(0, 20, 40, 20));
    this->dataset->registerObjects(inside);
    layer->addChild(inside);
    struct Row
    {
        const char* step;
        tesraui::Object* layer;
        bool thumb, ok, inside;
    };
    harray<hstring> journal;
    for (const Row& row :
         {Row{"no layer", nullptr, true, true, false}, Row{"the layer stands", layer, false, false, true},
          Row{"the layer goes", nullptr, true, true, false}})
    {
        tesraui::setModalLayer(row.layer);
        const std::pair<ImageButton*, Vector2> buttons[] = {
            {thumb, Vector2(20, 20)}, {this->ok, Vector2(20, 50)}, {inside, Vector2(20, 90)}};
        for (const auto& button : buttons)
        {
            if (button.first == inside && row.layer == nullptr)
            {
                continue;
            }
            this->moveTo(button.second.x, button.second.y);
            this->frame(0, 0);
            screen.getRoot()->onMouseMove();
            journal.push_back(hstring(row.step) + ": " + button.first->getName() + " " +
                              (button.first->isHovered() ? "lit" : "dark"));
        }
    }
    EXPECT_EQ(journal,
              harray<hstring>({"no layer: thumb lit", "no layer: ok lit", "the layer stands: thumb dark",
                               "the layer stands: ok dark", "the layer stands: inside lit",
                               "the layer goes: thumb lit", "the layer goes: ok lit"}));
    // A layer destroyed while it stands counts as none.
    tesraui::setModalLayer(layer);
    this->dataset->destroyObject(layer);
    EXPECT_EQ(tesraui::getModalLayer(), nullptr);
}

TEST_F(Buttons, HoverPassDarkeningAndDisabledImages)
{
    // Without a hover image the normal one is added again at a quarter of its alpha.
    this->moveTo(80, 50);
    unsigned int highlighted = this->frame(80, 50);
    EXPECT_NEAR((int)(highlighted >> 24), 128 + 128 * 63 / 255, 2);
    EXPECT_EQ(this->dataset->getImage("btn/normal")->getBlendMode(), tesra::BlendMode::DEFAULT);
    tesraui::setHoverEffectEnabled(false);
    EXPECT_EQ(this->frame(80, 50), GREY);
    // Nor does the hover image show.
    this->moveTo(20, 50);
    EXPECT_EQ(this->frame(20, 50), GREY);
    tesraui::setHoverEffectEnabled(true);

    // Pushed without a pushed image: darkened while the pointer is inside, plain once it has left.
    this->moveTo(80, 50);
    this->root->onMouseDown(1);
    EXPECT_EQ(this->frame(80, 50), 0x606060FFu);
    this->moveTo(5, 120);
    EXPECT_EQ(this->frame(80, 50), GREY);
    this->root->onMouseUp(1);

    // A disabled image is drawn at full alpha; without one the normal image at the disabled alpha.
    this->ok->setProperty("disabled_image", "btn/disabled");
    this->ok->setEnabled(false);
    this->plain->setEnabled(false);
    EXPECT_EQ(this->frame(20, 50), RED);
    EXPECT_EQ(this->frame(80, 50), 0x404040FFu);
    EXPECT_EQ(this->ok->getImages(),
              harray<tesraui::Image*>(
                  {this->dataset->getImage("btn/disabled"), this->dataset->getImage("btn/pushed"),
                   this->dataset->getImage("btn/hover"), this->dataset->getImage("btn/disabled")}));
    EXPECT_EQ(this->ok->getImage(), this->dataset->getImage("btn/normal"));
    this->ok->setHoverImage(nullptr);
    EXPECT_EQ(this->ok->getProperty("hover_image"), "null");
    EXPECT_THROW(this->ok->setProperty("pushed_image", "missing"), tesraui::_ResourceNotExistsException);
}

TEST_F(Buttons, TextColoursByStateActOnlyOnceSet)
{
    tesraui::Object* made = tesraui::createObject("TextImageButton", "tib", Rectangle(10, 105, 60, 20));
    tesraui::TextImageButton* button = dynamic_cast<tesraui::TextImageButton*>(made);
    ASSERT_NE(button, nullptr);
    this->root->addChild(button);
    this->dataset->registerObjects(button);
    EXPECT_EQ(button->getText(), "TextImageButton: tib");
    EXPECT_EQ(button->getProperty("pushed_text_color") + button->getProperty("hover_text_color"),
              "333333337F7F7FFF");
    button->setImageByName("btn/normal");
    button->setText("a");
    button->setProperty("horz_formatting", "left");
    button->setProperty("vert_formatting", "top");
    // The letter is a block at 10..16, 107..123.
    EXPECT_EQ(this->frame(12, 110), 0xFFFFFFFFu);
    this->moveTo(40, 115);
    EXPECT_EQ(this->frame(12, 110), 0xFFFFFFFFu);
    this->root->onMouseDown(1);
    EXPECT_EQ(this->frame(12, 110), 0xFFFFFFFFu);
    this->root->onMouseUp(1);
    button->setProperty("hover_text_color", "00FF00");
    button->setProperty("pushed_text_color", "0000FFFF");
    EXPECT_EQ(this->frame(12, 110), GREEN);
    tesraui::setHoverEffectEnabled(false);
    EXPECT_EQ(this->frame(12, 110), 0xFFFFFFFFu);
    tesraui::setHoverEffectEnabled(true);
    this->root->onMouseDown(1);
    EXPECT_EQ(this->frame(12, 110), BLUE);
    this->root->onMouseUp(1);
    // Disabled: in the disabled colour fully opaque, or else the text colour at the disabled alpha.
    button->setEnabled(false);
    unsigned int faded = this->frame(12, 110);
    EXPECT_NEAR((int)(faded >> 24), 64 + (255 - 64) / 2, 3);
    button->setProperty("disabled_text_color", "FF0000");
    EXPECT_EQ(this->frame(12, 110), RED);
    EXPECT_EQ(button->getProperty("text_color"), "FFFFFFFF");
}

TEST_F(Buttons, ToggleFlipsOnHandledReleasesAndSwapsItsImages)
{
    tesraui::ToggleButton* toggle = new tesraui::ToggleButton("tog", Rectangle(80, 105, 40, 20));
    this->root->addChild(toggle);
    this->dataset->registerObjects(toggle);
    toggle->setImageByName("btn/normal");
    toggle->setHoverImageByName("btn/hover");
    EXPECT_TRUE(toggle->setProperty("toggled_image", "btn/pushed"));
    EXPECT_EQ(toggle->getProperty("toggled_image"), "d.btn/pushed");
    EXPECT_EQ(toggle->getProperty("toggled_hover_image"), "");
    this->moveTo(100, 115);
    EXPECT_EQ(this->frame(100, 115), GREEN);
    this->root->onMouseDown(1);
    this->root->onMouseUp(1);
    EXPECT_TRUE(toggle->isToggled());
    // Toggled and hovered without a toggled hover image: the toggled image with the additive pass.
    EXPECT_EQ(this->frame(100, 115), BLUE);
    EXPECT_EQ(toggle->getImage(), this->dataset->getImage("btn/normal"));
    EXPECT_EQ(toggle->getHoverImage(), this->dataset->getImage("btn/hover"));
    EXPECT_EQ(toggle->getImages(), harray<tesraui::Image*>({this->dataset->getImage("btn/pushed"),
                                                            this->dataset->getImage("btn/hover")}));

    // A release over it after a press elsewhere flips it only when a "MouseUp" handler takes the release.
    this->moveTo(5, 120);
    this->root->onMouseDown(1);
    this->moveTo(100, 115);
    EXPECT_FALSE(this->root->onMouseUp(1));
    EXPECT_TRUE(toggle->isToggled());
    uitest::listen(toggle, &this->journal, {"MouseUp", "ButtonClick"});
    this->moveTo(5, 120);
    this->root->onMouseDown(1);
    this->moveTo(100, 115);
    EXPECT_TRUE(this->root->onMouseUp(1));
    EXPECT_FALSE(toggle->isToggled());
    EXPECT_EQ(this->frame(100, 115), GREEN);
    // Controller clicks do not toggle.
    toggle->setFocusIndex(3);
    this->dataset->focus(toggle);
    this->root->onButtonDown(11);
    this->root->onButtonUp(11);
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseUp:1", "ButtonClick:11"}));
    EXPECT_FALSE(toggle->isToggled());
}

TEST(ButtonsAlone, WithoutADatasetTheyWarnAndKeepTheirState)
{
    uitest::UiLibrary library;
    tesraui::Container root("root", Rectangle(0, 0, 100, 100));
    ImageButton button("b", Rectangle(10, 10, 20, 20)), cover("c", Rectangle(0, 0, 15, 100));
    root.addChild(&button);
    LogCapture log;
    EXPECT_TRUE(button.setProperty("hover_image", "x"));
    EXPECT_TRUE(button.setProperty("image", "y"));
    button.update(0.0f);
    button.update(0.0f);
    EXPECT_EQ(log.take(),
              Lines({"WARNING: Object 'b' belongs to no dataset, cannot set image 'x'.",
                     "WARNING: Object 'b' belongs to no dataset, cannot set image 'y'.",
                     "WARNING: Object 'b' belongs to no dataset, cannot show the \"null\" image."}));
    EXPECT_EQ(button.getProperty("hover_image"), "");
    // Through the button base the same overrides answer.
    tesraui::ButtonBase& base = button;
    button.setHoverImage(nullptr);
    EXPECT_EQ(base.getProperty("hover_image"), "null");
    EXPECT_EQ(base.getName(), "b");
    EXPECT_EQ(button.getImages(), harray<tesraui::Image*>());
    // The topmost object of the parent chain decides the hover; a lone button asks its own rectangle.
    tesraui::setCursorPosition(Vector2(12, 12));
    root.clearChildUnderCursor();
    EXPECT_TRUE(button.onMouseDown(1));
    root.addChild(&cover);
    root.clearChildUnderCursor();
    EXPECT_FALSE(button.onMouseUp(1));
    root.removeChild(&cover);
    root.removeChild(&button);
    EXPECT_TRUE(button.onMouseDown(1));
    EXPECT_TRUE(button.onMouseUp(1));
}

// A click that arrives in the same frame as the pointer's jump (a quick click after a move, every tap on a
// touch screen) goes to what lies under it: the hover that the last move or the tree's update left behind
// names another button.
TEST_F(Buttons, APressAfterAJumpGoesToWhatIsUnderIt)
{
    struct Case
    {
        const char* kind;
        bool inScrollArea;
        bool hoverFromUpdate;
    };
    const Case cases[] = {{"ImageButton", false, false},     {"ImageButton", false, true},
                          {"TextImageButton", false, false}, {"ToggleButton", false, true},
                          {"ImageButton", true, false},      {"ImageButton", true, true}};
    for (const Case& c : cases)
    {
        const std::string label = std::string(c.kind) + (c.inScrollArea ? " in a scroll area" : "") +
                                  (c.hoverFromUpdate ? ", hovered by the update" : ", hovered by a move");
        tesraui::Object* row = new tesraui::Container("row", Rectangle(0, 104, 128, 24));
        tesraui::Object* parent = row;
        if (c.inScrollArea)
        {
            parent = new tesraui::ScrollArea("area", Rectangle(0, 0, 200, 24));
            row->addChild(parent);
        }
        harray<hstring> clicked;
        for (const char* name : {"first", "second"})
        {
            tesraui::Object* button =
                tesraui::createObject(c.kind, name, Rectangle(name[0] == 'f' ? 0 : 64, 0, 40, 20));
            button->registerEvent("Click", std::make_shared<uitest::JournalEvent>(name, &clicked));
            parent->addChild(button);
        }
        this->root->addChildAndRegister(row);
        this->dataset->clearChildUnderCursorCaches();
        tesraui::setCursorPosition(Vector2(20, 114));
        c.hoverFromUpdate ? this->root->update(0.0f) : (void)this->root->onMouseMove();
        // The pointer jumps to the second button and clicks there before the next update.
        tesraui::setCursorPosition(Vector2(84, 114));
        this->root->onMouseMove();
        this->root->onMouseDown(1);
        this->root->onMouseUp(1);
        this->dataset->processEvents();
        EXPECT_EQ(clicked, harray<hstring>({"second:1"})) << label;
        this->dataset->destroyObject(row);
    }
}
