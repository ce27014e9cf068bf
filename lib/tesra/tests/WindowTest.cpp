#include <thread>

#include <tesra/RenderSystem.h>
#include <tesra/SystemInfo.h>

#include "platform/sdl/SDL2_Window.h"

#include "WindowTestSupport.h"

using kavtypes::Rectangle;
using tesra::Color;
using testsupport::WindowTest;

TEST_F(WindowTest, OpensAtRequestedSizeAndTitle)
{
    EXPECT_STREQ(SDL_GetWindowTitle(sdlWindow()), "Test title");
    EXPECT_TRUE(log.contains("Creating window: 'SDL2' (320, 240) windowed, 'Test title', (options: none)"));
    EXPECT_TRUE(log.contains("Using: OpenGL, SDL2"));
    // A second create leaves the window as it is.
    EXPECT_FALSE(window->create(100, 100, false, "Other", tesra::Window::Options()));
    EXPECT_EQ(window->getWidth(), 320);
    EXPECT_EQ(window->getHeight(), 240);
    EXPECT_TRUE(window->destroy());
    EXPECT_FALSE(window->destroy());
}

TEST_F(WindowTest, KeysReachTheDelegateAsWin32CodesWithFilteredCharacters)
{
    pushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    pushText("a\xc3\xa9");                        // a, e with acute
    pushText("\x7f\x01\xee\x80\x80");             // DEL, a control character, a private-use character
    pushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A); // a repeat is one more down
    pushKey(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
    pushKey(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN);
    pushKey(SDL_KEYDOWN, SDLK_F1, SDL_SCANCODE_F1);
    pushKey(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT);
    pushKey(SDL_KEYDOWN, SDLK_7, SDL_SCANCODE_7);
    // Punctuation is named by its position on a US keyboard whatever the layout gives.
    pushKey(SDL_KEYDOWN, SDLK_m, SDL_SCANCODE_SEMICOLON);
    pushKey(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT);
    pushKey(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_LALT); // a system combination, not input
    pushKey(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT);
    // The focus leaves with Alt held: keys afterwards are plain input again.
    pushKey(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    pushKey(SDL_KEYDOWN, SDLK_b, SDL_SCANCODE_B);
    pushKey(SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10); // the system's menu key
    window->checkEvents();
    // Focus changes are told at once; keys wait in the queue until the pump is done.
    const std::vector<std::string> expected = {
        "no focus",    "focus",       "key down 65",  "char 97",     "char 233",    "key down 65",
        "key up 65",   "key down 13", "key down 112", "key down 37", "key down 55", "key down 186",
        "key down 18", "key up 18",   "key down 18",  "key down 66",
    };
    EXPECT_EQ(recorder.calls, expected);
}

TEST_F(WindowTest, MouseMovesMergeAndScrollsAdd)
{
    pushMotion(10, 20);
    pushMotion(20, 30);
    pushMotion(30, 40);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 31, 41);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 32, 42);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 32, 42); // no such button here
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 33, 43);
    pushWheel(0, 1);
    pushWheel(0, 1);
    pushMotion(400, -5); // outside the client area while the button is held
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 400, -5);
    pushWheel(0, -1, SDL_MOUSEWHEEL_FLIPPED);
    pushWheel(2, 0);
    window->checkEvents();
    const std::vector<std::string> expected = {
        "mouse move at 30,40", "mouse down 1 at 31,41", "mouse up 1 at 32,42",  "mouse down 2 at 33,43",
        "scroll 0,-2",         "mouse move at 400,-5",  "mouse up 2 at 400,-5", "scroll -2,-1",
    };
    EXPECT_EQ(recorder.calls, expected);
    EXPECT_FALSE(window->isCursorInside());

    recorder.calls.clear();
    SDL_SetModState(KMOD_LSHIFT); // Shift turns the wheel sideways
    pushWheel(0, 1);
    window->checkEvents();
    SDL_SetModState(KMOD_NONE);
    EXPECT_EQ(recorder.calls, std::vector<std::string>{"scroll -1,0"});
}

TEST_F(WindowTest, RefusedCloseKeepsTheWindowOpen)
{
    recorder.acceptQuit = false;
    // Frame 2 closes the window, frame 4 presses Alt+F4, frame 6 closes again and is let through.
    recorder.onFrame = [&](int frame)
    {
        recorder.acceptQuit = frame >= 6;
        if (frame == 4)
        {
            pushKey(SDL_KEYDOWN, SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT);
        }
        else if (frame == 2 || frame == 6)
        {
            pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
        }
        return frame < 20; // the accepted close ends the loop long before
    };
    window->enterMainLoop();
    EXPECT_EQ(recorder.deltas.size(), 7u); // the close is heard at the start of the next frame
    EXPECT_EQ(std::count(recorder.calls.begin(), recorder.calls.end(), "quit cancellable"), 3);
    EXPECT_TRUE(window->isCreated());
}

TEST_F(WindowTest, DefaultDelegatesEndTheLoopAndLetCloseThrough)
{
    tesra::UpdateDelegate update;
    tesra::SystemDelegate system;
    window->setUpdateDelegate(&update);
    window->setSystemDelegate(&system);
    window->enterMainLoop(); // the default update answers false after one frame
    EXPECT_TRUE(window->handleQuitRequest(true));
    // Without delegates input is dropped, and the frame is cleared with the loop going on.
    window->setUpdateDelegate(nullptr);
    window->setMouseDelegate(nullptr);
    window->setKeyboardDelegate(nullptr);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5);
    pushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    window->checkEvents();
    EXPECT_TRUE(window->performUpdate(0.01f));
}

TEST_F(WindowTest, AnEndAskedForBeforeTheLoopSkipsItOnce)
{
    int frames = 0;
    recorder.onFrame = [&frames](int)
    {
        ++frames;
        return frames < 3;
    };
    // Start-up code ends the program before the loop has begun: no frame runs.
    window->terminateMainLoop();
    window->enterMainLoop();
    EXPECT_EQ(frames, 0);
    // The request is used up; the next loop runs until its update ends it.
    window->enterMainLoop();
    EXPECT_EQ(frames, 3);
}

TEST_F(WindowTest, FrameTimeIsLimitedAndStopsWithoutFocus)
{
    window->updateOneFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    window->updateOneFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    window->updateOneFrame();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    const auto start = std::chrono::steady_clock::now();
    window->updateOneFrame();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40)); // a sleep instead
    // Capped in the update, a stall counts as one short frame, no time passes without focus.
    EXPECT_EQ(recorder.deltas, (std::vector<float>{recorder.deltas[0], 0.2f, 0.05f, 0.0f}));
    EXPECT_TRUE(log.contains("Window lost focus."));
}

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

TEST_F(WindowTest, FullscreenAndWindowedSizesFollowTheDisplay)
{
    const kavtypes::Vector2 display = tesra::getSystemInfo().displayResolution;
    const std::string width = std::to_string((int)(display.x * 0.6666667f));
    const std::string height = std::to_string((int)(display.y * 0.6666667f));
    window->setFullscreen(false);
    EXPECT_EQ(std::to_string(window->getWidth()), width);
    EXPECT_FALSE(window->isFullscreen());
    window->setFullscreen(true);
    EXPECT_EQ(window->getWidth(), (int)display.x);
    EXPECT_TRUE(window->isFullscreen());
    // The switch draws no frame of its own: the application's update runs in its main loop only.
    EXPECT_TRUE(recorder.deltas.empty());
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

TEST_F(WindowTest, SwapsThatDoNotWaitArePacedAfterAll)
{
    tesra::SDL2_Window* sdl = dynamic_cast<tesra::SDL2_Window*>(window);
    ASSERT_NE(sdl, nullptr);
    // The offscreen driver accepts vertical sync and then returns from every swap at once.
    if (std::string(SDL_GetCurrentVideoDriver()) != "offscreen" || sdl->isPacedBySleeping())
    {
        GTEST_SKIP() << "swaps here wait for the display";
    }
    // Judged over a quarter of a second at least: half again the refresh rate is too many.
    const auto begin = std::chrono::steady_clock::now();
    int presents = 0;
    while (!sdl->isPacedBySleeping() && std::chrono::steady_clock::now() - begin < std::chrono::seconds(3))
    {
        window->presentFrame();
        ++presents;
    }
    EXPECT_TRUE(sdl->isPacedBySleeping());
    EXPECT_GT(presents, 23) << "60 Hz for a quarter of a second, and half again";
    EXPECT_TRUE(log.contains("WARNING: Vertical sync does not hold frames back, frames are paced to 60 Hz."));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 7; ++i)
    {
        window->presentFrame();
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90)); // six periods
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
