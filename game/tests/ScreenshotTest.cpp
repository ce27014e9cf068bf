#include <cstdio>

#include <orvalo/MoreGamesScreen.h>
#include <quortypes/util.h>

#include "EngineHarness.h"
#include "Match3Scene.h"
#include "PngFile.h"
#include "VumoPlayerTorvinOrvaloUI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    const char* const outputVariable = "VUMO_SCREENSHOT_OUT";

    std::unique_ptr<tesra::Image> demoFrame()
    {
        GameFolder folder;
        folder.copyDemo();
        Engine engine(folder);
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        engine.start(&createGameUI);
        engine.frame(0.016f);
        // A real display has a pointer of its own: the way to the duel goes around it.
        orvalo::getPlayButton()->triggerEvent("Click", 0u);
        EXPECT_TRUE(engine.settleAt("menu.MainMenu"));
        // The duel deals its board from the generator, which the start seeds from the clock.
        quortypes::seedRandom(1);
        Session::changeScene("tavern.duel", 0.0f, "");
        EXPECT_TRUE(engine.settleAt("tavern.duel"));
        Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
        EXPECT_NE(duel, nullptr);
        for (int i = 0; i < 100 && duel != nullptr && duel->isBusy(); ++i)
        {
            engine.frame(0.1f);
        }
        engine.frame(0.016f);
        engine.frame(0.016f);
        std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        engine.stop();
        return shot;
    }
} // namespace

// Run by the test below inside a virtual X display: draws the demo's duel in a real window.
TEST(DemoScreenshot, DrawnOnTheDisplay)
{
    const char* output = getenv(outputVariable);
    if (output == nullptr)
    {
        GTEST_SKIP() << "runs only inside the virtual display";
    }
    harness::writePng(output, *demoFrame());
}

TEST(DemoScreenshot, UnderAVirtualDisplayEqualsTheHeadlessReadBack)
{
    if (std::system("command -v xvfb-run > /dev/null 2>&1") != 0)
    {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    // A folder of its own: the whole program may run beside this one test at the same time.
    const GameFolder scratch;
    const std::string png = scratch.path + "/demo-duel-screenshot.png";
    const std::string run = "xvfb-run -a -s '-screen 0 1280x1024x24' env -u SDL_VIDEODRIVER "
                            "ASAN_OPTIONS=detect_leaks=0 " +
                            std::string(outputVariable) + "='" + png + "' " +
                            harness::ownCaseCommand("DemoScreenshot.DrawnOnTheDisplay") + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0);
    std::unique_ptr<tesra::Image> shown(tesra::Image::createFromFile(png, tesra::Image::FORMAT_RGBA));
    ASSERT_NE(shown, nullptr);
    std::unique_ptr<tesra::Image> headless = demoFrame();
    ASSERT_EQ(shown->width, headless->width);
    ASSERT_EQ(shown->height, headless->height);
    int differing = 0;
    for (int i = 0; i < headless->width * headless->height * 4; ++i)
    {
        differing += (shown->data[i] != headless->data[i]);
    }
    EXPECT_EQ(differing, 0);
}
