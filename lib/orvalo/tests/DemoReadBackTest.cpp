#include <array>

#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>

#include <orvalo/UpsellImageSlider.h>
#include <orvalo/UpsellImageSliderStatic.h>
#include <orvalo/UpsellTextSlider.h>

#include "OrvaloTestSupport.h"

using kavtypes::Rectangle;

namespace
{
    typedef std::array<unsigned char, 3> Rgb;

    // The demo's own promotion data, drawn headless and saved beside the build for a person to look at.
    class DemoReadBack : public orvalotest::OrvaloTest
    {
    protected:
        void SetUp() override
        {
            orvalotest::OrvaloTest::SetUp();
            quortypes::Resource::setCwd(VUMO_DEMO_DIR);
            orvalo::init("demo_game", "data/orvalo/system", "data/orvalo/games/demo/games",
                         "data/orvalo/system/upsell/upsell.dts");
        }

        static std::unique_ptr<tesra::Image> shoot(orvalotest::Scene& scene, const std::string& name)
        {
            for (int i = 0; i < 2; ++i)
            {
                tesraui::processEvents();
                scene.root->update(0.0f);
            }
            tesra::rendersys->clear(true, false);
            scene.root->draw();
            std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
            orvalotest::savePng(*shot, name);
            return shot;
        }

        static Rgb at(const tesra::Image& shot, float x, float y)
        {
            const unsigned int value = orvalotest::pixel(shot, (int)x, (int)y);
            return {(unsigned char)(value >> 24), (unsigned char)(value >> 16), (unsigned char)(value >> 8)};
        }

        // The card's colour at its centre and its frame just inside its edge.
        static void expectCard(const tesra::Image& shot, Rectangle rect, Rgb colour, Rgb frame,
                               const char* what)
        {
            EXPECT_EQ(at(shot, rect.x + rect.w / 2, rect.y + rect.h / 2), colour) << what;
            EXPECT_EQ(at(shot, rect.x + 2, rect.y + rect.h / 2), frame) << what;
            EXPECT_EQ(at(shot, rect.x + rect.w - 3, rect.y + rect.h / 2), frame) << what;
        }
    };

    const Rgb white = {255, 255, 255};
} // namespace

TEST_F(DemoReadBack, MoreGamesScreen)
{
    orvalotest::Scene scene;
    ASSERT_NE(orvalo::createAndShowMoreGamesScreen(scene.root), nullptr);
    std::unique_ptr<tesra::Image> shot = shoot(scene, "orvalo_more_games.png");
    const std::pair<const char*, Rgb> colours[] = {{"forest_tale", {40, 160, 60}},
                                                   {"river_quest", {230, 130, 30}}};
    tesraui::Dataset* dataset = tesraui::getDatasetByName("more_games");
    int thumbnails = 0;
    for (tesraui::Object* button : dataset->getObject("orvalo_mgs_scroll_area")->getChildren())
    {
        const hstring id =
            orvalo::getGames()[button->getName().replaced("orvalo_mgs_button_", "").toInt()].id;
        for (const auto& [game, colour] : colours)
            if (id == game)
            {
                const Rectangle rect = button->getBoundingRect();
                EXPECT_EQ(rect.getSize(), kavtypes::Vector2(400, 180));
                expectCard(*shot, rect, colour, white, game);
                ++thumbnails;
            }
    }
    EXPECT_EQ(thumbnails, 2);
    expectCard(*shot, dataset->getObject("orvalo_mgs_game_logo")->getBoundingRect(), {40, 80, 200},
               {250, 220, 80}, "logo");
    EXPECT_EQ(at(*shot, 1270, 10), Rgb({30, 30, 50}));
}

TEST_F(DemoReadBack, UpsellScreen)
{
    orvalotest::Scene scene;
    ASSERT_NE(orvalo::createUpsellScreen(scene.root, "dummy"), nullptr);
    std::unique_ptr<tesra::Image> shot = shoot(scene, "orvalo_upsell.png");
    tesraui::Dataset* dataset = tesraui::getDatasetByName("upsell");
    // The gallery shows its first slide with the first dot lit.
    auto* gallery = dynamic_cast<orvalo::UpsellImageSliderStatic*>(dataset->getObject("orvalo_us_gallery"));
    EXPECT_EQ(gallery->getBoundingRect(), Rectangle(520, 300, 240, 135));
    expectCard(*shot, gallery->getBoundingRect(), {200, 60, 60}, white, "gallery");
    ASSERT_EQ(gallery->getIndicatorBoxes().size(), 3);
    const Rectangle first = gallery->getIndicatorBoxes()[0]->getBoundingRect();
    EXPECT_EQ(first, Rectangle(616, 443, 16, 16));
    EXPECT_EQ(at(*shot, first.x + 8, first.y + 8), white);
    const Rectangle second = gallery->getIndicatorBoxes()[1]->getBoundingRect();
    EXPECT_EQ(at(*shot, second.x + 8, second.y + 8), Rgb({90, 90, 90}));
    // The carousel's front box is the third, unscaled, with the third slide.
    auto* carousel = dynamic_cast<orvalo::UpsellImageSlider*>(dataset->getObject("orvalo_us_carousel"));
    tesraui::ImageBox* front = carousel->getImageBoxes()[2];
    EXPECT_EQ(front->getX(), 180.0f);
    EXPECT_EQ(at(*shot, 340 + 180 + 120, 40 + 67), Rgb({60, 60, 200}));
    // The text slider's first label writes in the promotion font over the background.
    auto* texts = dynamic_cast<orvalo::UpsellTextSlider*>(dataset->getObject("orvalo_us_texts"));
    const Rectangle label = texts->getLabels()[0]->getBoundingRect();
    EXPECT_EQ(label, Rectangle(-50, 470, 1280, 80));
    int written = 0;
    for (int y = 470; y < 550; ++y)
        for (int x = 0; x < 1230; ++x)
            written += at(*shot, x, y) != Rgb({20, 25, 35}) ? 1 : 0;
    EXPECT_GT(written, 200);
    EXPECT_TRUE(fintu::renderer->hasFont("orvalo"));
}
