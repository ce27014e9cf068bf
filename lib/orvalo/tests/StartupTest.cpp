#include <fintuttf/FontTtf.h>
#include <quortypes/exception.h>

#include "OrvaloTestSupport.h"

using orvalotest::Lines;
using orvalotest::LogCapture;

namespace
{
    class Startup : public orvalotest::OrvaloTest
    {
    protected:
        static Lines levelled(const Lines& lines, const std::string& prefix)
        {
            Lines result;
            for (const std::string& line : lines)
                if (line.rfind(prefix, 0) == 0)
                    result.push_back(line);
            return result;
        }

        std::string thrownText(const hstring& gameId)
        {
            try
            {
                orvalo::initData(gameId, "system", "games");
            }
            catch (const quortypes::exception& e)
            {
                std::string message = e.getMessage();
                return message.substr(message.find("] ") + 2);
            }
            return "nothing thrown";
        }
    };
} // namespace

TEST_F(Startup, GameFoldersBecomeRecordsInListingOrder)
{
    this->writePromotionData({"alpha", "beta"});
    this->folder.put("games/no_cfg/images.tex", "<Dataset/>");
    // Only the first category counts; a file without any is malformed.
    this->folder.put(
        "games/two_categories/game.cfg",
        "[Game]\nUrlStore:https://example.invalid/first\nOther:x\n[More]\nUrlStore:https://second\n"
        "UrlRateMe:https://second\n");
    this->folder.put("games/no_category/game.cfg", "# nothing here\n");
    LogCapture log;
    orvalo::init("beta", "system", "games", "");
    EXPECT_EQ(levelled(log.lines, "WARNING: "), Lines({"WARNING: Could not find 'game.cfg' in: no_cfg"}));
    EXPECT_EQ(levelled(log.lines, "ERROR: "),
              Lines({"ERROR: CFG file 'game.cfg' in 'no_category' is malformed!"}));
    const harray<orvalo::Game>& games = orvalo::getGames();
    ASSERT_EQ(games.size(), 3);
    EXPECT_EQ(games[0].id, "alpha");
    EXPECT_EQ(games[1].id, "beta");
    EXPECT_EQ(games[2].id, "two_categories");
    EXPECT_EQ(games[2].UrlStore, "https://example.invalid/first");
    EXPECT_EQ(games[2].UrlRateMe, "");
    EXPECT_EQ(orvalo::getCurrentGame(), games[1]);
    EXPECT_EQ(orvalo::getCurrentGame().UrlFacebookShare, "https://example.invalid/share/beta");
    EXPECT_EQ(orvalo::getRateLink(), "https://example.invalid/rate/beta");
    EXPECT_NE(tesraui::getDatasetByName("orvalo"), nullptr);
    // The slider kinds are there for the upsell dataset.
    std::unique_ptr<tesraui::Object> slider(
        tesraui::createObject("UpsellTextSlider", "s", kavtypes::Rectangle(0, 0, 10, 10)));
    EXPECT_EQ(slider->getClassName(), "UpsellTextSlider");
}

TEST_F(Startup, UnknownGameIdAndMissingFolders)
{
    this->writePromotionData({"alpha"});
    EXPECT_EQ(thrownText("nope"), "Game ID 'nope' does not match any directory in 'games'!");
    LogCapture log;
    orvalo::initData("alpha", "nowhere/../missing_system", "missing_games");
    EXPECT_EQ(log.take(),
              Lines({"Initializing Orvalo.", "WARNING: System path could not be found: missing_system",
                     "WARNING: Games path could not be found: missing_games"}));
    EXPECT_EQ(orvalo::getSystemPath(), "missing_system");
    this->folder.put("bare/x.txt", "");
    orvalo::initData("alpha", "bare", "");
    EXPECT_EQ(log.take(), Lines({"Initializing Orvalo.",
                                 "ERROR: Dataset could not be found in system path: bare/orvalo.dts"}));
    orvalo::setUpsellFilename("upsell/none.dts");
    EXPECT_EQ(log.take(), Lines({"WARNING: Upsell filename could not be found: upsell/none.dts"}));
}

TEST_F(Startup, RateAppOpensTheCurrentGamesLink)
{
    orvalotest::OpenerStub opener;
    this->writePromotionData({"alpha"});
    this->folder.put("games/beta/game.cfg", orvalotest::gameCfg("beta", false));
    orvalo::initData("beta", "system", "games");
    LogCapture log;
    orvalo::rateApp();
    EXPECT_EQ(log.take(), Lines({"ERROR: The current game 'beta' does not have a Rate-Me URL defined!"}));
    orvalo::initData("alpha", "system", "games");
    orvalo::rateApp();
    // The opener gets exactly one URL: the earlier call opened nothing.
    EXPECT_EQ(opener.waitFor(1), "https://example.invalid/rate/alpha\n");
}

TEST_F(Startup, FontFollowsTheLocalizationWhileAScreenExists)
{
    this->writePromotionData();
    for (const char* name : {"ptsans.ttf", "ume-tgs5.ttf", "SourceSansPro-Regular.ttf"})
        this->folder.copy(ORVALO_TEST_FONT, std::string("system/fonts/") + name);
    orvalo::initData("alpha", "system", "games");
    orvalotest::Scene scene;
    // No screen, no font.
    orvalo::loadFonts();
    EXPECT_FALSE(fintu::renderer->hasFont("orvalo"));
    const std::pair<const char*, const char*> cases[] = {{"ru_RU", "system/fonts/ptsans.ttf"},
                                                         {"ja", "system/fonts/ume-tgs5.ttf"},
                                                         {"", "system/fonts/SourceSansPro-Regular.ttf"}};
    for (const auto& [localization, file] : cases)
    {
        tesraui::setLocalization(localization);
        ASSERT_NE(orvalo::createMoreGamesScreen(scene.root), nullptr) << localization;
        auto* font = dynamic_cast<fintuttf::FontTtf*>(fintu::renderer->getFont("orvalo"));
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->getFontFilename(), file);
        const float size = hstring(localization) == "ja" ? 90.0f : 120.0f;
        EXPECT_FLOAT_EQ(font->getLineHeight(), size * 0.5f) << localization;
        orvalo::destroyMoreGamesScreen();
        EXPECT_FALSE(fintu::renderer->hasFont("orvalo"));
    }
    // The font stays while either screen exists and goes with the last.
    this->folder.put(
        "system/upsell.dts",
        "<Dataset><Object type=\"UpsellScreen\" name=\"orvalo_us\" rect=\"0,0,10,10\">"
        "<Object type=\"ImageButton\" name=\"orvalo_us_button_overlay_cancel\" rect=\"0,0,1,1\"/>"
        "<Object type=\"Label\" name=\"orvalo_us_label_contacting\" rect=\"0,0,1,1\"/>"
        "</Object></Dataset>");
    orvalo::setUpsellFilename("system/upsell.dts");
    ASSERT_NE(orvalo::createUpsellScreen(scene.root, "dummy"), nullptr);
    EXPECT_TRUE(fintu::renderer->hasFont("orvalo"));
    ASSERT_NE(orvalo::createMoreGamesScreen(scene.root), nullptr);
    orvalo::destroyMoreGamesScreen();
    EXPECT_TRUE(fintu::renderer->hasFont("orvalo"));
    orvalo::destroyUpsellScreen();
    EXPECT_FALSE(fintu::renderer->hasFont("orvalo"));
}
