#include <cmath>
#include <cstdlib>

#include <lua.hpp>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Sound.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "objects/LoopSound.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    std::string littleEndian(unsigned int value, int bytes)
    {
        std::string out;
        for (int i = 0; i < bytes; ++i)
        {
            out += (char)((value >> (8 * i)) & 0xFF);
        }
        return out;
    }

    // A mono 16-bit sine of that many seconds.
    std::string sineWav(float seconds)
    {
        const int rate = 22050;
        const int frames = (int)(seconds * rate);
        std::string data;
        for (int i = 0; i < frames; ++i)
        {
            const short sample = (short)(8000.0 * std::sin(i * 2.0 * M_PI * 440.0 / rate));
            data += littleEndian((unsigned short)sample, 2);
        }
        const std::string fmt = "fmt " + littleEndian(16, 4) + littleEndian(1, 2) + littleEndian(1, 2) +
                                littleEndian(rate, 4) + littleEndian(rate * 2, 4) + littleEndian(2, 2) +
                                littleEndian(16, 2);
        const std::string body = "WAVE" + fmt + "data" + littleEndian(data.size(), 4) + data;
        return "RIFF" + littleEndian(body.size(), 4) + body;
    }

    int setProperty(lua_State* L)
    {
        LuaInterface::getObject(L, 1)->setProperty(LuaInterface::toString(L, 2),
                                                   LuaInterface::toString(L, 3));
        return 0;
    }

    // The code of every DelayedCall waiting under the UI's root.
    harray<hstring> deferredPlays()
    {
        harray<hstring> result;
        for (tesraui::Object* child : UI::getInstance()->getRootObject()->getChildren())
        {
            if (child->getClassName() == "DelayedCall")
            {
                auto* event = dynamic_cast<LuaInterface::LuaCallbackEvent*>(
                    child->getEvents().tryGet("callback", nullptr).get());
                result.push_back(event != nullptr ? event->code : hstring("?"));
            }
        }
        return result;
    }

    LoopSound::Entry* onlyEntry()
    {
        const auto& entries = LoopSound::getEntries();
        return entries.size() == 1 ? entries[0].get() : nullptr;
    }
} // namespace

// The engine with real audio on the null device: chapter c1 has the scenes a and b, a streamed music and
// a door sound; c2 has the scene d.
class Sound : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 160\n"
                                   "height: 120\naudio_mute: 0\nmaster_volume: 100\nfx_volume: 80\n"
                                   "music_volume: 100\nambient_volume: 100\nscene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/audio/music/music.wav", sineWav(3.0f));
        folder.put("data/chapters/c1/audio/fx/door.wav", sineWav(1.0f));
        folder.put("data/chapters/c1/scenes/a.scene", "loop = sound.addBackgroundSound('music')\n");
        folder.put("data/chapters/c1/scenes/b.scene", "loop = sound.addBackgroundSound('music')\n"
                                                      "test.setProperty(loop, 'gain', '0.5')\n");
        folder.put("data/chapters/c2/c2.datadef", "<Dataset/>");
        folder.put("data/chapters/c2/scenes/d.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        LuaInterface::registerFunction(setProperty, "test.setProperty");
    }

    void frames(int count, float timeDelta = 0.02f)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(timeDelta);
        }
    }

    std::string failure(const std::string& code) { return engine->failure(code); }
};

TEST_F(Sound, StartUpMakesTheCategoriesAndVolumesOfTheConfiguration)
{
    ASSERT_NE(yim::manager, nullptr);
    EXPECT_EQ(yim::manager->getName(), "OpenAL");
    EXPECT_TRUE(yim::manager->isThreaded());
    EXPECT_EQ(yim::manager->getCategory("fx")->getBufferMode(), yim::BufferMode::MANAGED);
    EXPECT_EQ(yim::manager->getCategory("music")->getBufferMode(), yim::BufferMode::STREAMED);
    EXPECT_FLOAT_EQ(yim::manager->getCategory("fx")->getGain(), 0.8f);
    // A missing key makes that category silent.
    EXPECT_FLOAT_EQ(yim::manager->getCategory("voice")->getGain(), 0.0f);
    EXPECT_FLOAT_EQ(yim::manager->getGlobalGain(), 1.0f);
    EXPECT_TRUE(yim::manager->hasSound("c1.music"));
    EXPECT_TRUE(yim::manager->hasSound("c1.door"));
}

TEST_F(Sound, TwoScenesWithOneLoopKeepItsPlayerAndSettleAtTheNewGain)
{
    frames(40);
    LoopSound::Entry* entry = onlyEntry();
    ASSERT_NE(entry, nullptr) << engine->logText();
    yim::Player* player = entry->player.get();
    EXPECT_TRUE(player->isPlaying());
    EXPECT_FLOAT_EQ(player->getGain(), 1.0f);

    Session::changeScene("b", 0.0f, "none");
    float lowest = 1.0f;
    for (int i = 0; i < 50; ++i)
    {
        engine->frame(0.02f);
        ASSERT_NE(onlyEntry(), nullptr);
        EXPECT_EQ(onlyEntry()->player.get(), player);
        EXPECT_TRUE(player->isPlaying());
        lowest = std::min(lowest, player->getGain());
    }
    // One frame of fading out at most, then down to the new gain.
    EXPECT_GE(lowest, 0.5f);
    EXPECT_FLOAT_EQ(player->getGain(), 0.5f);
    EXPECT_EQ(onlyEntry()->owner->getProperty("category"), "music");
    EXPECT_EQ(yim::manager->getPlayers().size(), 1);

    // Leaving the chapter with a fade lets it fade out, then the chapter's unload frees it.
    Session::changeScene("c2.d", 1.0f, "fade");
    engine->frame(0.02f);
    engine->frame(0.1f);
    EXPECT_LT(player->getGain(), 0.5f);
    frames(30, 0.1f);
    EXPECT_TRUE(LoopSound::getEntries().empty());
    EXPECT_FALSE(yim::manager->hasSound("c1.music"));
    EXPECT_EQ(yim::manager->getPlayers().size(), 0);
}

TEST_F(Sound, APausableLoopFallsAtTwoPerSecondWhilePausedAndComesBack)
{
    frames(40);
    LoopSound* loop = onlyEntry()->owner;
    loop->setProperty("pausable", "1");
    yim::Player* player = onlyEntry()->player.get();
    ASSERT_FLOAT_EQ(player->getGain(), 1.0f);
    Session::setPaused(true);
    engine->frame(0.1f);
    const float first = player->getGain();
    engine->frame(0.1f);
    EXPECT_NEAR(first - player->getGain(), 0.2f, 1e-4f);
    engine->frame(0.1f);
    EXPECT_NEAR(first - player->getGain(), 0.4f, 1e-4f);
    frames(10, 0.1f);
    EXPECT_FLOAT_EQ(player->getGain(), 0.0f);
    // A new gain while paused waits for the end of the pause.
    loop->setProperty("gain", "0.6");
    frames(2, 0.1f);
    EXPECT_FLOAT_EQ(player->getGain(), 0.0f);
    Session::setPaused(false);
    frames(10, 0.1f);
    EXPECT_FLOAT_EQ(player->getGain(), 0.6f);
}

TEST_F(Sound, FadeTimesAndTheirMends)
{
    LoopSound loop("l", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
    loop.setProperty("fadeTime", "2");
    EXPECT_FLOAT_EQ(loop.getProperty("fadeInTime").toFloat(), 2.0f);
    EXPECT_FLOAT_EQ(loop.getProperty("fadeOutTime").toFloat(), 2.0f);
    loop.setProperty("fadeInTime", "1");
    loop.setProperty("fadeOutTime", "3");
    EXPECT_FLOAT_EQ(loop.getProperty("fadeTime").toFloat(), 2.0f);
    EXPECT_EQ(loop.getProperty("category"), "");
    EXPECT_EQ(loop.getPropertyDescriptions()[0].name, "sound");
    EXPECT_EQ(loop.getPropertyDescriptions()[5].name, "gain");

    // Times of 0 or less are instant: no infinite speed turns the gain into NaN.
    frames(40);
    LoopSound* owner = onlyEntry()->owner;
    yim::Player* player = onlyEntry()->player.get();
    owner->setProperty("fadeOutTime", "0");
    Scene* scene = Session::getActiveScene();
    scene->getChapter()->destroyObject(owner);
    ASSERT_NE(onlyEntry(), nullptr);
    engine->frame(0.0f);
    engine->frame(0.0f);
    EXPECT_TRUE(LoopSound::getEntries().empty());

    LoopSound* instant = new LoopSound("instant", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
    instant->setProperty("fadeInTime", "-1");
    instant->setProperty("sound", "music");
    scene->attachObject(instant);
    frames(2);
    player = onlyEntry()->player.get();
    EXPECT_FLOAT_EQ(player->getGain(), 1.0f);
    // A negative time removes the chapter's loops at once, as 0 does.
    LoopSound::fadeOutAll("c1", -2.0f);
    EXPECT_TRUE(LoopSound::getEntries().empty());
    EXPECT_EQ(instant->getEntry(), nullptr);
    LoopSound::fadeOutAll("c1", 0.0f);
}

TEST_F(Sound, AnEmptySoundNeverPlaysAndAStartedOneKeepsItsSound)
{
    frames(2);
    Scene* scene = Session::getActiveScene();
    LoopSound* empty = new LoopSound("empty", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
    scene->attachObject(empty);
    LoopSound* emptied = new LoopSound("emptied", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
    emptied->setProperty("sound", "door");
    scene->attachObject(emptied);
    emptied->setProperty("sound", "");
    frames(2);
    EXPECT_EQ(LoopSound::getEntries().size(), 1);
    EXPECT_EQ(empty->getEntry(), nullptr);
    EXPECT_EQ(emptied->getEntry(), nullptr);

    LoopSound* loop = onlyEntry()->owner;
    loop->setProperty("sound", "door");
    frames(2);
    EXPECT_EQ(onlyEntry()->name, "c1.music");
    EXPECT_EQ(loop->getEntry(), onlyEntry());
}

TEST_F(Sound, AnUnknownSoundThrowsOnceThenDoesNothing)
{
    tesraui::Object parent("parent", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
    LoopSound* loop = new LoopSound("ghost", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
    loop->setProperty("sound", "c1.ghost");
    parent.addChild(loop);
    try
    {
        loop->update(0.02f);
        ADD_FAILURE() << "no exception";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(std::string(e.getMessage()).find("Audio Manager: Sound 'c1.ghost' does not exist!"),
                  std::string::npos);
    }
    loop->update(0.02f);
    EXPECT_TRUE(loop->setProperty("gain", "0.3"));
    EXPECT_EQ(loop->getProperty("category"), "");
    parent.removeChild(loop);
    delete loop;
    EXPECT_EQ(engine->logText().find("Error relieving"), std::string::npos);
}

TEST_F(Sound, TheSoundTable)
{
    frames(2);
    // A bare name is a sound of the active scene's chapter; its deferred play counts as playing at once.
    EXPECT_EQ(engine->lua("sound.exists('door')"), "true");
    EXPECT_EQ(engine->lua("sound.isPlaying('door')"), "false");
    LuaInterface::execute("sound.play('door')");
    EXPECT_EQ(engine->lua("sound.isPlaying('door')"), "true");
    EXPECT_FALSE(yim::manager->isAnyPlaying("c1.door"));
    const harray<hstring> calls = deferredPlays();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], "sound.play(\"c1.door\", 0.000000, true)");
    frames(3);
    EXPECT_TRUE(yim::manager->isAnyPlaying("c1.door"));
    EXPECT_TRUE(deferredPlays().empty());
    LuaInterface::execute("sound.stop('door')");
    EXPECT_EQ(engine->lua("sound.isPlaying('door')"), "false");
    // Played at once, nothing waits.
    LuaInterface::execute("sound.play('door', 0.5, true)");
    EXPECT_TRUE(deferredPlays().empty());
    EXPECT_TRUE(yim::manager->isAnyPlaying("c1.door"));
    LuaInterface::execute("sound.stop('door')");

    LuaInterface::execute("sound.setCategoryVolume('master', 0.5)");
    EXPECT_FLOAT_EQ(yim::manager->getGlobalGain(), 0.5f);
    EXPECT_FALSE(yim::manager->hasCategory("master"));
    EXPECT_EQ(engine->lua("sound.getCategoryVolume('master') == 0.5"), "true");
    LuaInterface::execute("sound.setCategoryVolume('fx', 0.25)");
    EXPECT_EQ(engine->lua("sound.getCategoryVolume('fx') == 0.25"), "true");
    EXPECT_NE(
        failure("sound.getCategoryVolume('bogus')").find("Audio Manager: Category 'bogus' does not exist!"),
        std::string::npos);
    EXPECT_EQ(engine->lua("sound.isEnabled()"), "true");

    EXPECT_EQ(engine->lua("sound.getBackgroundSounds()"), "music");
    // The scene's loop plays through a player of its own, which counts as much as one sound.play made.
    ASSERT_NE(onlyEntry(), nullptr);
    ASSERT_TRUE(onlyEntry()->player->isPlaying());
    EXPECT_EQ(engine->lua("sound.isPlaying('music')"), "true");
    EXPECT_EQ(engine->lua("sound.removeBackgroundSound('music')"), "1");
    EXPECT_EQ(engine->lua("sound.getBackgroundSounds()"), "<none>");
    // It fades out, then its player goes.
    for (float waited = 0.0f; !LoopSound::getEntries().empty() && waited < 30.0f; waited += 0.1f)
    {
        engine->frame(0.1f);
    }
    EXPECT_TRUE(LoopSound::getEntries().empty());
    EXPECT_EQ(engine->lua("sound.isPlaying('music')"), "false");
}

TEST_F(Sound, AVolumeThatIsNoNumberIsRefusedAndEveryGainStays)
{
    frames(2);
    ASSERT_NE(onlyEntry(), nullptr);
    LoopSound* owner = onlyEntry()->owner;
    const std::string loop = owner->getFullName();
    LuaInterface::execute("sound.setCategoryVolume('music', 0.5)");
    const std::pair<std::string, std::string> cases[] = {
        {"sound.setMasterVolume(0/0)", "sound.setMasterVolume failed, NaN/INF value passed as argument 1."},
        {"sound.setMasterVolume(-math.huge)",
         "sound.setMasterVolume failed, NaN/INF value passed as argument 1."},
        {"sound.setCategoryVolume('master', 0/0)",
         "sound.setCategoryVolume failed, NaN/INF value passed as argument 2."},
        {"sound.setCategoryVolume('music', math.huge)",
         "sound.setCategoryVolume failed, NaN/INF value passed as argument 2."},
        {"object.setProperty('" + loop + "', 'gain', 'nan')", "gain 'nan' is not a number"},
        {"object.setProperty('" + loop + "', 'gain', '1e99')", "gain '1e99' is not a number"}};
    for (const auto& c : cases)
    {
        EXPECT_NE(failure(c.first).find(c.second), std::string::npos) << c.first << ": " << failure(c.first);
    }
    EXPECT_EQ(engine->lua("sound.getMasterVolume() == 1 and sound.getCategoryVolume('music') == 0.5"),
              "true");
    EXPECT_EQ(owner->getProperty("gain"), hstring(1.0f));
    // The audio system itself keeps a gain that is no number out, whoever asks.
    yim::manager->setGlobalGain(NAN);
    yim::manager->getCategory("fx")->setGain(INFINITY);
    EXPECT_FLOAT_EQ(yim::manager->getGlobalGain(), 1.0f);
    EXPECT_FLOAT_EQ(yim::manager->getCategory("fx")->getGain(), 0.8f);
    EXPECT_EQ(engine->logCount("yim: WARNING: The gain of category 'fx' stays as it was"), 1u);

    // The music plays on at its gain.
    frames(10);
    ASSERT_NE(onlyEntry(), nullptr);
    EXPECT_TRUE(onlyEntry()->player->isPlaying());
    EXPECT_FLOAT_EQ(onlyEntry()->target, 1.0f);
    LuaInterface::execute("sound.setMasterVolume(0.25)");
    EXPECT_FLOAT_EQ(yim::manager->getGlobalGain(), 0.25f);
}

TEST(SoundConfiguration, AVolumeThatIsNoNumberIsNamedAndLeavesItsGain)
{
    GameFolder folder;
    folder.config("master_volume: nan\nfx_volume: 1e99\nmusic_volume: 50\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    Engine engine(folder);
    engine.start();
    EXPECT_FLOAT_EQ(yim::manager->getGlobalGain(), 1.0f);
    EXPECT_FLOAT_EQ(yim::manager->getCategory("fx")->getGain(), 1.0f);
    EXPECT_FLOAT_EQ(yim::manager->getCategory("music")->getGain(), 0.5f);
    EXPECT_EQ(
        engine.logCount("Configuration value master_volume: 'nan' is not a volume; the volume stays as it "
                        "was."),
        1u);
    EXPECT_EQ(engine.logCount("Configuration value fx_volume: '1e99' is not a volume"), 1u);
    engine.frame();
}

TEST_F(Sound, CleanMemoryAndLeavingAChapterFreeDecodedSounds)
{
    yim::Buffer* door = yim::manager->getSound("c1.door")->getBuffer();
    LuaInterface::execute("sound.play('door', 0, true)");
    EXPECT_TRUE(door->isLoaded());
    LuaInterface::execute("sound.stop('door')");
    LuaInterface::execute("sys.cleanMemory()");
    EXPECT_FALSE(door->isLoaded());

    // The ui chapter's sounds stay; its memory is cleared on leaving c1 too.
    folder.put("data/ui/audio/fx/tick.wav", sineWav(0.2f));
    ASSERT_TRUE(yim::manager->createSound("data/ui/audio/fx/tick.wav", "fx", "ui."));
    yim::Buffer* tick = yim::manager->getSound("ui.tick")->getBuffer();
    LuaInterface::execute("sound.play('ui.tick', 0, true)");
    LuaInterface::execute("sound.stop('ui.tick')");
    EXPECT_TRUE(tick->isLoaded());
    Session::changeScene("c2.d", 0.0f, "none");
    EXPECT_FALSE(tick->isLoaded());
    EXPECT_TRUE(yim::manager->hasSound("ui.tick"));
    EXPECT_FALSE(yim::manager->hasSound("c1.door"));
}

TEST_F(Sound, FocusLossSuspendsAndOnlyItsOwnSuspendIsResumedByFocus)
{
    frames(2);
    tesra::window->handleFocusChangeEvent(false);
    EXPECT_TRUE(yim::manager->isSuspended());
    // Without the focus the script cannot change it.
    EXPECT_EQ(engine->lua("sound.resume()"), "false");
    EXPECT_EQ(engine->lua("sound.suspend()"), "false");
    EXPECT_TRUE(yim::manager->isSuspended());
    tesra::window->handleFocusChangeEvent(true);
    EXPECT_FALSE(yim::manager->isSuspended());

    EXPECT_EQ(engine->lua("sound.suspend()"), "true");
    tesra::window->handleFocusChangeEvent(false);
    tesra::window->handleFocusChangeEvent(true);
    EXPECT_EQ(engine->lua("sound.isSuspended()"), "true");
    EXPECT_EQ(engine->lua("sound.resume()"), "true");
    EXPECT_FALSE(yim::manager->isSuspended());
}

TEST_F(Sound, ADeferredPlayQuotesItsNameAndWaitsOnceUnderTheErrorOverlay)
{
    folder.put("data/chapters/c1/audio/fx/say \"hi\" 100%s.wav", sineWav(1.0f));
    ASSERT_TRUE(yim::manager->createSound("data/chapters/c1/audio/fx/say \"hi\" 100%s.wav", "fx", "c1."));
    frames(2);
    LuaInterface::execute("name = 'say \"hi\" 100%s'; sound.play(name); sound.play(name)");
    EXPECT_EQ(deferredPlays().size(), 2);
    frames(3);
    EXPECT_TRUE(yim::manager->isAnyPlaying("c1.say \"hi\" 100%s")) << engine->logText();
    EXPECT_EQ(engine->logText().find("rror"), std::string::npos) << engine->logText();
    LuaInterface::execute("sound.stop(name)");
    EXPECT_EQ(engine->lua("sound.isPlaying(name)"), "false");

    // Under the overlay the play waits again, still as one name, and is not stuck once it went.
    UI::getInstance()->showErrorOverlay("a test's error");
    ASSERT_TRUE(UI::getInstance()->isErrorOverlayShown());
    LuaInterface::execute("sound.play('door')");
    frames(4);
    EXPECT_FALSE(yim::manager->isAnyPlaying("c1.door"));
    EXPECT_EQ(deferredPlays().size(), 1);
    EXPECT_EQ(engine->lua("sound.isPlaying('door')"), "true");
    UI::getInstance()->onErrorContinue(nullptr);
    frames(3);
    EXPECT_TRUE(yim::manager->isAnyPlaying("c1.door"));
    LuaInterface::execute("sound.stop('door')");
    EXPECT_EQ(engine->lua("sound.isPlaying('door')"), "false");
}

TEST(DemoSound, TheMeadowThemeLoopsOnAcrossItsScenesAndAClickClicks)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    GameFolder folder;
    folder.copyDemo();
    Engine engine(folder);
    engine.startDemo();
    for (int i = 0; i < 40; ++i)
    {
        engine.frame(0.02f);
    }
    ASSERT_EQ(yim::manager->getName(), "OpenAL");
    LoopSound::Entry* entry = onlyEntry();
    ASSERT_NE(entry, nullptr) << engine.logText();
    EXPECT_EQ(entry->name, "meadow.theme");
    yim::Player* player = entry->player.get();
    EXPECT_TRUE(player->isPlaying());
    EXPECT_TRUE(player->isLooping());
    EXPECT_FLOAT_EQ(player->getGain(), 1.0f);

    // The plays handed to the manager, counted as they are asked for: a 25 ms click may well have ended
    // before the test could ask whether it plays.
    LuaInterface::execute("plays = {}\nlocal play = sound.play\n"
                          "sound.play = function(...) local name, _, now = ...\n"
                          "if now then plays[#plays + 1] = name end\nreturn play(...) end\n");
    // The arrow at the end of the path leads to the sign.
    engine.clickObject(Session::getChapter("meadow")->tryGetObject("to_sign"));
    engine.frame(0.02f);
    engine.frame(0.02f);
    EXPECT_EQ(engine.lua("table.concat(plays, ' ')"), "ui.click");
    for (int i = 0; i < 20 && Session::getActiveScene()->getName() != "sign"; ++i)
    {
        engine.frame(0.1f);
    }
    ASSERT_EQ(Session::getActiveScene()->getName(), "sign");
    engine.frame(0.1f);
    ASSERT_NE(onlyEntry(), nullptr);
    EXPECT_EQ(onlyEntry()->player.get(), player);
    EXPECT_TRUE(player->isPlaying());
}
