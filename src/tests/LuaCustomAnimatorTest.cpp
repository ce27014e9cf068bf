#include <tesraui/Animators.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>

#include "LuaTestSupport.h"
#include "lua/CustomAnimator.h"

using namespace vumo;

using namespace luatest;
using kavtypes::Rectangle;

namespace
{
    // The event that only names the script function.
    class Named : public tesraui::Event
    {
    public:
        void execute(tesraui::EventArgs*) override {}
    };

    // A parent in a dataset with a MoverX child driven by the script function of the given name.
    struct Driven
    {
        tesraui::Dataset dataset;
        tesraui::Object* parent = new tesraui::Object("parent", Rectangle(0, 0, 1, 1));
        tesraui::Animator* mover = new tesraui::Animators::MoverX("mover");

        Driven(const hstring& datasetName, const hstring& function) : dataset("", datasetName)
        {
            parent->addChild(mover);
            dataset.registerObjects(parent);
            mover->setAnimationFunction(tesraui::Animator::AnimationFunction::Custom);
            mover->setCustomFunction(LuaInterface::evaluateCustomAnimator);
            if (function.size() > 0)
                mover->registerEvent(function, std::make_shared<Named>());
        }
        // The parent's x after each of the steps.
        std::vector<float> run(int steps)
        {
            std::vector<float> xs;
            for (int i = 0; i < steps; ++i)
            {
                parent->update(0.25f);
                xs.push_back(parent->getX());
            }
            return xs;
        }
    };
} // namespace

TEST_F(LuaTest, ScriptFunctionDrivesACustomAnimator)
{
    start();
    LuaInterface::execute("calls = {}; function drive(name, time) calls[#calls + 1] = name .. '@' .. time "
                          "return time * 100 end; room = {drive = function(name, time) return -time end}");
    Driven inUi("ui", "drive");
    EXPECT_EQ(inUi.run(3), (std::vector<float>{25.0f, 50.0f, 75.0f}));
    EXPECT_EQ(eval("return calls[1], #calls"), "ui.mover@0.25|3");

    // Outside "ui" the function is the active scene's.
    host.scene = reinterpret_cast<Scene*>(&host);
    host.environment = "room";
    Driven inScene("room", "drive");
    EXPECT_EQ(inScene.run(2), (std::vector<float>{-0.25f, -0.5f}));
    EXPECT_TRUE(host.take().empty());
}

TEST_F(LuaTest, FailingCustomAnimatorIsReportedAndKeepsItsValue)
{
    start();
    LuaInterface::execute("function two() return 1, 2 end; function bad() error('no value') end");
    const std::vector<std::pair<hstring, std::string>> cases = {
        {"two",
         "Custom animator function must return exactly one value!, animator: mover\nContext: ui.mover"},
        {"", "Animator with custom Lua function needs to have one event assigned: mover\nContext: ui.mover"},
        {"bad", "no value\nstack traceback:"},
        {"missing", "attempt to call global 'missing' (a nil value)"},
    };
    const int top = lua_gettop(L());
    for (const auto& [function, text] : cases)
    {
        Driven driven("ui", function);
        driven.parent->setX(7.0f);
        EXPECT_EQ(driven.run(2), (std::vector<float>{7.0f, 7.0f})) << function;
        const Lines journal = host.take();
        ASSERT_EQ(journal.size(), 2u) << function;
        EXPECT_NE(journal[0].find(text), std::string::npos) << journal[0];
        EXPECT_EQ(lua_gettop(L()), top);
    }
}

TEST_F(LuaTest, ACustomAnimatorFollowsItsFunctionAndTheSceneBetweenFrames)
{
    start();
    LuaInterface::execute("function drive(name, time) return 1 end; function steer(name, time) return 3 end\n"
                          "room = {drive = function(name, time) return 10 end}\n"
                          "hall = {drive = function(name, time) return 20 end}");
    Driven driven("room", "drive");
    driven.mover->setPeriods(-1.0f);
    // Without a scene the function is the global one.
    EXPECT_EQ(driven.run(1), (std::vector<float>{1.0f}));
    LuaInterface::execute("function drive(name, time) return 2 end");
    EXPECT_EQ(driven.run(1), (std::vector<float>{2.0f}));
    driven.mover->unregisterEvent("drive");
    driven.mover->registerEvent("steer", std::make_shared<Named>());
    EXPECT_EQ(driven.run(1), (std::vector<float>{3.0f}));
    driven.mover->unregisterEvent("steer");
    driven.mover->registerEvent("drive", std::make_shared<Named>());
    host.scene = reinterpret_cast<Scene*>(&host);
    host.environment = "room";
    EXPECT_EQ(driven.run(1), (std::vector<float>{10.0f}));
    host.environment = "hall";
    EXPECT_EQ(driven.run(1), (std::vector<float>{20.0f}));
    LuaInterface::execute(
        "hall = {drive = function(name, time) return name == 'room.mover' and 21 or 0 end}");
    EXPECT_EQ(driven.run(1), (std::vector<float>{21.0f}));
    // A function that is no Lua function any more runs as the text, which fails as it would.
    LuaInterface::execute("hall.drive = nil");
    driven.parent->setX(5.0f);
    EXPECT_EQ(driven.run(1), (std::vector<float>{5.0f}));
    const Lines journal = host.take();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_NE(journal[0].find("attempt to call field 'drive' (a nil value)"), std::string::npos)
        << journal[0];
}
