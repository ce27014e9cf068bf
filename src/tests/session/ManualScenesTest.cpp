#include <memory>
#include <string>
#include <vector>

#include <quortypes/exception.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Session.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // Every manual scene's end, in order.
    std::vector<std::string>& ends()
    {
        static std::vector<std::string> journal;
        return journal;
    }

    // A scene made in code, as the game makes its store and landing page, under a tag telling copies apart.
    class ManualScene : public Scene
    {
    public:
        ManualScene(Chapter* chapter, const hstring& name, const std::string& tag)
            : Scene(chapter, name, ""), tag(tag)
        {
        }
        ~ManualScene() override { ends().push_back(this->tag); }
        // No script file: the scene is set up as the game's own manual scenes are.
        hstring getScript() override { return "scene.setBackground('null')"; }

    private:
        std::string tag;
    };
} // namespace

// A game of one chapter, ch1 with the scene a, started there; the manual scenes go into ch1.
class ManualScenes : public harness::GameTest
{
protected:
    Chapter* chapter = nullptr;

    void SetUp() override
    {
        harness::forgetSession();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_TRUE(engine->settleAt("ch1.a"));
        this->chapter = Session::getChapter("ch1");
        ends().clear();
    }
    Scene* registerManual(const hstring& name, const std::string& tag)
    {
        auto scene = std::make_unique<ManualScene>(this->chapter, name, tag);
        Scene* raw = scene.get();
        this->chapter->registerScene(std::move(scene));
        return raw;
    }
};

TEST_F(ManualScenes, ARegisteredSceneIsFoundAndSwitchedToAndEndsWithTheEngine)
{
    Scene* extra = registerManual("extra", "extra");
    EXPECT_TRUE(chapter->hasScene("extra"));
    EXPECT_EQ(chapter->getScene("extra"), extra);
    Session::changeScene("ch1.extra", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("ch1.extra"));
    EXPECT_EQ(Session::getActiveScene(), extra);
    EXPECT_TRUE(ends().empty());
    engine->stop();
    EXPECT_EQ(ends(), std::vector<std::string>{"extra"});
}

TEST_F(ManualScenes, AnUnregisteredSceneComesBackOwnedAndAMissingOneChangesNothing)
{
    Scene* extra = registerManual("extra", "extra");
    std::unique_ptr<Scene> back = chapter->unregisterScene("extra");
    EXPECT_EQ(back.get(), extra);
    EXPECT_FALSE(chapter->hasScene("extra"));
    EXPECT_TRUE(ends().empty());
    EXPECT_THROW(chapter->unregisterScene("extra"), quortypes::exception);
    EXPECT_TRUE(chapter->hasScene("a"));
    back.reset();
    EXPECT_EQ(ends(), std::vector<std::string>{"extra"});
    // Handed back, it can be registered again under its name.
    Scene* again = registerManual("extra", "again");
    EXPECT_EQ(chapter->getScene("extra"), again);
}

TEST_F(ManualScenes, ASecondSceneUnderATakenNameIsRefusedAndEndsWhileTheFirstStays)
{
    Scene* first = registerManual("extra", "first");
    EXPECT_THROW(registerManual("extra", "second"), quortypes::exception);
    EXPECT_EQ(ends(), std::vector<std::string>{"second"});
    EXPECT_EQ(chapter->getScene("extra"), first);
    // The scenes the chapter read from its files are no different.
    EXPECT_THROW(registerManual("a", "shadow"), quortypes::exception);
    EXPECT_EQ(dynamic_cast<ManualScene*>(chapter->getScene("a")), nullptr);
    EXPECT_EQ(ends(), (std::vector<std::string>{"second", "shadow"}));
}
