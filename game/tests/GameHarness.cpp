#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <orvalo/MoreGamesScreen.h>
#include <tesraui/Object.h>

#include "CampfireScene.h"
#include "Chapter.h"
#include "EngineHarness.h"
#include "Game.h"
#include "Match3Scene.h"
#include "Scene.h"
#include "Session.h"
#include "VumoPlayerTorvinOrvaloUI.h"

// The demo's part of the engine harness: what its start registers and its end takes down, its files, and its
// player run as a child.
namespace harness
{
    void registerGameTypes()
    {
        CampfireScene::registerType();
    }

    void destroyGame()
    {
        gameDestroy();
    }

    void GameFolder::copyDemo() const
    {
        std::filesystem::copy(VUMO_DEMO_DIR, this->path, std::filesystem::copy_options::recursive);
    }

    int runPlayer(const GameFolder& folder, const std::string& extraEnvironment)
    {
        const std::string command = "cd '" + folder.path + "' && env " + folder.environment() +
                                    "TESRA_MESSAGEBOX_ANSWER=ok SDL_VIDEODRIVER=offscreen " +
                                    extraEnvironment + " '" VUMO_PLAYER "' > out.txt 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void Engine::startDemo(const std::string& button)
    {
        // As the game's start does; tests of other scene types register their own under the name.
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        this->start(&createGameUI);
        if (::testing::Test::HasFatalFailure())
        {
            return;
        }
        ASSERT_TRUE(this->waitUntil([] { return orvalo::getPlayButton() != nullptr; }, 0.016f))
            << "the landing page shows";
        this->clickObject(orvalo::getPlayButton());
        ASSERT_TRUE(this->settleAt("menu.MainMenu"));
        if (button != "")
        {
            tesraui::Object* object = Session::getChapter("menu")->tryGetObject(button);
            ASSERT_NE(object, nullptr) << button;
            this->clickObject(object);
            ASSERT_TRUE(this->settleAt(""));
        }
    }
} // namespace harness
