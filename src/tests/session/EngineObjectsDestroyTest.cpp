#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "Session.h"
#include "objects/VumoViewportObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// The scene ch1.a active under the viewport, and a UI container "box" holding a UI image box "inner".
class EngineObjectsDestroy : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset><Object type='Container' name='box' rect='0,0,10,10'>"
                                     "<Object type='ImageBox' name='inner' rect='0,0,5,5'/></Object>"
                                     "</Dataset>");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        // A scene whose whole script hangs a destructor under its own root.
        folder.put("data/chapters/ch1/scenes/b.scene",
                   "object.create('ObjectDestructor', 'od', nil, {delay = 0.1})");
        folder.put("data/chapters/ch1/scenes/c.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    }

    // The error the code raises, without its chunk's name.
    std::string failure(const std::string& code) { return engine->failure(code, "<none>"); }

    std::string sceneRoot() const
    {
        return std::string(Session::getActiveScene()->getRootObject()->getFullName());
    }

    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.016f);
        }
    }

    // The engine draws, zooms and switches on.
    void runsOn()
    {
        frames(3);
        EXPECT_NE(UI::getInstance()->getRootObject(), nullptr);
        EXPECT_EQ(Session::getViewport()->getParent(), UI::getInstance()->getRootObject());
        EXPECT_EQ(Session::getActiveScene()->getRootObject()->getParent(), Session::getViewport());
    }
};

TEST_F(EngineObjectsDestroy, EngineObjectsAndTheirParentsAreRefused)
{
    const std::string root = sceneRoot();
    const struct
    {
        std::string code;
        std::string error;
    } rows[] = {
        {"object.destroy('ui.root')",
         "object.destroy: object 'ui.root' belongs to the engine (held by the UI) "
         "and cannot be destroyed"},
        {"object.destroy('ui.vumo')",
         "object.destroy: object 'ui.vumo' belongs to the engine (held by the UI) "
         "and cannot be destroyed"},
        {"object.destroy('" + root + "')",
         "object.destroy: object '" + root +
             "' belongs to the engine (held by its scene) and cannot be destroyed"},
        {"object.destroyChildren('ui.root')",
         "object.destroyChildren: object 'ui.root' holds 'ui.vumo', "
         "which belongs to the engine (held by the UI) and cannot be destroyed"},
        {"object.destroyChildren('ui.vumo')",
         "object.destroyChildren: object 'ui.vumo' holds '" + root +
             "', which belongs to the engine (held by its scene) and cannot be destroyed"},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(failure(row.code), row.error);
        runsOn();
    }

    // One that took the viewport in goes no more than the viewport does.
    tesraui::Object* box = UI::getUIDataset()->getObject("box");
    UI::getInstance()->getRootObject()->removeChild(Session::getViewport());
    box->addChild(Session::getViewport());
    ASSERT_EQ(Session::getViewport()->getParent()->getName(), "box");
    EXPECT_EQ(failure("object.destroy('ui.box')"), "object.destroy: object 'ui.box' holds 'ui.vumo', which "
                                                   "belongs to the engine (held by the UI) and cannot be "
                                                   "destroyed");
    EXPECT_NE(UI::getUIDataset()->tryGetObject("inner"), nullptr);
    box->removeChild(Session::getViewport());
    UI::getInstance()->getRootObject()->addChild(Session::getViewport());
    runsOn();
}

TEST_F(EngineObjectsDestroy, OtherObjectsAndTheChildrenOfASceneRootStillGo)
{
    const std::string root = sceneRoot();
    EXPECT_EQ(
        engine->lua("object.create('ImageBox', 'prop', '" + root + "', {x = 0, y = 0, w = 5, h = 5}) and 1"),
        "1");
    EXPECT_EQ(failure("object.destroyChildren('" + root + "')"), "<none>");
    EXPECT_EQ(Session::getActiveScene()->getRootObject()->getChildren().size(), 0);
    EXPECT_EQ(failure("object.destroyChildren('ui.box')"), "<none>");
    EXPECT_EQ(UI::getUIDataset()->tryGetObject("inner"), nullptr);
    EXPECT_EQ(failure("object.destroy('ui.box')"), "<none>");
    EXPECT_EQ(UI::getUIDataset()->tryGetObject("box"), nullptr);
    runsOn();
}

// A destructor hung under what the engine holds leaves it, says so in the log, and the game goes on.
TEST_F(EngineObjectsDestroy, DestructorsLeaveEngineObjectsAndSaySo)
{
    const std::string held = " belongs to the engine (held by ";
    const std::string notQueued = ") and cannot be destroyed, its deletion is not queued.";
    const struct
    {
        std::string code;
        std::string scene;
        std::string warning;
    } rows[] = {
        {"object.create('ObjectDestructor', 'at_viewport', 'ui.vumo', {delay = 0.1})", "",
         "ObjectDestructor: object 'ui.vumo'" + held + "the UI" + notQueued},
        {"object.create('ObjectDestructor', 'at_root', 'ui.root', {delay = 0.1})", "",
         "ObjectDestructor: object 'ui.root'" + held + "the UI" + notQueued},
        // The scene's script hangs one under its root (a nil parent).
        {"", "ch1.b",
         "ObjectDestructor: object 'ch1.ch1.b_sceneRootObject'" + held + "its scene" + notQueued},
        {"object.create('SceneSwitchDestructor', 'on_switch', nil, {})", "ch1.c",
         "SceneSwitchDestructor: object 'ch1.ch1.b_sceneRootObject'" + held + "its scene" + notQueued},
        {"object.create('SceneSwitchDestructor', 'on_switch', 'ui.vumo', {})", "ch1.a",
         "SceneSwitchDestructor: object 'ui.vumo'" + held + "the UI" + notQueued},
    };
    for (const auto& row : rows)
    {
        if (row.code != "")
        {
            EXPECT_EQ(failure(row.code), "<none>");
        }
        if (row.scene != "")
        {
            Session::changeScene(row.scene, 0.0f, "");
        }
        frames(10);
        ASSERT_EQ(engine->logCount(row.warning), 1) << row.warning << "\n" << engine->logText();
        runsOn();
    }
    // What they were hung under stands and works.
    EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "ch1.a");
    EXPECT_EQ(UI::getUIDataset()->tryGetObject("at_viewport")->getParent(), Session::getViewport());
}

// The fade holds its overlay from its start to its end: neither a script nor a destructor frees it.
TEST_F(EngineObjectsDestroy, AFadeKeepsItsOverlayToItsEnd)
{
    Session::changeScene("ch1.c", 1.0f, "fade");
    frames(2);
    ASSERT_TRUE(Session::isTransitionRunning());
    EXPECT_EQ(
        failure("object.destroy('ui.vumo_fade_transition_overlay')"),
        "object.destroy: object 'ui.vumo_fade_transition_overlay' belongs to the engine (held by the fade "
        "transition) and cannot be destroyed");
    EXPECT_EQ(failure("object.create('ObjectDestructor', 'od', 'ui.vumo_fade_transition_overlay', {})"),
              "<none>");
    ASSERT_TRUE(engine->settleAt("ch1.c"));
    EXPECT_EQ(
        engine->logCount("ObjectDestructor: object 'ui.vumo_fade_transition_overlay' belongs to the engine "
                         "(held by the fade transition) and cannot be destroyed, its deletion is not "
                         "queued."),
        1)
        << engine->logText();
    // Once the fade let it go, it went with its destructor.
    EXPECT_EQ(engine->lua("object.exists('ui.vumo_fade_transition_overlay')"), "false");
    EXPECT_EQ(engine->lua("object.exists('ui.od')"), "false");
    runsOn();
}
