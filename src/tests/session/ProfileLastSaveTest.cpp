#include <filesystem>

#include "EngineHarness.h"
#include "Profile.h"
#include "Variables.h"

using namespace vumo;

using harness::Engine;

namespace
{
    class ProfileLastSave : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            harness::forgetSession();
            folder.config();
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/ui.lua", "");
            engine.reset(new Engine(folder));
            engine->start();
            harness::createGameVariable("score", "0");
        }
        bool exists(const std::string& name)
        {
            return std::filesystem::exists(folder.userFile("EngineTest", name));
        }
    };
} // namespace

// The removed profile's last save asks the script, which tries to change the profile: that is refused
// while the save runs, so the profile on its way out is neither saved again nor freed twice.
TEST_F(ProfileLastSave, AScriptThatChangesTheProfileDuringTheLastSaveFreesNothingTwice)
{
    const hstring bob = Profile::create("Bob");
    Profile::changeProfile(Profile::create("Anna"));
    VariableDictionary::getGlobal().get("score").setValue("7", true);
    Session::getProfile()->sync();
    ASSERT_TRUE(Session::getProfile()->isChanged());
    LuaInterface::execute("asked = 0\n"
                          "function ui.canSaveGame()\n"
                          "  asked = asked + 1\n"
                          "  if asked == 1 then profile.change('" +
                          bob +
                          "') end\n"
                          "  return 1\n"
                          "end");
    Profile::remove("Anna");
    EXPECT_EQ(engine->lua("asked"), "1");
    EXPECT_GE(engine->logCount("profile.change() cannot run while the engine is asking ui.canSaveGame"), 1u);
    EXPECT_FALSE(exists("Anna"));
    EXPECT_TRUE(exists("Bob"));
    ASSERT_NE(Session::getProfile(), nullptr);
    EXPECT_EQ(Session::getProfile()->getName(), "DummyProfile");
}
