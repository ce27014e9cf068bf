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
            expectFrame(shot, rect, frame, what);
        }

        static void expectFrame(const tesra::Image& shot, Rectangle rect, Rgb frame, const char* what)
        {
            EXPECT_EQ(at(shot, rect.x + 2, rect.y + rect.h / 2), frame) << what;
            EXPECT_EQ(at(shot, rect.x + rect.w - 3, rect.y + rect.h / 2), frame) << what;
        }

        // The pixels of the ink's colour in a band across the card, between the fractions of its height:
        // the strokes of the title written there.
        static int inked(const tesra::Image& shot, Rectangle rect, float top, float bottom, Rgb ink)
        {
            int count = 0;
            for (int y = (int)(rect.y + rect.h * top); y < (int)(rect.y + rect.h * bottom); ++y)
                for (int x = (int)rect.x + 8; x < (int)(rect.x + rect.w) - 8; ++x)
                    count += at(shot, x, y) == ink ? 1 : 0;
            return count;
        }
    };

    const Rgb white = {255, 255, 255};
} // namespace

TEST_F(DemoReadBack, MoreGamesScreen)
{
    orvalotest::Scene scene;
    ASSERT_NE(orvalo::createAndShowMoreGamesScreen(scene.root), nullptr);
    std::unique_ptr<tesra::Image> shot = shoot(scene, "orvalo_more_games.png");
    // Each thumbnail carries its game's title in its own ink, in the band across its lower half.
    const std::pair<const char*, Rgb> inks[] = {{"forest_tale", {240, 250, 220}},
                                                {"river_quest", {255, 240, 200}}};
    tesraui::Dataset* dataset = tesraui::getDatasetByName("more_games");
    int thumbnails = 0;
    for (tesraui::Object* button : dataset->getObject("orvalo_mgs_scroll_area")->getChildren())
    {
        const hstring id =
            orvalo::getGames()[button->getName().replaced("orvalo_mgs_button_", "").toInt()].id;
        for (const auto& [game, ink] : inks)
            if (id == game)
            {
                const Rectangle rect = button->getBoundingRect();
                EXPECT_EQ(rect.getSize(), kavtypes::Vector2(400, 180));
                expectFrame(*shot, rect, white, game);
                EXPECT_GT(inked(*shot, rect, 0.62f, 0.94f, ink), 400) << game;
                EXPECT_EQ(inked(*shot, rect, 0.0f, 0.6f, ink), 0) << game << ": the title stays in its band";
                ++thumbnails;
            }
    }
    EXPECT_EQ(thumbnails, 2);
    // The current game's logo: its title in the frame's gold.
    const Rectangle logo = dataset->getObject("orvalo_mgs_game_logo")->getBoundingRect();
    expectFrame(*shot, logo, {250, 220, 80}, "logo");
    EXPECT_GT(inked(*shot, logo, 0.3f, 0.7f, {250, 220, 80}), 400) << "the logo's title";
    EXPECT_EQ(at(*shot, 1270, 10), Rgb({30, 30, 50}));
}

TEST_F(DemoReadBack, UpsellScreen)
{
    orvalotest::Scene scene;
    ASSERT_NE(orvalo::createUpsellScreen(scene.root, "dummy"), nullptr);
    std::unique_ptr<tesra::Image> shot = shoot(scene, "orvalo_upsell.png");
    tesraui::Dataset* dataset = tesraui::getDatasetByName("upsell");
    // The gallery shows its first slide (the meadow's picture, its centre a warm field) with the first dot
    // lit.
    auto* gallery = dynamic_cast<orvalo::UpsellImageSliderStatic*>(dataset->getObject("orvalo_us_gallery"));
    EXPECT_EQ(gallery->getBoundingRect(), Rectangle(520, 300, 240, 135));
    expectCard(*shot, gallery->getBoundingRect(), {199, 126, 92}, white, "gallery");
    ASSERT_EQ(gallery->getIndicatorBoxes().size(), 3);
    const Rectangle first = gallery->getIndicatorBoxes()[0]->getBoundingRect();
    EXPECT_EQ(first, Rectangle(616, 443, 16, 16));
    EXPECT_EQ(at(*shot, first.x + 8, first.y + 8), white);
    const Rectangle second = gallery->getIndicatorBoxes()[1]->getBoundingRect();
    EXPECT_EQ(at(*shot, second.x + 8, second.y + 8), Rgb({90, 90, 90}));
    // The carousel's front box is the third, unscaled, with the third slide (the duel's dark board).
    auto* carousel = dynamic_cast<orvalo::UpsellImageSlider*>(dataset->getObject("orvalo_us_carousel"));
    tesraui::ImageBox* front = carousel->getImageBoxes()[2];
    EXPECT_EQ(front->getX(), 180.0f);
    EXPECT_EQ(at(*shot, 340 + 180 + 120, 40 + 67), Rgb({48, 32, 24}));
    // The text slider's first label writes in the promotion font over the captions' panel, which cuts it
    // at its sides: beside the panel the background stays bare.
    auto* texts = dynamic_cast<orvalo::UpsellTextSlider*>(dataset->getObject("orvalo_us_texts"));
    const Rectangle label = texts->getLabels()[0]->getBoundingRect();
    EXPECT_EQ(label, Rectangle(206, 470, 768, 80));
    int written = 0;
    int beside = 0;
    for (int y = 470; y < 550; ++y)
    {
        for (int x = 256; x < 1024; ++x)
            written += at(*shot, x, y) != Rgb({12, 18, 32}) ? 1 : 0;
        for (int x : {0, 100, 200, 238, 1042, 1100, 1279})
            beside += at(*shot, x, y) != Rgb({20, 25, 35}) ? 1 : 0;
    }
    EXPECT_GT(written, 200);
    EXPECT_EQ(beside, 0);
    EXPECT_TRUE(fintu::renderer->hasFont("orvalo"));
}
