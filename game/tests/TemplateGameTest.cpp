#include <tesraui/Dataset.h>
#include <tesraui/ImageButton.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "SessionState.h"
#include "Variables.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "objects/InventoryPane.h"

using namespace vumo;

using harness::Engine;
using harness::inOrder;

// The first-game template as docs/first-game.md builds it, played by clicks as a player would: the locked
// door, the key taken and used on it, the house, the keeper's dialog to the end, and the open door kept
// in the profile for the next run.
class TemplateGame : public harness::GameTest
{
protected:
    void SetUp() override
    {
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/../template", folder.path,
                              std::filesystem::copy_options::recursive);
        Engine::log().clear();
        startGame();
    }
    // As a new run of the player: the variables start empty and the scripts create them again.
    void startGame()
    {
        engine.reset();
        VariableDictionary::getGlobal() = VariableDictionary();
        Session::forgetUserFolder();
        engine.reset(new Engine(folder));
        engine->start(&createGameUI);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        ASSERT_TRUE(engine->settleAt("village.yard"));
    }
    // A click at a point of the 960 x 540 window, then the frames that run what it queued.
    void click(float x, float y)
    {
        engine->clickAt(x, y);
        engine->frame(0.016f);
        engine->frame(0.016f);
    }
    void clickUI(const std::string& name)
    {
        tesraui::Object* object = UI::getUIDataset()->tryGetObject(name);
        ASSERT_NE(object, nullptr) << name;
        engine->clickObject(object);
        engine->frame(0.016f);
        engine->frame(0.016f);
    }
    std::string variable(const std::string& name)
    {
        return std::string(VariableDictionary::getGlobal().get(name).value());
    }
    bool said(const std::string& text)
    {
        return engine->logText().find("scripting: says: " + text) != std::string::npos;
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }

    // The window's points over the regions the template's maps draw (a map pixel is 10 x 10 here).
    const float doorX = 680.0f, doorY = 280.0f;
    const float keyX = 225.0f, keyY = 425.0f;
    const float keeperX = 480.0f, keeperY = 250.0f;
    const float skyX = 300.0f, skyY = 150.0f;
    const float wayOutX = 70.0f, wayOutY = 330.0f;
};

TEST_F(TemplateGame, PlaysFromTheLockedDoorToTheEnd)
{
    EXPECT_EQ(engine->lua("sound.getBackgroundSounds()"), "wind");
    // Heard, too: the configuration sets the volumes, without which the game is silent.
    EXPECT_EQ(engine->lua("sound.isPlaying('wind')"), "true");
    EXPECT_EQ(engine->lua("sound.getMasterVolume() * sound.getCategoryVolume('music')"), "1");
    // The yard's picture fills the window, the door where its region is.
    engine->frame(0.016f);
    EXPECT_EQ(engine->pixel((int)doorX, (int)doorY), (std::vector<int>{120, 60, 20, 255}));
    EXPECT_EQ(engine->pixel((int)skyX, (int)skyY), (std::vector<int>{120, 170, 230, 255}));
    click(doorX, doorY);
    EXPECT_TRUE(said("The door is locked.")) << engine->logText();
    EXPECT_EQ(active(), "village.yard");

    click(keyX, keyY);
    EXPECT_EQ(variable("items"), "key");
    EXPECT_EQ(Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("key"), nullptr)
        << "the key left the grass";

    // The key in the bag: a click takes it in hand, a click on the door uses it there.
    InventoryPane* bag = InventoryPane::getActive();
    ASSERT_NE(bag, nullptr);
    ASSERT_NE(bag->getCell("key"), nullptr);
    engine->clickObject(bag->getCell("key"));
    engine->frame(0.016f);
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("ui.getSelectedItem()"), "key");
    click(doorX, doorY);
    EXPECT_TRUE(said("The key turns. The door is open.")) << engine->logText();
    EXPECT_EQ(variable("door_open"), "1");
    EXPECT_EQ(variable("items"), "");
    EXPECT_EQ(engine->lua("ui.getSelectedItem()"), "");
    EXPECT_EQ(active(), "village.yard");

    click(doorX, doorY);
    ASSERT_TRUE(engine->settleAt("village.house"));
    EXPECT_EQ(engine->lua("sound.getBackgroundSounds()"), "wind");

    click(keeperX, keeperY);
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
    EXPECT_EQ(UI::getUIDataset()->tryGetObject("reply1")->getProperty("text"), "Who are you?");
    EXPECT_TRUE(UI::getUIDataset()->tryGetObject("reply2")->isVisible());
    clickUI("reply1");
    // Two lines of two seconds each, then the end.
    for (float time = 0.0f; time < 30.0f && engine->lua("dialog.isActive()") == "true"; time += 0.1f)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_FALSE(UI::getUIDataset()->tryGetObject("reply1")->isVisible());
    EXPECT_TRUE(inOrder(engine->logText(),
                        {"scripting: says: Keeper: I keep this house. You found the key, so it is yours now.",
                         "scripting: says: Keeper: Come back any time.",
                         "scripting: says: The End. Thank you for playing!"}))
        << engine->logText();
    EXPECT_EQ(variable("finished"), "1");

    click(wayOutX, wayOutY);
    ASSERT_TRUE(engine->settleAt("village.yard"));
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

TEST_F(TemplateGame, TheOpenDoorIsKeptForTheNextRun)
{
    click(keyX, keyY);
    ASSERT_NE(InventoryPane::getActive()->getCell("key"), nullptr);
    engine->clickObject(InventoryPane::getActive()->getCell("key"));
    engine->frame(0.016f);
    click(doorX, doorY);
    ASSERT_EQ(variable("door_open"), "1");
    engine->stop();

    startGame();
    EXPECT_EQ(variable("door_open"), "1");
    EXPECT_EQ(variable("items"), "");
    EXPECT_EQ(Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("key"), nullptr)
        << "no key lies in the grass again";
    click(doorX, doorY);
    EXPECT_TRUE(engine->settleAt("village.house"));
}

TEST_F(TemplateGame, ALineASceneSaysOnEntryStaysAndTheLineBeforeItIsCleared)
{
    // The house greets whoever comes in; the yard says nothing of its own.
    const std::string house = folder.path + "/data/chapters/village/scenes/house.scene";
    folder.put("data/chapters/village/scenes/house.scene",
               harness::readFile(house) + "\nui.say(\"Warm in here.\")\n");
    engine->stop();
    startGame();
    auto line = [] { return std::string(UI::getUIDataset()->tryGetObject("say")->getProperty("text")); };
    click(doorX, doorY);
    ASSERT_EQ(line(), "The door is locked.");
    engine->lua("(function() vars.door_open = 1 end)()");
    click(doorX, doorY);
    ASSERT_TRUE(engine->settleAt("village.house"));
    EXPECT_EQ(line(), "Warm in here.");
    click(wayOutX, wayOutY);
    ASSERT_TRUE(engine->settleAt("village.yard"));
    EXPECT_EQ(line(), "");
}

TEST_F(TemplateGame, AClickOnNoRegionAndAnItemDroppedThereChangeNothing)
{
    click(skyX, skyY); // the sky
    EXPECT_EQ(active(), "village.yard");
    click(keyX, keyY);
    ASSERT_NE(InventoryPane::getActive()->getCell("key"), nullptr);
    engine->clickObject(InventoryPane::getActive()->getCell("key"));
    engine->frame(0.016f);
    click(skyX, skyY);
    EXPECT_TRUE(said("Nothing happens.")) << engine->logText();
    EXPECT_EQ(engine->lua("ui.getSelectedItem()"), "");
    EXPECT_EQ(variable("items"), "key") << "the key stays in the bag";
    EXPECT_EQ(variable("door_open"), "0");
}

TEST_F(TemplateGame, WithoutAPlaceForItsProfileItSaysWhyAndPlaysOn)
{
    engine.reset();
    // The player's folder cannot be made: a file stands where its parent folder should be.
    std::filesystem::remove_all(folder.path + "/xdg");
    folder.put("xdg", "");
    Engine::log().clear();
    startGame();
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("ui.getActiveMessageBoxType()"), "no_profile");
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
    bool told = false;
    for (const auto& [name, object] : UI::getUIDataset()->getObjects())
    {
        if (object->getClassName() == "Label" &&
            std::string(object->getProperty("text"))
                    .find("Your progress cannot be saved. Unable to create") == 0)
        {
            told = true;
        }
    }
    EXPECT_TRUE(told) << engine->logText();

    // Once the box is closed the game goes on, without saving.
    engine->lua("ui.cancelActiveMessageBox()");
    const auto boxShown = []
    {
        for (const auto& [name, object] : UI::getUIDataset()->getObjects())
        {
            if (std::string(name).rfind("vumo_messagebox", 0) == 0)
            {
                return true;
            }
        }
        return false;
    };
    // It fades out first, taking clicks meanwhile.
    for (float waited = 0.0f; boxShown() && waited < 10.0f; waited += 0.1f)
    {
        engine->frame(0.1f);
    }
    click(keyX, keyY);
    ASSERT_NE(InventoryPane::getActive()->getCell("key"), nullptr);
    engine->clickObject(InventoryPane::getActive()->getCell("key"));
    engine->frame(0.016f);
    click(doorX, doorY);
    EXPECT_EQ(variable("door_open"), "1");
    // The engine logs what it could not write; no script failed.
    EXPECT_EQ(engine->logText().find("Scripting Error"), std::string::npos) << engine->logText();
    EXPECT_NE(engine->logText().find("wasn't saved, no profile is active"), std::string::npos)
        << engine->logText();
}

TEST_F(TemplateGame, WithoutItsFontItSaysSoAtStart)
{
    // As a copy taken from a fresh checkout, before the build put the face in.
    engine.reset();
    std::filesystem::remove_all(folder.path + "/data/ui/fonts");
    Engine::log().clear();
    startGame();
    engine->frame(0.016f);
    EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_NE(engine->logText().find("Unable to create font resource 'game.ttf', file not found!"),
              std::string::npos)
        << engine->logText();
}
