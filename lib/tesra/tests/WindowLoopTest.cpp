#include <thread>

#include <tesra/RenderSystem.h>
#include <tesra/SystemInfo.h>

#include "platform/sdl/SDL2_Window.h"

#include "WindowTestSupport.h"

using kavtypes::Rectangle;
using tesra::Color;
using testsupport::WindowTest;

TEST_F(WindowTest, FpsCounterShowsInTheTitle)
{
    tesra::Window::Options options;
    options.fpsCounter = true;
    TearDown();
    SetUpWindow(options);
    recorder.onFrame = [](int frame)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return frame < 70;
    };
    window->enterMainLoop();
    EXPECT_GT(window->getFps(), 10);
    EXPECT_LT(window->getFps(), 110);
    const std::string suffix = " [FPS: " + std::to_string(window->getFps()) + "]";
    EXPECT_EQ(SDL_GetWindowTitle(sdlWindow()), "Test title" + suffix);
    window->setTitle("Renamed");
    EXPECT_EQ(SDL_GetWindowTitle(sdlWindow()), "Renamed" + suffix);
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
    const std::string width = std::to_string((int)(display.x * 0.6666667f));
    const std::string height = std::to_string((int)(display.y * 0.6666667f));
    window->setFullscreen(false);
    EXPECT_EQ(std::to_string(window->getWidth()), width);
    window->setFullscreen(true);
    EXPECT_EQ(window->getWidth(), (int)display.x);
    // The window's own size changes are reported once.
    window->checkEvents();
    const std::vector<std::string> expected = {
        "size " + width + "x" + height + " windowed",
        "size " + std::to_string((int)display.x) + "x" + std::to_string((int)display.y) + " fullscreen",
    };
    EXPECT_EQ(recorder.calls, expected);
}

TEST_F(WindowTest, ResizingResetsTheRenderSystem)
{
    tesra::RenderSystem* rs = tesra::rendersys;
    tesra::Texture* texture = rs->createTexture(2, 2, Color(255, 0, 0));
    tesra::Texture* scratch =
        rs->createTexture(2, 2, Color(9, 9, 9), tesra::Image::FORMAT_RGBA, tesra::Texture::Type::VOLATILE);
    rs->setTexture(texture);
    rs->presentFrame();
    // The viewport follows the new size; textures reload when next bound, volatile ones cleared.
    window->setResolution(200, 100);
    EXPECT_TRUE(log.contains("Resetting rendersystem."));
    EXPECT_EQ(Rectangle(0, 0, 200, 100), rs->getViewport());
    EXPECT_FALSE(texture->isLoaded());
    EXPECT_FALSE(scratch->isLoaded());
    rs->setOrthoProjection(kavtypes::Vector2(200, 100));
    rs->setTexture(texture);
    rs->drawTexturedRect(Rectangle(190, 90, 10, 10), Rectangle(0, 0, 1, 1));
    rs->setTexture(scratch);
    rs->drawTexturedRect(Rectangle(0, 0, 10, 10), Rectangle(0, 0, 1, 1));
    std::unique_ptr<tesra::Image> shot(rs->takeScreenshot(tesra::Image::FORMAT_RGBA));
    ASSERT_EQ(200, shot->width);
    EXPECT_EQ("rkk", testsupport::at(*shot, {{199, 99}, {180, 80}, {5, 5}}));
}

TEST_F(WindowTest, TouchesBecomeMouseEventsAndTwoFingerTapsButtonSeven)
{
    window->queueTouchEvent(tesra::Window::TOUCH_DOWN, 10, 10, 0);
    window->queueTouchEvent(tesra::Window::TOUCH_MOVE, 12, 12, 0);
    window->queueTouchEvent(tesra::Window::TOUCH_DOWN, 50, 50, 1); // a second finger cancels the press
    window->queueTouchEvent(tesra::Window::TOUCH_MOVE, 52, 52, 1);
    window->queueTouchEvent(tesra::Window::TOUCH_UP, 0, 0, 5); // no such finger
    window->checkEvents();
    window->queueTouchEvent(tesra::Window::TOUCH_CANCEL, 0, 0, 1);
    window->queueTouchEvent(tesra::Window::TOUCH_CANCEL, 0, 0, 0);
    EXPECT_FALSE(window->isMultiTouchActive());

    // Finger n of SDL's is put down at x = 0.4 + n / 10. Fingers that move apart or come as three are no tap.
    auto fingers = [&](Uint32 type, int count)
    {
        for (int n = 1; n <= count; ++n)
        {
            pushFinger(type, n, 0.4f + n * 0.1f, 0.5f);
        }
    };
    pushMotion(50, 60);
    fingers(SDL_FINGERDOWN, 2);
    pushFinger(SDL_FINGERMOTION, 2, 0.605f, 0.5f);
    fingers(SDL_FINGERUP, 2);
    fingers(SDL_FINGERDOWN, 2);
    pushFinger(SDL_FINGERMOTION, 2, 0.8f, 0.5f);
    fingers(SDL_FINGERUP, 2);
    fingers(SDL_FINGERDOWN, 3);
    fingers(SDL_FINGERUP, 3);
    window->checkEvents();
    const std::vector<std::string> expected = {
        "mouse down 1 at 10,10", "mouse move at 12,12",   "mouse cancel 1",      "input mode TOUCH at 12,12",
        "mouse move at 50,60",   "mouse down 7 at 50,60", "mouse up 7 at 50,60",
    };
    EXPECT_EQ(recorder.calls, expected);
}

namespace
{
    // A window whose display refuses vertical sync at 60 Hz, as a virtual display does.
    struct UnsyncedWindow : public tesra::SDL2_Window
    {
        void refuseVsync()
        {
            pacedBySleeping = true;
            framePeriod = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(1.0 / 60));
        }
    };
} // namespace

TEST(UnsyncedWindow, FramesArePacedToTheRefreshRate)
{
    UnsyncedWindow window;
    tesra::window = &window;
    window.create(64, 64, false, "paced", tesra::Window::Options());
    testsupport::keepLoadedLibraries();
    window.refuseVsync();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 13; ++i)
    {
        window.presentFrame();
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190)); // 12 periods
    window.destroy();
    tesra::window = nullptr;
}
