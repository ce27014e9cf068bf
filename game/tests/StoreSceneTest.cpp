#include <filesystem>
#include <functional>
#include <regex>

#include <orvalo/UpsellScreen.h>
#include <orvalo/orvalo.h>
#include <tesraui/ImageBox.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "StoreMenu.h"
#include "objects/ColorImage.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// The game's own UI with the demo's promotion data: a "menu" chapter with MainMenu, where the game starts,
// and a chapter "other" with one room.
class StoreScene : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: menu.MainMenu\norvalo_id: demo_game\n"
                      "upsell: data/orvalo/system/upsell/upsell.dts\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
        folder.put("data/chapters/menu/scenes/MainMenu.scene", "");
        folder.put("data/chapters/other/other.datadef", "<Dataset/>");
        folder.put("data/chapters/other/scenes/room.scene", "");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                              std::filesystem::copy_options::recursive);
        engine.reset(new Engine(folder));
        engine->start(&createGameUI);
        engine->frame();
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    size_t count(const std::string& text) { return engine->logCount(text); }
    // A script's switch, played through until no transition runs.
    void switchTo(const std::string& target)
    {
        LuaInterface::execute("scene.switch('" + target + "')");
        engine->frame(0.1f);
        for (int i = 0; i < 50 && Session::isTransitionRunning(); ++i)
        {
            engine->frame(0.1f);
        }
    }
};

TEST_F(StoreScene, IsFoundFromAnotherChapterBeforeTheMenuLoadsAgain)
{
    ASSERT_EQ(active(), "menu.MainMenu");
    for (int round = 0; round < 2; ++round)
    {
        switchTo("other.room");
        ASSERT_EQ(active(), "other.room") << round;
        ASSERT_FALSE(Session::getChapter("menu")->isLoaded()) << round;
        switchTo("menu.StoreMenu");
        EXPECT_EQ(active(), "menu.StoreMenu") << round;
        EXPECT_NE(dynamic_cast<StoreMenu*>(Session::getActiveScene()), nullptr) << round;
        EXPECT_NE(orvalo::getUpsellScreen(), nullptr) << round;
        EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown()) << engine->logText();
    }
}

TEST_F(StoreScene, LeavingOrResettingItTakesTheUpsellScreenDownCleanly)
{
    switchTo("menu.StoreMenu");
    ASSERT_NE(orvalo::getUpsellScreen(), nullptr);
    LuaInterface::execute("scene.reset()");
    engine->frame(0.1f);
    EXPECT_NE(orvalo::getUpsellScreen(), nullptr) << "a reset shows the screen anew";
    // Within the chapter, and out of it.
    switchTo("menu.MainMenu");
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    switchTo("menu.StoreMenu");
    switchTo("other.room");
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    EXPECT_EQ(count("Upsell Screen does not exist!"), 0u) << engine->logText();
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

namespace
{
    // A piece of the store taken away, what the game maker is told, and what then happens.
    struct MissingPiece
    {
        const char* piece;
        std::function<void(const harness::GameFolder&)> takeAway;
        // Each is in the error overlay's text, or in the log when the store opens without one.
        std::vector<std::string> says;
        // "screen" or "no screen", then the overlay, the scene after Continue, the scene after Later.
        const char* journal;
        // Where the game starts; the store is opened from there.
        const char* start = "other.room";
    };

    const std::string upsellFile = "data/orvalo/system/upsell/upsell.dts";

    // The demo's upsell dataset with these objects left out.
    std::string upsellWithout(const std::vector<std::string>& names)
    {
        std::string text = harness::readFile(std::string(VUMO_DEMO_DIR) + "/" + upsellFile);
        for (const std::string& name : names)
        {
            const size_t at = text.find("name=\"" + name + "\"");
            const size_t start = text.rfind("<Object", at);
            text.erase(start, text.find("/>", at) + 2 - start);
        }
        return text;
    }

    // Any mark of the engine's own source file ("[UpsellScreen.cpp:61]", "[Dataset:99]") in a text meant for
    // the game maker.
    bool namesSourceFile(const std::string& text)
    {
        static const std::regex mark("\\[[A-Za-z]+(\\.cpp)?:[0-9]+\\]");
        return std::regex_search(text, mark);
    }
} // namespace

// Every piece the store needs, taken away in turn: the store says what is missing and in which file, and
// the player can always leave it (Continue of the overlay leads back when the store cannot be used).
TEST(StoreMissingPieces, SayWhatIsMissingAndTheGameStaysUsable)
{
    const auto remove = [](const std::string& name)
    { return [name](const harness::GameFolder& f) { std::filesystem::remove_all(f.path + "/" + name); }; };
    const auto upsell = [](const std::string& text)
    { return [text](const harness::GameFolder& f) { f.put(upsellFile, text); }; };
    const auto without = [](const std::vector<std::string>& names)
    { return [names](const harness::GameFolder& f) { f.put(upsellFile, upsellWithout(names)); }; };
    const std::vector<MissingPiece> pieces = {
        {"nothing", [](const harness::GameFolder&) {}, {}, "screen, later menu.MainMenu"},
        {"the system folder",
         remove("data/orvalo/system"),
         {"Unable to show StoreMenu", "data/orvalo/system is missing"},
         "no screen, overlay, then other.room"},
        {"the key upsell",
         [](const harness::GameFolder& f) { f.config("scene: other.room\norvalo_id: demo_game\n"); },
         {"configuration key 'upsell' (cfg/vumo.cfg) is not set"},
         "no screen, overlay, then other.room"},
        {"the upsell dataset",
         remove(upsellFile),
         {"'" + upsellFile + "' does not exist", "key 'upsell' (cfg/vumo.cfg) names it"},
         "no screen, overlay, then other.room"},
        {"a closing tag",
         upsell("<Dataset><Object type=\"UpsellScreen\""),
         {"'" + upsellFile + "' could not be loaded", "row 1"},
         "no screen, overlay, then other.room"},
        {"a picture",
         remove("data/orvalo/system/upsell/button.png"),
         {"could not be loaded: 'data/orvalo/system/upsell/button' not found",
          "in file " + upsellFile + ", line "},
         "no screen, overlay, then other.room"},
        {"the screen's type",
         upsell("<Dataset><Object type=\"Container\" name=\"orvalo_us\" rect=\"0,0,8,8\"/></Dataset>"),
         {"'orvalo_us' is of type Container, not UpsellScreen", "no object 'orvalo_us_button_overlay_cancel'",
          "no Label 'orvalo_us_label_contacting'"},
         "no screen, overlay, then other.room"},
        {"the screen's place",
         upsell("<Dataset><Object type=\"Container\" name=\"outer\" rect=\"0,0,8,8\">"
                "<Object type=\"UpsellScreen\" name=\"orvalo_us\" rect=\"0,0,8,8\">"
                "<Object type=\"Label\" name=\"orvalo_us_label_contacting\" rect=\"0,0,8,8\"/>"
                "<Object type=\"Label\" name=\"orvalo_us_button_overlay_cancel\" rect=\"0,0,8,8\"/>"
                "</Object></Object></Dataset>"),
         {"'orvalo_us' stands inside 'outer'"},
         "no screen, overlay, then other.room"},
        {"the Later button",
         without({"orvalo_us_button_later"}),
         {"StoreMenu is shown without what it needs", "has no Later button 'orvalo_us_button_later'"},
         "screen, overlay, then other.room"},
        {"the Restore and Unlock buttons",
         without({"orvalo_us_button_restore", "orvalo_us_button_unlock"}),
         {"no Restore button 'orvalo_us_button_restore', no Unlock button 'orvalo_us_button_unlock'"},
         "screen, overlay, then menu.StoreMenu, later menu.MainMenu"},
        {"the main menu",
         remove("data/chapters/menu/scenes/MainMenu.scene"),
         {"no scene 'MainMenu' (data/chapters/menu/scenes/MainMenu.scene), where Later leads"},
         "screen, overlay, then menu.StoreMenu, later other.room"},
        {"the promotion texts",
         remove("data/orvalo/system/orvalo.dts"),
         {"data/orvalo/system/orvalo.dts"},
         "screen, later menu.MainMenu"},
        {"the fonts",
         remove("data/orvalo/system/fonts"),
         {"font 'orvalo', whose face 'data/orvalo/system/fonts/SourceSansPro-Regular.ttf' is missing"},
         "screen, later menu.MainMenu"},
        {"the games", remove("data/orvalo/games"), {}, "screen, later menu.MainMenu"},
        {"the system folder, from the start",
         remove("data/orvalo/system"),
         {"data/orvalo/system is missing"},
         "no screen, overlay, then menu.MainMenu",
         "menu.StoreMenu"},
    };
    std::string journal, expected;
    for (const MissingPiece& row : pieces)
    {
        SCOPED_TRACE(row.piece);
        harness::GameFolder folder;
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
        folder.put("data/chapters/menu/scenes/MainMenu.scene", "");
        folder.put("data/chapters/other/other.datadef", "<Dataset/>");
        folder.put("data/chapters/other/scenes/room.scene", "");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                              std::filesystem::copy_options::recursive);
        folder.config("scene: " + std::string(row.start) + "\norvalo_id: demo_game\nupsell: " + upsellFile +
                      "\n");
        row.takeAway(folder);
        harness::forgetSession();
        Engine engine(folder);
        Engine::log().clear();
        engine.start(&createGameUI);
        ASSERT_TRUE(engine.settleAt(row.start));
        if (std::string(row.start) != "menu.StoreMenu")
        {
            LuaInterface::execute("scene.switch('menu.StoreMenu')");
            // The overlay holds the rest of the switch's fade until it is closed: whichever comes first.
            ASSERT_TRUE(
                engine.settleAt("menu.StoreMenu", [] { return UI::getInstance()->isErrorOverlayShown(); }));
            ASSERT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.StoreMenu");
        }

        std::string line = orvalo::getUpsellScreen() != nullptr ? "screen" : "no screen";
        const bool overlay = UI::getInstance()->isErrorOverlayShown();
        std::string told;
        for (const std::string& logged : Engine::log())
        {
            const bool shown = logged.rfind("scripting: Scripting Error: ", 0) == 0;
            if (overlay ? shown
                        : logged.find("ERROR: ") != std::string::npos ||
                              logged.find("WARNING: ") != std::string::npos)
            {
                told += logged + "\n";
            }
        }
        for (const std::string& words : row.says)
        {
            EXPECT_NE(told.find(words), std::string::npos) << words << "\n" << told;
        }
        if (overlay)
        {
            EXPECT_FALSE(namesSourceFile(told)) << told;
            line += ", overlay";
            UI::getInstance()->onErrorContinue(nullptr);
            EXPECT_TRUE(engine.settleAt(""));
            line += ", then " + std::string(Session::getActiveScene()->getFullName());
        }
        if (std::string(Session::getActiveScene()->getFullName()) == "menu.StoreMenu" &&
            orvalo::getUpsellScreen() != nullptr && orvalo::getUpsellLaterButton() != nullptr)
        {
            engine.clickObject(orvalo::getUpsellLaterButton());
            EXPECT_TRUE(engine.settleAt(""));
            line += ", later " + std::string(Session::getActiveScene()->getFullName());
        }
        journal += std::string(row.piece) + ": " + line + "\n";
        expected += std::string(row.piece) + ": " + row.journal + "\n";
    }
    EXPECT_EQ(journal, expected);
}

TEST_F(StoreScene, AFlatColourIsAnImageOfThePromotionDatasetsAsOfAChapter)
{
    std::string text = harness::readFile(folder.path + "/" + upsellFile);
    const std::string screen = "<Object type=\"UpsellScreen\" name=\"orvalo_us\" rect=\"0,0,1280,720\">";
    ASSERT_NE(text.find(screen), std::string::npos);
    text.insert(text.find(screen) + screen.size(),
                "<Object type=\"ImageBox\" name=\"flat\" rect=\"0,0,64,64\" image=\"0x102840\"/>");
    folder.put(upsellFile, text);
    switchTo("menu.StoreMenu");
    ASSERT_NE(orvalo::getUpsellScreen(), nullptr) << engine->logText();
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown()) << engine->logText();
    auto* flat =
        dynamic_cast<tesraui::ImageBox*>(orvalo::getUpsellScreen()->getDataset()->tryGetObject("flat"));
    ASSERT_NE(flat, nullptr);
    auto* colour = dynamic_cast<ColorImage*>(flat->getImage());
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->getFillColor(), tesra::Color(0x10, 0x28, 0x40));
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
