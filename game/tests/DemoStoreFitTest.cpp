#include <sstream>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>

#include "EngineHarness.h"
#include "Match3Scene.h"
#include "VumoPlayerTorvinOrvaloUI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    struct WindowSize
    {
        int width;
        int height;
    };

    void PrintTo(const WindowSize& size, std::ostream* out)
    {
        *out << size.width << " x " << size.height;
    }

    bool inside(const kavtypes::Rectangle& rect, const WindowSize& size)
    {
        return rect.w > 0 && rect.h > 0 && rect.x >= 0 && rect.y >= 0 && rect.x + rect.w <= size.width &&
               rect.y + rect.h <= size.height;
    }

    std::string describe(const kavtypes::Rectangle& rect)
    {
        return std::to_string(rect.x) + "," + std::to_string(rect.y) + " " + std::to_string(rect.w) + "x" +
               std::to_string(rect.h);
    }
} // namespace

// The demo's landing page and store in windows of the demo's own size and of the promotion screens' size.
class DemoStoreFit : public ::testing::TestWithParam<WindowSize>
{
protected:
    GameFolder folder;
    std::unique_ptr<Engine> engine;

    void SetUp() override
    {
        folder.copyDemo();
        // The demo's own configuration with the window's size replaced.
        std::istringstream lines(harness::readFile(folder.path + "/cfg/vumo.cfg"));
        std::string config;
        for (std::string line; std::getline(lines, line);)
        {
            if (line.rfind("width:", 0) == 0)
            {
                line = "width: " + std::to_string(GetParam().width);
            }
            else if (line.rfind("height:", 0) == 0)
            {
                line = "height: " + std::to_string(GetParam().height);
            }
            config += line + "\n";
        }
        folder.put("cfg/vumo.cfg", config);
        engine.reset(new Engine(folder));
    }
};

TEST_P(DemoStoreFit, EveryButtonLiesInsideTheWindowAndLaterLeadsBack)
{
    const WindowSize size = GetParam();
    engine->startDemo("menu_store");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.StoreMenu");
    ASSERT_NE(orvalo::getUpsellScreen(), nullptr);
    for (tesraui::Object* button :
         {orvalo::getUpsellLaterButton(), orvalo::getUpsellRestoreButton(), orvalo::getUpsellUnlockButton()})
    {
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(inside(button->getBoundingRect(), size))
            << std::string(button->getName()) << " at " << describe(button->getBoundingRect());
    }
    // The screen keeps its proportions: its labels still cover its buttons.
    const kavtypes::Rectangle later = orvalo::getUpsellLaterButton()->getBoundingRect();
    tesraui::Object* label = orvalo::getUpsellScreen()->getDataset()->tryGetObject("orvalo_us_label_later");
    ASSERT_NE(label, nullptr);
    EXPECT_NEAR(label->getBoundingRect().x, later.x, 1.0f);
    EXPECT_NEAR(label->getBoundingRect().y, later.y, 1.0f);
    // Unlock stays in the store; Later leads back.
    engine->clickObject(orvalo::getUpsellUnlockButton());
    engine->frame(0.1f);
    EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.StoreMenu");
    EXPECT_NE(engine->logText().find("The demo has nothing to unlock."), std::string::npos);
    engine->clickObject(orvalo::getUpsellLaterButton());
    EXPECT_TRUE(engine->settleAt("menu.MainMenu"));
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_P(DemoStoreFit, TheLandingPagesPlayButtonLiesInsideTheWindow)
{
    Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
    engine->start(&createGameUI);
    engine->frame();
    ASSERT_NE(orvalo::getPlayButton(), nullptr);
    EXPECT_TRUE(inside(orvalo::getPlayButton()->getBoundingRect(), GetParam()))
        << describe(orvalo::getPlayButton()->getBoundingRect());
}

INSTANTIATE_TEST_SUITE_P(Sizes, DemoStoreFit, ::testing::Values(WindowSize{960, 540}, WindowSize{1280, 720}),
                         [](const ::testing::TestParamInfo<WindowSize>& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });
