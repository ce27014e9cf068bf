#include <functional>
#include <string>

#include "EngineHarness.h"
#include "Inventory.h"
#include "lua/LuaInterface.h"

using namespace vumo;

using harness::Engine;

// The engine's own reads of script values (a hook's lookup, an environment's, a global of any name) read as a
// script does, so that a metamethod of the globals runs in them. What such code meets on Lua's stack there is
// a script's value like any other.
class EngineLookups : public harness::GameTest
{
protected:
    void SetUp() override
    {
        harness::forgetSession();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal("function ui.startDialog() note('start') end\n"
                          "function ui.endDialog() note('end') end\n"
                          "function ui.displayDialog(who, text) note(text) return 1 end\n"
                          "function ui.displayDialogReplies(replies) note('replies') end\n"
                          "function ui.OnUseItemFail(item) note('fail ' .. item) end\n");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        folder.put("data/chapters/ch1/dialogs/wait.dlg", "function main() dialog.reply('Wait', '') end\n");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    }
    std::string journal()
    {
        const std::string text = engine->lua("table.concat(journal, '; ')");
        LuaInterface::execute("journal = {}");
        return text;
    }
};

// A metamethod run by the lookup takes the engine's function that reads the value (Lua's stack shows it
// through `debug`) and calls it, at once and after the lookup, without the values the engine gave it: each
// call is refused as a script's error, and the lookup goes on as before.
TEST_F(EngineLookups, TheStepsOfTheEnginesLookupsRefuseAScriptsCall)
{
    struct Case
    {
        const char* name;
        const char* key;
        std::function<void()> lookup;
    };
    const Case cases[] = {
        {"a hook's lookup", "nosuchHook", [] { LuaInterface::isHook("ui.nosuchHook"); }},
        {"an environment's lookup", "nosuchEnvironment",
         [] { LuaInterface::execute("inside = true", "nosuchEnvironment"); }},
        {"a global of any name", "no.such.function",
         [] { LuaInterface::typeOfGlobal(LuaInterface::state, "no.such.function"); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        LuaInterface::execute("taken = nil during = nil\n"
                              "setmetatable(_G, {__index = function(t, k)\n"
                              "  if k ~= '" +
                              hstring(c.key) +
                              "' then return nil end\n"
                              "  taken = debug.getinfo(2, 'f').func\n"
                              "  during = select(2, pcall(taken))\n"
                              "  return {}\n"
                              "end})");
        c.lookup();
        LuaInterface::execute("setmetatable(_G, nil)");
        EXPECT_EQ(engine->lua("type(taken)"), "function");
        const std::string refusal = "cannot be called by a script";
        EXPECT_NE(engine->lua("tostring(during)").find(refusal), std::string::npos) << engine->lua("during");
        for (const char* call : {"pcall(taken)", "pcall(taken, nil)", "pcall(taken, 1, 'x')"})
        {
            const std::string said = engine->lua("select(2, " + hstring(call) + ")");
            EXPECT_NE(said.find(refusal), std::string::npos) << call << ": " << said;
        }
    }
    // The lookups still read what a metamethod gives.
    LuaInterface::execute(
        "store = {} setmetatable(_G, {__index = function(t, k) if k == 'given' then return store end end})");
    LuaInterface::execute("inside = 1", "given");
    EXPECT_EQ(engine->lua("store.inside"), "1");
    EXPECT_TRUE(LuaInterface::isTable("given"));
}

// A module that makes reading an undeclared global an error, common in games, meets the engine's own reads
// of its values: they are made raw where they read the engine's own tables, or protected where they read a
// script's names, so that no error escapes them and the work around them ends as it would without it.
TEST_F(EngineLookups, AModuleThatRefusesUndeclaredGlobalsLeavesTheEnginesWorkWhole)
{
    struct Case
    {
        const char* name;
        std::function<std::string()> act;
        const char* journal;
    };
    const Case cases[] = {
        // The dialog's end reads its table, which it has just dropped.
        {"a dialog's end",
         [this]
         {
             const std::string said = engine->failure("dialog.stop()");
             return said + (engine->lua("dialog.isActive()") == "false" ? "" : " active");
         },
         "end"},
        // The function of an item whose name holds a point is a global of the whole name.
        {"an item's function named with a point",
         []
         {
             Inventory::combineItems("gold.key", "gem");
             return std::string("ok");
         },
         "fail gold.key"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        LuaInterface::execute("dialog.start('wait')");
        journal();
        LuaInterface::execute(
            "setmetatable(_G, {__index = function(t, k) error('undeclared ' .. tostring(k), 2) end})");
        std::string outcome;
        try
        {
            outcome = c.act();
        }
        catch (const quortypes::exception& e)
        {
            outcome = e.getMessage();
        }
        LuaInterface::execute("setmetatable(_G, nil)");
        EXPECT_EQ(outcome, "ok");
        EXPECT_NE(journal().find(c.journal), std::string::npos);
        EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
        LuaInterface::execute("dialog.stop()");
    }
}
