#include <chrono>
#include <thread>

#include <SDL.h>

#include "PirkTestSupport.h"

TEST(Desktop, ClipboardRoundTrip)
{
    pirktest::LogCapture log;
    // Without the window's video subsystem there is no clipboard to hold the text.
    EXPECT_FALSE(pirk::copyToClipboard("early"));
    EXPECT_EQ(log.take(), pirktest::Lines{"WARNING: Cannot copy to the clipboard without a window"});

    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const hstring text = "Caf\xc3\xa9 \xe2\x82\xac 1\n2";
    EXPECT_TRUE(pirk::copyToClipboard(text));
    char* held = SDL_GetClipboardText();
    EXPECT_EQ(std::string(held), text);
    SDL_free(held);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

TEST(Desktop, OpenUrlReachesTheDesktopOpener)
{
    pirktest::ScratchDir dir;
    dir.put("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + dir / "opened.txt" + "\"\n");
    std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
    std::string path = dir / "bin" + ":" + (getenv("PATH") ? getenv("PATH") : "");
    pirktest::ScopedEnv env("PATH", path.c_str());
    pirktest::LogCapture log;
    const hstring url = "https://example.org/a?b=c&d='e'";
    EXPECT_TRUE(pirk::openUrl(url));
    EXPECT_EQ(log.take(), pirktest::Lines{"Opening URL: " + url});
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (dir.read("opened.txt") == "" && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(dir.read("opened.txt"), url + "\n");
}
