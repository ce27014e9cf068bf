#include <tesra/SystemInfo.h>

#include "EngineHarness.h"
#include "EventDelegate.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

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
