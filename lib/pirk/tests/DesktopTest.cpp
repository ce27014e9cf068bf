#include <chrono>
#include <thread>

#include <SDL.h>

#include "PirkTestSupport.h"

TEST(Desktop, ClipboardRoundTrip)
{
    // Without the window's video subsystem there is no clipboard to hold the text.
    EXPECT_FALSE(pirk::copyToClipboard("early"));
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const hstring text = "Caf\xc3\xa9 \xe2\x82\xac 1\n2";
    EXPECT_TRUE(pirk::copyToClipboard(text));
    char* held = SDL_GetClipboardText();
    EXPECT_EQ(std::string(held), text);
    SDL_free(held);
    SDL_Quit();
}

TEST(Desktop, OpenUrlReachesTheDesktopOpener)
{
    pirktest::ScratchDir dir;
    dir.put("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + dir / "opened.txt" + "\"\n");
    std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
    pirktest::ScopedEnv path("PATH", (dir / "bin:" + getenv("PATH")).c_str());
    const hstring url = "https://example.org/a?b=c&d='e'";
    EXPECT_TRUE(pirk::openUrl(url));
    for (int wait = 0; wait < 1000 && dir.read("opened.txt") == ""; ++wait)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(dir.read("opened.txt"), url + "\n");
}
