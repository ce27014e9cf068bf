#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "EngineHarness.h"
#include "X11Windows.h"

using harness::GameFolder;

namespace
{
    // A game that asks before every close (its ui.OnWindowClose refuses), makes the profile Anna and sets
    // its score in the first frame, saving nothing itself; once the engine's clock has synced the profile
    // (once a second) it runs the given ending, then the given code in every frame after it. Only the
    // shut-down save can put the score in Anna's files.
    void putGame(const GameFolder& folder, const std::string& ending, const std::string& everyFrame = "")
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", "vars.create('score', 0)\n"
                                      "function ui.OnWindowClose() vumo.log('close refused') end\n"
                                      "elapsed = nil\n"
                                      "function ui.update(dt)\n"
                                      "\tif elapsed == nil then\n"
                                      "\t\tprofile.change(profile.create('Anna'))\n"
                                      "\t\tvars.score = 7\n"
                                      "\t\telapsed = 0\n"
                                      "\telseif elapsed < 1.5 then\n"
                                      "\t\telapsed = elapsed + dt\n"
                                      "\t\tif elapsed >= 1.5 then\n"
                                      "\t\t\tio.open('end_asked', 'w'):close()\n"
                                      "\t\t\t" +
                                          ending +
                                          "\n"
                                          "\t\tend\n"
                                          "\telse\n"
                                          "\t\t" +
                                          everyFrame +
                                          "\n"
                                          "\tend\n"
                                          "end\n");
    }

    // The signals come from a shell the game starts, after the game's call has returned: a shell's $PPID is
    // the player.
    std::string signalLater(const char* signal)
    {
        return std::string("os.execute('(sleep 0.3; kill -") + signal + " $PPID) &')";
    }

    struct Ending
    {
        const char* name;
        std::string script;
        int code;
        // The score the save holds: "7" as synced before the ending, or "last" for the last frame's.
        const char* saved;
        // What the end logs besides "VUMO destroyed".
        const char* logged;
        std::string everyFrame;
    };

    struct PlayerEnd
    {
        int code = -1;
        double endSeconds = -1.0; // from the ending's start to the process's end
        std::string out;
        std::string diff;
    };

    PlayerEnd runToEnd(const GameFolder& folder, const std::string& environment = "")
    {
        PlayerEnd result;
        result.code = harness::runPlayer(folder, environment + "timeout -s KILL 30");
        result.out = harness::readFile(folder.path + "/out.txt");
        result.diff = harness::readFile(folder.userFile("EngineTest", "Anna/vars.diff"));
        std::error_code error;
        const auto asked = std::filesystem::last_write_time(folder.path + "/end_asked", error);
        if (!error)
        {
            result.endSeconds =
                std::chrono::duration<double>(std::filesystem::file_time_type::clock::now() - asked).count();
        }
        return result;
    }

    // ThreadSanitizer holds a signal back until the thread it lands on calls into the library it watches,
    // which a script's endless loop never does.
    bool signalsReachEndlessLoops()
    {
#if defined(__SANITIZE_THREAD__)
        return false;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
        return false;
#else
        return true;
#endif
#else
        return true;
#endif
    }
} // namespace

namespace
{
    // Every frame after the ending counts the score up and notes it: the end must save the last one.
    const std::string counting =
        "vars.score = vars.score + 1 local f = io.open('last_score', 'w') f:write(vars.score) f:close()";

    // Each ending ends the game with its code through the engine's end, which saves the score it names.
    void expectEndsThroughTheSave(const std::vector<Ending>& endings)
    {
        for (const Ending& ending : endings)
        {
            SCOPED_TRACE(ending.name);
            if (*ending.logged != '\0' && !signalsReachEndlessLoops())
            {
                continue;
            }
            GameFolder folder;
            putGame(folder, ending.script, ending.everyFrame);
            const PlayerEnd result = runToEnd(folder);
            const std::string saved = std::string(ending.saved) == "last"
                                          ? harness::readFile(folder.path + "/last_score")
                                          : std::string(ending.saved);
            EXPECT_EQ(result.code, ending.code) << result.out;
            EXPECT_NE(saved, "");
            EXPECT_NE(result.diff.find("score: " + saved + "\n"), std::string::npos)
                << result.diff << result.out;
            EXPECT_NE(result.out.find("VUMO destroyed"), std::string::npos) << result.out;
            EXPECT_NE(result.out.find(ending.logged), std::string::npos) << result.out;
            EXPECT_EQ(result.out.find("close refused"), std::string::npos) << result.out;
            // Generous for a loaded machine under the sanitizers; the signals wait 0.3 s before they come,
            // and a script is stopped two seconds after one came.
            EXPECT_GE(result.endSeconds, 0.0) << result.out;
            EXPECT_LT(result.endSeconds, 12.0) << result.out;
        }
    }
} // namespace

// A termination signal is no close the game may refuse, and a script's os.exit no end at the spot: each
// ends through the engine's end, which saves the profile, the last frame's change included.
TEST(EndWithSave, SignalsAndOsExitEndThroughTheShutDownSave)
{
    expectEndsThroughTheSave({
        {"SIGTERM", signalLater("TERM"), 0, "7", "", ""},
        {"SIGINT", signalLater("INT"), 0, "7", "", ""},
        {"SIGHUP", signalLater("HUP"), 0, "7", "", ""},
        {"os.exit()", "os.exit() vumo.log('the script goes on')", 0, "7", "", ""},
        {"os.exit(3)", "os.exit(3)", 3, "7", "", ""},
        {"SIGTERM with a change in every frame", signalLater("TERM"), 0, "last", "", counting},
        {"vumo.endProgram with a change in its frame", "", 0, "last", "", counting + " vumo.endProgram()"},
    });
}

// A script that would keep the game from ever ending is stopped once a signal has come, and the end saves
// what the last sync took.
TEST(EndWithSave, ASignalStopsAnEndlessScriptAndTheEndSavesTheLastSync)
{
    expectEndsThroughTheSave({
        {"SIGTERM in an endless loop", signalLater("TERM") + " while true do end", 0, "7",
         "this script did not finish: it was stopped", ""},
        {"SIGINT in an endless loop that catches every error",
         signalLater("INT") + " while true do pcall(function() while true do end end) end", 0, "7",
         "this script did not finish: it was stopped", ""},
        {"SIGHUP in an endless loop of every frame", signalLater("HUP"), 0, "7",
         "this script did not finish: it was stopped", "vars.score = 8 while true do end"},
    });
}

namespace
{
    // Each ending ends the game with its code, the score as last synced in the profile and its line in the
    // output and in the log file, a few seconds after the ending began.
    void expectEnds(const std::vector<Ending>& endings)
    {
        for (const Ending& ending : endings)
        {
            SCOPED_TRACE(ending.name);
            GameFolder folder;
            putGame(folder, ending.script, ending.everyFrame);
            const PlayerEnd result = runToEnd(folder);
            EXPECT_EQ(result.code, ending.code) << result.out;
            EXPECT_NE(result.diff.find("score: 7\n"), std::string::npos) << result.diff << result.out;
            EXPECT_NE(result.out.find(ending.logged), std::string::npos) << result.out;
            EXPECT_NE(harness::readFile(folder.userFile("EngineTest", "game.log")).find(ending.logged),
                      std::string::npos);
            EXPECT_GE(result.endSeconds, 0.0) << result.out;
            EXPECT_LT(result.endSeconds, 12.0) << result.out;
        }
    }
} // namespace

// The stop of a script that does not finish reached the main Lua thread only: a loop in a coroutine, as
// cut-scenes and waits run, kept every signal from ending the game but a kill, which saves nothing. Each
// Lua thread keeps its own hook; the stop reaches the coroutines being resumed, however deep.
TEST(EndWithSave, ASignalStopsAScriptInACoroutine)
{
    if (!signalsReachEndlessLoops())
    {
        GTEST_SKIP() << "ThreadSanitizer holds signals back from a script's endless loop";
    }
    const char* stopped = "this script did not finish: it was stopped";
    expectEnds({
        {"a coroutine made before the signal",
         "local co = coroutine.create(function() while true do end end) " + signalLater("TERM") +
             " vumo.log(select(2, coroutine.resume(co)))",
         0, "7", stopped, ""},
        {"a coroutine of coroutine.wrap inside another",
         signalLater("INT") + " coroutine.wrap(function() coroutine.wrap(function() "
                              "while true do pcall(function() while true do end end) end end)() end)()",
         0, "7", stopped, ""},
    });
}

// Where Lua runs no hook (a finalizer, a debug hook, one long call of the string library), every signal was
// ignored. A second signal, or the first one's grace period, ends the process at once with the last sync
// saved and the status 128 + the signal.
TEST(EndWithSave, WhereNoHookRunsASecondSignalOrTheGracePeriodEndsTheGame)
{
    if (!signalsReachEndlessLoops())
    {
        GTEST_SKIP() << "ThreadSanitizer holds signals back from a script's endless loop";
    }
    const std::string twice = "os.execute('(sleep 0.3; kill -TERM $PPID; sleep 0.5; kill -TERM $PPID) &')";
    expectEnds({
        {"a finalizer",
         twice + " local p = newproxy(true) getmetatable(p).__gc = function() while true do end "
                 "end p = nil collectgarbage()",
         143, "7", "Ending at once on signal 15: another termination signal came", ""},
        {"a debug hook", signalLater("HUP") + " debug.sethook(function() while true do end end, '', 1)", 129,
         "7", "Ending at once on signal 1: the main loop had not ended 5 seconds after", ""},
        {"a long call of the string library",
         twice + " string.find(string.rep('a', 40), string.rep('a?', 40) .. string.rep('a', 40))", 143, "7",
         "Ending at once on signal 15", ""},
    });
}

// Under X11 another program may destroy the player's window, or kill its connection to the display (as
// xkill does); what the player asks about the window then fails, and Xlib's default end would leave the
// profile unsaved. A destroyed window ends through the normal end; a lost connection lets Xlib end the
// process, which first saves what the last sync took. Run on a virtual display by the test below.
TEST(EndWithSave, AWindowDestroyedOrCutOffOnTheDisplay)
{
    if (std::getenv("VUMO_WINDOW_DESTROY_RUN") == nullptr)
    {
        GTEST_SKIP()
            << "run on a virtual display by EndWithSave.AWindowAnotherProgramDestroysEndsThroughTheSave";
    }
    struct Loss
    {
        const char* name;
        bool (*act)(const std::string& title, double seconds);
        int code;
        const char* logged;
    };
    const Loss losses[] = {
        {"the window destroyed", harness::destroyWindowTitled, 0,
         "The window was destroyed by another program"},
        {"the connection killed", harness::killClientOfWindowTitled, 1,
         "The connection to the X display was lost"},
    };
    for (const Loss& loss : losses)
    {
        SCOPED_TRACE(loss.name);
        GameFolder folder;
        putGame(folder, "");
        std::future<PlayerEnd> result =
            std::async(std::launch::async, [&folder] { return runToEnd(folder, "SDL_VIDEODRIVER=x11 "); });
        // Once the score is synced, as in the other endings.
        for (int i = 0; i < 600 && !std::filesystem::exists(folder.path + "/end_asked"); ++i)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(loss.act("Engine Test", 10.0));
        const PlayerEnd end = result.get();
        EXPECT_EQ(end.code, loss.code) << end.out;
        EXPECT_NE(end.diff.find("score: 7"), std::string::npos) << end.out;
        EXPECT_NE(end.out.find(loss.logged), std::string::npos) << end.out;
        if (loss.code == 0)
        {
            EXPECT_NE(end.out.find("VUMO destroyed"), std::string::npos) << end.out;
        }
        // A lost connection ends without the exit-time work where a sanitizer would turn what it found into
        // the exit status: what it reported is looked for in the output instead.
        EXPECT_EQ(end.out.find("Sanitizer:"), std::string::npos) << end.out;
        // The log of the run is whole in its file either way.
        EXPECT_NE(harness::readFile(folder.userFile("EngineTest", "game.log")).find(loss.logged),
                  std::string::npos);
    }
}

TEST(EndWithSave, AWindowAnotherProgramDestroysEndsThroughTheSave)
{
    if (std::system("command -v xvfb-run > /dev/null 2>&1") != 0)
    {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    // A folder of its own: the whole program may run beside this one test at the same time.
    const GameFolder scratch;
    const std::string log = scratch.path + "/window-destroyed.txt";
    const std::string run = "xvfb-run -a env -u SDL_VIDEODRIVER VUMO_WINDOW_DESTROY_RUN=1 " +
                            harness::ownCaseCommand("EndWithSave.AWindowDestroyedOrCutOffOnTheDisplay") +
                            " > '" + log + "' 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0) << harness::readFile(log);
}
