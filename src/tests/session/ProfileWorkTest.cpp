#include <filesystem>

#include "EngineHarness.h"
#include "Profile.h"
#include "Variables.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // Anna is the active profile, with a score the autosave has not taken yet; Bob is another profile.
    // Each test writes its own ui.canSaveGame, which counts its calls in `asked`.
    class ProfileWork : public harness::GameTest
    {
    protected:
        hstring bob;

        void SetUp() override
        {
            harness::forgetSession();
            Engine::log().clear();
            folder.config();
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.putJournal();
            engine.reset(new Engine(folder));
            engine->start();
            harness::createGameVariable("score", "0");
            bob = Profile::create("Bob");
            Profile::changeProfile(Profile::create("Anna"));
            VariableDictionary::getGlobal().get("score").setValue("7", true);
        }
        // A hook that runs the call and then allows the save.
        void hookCalls(const std::string& call)
        {
            LuaInterface::execute("asked = 0\nfunction ui.canSaveGame()\n  asked = asked + 1\n  " + call +
                                  "\n  return 1\nend");
        }
        int asked() { return std::stoi(engine->lua("asked")); }
        int looked() { return std::stoi(engine->lua("looked or 0")); }
        std::string activeFolder()
        {
            return Session::getProfile() != nullptr ? std::string(Session::getProfile()->getFolder())
                                                    : std::string("<none>");
        }
        std::string diffOf(const std::string& profile)
        {
            return harness::readFile(folder.userFile("EngineTest", profile + "/vars.diff"));
        }
        static std::string refusal(const std::string& function, const std::string& work)
        {
            return function + "() cannot run while the engine is " + work;
        }
    };
} // namespace

// The hook is asked inside the once-a-second autosave and inside a save a script asks for. What it asks of
// the profiles is refused, named in the log and on the overlay; Anna stays active and whole, and a save
// inside the hook is not a save that asks the hook again.
TEST_F(ProfileWork, ASaveHookCannotChangeRemoveSaveOrResetTheProfileItRunsFor)
{
    struct Case
    {
        std::string call;
        std::string function;
        bool raises;
    };
    const Case cases[] = {
        {"profile.change('" + std::string(bob) + "')", "profile.change", true},
        {"profile.remove('Anna')", "profile.remove", true},
        {"profile.save()", "profile.save", true},
        {"profile.reset()", "profile.reset", true},
        {"profile.loadDiff('data/x.diff')", "profile.loadDiff", true},
        // profile.load reports failure by its result; its reason goes to the log.
        {"profile.load()", "profile.change", false},
    };
    UI* ui = UI::getInstance();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.call);
        const size_t before = engine->logCount(refusal(c.function, "asking ui.canSaveGame"));
        hookCalls(c.call);
        // The autosave clock's sync, once a second of frames.
        for (float seconds = 0.0f; asked() == 0 && seconds < 3.0f; seconds += 0.1f)
        {
            engine->frame(0.1f);
        }
        EXPECT_EQ(asked(), 1);
        EXPECT_EQ(engine->logCount(refusal(c.function, "asking ui.canSaveGame")), before + 1);
        EXPECT_EQ(ui->isErrorOverlayShown(), c.raises);
        if (ui->isErrorOverlayShown())
        {
            ui->onErrorContinue(nullptr);
        }
        // A save a script asks for asks the hook once.
        engine->luaOrError("profile.save()");
        EXPECT_EQ(asked(), 2);
        EXPECT_EQ(activeFolder(), "Anna");
        EXPECT_TRUE(std::filesystem::exists(folder.userFile("EngineTest", "Anna/vars.diff")));
        if (ui->isErrorOverlayShown())
        {
            ui->onErrorContinue(nullptr);
        }
        engine->frame();
    }
    // The game goes on: a hook that only answers lets the score be saved.
    hookCalls("");
    EXPECT_EQ(engine->luaOrError("profile.save()"), "<none>");
    EXPECT_NE(diffOf("Anna").find("score: 7\n"), std::string::npos);
}

// Other work on profiles runs the hook too: the last save of the profile a change leaves, and the last
// save at shut-down. The hook cannot take away the profile being saved there either.
TEST_F(ProfileWork, TheLastSavesOfAChangeAndOfShutDownCannotBePulledAwayEither)
{
    Session::getProfile()->sync();
    hookCalls("profile.remove('Anna')");
    EXPECT_EQ(engine->luaOrError("profile.change('" + bob + "')"), "<none>");
    EXPECT_EQ(asked(), 1);
    EXPECT_EQ(engine->logCount(refusal("profile.remove", "asking ui.canSaveGame")), 1u);
    EXPECT_EQ(activeFolder(), std::string(bob));
    EXPECT_NE(diffOf("Anna").find("score: 7\n"), std::string::npos);
    UI::getInstance()->onErrorContinue(nullptr);

    VariableDictionary::getGlobal().get("score").setValue("9", true);
    Session::getProfile()->sync();
    hookCalls("profile.change('Anna')");
    engine->stop();
    EXPECT_EQ(engine->logCount(refusal("profile.change", "asking ui.canSaveGame")), 1u);
    EXPECT_NE(diffOf(bob).find("score: 9\n"), std::string::npos);
    EXPECT_NE(diffOf("Anna").find("score: 7\n"), std::string::npos);
}

// A game without the save hook still has it looked up, and the lookup reads `ui` and the globals as a script
// would: a metamethod there (a "strict globals" module, or one of `ui`'s own) runs before the hook would.
// What it asks of the profiles is refused as the hook's own asking is, wherever the engine asks: the
// autosave, a save a script asks for, the last save of a change.
TEST_F(ProfileWork, WhatTheLookupOfTheSaveHookRunsCannotPullTheProfileAway)
{
    struct Case
    {
        const char* table;
        const char* place;
        std::string call;
        std::string function;
    };
    const std::string change = "profile.change('" + std::string(bob) + "')";
    const std::vector<Case> cases = {
        {"_G", "autosave", change, "profile.change"},
        {"_G", "autosave", "profile.remove('Anna')", "profile.remove"},
        {"ui", "autosave", change, "profile.change"},
        {"ui", "autosave", "profile.reset()", "profile.reset"},
        {"_G", "profile.save", change, "profile.change"},
        {"ui", "profile.save", "profile.remove('Anna')", "profile.remove"},
        {"_G", "profile.change", "profile.remove('Anna')", "profile.remove"},
        {"ui", "profile.change", "profile.save()", "profile.save"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.table) + " at " + c.place + ": " + c.call);
        const std::string act = "local function act(k)\n"
                                "  if k ~= 'canSaveGame' then return end\n"
                                "  looked = looked + 1\n"
                                "  if armed then armed = false said = select(2, pcall(function() " +
                                c.call +
                                " end)) end\n"
                                "end\n";
        const std::string arm = std::string(c.table) == "_G"
                                    ? "setmetatable(_G, {__index = function(t, k) act(k) end})"
                                    : "setmetatable(ui, {__index = function(t, k) act(k) return _G[k] end})";
        LuaInterface::execute("ui.canSaveGame = nil looked = 0 armed = true said = nil\n" + act + arm);
        VariableDictionary::getGlobal().get("score").setValue(std::to_string(10 + looked()), true);
        const std::string place = c.place;
        if (place == "autosave")
        {
            EXPECT_TRUE(engine->waitUntil([this] { return looked() > 0; }, 0.1f));
        }
        else
        {
            EXPECT_EQ(engine->luaOrError(place == "profile.save" ? "profile.save()" : change), "<none>");
        }
        LuaInterface::execute("setmetatable(_G, nil) setmetatable(ui, {__index = _G})");
        EXPECT_GE(looked(), 1);
        EXPECT_NE(engine->lua("tostring(said)").find(refusal(c.function, "asking ui.canSaveGame")),
                  std::string::npos)
            << engine->lua("tostring(said)");
        EXPECT_EQ(activeFolder(), place == "profile.change" ? std::string(bob) : std::string("Anna"));
        EXPECT_TRUE(std::filesystem::exists(folder.userFile("EngineTest", "Anna/vars.diff")));
        if (activeFolder() != "Anna")
        {
            Profile::changeProfile("Anna");
        }
        engine->frame();
    }
}
