#include <functional>
#include <string>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// A run of boxes pauses the game until its last box closes: whatever a script does to a shown box or to the
// run, the game is never left paused behind no box, or behind a box without its button.
class MessageBoxHeld : public harness::GameTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.emptyGame();
        folder.put("data/lib/ui.lua", "journal = {}\n"
                                      "function note(x) journal[#journal + 1] = tostring(x) end\n"
                                      "function ui.OnGamePaused() note('paused') end\n"
                                      "function ui.OnGameUnpaused() note('unpaused') end\n");
        engine.reset(new Engine(folder));
        engine->start();
        ui = UI::getInstance();
        engine->frame();
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    void run(const std::string& code) { LuaInterface::execute(code); }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.1f);
        }
    }
    // The shown box's button made for that parameter, clicked as its Click event runs.
    bool clickButton(const hstring& parameter)
    {
        for (const auto& pair : ui->getDataset()->getObjects())
        {
            if (pair.first.startsWith("msgbox_" + parameter) && ui->getShownBox() != nullptr &&
                pair.second->isDescendantOf(ui->getShownBox()->boxObject))
            {
                pair.second->triggerEvent("Click", 0u);
                engine->frame();
                return true;
            }
        }
        return false;
    }
};

// Each way a script could take the shown box or its plain layout is refused naming the holder; the box stays
// shown over the paused game, and its button still closes it and ends the run.
TEST_F(MessageBoxHeld, TheShownBoxAndItsPartsAreRefusedToScriptsAndStillClose)
{
    const std::string holder =
        "belongs to the engine (held by the UI's message boxes) and cannot be destroyed";
    const struct
    {
        const char* what;
        // Run once the box shows, with BOX its full name; or, for a builder, the builder's body.
        std::string code;
        bool builder;
        // In the journal (what the code's pcall noted) or the log, with BOX its full name.
        std::string refusal;
    } rows[] = {
        {"the box", "object.destroy('BOX')", false, "object.destroy: object 'BOX' " + holder},
        {"a part of the plain box", "object.destroy('BOX/wnd_bg')", false,
         "object.destroy: object 'BOX/wnd_bg' is a part of 'BOX' and goes only with it"},
        {"the plain box's contents", "object.destroyChildren('BOX')", false,
         "object.destroyChildren: object 'BOX/wnd_bg' is a part of 'BOX' and goes only with it"},
        {"a destructor hung under the box", "object.create('ObjectDestructor', 'od', 'BOX', {delay = 0})",
         false, "ObjectDestructor: object 'BOX' " + holder + ", its deletion is not queued."},
        // The builder's pcall keeps its refusal from the overlay; having made nothing, the box gets the plain
        // layout.
        {"the box its builder was given", "object.destroy(box)", true,
         "object.destroy: object 'BOX' " + holder},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        run("journal = {}");
        const std::string attempt =
            "local ok, e = pcall(function() " + row.code + " end) note(ok and 'went through' or e)";
        run(row.builder ? "function ui.createMessageBox(box) " + attempt + " end"
                        : "ui.createMessageBox = nil");
        run("ui.messageBox{type = 'ask', text = '{%s} {Go on?}'}");
        engine->frame();
        ASSERT_TRUE(ui->isMessageBoxActive());
        const std::string box = ui->getShownBox()->boxObject->getFullName().c_str();
        const hstring name = ui->getShownBox()->boxObject->getName();
        const auto withBox = [&box](std::string text)
        {
            for (size_t at = text.find("BOX"); at != std::string::npos;
                 at = text.find("BOX", at + box.size()))
            {
                text.replace(at, 3, box);
            }
            return text;
        };
        if (!row.builder)
        {
            run(withBox(attempt));
        }
        frames(3);
        const std::string refusal = withBox(row.refusal);
        EXPECT_TRUE(journal().find(refusal) != std::string::npos || engine->logCount(refusal) == 1)
            << journal() << "\n"
            << engine->logText();
        EXPECT_TRUE(ui->isMessageBoxActive());
        EXPECT_TRUE(ui->getDataset()->hasObject(name));
        EXPECT_TRUE(Session::isPaused());
        ASSERT_TRUE(clickButton("ok_button"));
        EXPECT_FALSE(ui->isMessageBoxActive());
        EXPECT_FALSE(Session::isPaused());
        EXPECT_NE(journal().find("unpaused"), std::string::npos);
        frames(12);
        EXPECT_FALSE(ui->getDataset()->hasObject(name)) << "the closed box is let go as before";
    }
}

// Ends of a run that come before its first box: the run ends as any run ends, the game unpaused unless it
// was paused before, and a box queued meanwhile shows over a paused game. The engine's own frees taking a
// shown box count as its close.
TEST_F(MessageBoxHeld, ARunThatEndsBeforeItsFirstBoxUnpausesTheGame)
{
    const struct
    {
        const char* what;
        std::string pausedHook;
        std::function<void()> afterShown;
        const char* shown;
        bool paused;
        const char* journal;
    } rows[] = {
        {"ui.OnGamePaused clears the queue", "ui.clearQueuedMessageBoxes()", nullptr, "nil", false,
         "paused unpaused"},
        {"ui.OnGamePaused clears the queue and asks for another box",
         "ui.clearQueuedMessageBoxes() ui.messageBox{type = 'second'}", nullptr, "second", true, "paused"},
        {"ui.OnGamePaused cancels the box before it shows", "ui.cancelActiveMessageBox()", nullptr, "first",
         true, "paused"},
        {"the engine's frees take the shown box", "",
         [this]
         {
             tesraui::ImageBox* box = ui->getShownBox()->boxObject;
             box->getDataset()->destroyObject(box);
         },
         "nil", false, "paused unpaused"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        run("journal = {} once = true\n"
            "function ui.OnGamePaused() note('paused') if once then once = false " +
            row.pausedHook + " end end");
        run("ui.messageBox{type = 'first'}");
        engine->frame();
        if (row.afterShown)
        {
            ASSERT_TRUE(ui->isMessageBoxActive());
            row.afterShown();
        }
        frames(2);
        EXPECT_EQ(engine->lua("ui.getActiveMessageBoxType()"), row.shown);
        EXPECT_EQ(Session::isPaused(), row.paused);
        EXPECT_EQ(journal(), row.journal);
        run("ui.clearQueuedMessageBoxes()");
        EXPECT_FALSE(Session::isPaused());
        // The next box begins a run of its own.
        run("journal = {} ui.messageBox{type = 'next'}");
        engine->frame();
        EXPECT_TRUE(Session::isPaused());
        run("ui.cancelActiveMessageBox()");
        EXPECT_FALSE(Session::isPaused());
        EXPECT_EQ(journal(), "paused unpaused");
    }
}
