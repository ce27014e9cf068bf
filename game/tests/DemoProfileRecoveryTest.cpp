#include <filesystem>
#include <functional>

#include "EngineHarness.h"

using harness::Engine;
using harness::GameFolder;

TEST(DemoProfileRecovery, AProfileThatDoesNotOpenGivesWayToANewOneAndTheDemoSaysWhy)
{
    GameFolder folder;
    folder.copyDemo();
    auto run = [&folder](const std::function<void(Engine&)>& check)
    {
        harness::forgetSession();
        Engine engine(folder);
        engine.start();
        check(engine);
    };
    run([](Engine&) {});
    const std::string store = folder.userFile("VumoDemo", "Player/achievements.bin");
    std::filesystem::remove(store);
    std::filesystem::create_directories(store + "/inside");
    const int errors = Engine::errorLines();
    run(
        [&](Engine& engine)
        {
            EXPECT_EQ(engine.lua("profile.getName()"), "Player");
            EXPECT_NE(engine.lua("vars.profile_dir"), "Player");
            // The box comes up once a scene transition under way has ended.
            for (int i = 0; i < 100 && engine.lua("ui.getActiveMessageBoxType()") == "nil"; ++i)
            {
                engine.frame(0.05f);
            }
            EXPECT_EQ(engine.lua("ui.getActiveMessageBoxType()"), "profile_refused");
            EXPECT_EQ(Engine::errorLines(), errors) << engine.logText();
        });
    EXPECT_TRUE(std::filesystem::is_directory(store + "/inside"));
}
