#include <functional>

#include <tesraui/Container.h>

#include "UpsellTestSupport.h"

using orvalotest::Lines;
using orvalotest::LogCapture;

namespace
{
    // Frees deferred to a point of the frame, as the engine runs the framework: what the tree destroys stays
    // in memory, detached, until tesraui::freeDestroyed.
    class HeldScreens : public orvalotest::UpsellTest
    {
    protected:
        void SetUp() override
        {
            orvalotest::UpsellTest::SetUp();
            tesraui::setDeferredFrees(true);
        }

        void TearDown() override
        {
            tesraui::freeDestroyed();
            tesraui::setDeferredFrees(false);
            orvalotest::UpsellTest::TearDown();
        }
    };

    // One of the library's screens, made under a parent and destroyed by the library.
    struct ScreenKind
    {
        const char* what;
        std::function<tesraui::Object*(tesraui::Object* parent)> create;
        std::function<bool()> exists;
        void (*destroy)();
        const char* dataset;
        const char* missing;
    };
} // namespace

// A screen that the tree it hangs in destroyed is only forgotten by the library, never deleted by it: the
// free deletes it once. The library's own destroy lets go the same way, and a screen can be made again in
// the same frame.
TEST_F(HeldScreens, AScreenTheTreeDestroyedIsFreedOnceAndMadeAgain)
{
    const ScreenKind kinds[] = {
        {"the more-games screen",
         [](tesraui::Object* parent) { return orvalo::createMoreGamesScreen(parent); },
         [] { return orvalo::isMoreGamesScreenCreated(); }, &orvalo::destroyMoreGamesScreen, "more_games",
         "ERROR: More-Games Screen does not exist!"},
        {"the upsell screen",
         [](tesraui::Object* parent) { return orvalo::createUpsellScreen(parent, "dummy"); },
         [] { return orvalo::getUpsellScreen() != nullptr; }, &orvalo::destroyUpsellScreen, "upsell",
         "ERROR: Upsell Screen does not exist!"},
    };
    // How the tree takes the screen: with its parent, as a scene's end does, or on its own through its
    // dataset, as a script's destroy would.
    const std::pair<const char*, std::function<void(tesraui::Object * parent, tesraui::Object * screen)>>
        ways[] = {
            {"with its parent",
             [](tesraui::Object* parent, tesraui::Object*) { parent->getDataset()->destroyObject(parent); }},
            {"by itself",
             [](tesraui::Object*, tesraui::Object* screen) { screen->getDataset()->destroyObject(screen); }},
        };
    for (const ScreenKind& kind : kinds)
    {
        for (const auto& [how, destroyed] : ways)
        {
            SCOPED_TRACE(std::string(kind.what) + " destroyed " + how);
            auto* parent = new tesraui::Container("parent", this->scene->root->getRect());
            this->scene->root->addChildAndRegister(parent);
            tesraui::Object* screen = kind.create(parent);
            ASSERT_NE(screen, nullptr);
            EXPECT_STREQ(screen->getOutsideHolder(), "the promotion library");
            destroyed(parent, screen);
            EXPECT_FALSE(kind.exists());
            EXPECT_FALSE(tesraui::getDatasets().hasKey(kind.dataset));
            LogCapture log;
            kind.destroy();
            EXPECT_EQ(log.take(), Lines({kind.missing}));
            // The one free: a second delete of the screen would be the sanitizer's use after free.
            tesraui::freeDestroyed();
            if (this->scene->dataset->hasObject("parent"))
            {
                this->scene->dataset->destroyObject("parent");
            }

            // Made, let go by the library and made again before the free, under a parent that stays.
            parent = new tesraui::Container("parent", this->scene->root->getRect());
            this->scene->root->addChildAndRegister(parent);
            ASSERT_NE(kind.create(parent), nullptr);
            kind.destroy();
            EXPECT_FALSE(kind.exists());
            EXPECT_FALSE(tesraui::getDatasets().hasKey(kind.dataset));
            screen = kind.create(parent);
            ASSERT_NE(screen, nullptr);
            EXPECT_TRUE(kind.exists());
            tesraui::freeDestroyed();
            EXPECT_EQ(screen->getParent(), parent);
            kind.destroy();
            tesraui::freeDestroyed();
            EXPECT_TRUE(parent->getChildren().empty());
            EXPECT_FALSE(tesraui::getDatasets().hasKey(kind.dataset));
            this->scene->dataset->destroyObject(parent);
            tesraui::freeDestroyed();
        }
    }
}
