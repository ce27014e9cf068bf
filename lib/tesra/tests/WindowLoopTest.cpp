#include <thread>

#include <tesra/SystemInfo.h>

#include "WindowTestSupport.h"

using testing_support::WindowTest;

class FpsWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        tesra::Window::Options options;
        options.fpsCounter = true;
        SetUpWindow(options);
    }
};

TEST_F(FpsWindowTest, TitleShowsTheFrameRate)
{
    recorder.onFrame = [](int) { std::this_thread::sleep_for(std::chrono::milliseconds(10)); };
    recorder.framesLeft = 70;
    window->enterMainLoop();
    EXPECT_GT(window->getFps(), 10);
    EXPECT_LT(window->getFps(), 110);
    EXPECT_EQ(window->getTitle(), "Test title");
    const std::string shown = SDL_GetWindowTitle(sdlWindow());
    EXPECT_EQ(shown, "Test title [FPS: " + std::to_string(window->getFps()) + "]");
    window->setTitle("Renamed");
    EXPECT_EQ(std::string(SDL_GetWindowTitle(sdlWindow())),
              "Renamed [FPS: " + std::to_string(window->getFps()) + "]");
    EXPECT_EQ(window->getTitle(), "Renamed");
}

TEST_F(WindowTest, TimeDeltaIsLimited)
{
    window->updateOneFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    window->updateOneFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    window->updateOneFrame();
    ASSERT_EQ(recorder.deltas.size(), 3u);
    EXPECT_FLOAT_EQ(recorder.deltas[1], 0.2f);  // capped in the update
    EXPECT_FLOAT_EQ(recorder.deltas[2], 0.05f); // a stall counts as one short frame
}

TEST_F(WindowTest, FullscreenAndWindowedSizesFollowTheDisplay)
{
    const kavtypes::Vector2 display = tesra::getSystemInfo().displayResolution;
    ASSERT_GT(display.x, 0.0f);
    window->setFullscreen(false);
    const int width = (int)(display.x * 0.6666667f);
    const int height = (int)(display.y * 0.6666667f);
    EXPECT_EQ(window->getWidth(), width);
    EXPECT_EQ(window->getHeight(), height);
    EXPECT_FALSE(window->isFullscreen());
    window->setFullscreen(true);
    EXPECT_TRUE(window->isFullscreen());
    EXPECT_EQ(window->getWidth(), (int)display.x);
    const std::vector<std::string> expected = {
        "size " + std::to_string(width) + "x" + std::to_string(height) + " windowed",
        "size " + std::to_string((int)display.x) + "x" + std::to_string((int)display.y) + " fullscreen",
    };
    EXPECT_EQ(recorder.calls, expected);
    // The window's own size changes are not reported a second time.
    window->checkEvents();
    EXPECT_EQ(recorder.calls.size(), 2u);
}

TEST_F(WindowTest, InputModeChangesMoveTheCursorAway)
{
    std::map<tesra::InputMode, tesra::InputMode> translations = {
        {tesra::InputMode::TOUCH, tesra::InputMode::MOUSE}};
    window->setInputModeTranslations(translations);
    window->setInputMode(tesra::InputMode::TOUCH); // translated to the current mode: nothing happens
    window->setInputMode(tesra::InputMode::CONTROLLER);
    window->setInputMode(tesra::InputMode::CONTROLLER);
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"input mode CONTROLLER at -10000,-10000"});
    EXPECT_TRUE(testing_support::logContains("Changing Input Mode to: CONTROLLER"));
    // More than ten moves without a press bring the mouse back.
    for (int i = 0; i < 11; ++i)
    {
        pushMotion(i, i);
    }
    window->checkEvents();
    EXPECT_EQ(window->getInputMode(), tesra::InputMode::MOUSE);
}

TEST_F(WindowTest, TouchesBecomeMouseEventsUntilASecondFinger)
{
    window->queueTouchEvent(tesra::Window::TOUCH_DOWN, 10, 10, 0);
    window->queueTouchEvent(tesra::Window::TOUCH_MOVE, 12, 12, 0);
    window->queueTouchEvent(tesra::Window::TOUCH_DOWN, 50, 50, 1);
    window->queueTouchEvent(tesra::Window::TOUCH_MOVE, 52, 52, 1);
    window->queueTouchEvent(tesra::Window::TOUCH_UP, 0, 0, 5); // no such finger
    EXPECT_TRUE(window->isMultiTouchActive());
    ASSERT_EQ(window->getTouches().size(), 2);
    window->checkEvents();
    const std::vector<std::string> expected = {"mouse down 1 at 10,10", "mouse move at 12,12",
                                               "mouse cancel 1"};
    EXPECT_EQ(recorder.calls, expected);
    window->queueTouchEvent(tesra::Window::TOUCH_CANCEL, 0, 0, 1);
    window->queueTouchEvent(tesra::Window::TOUCH_CANCEL, 0, 0, 0);
    EXPECT_FALSE(window->isMultiTouchActive());
}
