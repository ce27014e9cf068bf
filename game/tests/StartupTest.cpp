#include <tesra/SystemInfo.h>

#include "EngineHarness.h"
#include "EventDelegate.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

TEST(EngineStartup, DemoStartsAndStopsInOrderWithTheMergedLog)
{
    GameFolder folder;
    folder.copyDemo();
    {
        Engine engine(folder);
        engine.start();
        engine.frame(0.016f);
        EXPECT_EQ(engine.lua("ui.ready"), "true");
        engine.stop();
        EXPECT_TRUE(inOrder(
            engine.logText(),
            {"vumo: Initializing VUMO (v3.4.2, Lua 5.1.5)", "tesra: Initializing TESRA.",
             "vumo: Starting project 'VumoDemo'", "vumo: \nSystem Info:\n------------\nname: ", "\ncpuArch: ",
             "\nmaxTextureSize: ", "\nlocale: ", "\n------------\n", "vumo: initializing Lua interpreter",
             "vumo: loading data/lib/ui.lua", "tesraui: Initializing TesraUI.",
             "vumo: data/ui/cursors not found, skipping system cursor creation",
             "tesraui: Destroying TesraUI.", "tesra: Destroying TESRA.", "vumo: destroying Lua interpreter",
             "vumo: VUMO destroyed"}));
        // The demo ships what the engine reads for it and draws its own pointer: from start to end, through
        // a profile made and loaded, nothing is missing and nothing is let go twice.
        const std::string log = engine.logText();
        for (const char* wrong : {"WARNING", "ERROR", "No Face registered"})
        {
            size_t at = log.find(wrong);
            EXPECT_EQ(at, std::string::npos)
                << log.substr(at == std::string::npos ? 0 : log.rfind('\n', at) + 1, 200);
        }
        // The particle libraries live inside the UI library's span, the render system's textures with them.
        EXPECT_TRUE(inOrder(engine.logText(),
                            {"tesraui: Initializing TesraUI.", "tesraparticle: Initializing TesraParticle.",
                             "tesrauiparticle: Initializing TesraUIParticle.", "pirk: Initializing PIRK.",
                             "pirk: Destroying PIRK.", "tesrauiparticle: destroying TesraUIParticle.",
                             "tesraparticle: Destroying TesraParticle.", "tesraui: Destroying TesraUI.",
                             "tesra: Destroying TESRA."}));
    }
    const std::string merged = harness::readFile(folder.userFile("VumoDemo", "game.log"));
    EXPECT_TRUE(inOrder(
        merged, {"Initializing VUMO (v3.4.2, Lua 5.1.5)", "Starting project 'VumoDemo'", "VUMO destroyed"}));
}

// The window's size: the display's two thirds only when "fullscreen" is exactly "0"; a missing or
// empty width means the display's size, not a window of no size.
struct WindowSizeRow
{
    const char* config;
    float displayFraction; // 0: the configured 160 x 120
};

void PrintTo(const WindowSizeRow& row, std::ostream* out)
{
    *out << "display fraction " << row.displayFraction;
}

class EngineWindowSize : public ::testing::TestWithParam<WindowSizeRow>
{
};

TEST_P(EngineWindowSize, FollowsWidthAndFullscreen)
{
    GameFolder folder;
    folder.put("cfg/vumo.cfg", std::string("title: Sizes\ntesra.vsync.mode: 1\n") + GetParam().config);
    folder.put("data/ui/ui.dts", "<Dataset/>");
    Engine engine(folder);
    engine.start();
    kavtypes::Vector2 expected(160.0f, 120.0f);
    if (GetParam().displayFraction > 0.0f)
    {
        expected = tesra::getSystemInfo().displayResolution * GetParam().displayFraction;
    }
    EXPECT_EQ(tesra::window->getWidth(), (int)expected.x) << GetParam().config;
    EXPECT_EQ(tesra::window->getHeight(), (int)expected.y) << GetParam().config;
    EXPECT_TRUE(inOrder(engine.logText(), {"vumo: Setting tesra window param vsync.mode = 1"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, EngineWindowSize,
                         ::testing::Values(WindowSizeRow{"width: 160\nheight: 120\n", 0.0f},
                                           WindowSizeRow{"width: 0\nfullscreen: 0\n", 0.6666667f},
                                           WindowSizeRow{"width: 0\nfullscreen: false\n", 1.0f},
                                           WindowSizeRow{"fullscreen: 0\n", 0.6666667f},
                                           WindowSizeRow{"width: \nheight: 50\n", 1.0f}));

TEST(EngineStartup, InputModeChangeBeforeTheUIIsReplayedWithinASecond)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua",
               "modes = {}\nfunction ui.OnInputModeChanged(m) modes[#modes + 1] = m end\n");
    Engine engine(folder);
    VumoTesraEventDelegate::getInstance().onInputModeChanged(tesra::InputMode::TOUCH);
    EXPECT_TRUE(
        inOrder(engine.logText(),
                {"vumo: input mode changed: touch. UI not initialised at this state, queing callback"}));
    engine.start();
    for (int i = 0; i < 10 && engine.lua("#modes") == "0"; ++i)
    {
        engine.frame(0.1f);
    }
    EXPECT_EQ(engine.lua("modes[1]"), "touch");
    EXPECT_EQ(VumoTesraEventDelegate::getInstance().getPendingInputMode(), "");
    EXPECT_TRUE(inOrder(engine.logText(), {"vumo: Calling defered input mode changed event",
                                           "vumo: input mode changed: touch"}));
    // Touch input asks for the tablet idiom.
    EXPECT_EQ(UI::getInstance()->getUIIdiom(), UI::IDIOM_TABLET);
}
