#include <tesraui/Animators.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>

#include "LuaTestSupport.h"
#include "lua/CustomAnimator.h"

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
                mover->registerEvent(function, new Named());
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
