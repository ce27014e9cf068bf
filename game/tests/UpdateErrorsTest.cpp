#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <tesra/Window.h>
#include <tesraui/Dataset.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "ActionMapTestGame.h"
#include "SessionState.h"
#include "Variables.h"
#include "objects/LoopSound.h"

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
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.02f);
        }
    }
    // Overlay reports (logged even while the overlay is up) that hold the text.
    int reports(const std::string& text)
    {
        const harness::Lines& lines = Engine::log();
        return (int)std::count_if(lines.begin(), lines.end(),
                                  [&](const std::string& line) {
                                      return line.rfind("scripting: Scripting Error: ", 0) == 0 &&
                                             line.find(text) != std::string::npos;
                                  });
    }
    bool overlayShown() { return UI::getInstance()->isErrorOverlayShown(); }
    void dismissOverlay()
    {
        tesraui::Object* button = UI::getUIDataset()->tryGetObject("vumo_ui_error_bg/continue");
        ASSERT_NE(button, nullptr);
        engine->clickObject(button);
        engine->frame();
        ASSERT_FALSE(overlayShown());
    }
};

// A button's hover check walks the tree under the cursor into the map on the first frame, before any
// input arrives.
TEST_F(UpdateErrors, ADamagedMapIsReportedOnceAndActsAsEmpty)
{
    actionmaptest::makeGame(folder);
    folder.put("data/chapters/room/action_maps/hall.amp", "TorvinAMPv3 but cut short");
    folder.put(
        "data/chapters/room/scenes/hall.scene",
        "scene.setBackground('0x000080')\n"
        "object.create('TextImageButton', 'button', nil, {x = 780, y = 580, w = 10, h = 10})\n"
        "layer = object.create('ActionMap', 'layer', nil, {x = 0, y = 0, w = 800, h = 600, file = 'hall'})\n"
        "_FF0000 = { function() note('red') end }\n");
    engine.reset(new Engine(folder));
    engine->start();
    frames(20);
    ASSERT_NE(Session::getActiveScene(), nullptr);
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(reports("hall.amp"), 1) << engine->logText();
    EXPECT_EQ(Engine::errorLines(), 1) << engine->logText();

    dismissOverlay();
    engine->mouse(tesra::Window::MOUSE_MOVE, 150, 150);
    frames(5);
    engine->mouse(tesra::Window::MOUSE_DOWN, 150, 150);
    engine->mouse(tesra::Window::MOUSE_UP, 150, 150);
    frames(5);
    EXPECT_EQ(engine->lua("table.concat(uiJournal, ',')"), "");
    tesraui::Object* layer = Session::getActiveChapter()->tryGetObject("layer");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->getProperty("colors"), "");
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(reports("hall.amp"), 1) << engine->logText();
    EXPECT_EQ(Engine::errorLines(), 1) << engine->logText();
}

// The engine with audio on the null device and a chapter c1 that has the sound "door" only.
class UpdateErrorsOfSounds : public UpdateErrors
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 160\n"
                                   "height: 120\naudio_mute: 0\nfx_volume: 100\nscene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        std::string data;
        for (int i = 0; i < 2205; ++i)
        {
            const short sample = (short)(8000.0 * std::sin(i * 0.1));
            data += std::string((const char*)&sample, 2);
        }
        const auto le = [](unsigned int value, int bytes)
        {
            std::string out;
            for (int i = 0; i < bytes; ++i)
            {
                out += (char)((value >> (8 * i)) & 0xFF);
            }
            return out;
        };
        const std::string body = "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(22050, 4) + le(44100, 4) +
                                 le(2, 2) + le(16, 2) + "data" + le(data.size(), 4) + data;
        folder.put("data/chapters/c1/audio/fx/door.wav", "RIFF" + le(body.size(), 4) + body);
    }
    void start(const std::string& scene)
    {
        folder.put("data/chapters/c1/scenes/a.scene", scene);
        engine.reset(new Engine(folder));
        engine->start();
        frames(20);
        ASSERT_NE(Session::getActiveScene(), nullptr);
        ASSERT_TRUE(yim::manager->hasSound("c1.door"));
    }
};

TEST_F(UpdateErrorsOfSounds, ALoopOfAMissingSoundIsReportedOnceAndStaysSilent)
{
    start("object.create('LoopSound', 'ghost', nil, {sound = 'ghost'})\n"
          "sound.addBackgroundSound('door')\n");
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(reports("Sound 'c1.ghost' does not exist!"), 1) << engine->logText();
    EXPECT_EQ(Engine::errorLines(), 1) << engine->logText();
    dismissOverlay();
    frames(20);
    // The good loop beside it plays; the bad one has nothing.
    ASSERT_EQ(LoopSound::getEntries().size(), 1);
    EXPECT_EQ(LoopSound::getEntries()[0]->name, "c1.door");
    tesraui::Object* ghost = Session::getActiveChapter()->tryGetObject("ghost");
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(ghost->getProperty("category"), "");
    EXPECT_EQ(static_cast<LoopSound*>(ghost)->getEntry(), nullptr);
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(Engine::errorLines(), 1) << engine->logText();
}

TEST_F(UpdateErrorsOfSounds, AddingABackgroundSoundTheChapterLacksRaisesAtTheCall)
{
    start("");
    for (const char* name : {"ghost", "c1.ghost"})
    {
        const std::string code = std::string("sound.addBackgroundSound('") + name + "')";
        const std::string text = engine->lua("select(2, pcall(function() " + code + " end))");
        EXPECT_NE(text.find("Unable to add background sound, sound 'c1.ghost' does not exist!"),
                  std::string::npos)
            << text;
    }
    EXPECT_EQ(engine->lua("sound.getBackgroundSounds()"), "<none>");
    frames(20);
    EXPECT_TRUE(LoopSound::getEntries().empty());
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
    // A name the chapter has still makes its loop.
    EXPECT_EQ(engine->lua("sound.addBackgroundSound('door') ~= nil"), "true");
    frames(5);
    EXPECT_EQ(LoopSound::getEntries().size(), 1);
}
