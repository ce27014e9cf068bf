#include <chrono>

#include "WindowTestSupport.h"

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

TEST_F(WindowTest, LostFocusGivesNoTimeAndSleeps)
{
    window->updateOneFrame();
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    const auto start = std::chrono::steady_clock::now();
    window->updateOneFrame();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(40));
    EXPECT_FALSE(window->isFocused());
    ASSERT_EQ(recorder.deltas.size(), 2u);
    EXPECT_EQ(recorder.deltas[1], 0.0f);
    EXPECT_TRUE(log.contains("Window lost focus."));
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
