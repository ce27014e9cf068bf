#include <algorithm>
#include <cstdlib>

#include <tesra/Window.h>
#include <tesraui/Dataset.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "ActionMapTestGame.h"
#include "SessionState.h"
#include "Variables.h"
#include "objects/LoopSound.h"

using namespace vumo;

using harness::Engine;

// Hit tests and object updates that meet a damaged file or a missing sound: the game runs on, the overlay
// shows the problem and the log names it once; the object then acts as empty or silent.
class UpdateErrors : public harness::GameTest
{
protected:
    // Nothing of an engine started before in this process: its locked variables, its user folder and its
    // log lines.
    UpdateErrors()
    {
        VariableDictionary::getGlobal() = VariableDictionary();
        Session::forgetUserFolder();
        Engine::log().clear();
    }
    void startAndRun(int frames)
    {
        engine.reset(new Engine(folder));
        engine->start();
        for (int i = 0; i < frames; ++i)
        {
            engine->frame(0.02f);
        }
        ASSERT_NE(Session::getActiveScene(), nullptr);
    }
    // Overlay reports (logged even while the overlay is up) that hold the text.
    static int reports(const std::string& text)
    {
        return (int)std::count_if(Engine::log().begin(), Engine::log().end(),
                                  [&](const std::string& line) {
                                      return line.rfind("scripting: Scripting Error: ", 0) == 0 &&
                                             line.find(text) != std::string::npos;
                                  });
    }
    static bool overlayShown() { return UI::getInstance()->isErrorOverlayShown(); }
    void dismissOverlay()
    {
        engine->clickObject(UI::getUIDataset()->getObject("vumo_ui_error_bg/continue"));
        engine->frame();
        ASSERT_FALSE(overlayShown());
    }
};

TEST_F(UpdateErrors, ADamagedMapIsReportedOnceWhereverItIsFirstReadAndActsAsEmpty)
{
    actionmaptest::makeGame(folder);
    folder.put("data/chapters/room/action_maps/hall.amp", "TorvinAMPv3 but cut short");
    folder.put("data/chapters/room/action_maps/cellar.amp", "TorvinAMPv3 cut too");
    // A button's hover check walks the tree under the cursor into the map on the first frame, before any
    // input arrives.
    folder.put("data/chapters/room/scenes/hall.scene",
               "object.create('TextImageButton', 'button', nil, {x = 780, y = 580, w = 10, h = 10})\n"
               "object.create('ActionMap', 'layer', nil, {x = 0, y = 0, w = 800, h = 600, file = 'hall'})\n"
               "_FF0000 = { function() note('red') end }\n");
    startAndRun(20);
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(reports("hall.amp"), 1) << engine->logText();
    dismissOverlay();
    engine->mouse(tesra::Window::MOUSE_MOVE, 150, 150);
    engine->mouse(tesra::Window::MOUSE_DOWN, 150, 150);
    engine->mouse(tesra::Window::MOUSE_UP, 150, 150);
    engine->frame();
    EXPECT_EQ(engine->lua("table.concat(uiJournal, ',')"), "");
    EXPECT_EQ(Session::getActiveChapter()->getObject("layer")->getProperty("colors"), "");
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(Engine::errorLines(), 1) << engine->logText();

    // A layer made between two frames is first read by the hover check of a pointer move.
    LuaInterface::execute("object.create('ActionMap', 'lower', nil, {x = 0, y = 0, w = 800, h = 600, file = "
                          "'cellar'})");
    engine->mouse(tesra::Window::MOUSE_MOVE, 160, 160);
    engine->frame();
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(reports("cellar.amp"), 1) << engine->logText();
    EXPECT_EQ(Engine::errorLines(), 2) << engine->logText();
}

// With audio on the null device; chapter c1 has no sounds.
TEST_F(UpdateErrors, AMissingSoundIsReportedOnceAndItsLoopStaysSilent)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 160\n"
                               "height: 120\naudio_mute: 0\nfx_volume: 100\nscene: c1.a\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
    folder.put("data/chapters/c1/scenes/a.scene",
               "object.create('LoopSound', 'ghost', nil, {sound = 'ghost'})\n");
    startAndRun(20);
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(reports("Audio Manager: Sound 'c1.ghost' does not exist!"), 1) << engine->logText();
    dismissOverlay();
    for (int i = 0; i < 20; ++i)
    {
        engine->frame(0.02f);
    }
    EXPECT_TRUE(LoopSound::getEntries().empty());
    EXPECT_EQ(static_cast<LoopSound*>(Session::getActiveChapter()->getObject("ghost"))->getEntry(), nullptr);

    // A script that adds it as a background sound hears of it at its call, and no loop is made.
    for (const char* name : {"ghost", "c1.ghost"})
    {
        const std::string text =
            engine->lua(std::string("select(2, pcall(sound.addBackgroundSound, '") + name + "'))");
        EXPECT_NE(text.find("Unable to add background sound, sound 'c1.ghost' does not exist!"),
                  std::string::npos)
            << text;
    }
    EXPECT_EQ(engine->lua("select('#', sound.getBackgroundSounds())"), "1");
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(Engine::errorLines(), 1) << engine->logText();
}
