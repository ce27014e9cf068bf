#include "Dialogs.h"
#include "EngineHarness.h"
#include "ui/UI.h"

#include <lua.hpp>

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// A chapter ch1 whose dialogs the tests write; the UI's dialog hooks write a journal, and a line stays
// for ui.lineTime seconds.
class Dialogs : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal(
            "ui.lineTime = 2\n"
            "function ui.startDialog() note('start') end\n"
            "function ui.endDialog() note('end') end\n"
            "function ui.displayDialog(who, text) note(who .. ':' .. text) return ui.lineTime end\n"
            "function ui.displayDialogReplies(r) note('replies ' .. table.concat(r, '|')) end\n");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
        LuaInterface::execute("journal = {}");
    }
    void dialog(const std::string& name, const std::string& code)
    {
        folder.put("data/chapters/ch1/dialogs/" + name + ".dlg", code);
    }
    std::string journal()
    {
        const std::string text = engine->lua("table.concat(journal, '; ')");
        LuaInterface::execute("journal = {}");
        return text;
    }
    std::string failure(const std::string& code)
    {
        const std::string text = engine->failure(code);
        // Without the native source's "[file:line] " too.
        const size_t native = (text.size() > 0 && text[0] == '[' ? text.find("] ") : std::string::npos);
        return native == std::string::npos ? text : text.substr(native + 2);
    }
    int errorLines() { return Engine::errorLines(); }
};

TEST_F(Dialogs, RepliesAreOfferedAndAChosenReplyWithoutNewsCallsMainAgain)
{
    dialog("d", "turns = 0\n"
                "function main()\n"
                "  turns = turns + 1\n"
                "  if turns == 3 then dialog.stop() return end\n"
                "  dialog.reply('Hello', 'note(\"said hello in \" .. tostring(turns))')\n"
                "  dialog.reply(\"Who's there?\", 'dialog.stop()')\n"
                "end\n");
    LuaInterface::execute("dialog.start('d')");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
    EXPECT_EQ(engine->lua("dialog.getNumReplies()"), "2");
    EXPECT_EQ(journal(), "start; replies Hello|Who's there?");
    // A second start while one runs does nothing.
    LuaInterface::execute("dialog.start('d')");
    EXPECT_EQ(journal(), "");
    LuaInterface::execute("dialog.chooseReply(0)");
    EXPECT_EQ(journal(), "said hello in 1; replies Hello|Who's there?");
    EXPECT_EQ(failure("dialog.chooseReply(2)"), "DialogManager's reply index out of range");
    LuaInterface::execute("dialog.chooseReply(0)");
    EXPECT_EQ(journal(), "said hello in 2; end");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_EQ(engine->lua("tostring(_dlg)"), "nil");
}

TEST_F(Dialogs, ASequenceRunsItsFirstItemAtOnceAndACodeItemTheFrameAfterTheLine)
{
    dialog("d", "function main()\n"
                "  if done then dialog.stop() return end\n"
                "  done = true\n"
                "  dialog.sequence{'Ann:Look.', 'note(\"code\")'}\n"
                "  note('after sequence')\n"
                "end\n");
    LuaInterface::execute("dialog.start('d')");
    EXPECT_EQ(journal(), "start; Ann:Look.; after sequence");
    std::string seen;
    for (int frame = 1; frame <= 6; ++frame)
    {
        DialogManager::update(0.5f);
        seen += std::to_string(frame) + ":" + journal() + " ";
    }
    // The timer runs out in the 4th frame; the code runs in the 5th, the end item in the 6th.
    EXPECT_EQ(seen, "1: 2: 3: 4: 5:code 6:end ");
}

TEST_F(Dialogs, TheSequenceTableShrinksAsItemsRun)
{
    dialog("d", "function main()\n"
                "  if done then dialog.stop() return end\n"
                "  done = true\n"
                "  dialog.sequence{'note(#_sequence .. \" \" .. _sequence[1])', function() end, 'Bo:Hi'}\n"
                "end\n");
    LuaInterface::execute("ui.lineTime = 0 dialog.start('d')");
    EXPECT_EQ(journal(), "start; 3 <function_call>");
    EXPECT_EQ(engine->lua("table.concat(_dlg._sequence, ',')"), "<function_call>,Bo:Hi,__END__");
    DialogManager::update(0.1f);
    EXPECT_EQ(engine->lua("table.concat(_dlg._sequence, ',')"), "Bo:Hi,__END__");
    DialogManager::update(0.1f);
    EXPECT_EQ(engine->lua("table.concat(_dlg._sequence, ',')"), "__END__");
    // A line for which the UI gives no time stays until skipped.
    for (int frame = 0; frame < 100; ++frame)
    {
        DialogManager::update(1000.0f);
    }
    EXPECT_EQ(journal(), "Bo:Hi");
    LuaInterface::execute("dialog.skip()");
    EXPECT_EQ(journal(), "end");
}

TEST_F(Dialogs, SkippingWithACountLeavesTheEndItemAndRunsOnlyWhatWasQueued)
{
    dialog("d", "turn = 0\n"
                "function main()\n"
                "  turn = turn + 1\n"
                "  note('turn ' .. turn)\n"
                "  dialog.sequence{'A:one', 'A:two', 'A:three'}\n"
                "end\n");
    LuaInterface::execute("dialog.start('d')");
    EXPECT_EQ(journal(), "start; turn 1; A:one");
    DialogManager::skipSequence(1);
    EXPECT_EQ(journal(), "");
    EXPECT_EQ(DialogManager::getNumQueuedItems(), 1);
    DialogManager::update(0.1f);
    EXPECT_EQ(journal(), "turn 2; A:one");
    // Every turn starts a new sequence: a whole skip ends in the next one, shown from its start.
    LuaInterface::execute("dialog.skipSequence()");
    EXPECT_EQ(journal(), "turn 3; A:one");
    EXPECT_EQ(DialogManager::getNumQueuedItems(), 3);
}

TEST_F(Dialogs, AMainThatDoesNothingIsAnErrorAndEndsTheDialog)
{
    dialog("d", "function main() end\n");
    EXPECT_EQ(failure("dialog.start('d')"),
              "DialogManager: main function should either set replies, set a sequence or end the Dialog");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_EQ(failure("dialog.start('nowhere')"),
              "Dialog file 'nowhere' (data/chapters/ch1/dialogs/nowhere.dlg) not found!");
    EXPECT_EQ(failure("dialog.sequence{'x'}"),
              "DialogManager::sequence: can't execute sequence, dialog manager isn't active!");
    EXPECT_EQ(failure("dialog.reply('x', 'y')"),
              "DialogManager::addReply: unable to add reply, dialog manager isn't active!");
}

TEST_F(Dialogs, AFailingFileOrTurnEndsTheDialogSoTheNextOneStarts)
{
    dialog("broken", "function main( end\n");
    dialog("fails", "function main() error('main broke') end\n");
    dialog("good", "function main() dialog.reply('Yes', 'dialog.stop()') end\n");
    const int before = errorLines();
    LuaInterface::execute("dialog.start('broken')");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_EQ(errorLines(), before + 1);
    EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
    LuaInterface::execute("dialog.start('fails')");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_EQ(errorLines(), before + 2);
    EXPECT_EQ(journal(), "start; end; start; end");
    LuaInterface::execute("dialog.start('good')");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
    EXPECT_EQ(journal(), "start; replies Yes");
}

TEST_F(Dialogs, AFailingReplyStillGoesOnToTheNextTurn)
{
    dialog("d", "function main() note('main') dialog.reply('Bad', 'error(\"reply broke\")') end\n");
    LuaInterface::execute("dialog.start('d') journal = {}");
    LuaInterface::execute("dialog.chooseReply(0)");
    EXPECT_EQ(journal(), "end; main; replies Bad");
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
}

TEST_F(Dialogs, FunctionItemsGetTheirArgumentsAndReleaseTheirReferences)
{
    dialog(
        "d",
        "function main()\n"
        "  if ui.stopNow then dialog.stop() return end\n"
        "  dialog.sequence{{function(n, s, t) note(n .. s .. tostring(t == shared)) end, 1, 'a', shared},\n"
        "                  {function() dialog.stop() note('stopped') end}}\n"
        "end\n");
    LuaInterface::execute("shared = {}");
    LuaInterface::execute("dialog.start('d')");
    DialogManager::update(0.1f);
    EXPECT_EQ(journal(), "start; 1atrue; end; stopped");
    EXPECT_EQ(DialogManager::getNumQueuedItems(), 0);
    EXPECT_FALSE(DialogManager::isActive());

    LuaInterface::execute(
        "function loop() for i = 1, 1000 do dialog.start('d') dialog.skipSequence() end end "
        "loop() collectgarbage('collect') collectgarbage('collect')");
    LuaInterface::execute("journal = {}");
    std::vector<int> sizes;
    for (int round = 0; round < 4; ++round)
    {
        LuaInterface::execute("loop() journal = {} collectgarbage('collect') collectgarbage('collect')");
        sizes.push_back(lua_gc(LuaInterface::state, LUA_GCCOUNT, 0));
    }
    EXPECT_EQ(sizes[0], sizes[3]) << sizes[0] << " " << sizes[1] << " " << sizes[2] << " " << sizes[3];
}

TEST_F(Dialogs, AFailingFunctionItemNamesItsContext)
{
    dialog("d", "function main()\n"
                "  if done then dialog.stop() return end\n"
                "  done = true\n"
                "  dialog.sequence{function() error('item broke') end}\n"
                "end\n");
    LuaInterface::execute("dialog.start('d')");
    EXPECT_NE(engine->logText().find("item broke"), std::string::npos);
    EXPECT_NE(engine->logText().find("Context: DialogItem_Execute"), std::string::npos);
    EXPECT_EQ(failure("dialog.sequence{1}"), "Invalid sequence element type: 'number'");
    EXPECT_EQ(failure("dialog.sequence{{1}}"),
              "Error definining sequence item as table, first indexed item must be "
              "the callback function, the rest are parameters");
}

TEST_F(Dialogs, ALineWithAnApostropheReachesTheUIIntact)
{
    dialog("d", "function main()\n"
                "  if done then dialog.stop() return end\n"
                "  done = true\n"
                "  dialog.sequence{\"Ann:It's \\\"late\\\", isn't it?\\\\\"}\n"
                "end\n");
    LuaInterface::execute("dialog.start('d')");
    EXPECT_EQ(journal(), "start; Ann:It's \"late\", isn't it?\\");
}

TEST_F(Dialogs, RepliesAndSequencesExcludeEachOther)
{
    dialog("d",
           "function main()\n"
           "  if mode == 'replies' then dialog.reply('A', '') ok, err = pcall(dialog.sequence, {'x'}) end\n"
           "  if mode == 'sequence' then dialog.sequence{'A:a'} ok, err = pcall(dialog.reply, 'B', '') "
           "ok2, err2 = pcall(dialog.sequence, {'y'}) end\n"
           "end\n");
    LuaInterface::execute("mode = 'replies' dialog.start('d')");
    EXPECT_NE(engine->lua("_dlg.err").find("can't execute sequence, one or more replies already set"),
              std::string::npos);
    LuaInterface::execute("dialog.stop() mode = 'sequence' dialog.start('d')");
    EXPECT_NE(engine->lua("_dlg.err").find("can't add reply, a sequence has already been set"),
              std::string::npos);
    EXPECT_NE(engine->lua("_dlg.err2").find("another sequence is already running"), std::string::npos);
    EXPECT_EQ(DialogManager::getNumReplies(), 0);
    EXPECT_EQ(DialogManager::getNumQueuedItems(), 1);
}

// A paused game holds its talk where it is: the line shown stays, nothing queued after it runs, and the
// sequence takes up its count again where it stopped once the pause ends. A message box pauses the game,
// so a line shown under one waits for its answer.
TEST_F(Dialogs, APauseHoldsTheLineAndWhatFollowsIt)
{
    dialog("d", "function main()\n"
                "  if done then dialog.stop() return end\n"
                "  done = true\n"
                "  dialog.sequence{'Ann:Wait.', 'note(\"code\")', 'Ann:Done.'}\n"
                "end\n");
    LuaInterface::execute("dialog.start('d')");
    EXPECT_EQ(journal(), "start; Ann:Wait.");
    std::string seen;
    const auto run = [&](const char* phase, int frames)
    {
        for (int i = 0; i < frames; ++i)
        {
            engine->frame(0.1f);
        }
        seen += std::string(phase) + ":" + journal() + " ";
    };
    run("half the line", 10);
    Session::setPaused(true);
    run("paused long", 60);
    Session::setPaused(false);
    run("the rest of the line", 9);
    run("past it", 5);
    EXPECT_EQ(seen, "half the line: paused long: the rest of the line: past it:code; Ann:Done. ");
    LuaInterface::execute("ui.messageBox{text = '{%s} {Wait}'}");
    run("under a box", 60);
    EXPECT_TRUE(UI::getInstance()->isMessageBoxActive());
    EXPECT_EQ(seen.substr(seen.rfind("under")), "under a box: ");
    LuaInterface::execute("ui.cancelActiveMessageBox()");
    run("answered", 30);
    EXPECT_EQ(seen.substr(seen.rfind("answered")), "answered:end ");
}
