#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "SessionFixture.h"
#include "Profile.h"
#include "SessionState.h"
#include "lua/Calls.h"
#include "Scene.h"
#include "Variables.h"
#include "ui/UI.h"
#include "ui/ZoomController.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    // Every hook of the table writes its name and its arguments with their Lua types into the journal.
    const char* const hooks =
        "journal = {}\n"
        "function note(name, ...)\n"
        "  local parts = {}\n"
        "  for i = 1, select('#', ...) do\n"
        "    local v = select(i, ...)\n"
        "    parts[#parts + 1] = tostring(v) .. ':' .. type(v)\n"
        "  end\n"
        "  journal[#journal + 1] = name .. '(' .. table.concat(parts, ',') .. ')'\n"
        "end\n"
        "for _, name in ipairs({'OnPointerPressed', 'OnAltPointerPressed', 'OnPointerReleased',\n"
        "    'OnAltPointerReleased', 'OnPointerCanceled', 'OnKeyDown', 'OnKeyUp', 'OnInputModeChanged',\n"
        "    'OnWindowSizeChanged', 'OnWindowClose', 'OnFocusChanged', 'OnBeginLoading', 'OnFinishLoading',\n"
        "    'OnUpdateLoading', 'OnAchievementUnlocked', 'OnUseItemFail', 'OnSceneResetting', "
        "'OnSceneReset',\n"
        "    'OnSceneTransitionBegan', 'OnSceneTransitionEnded', 'OnSceneActivating', 'OnSceneActivated',\n"
        "    'OnSceneChanged', 'OnGamePaused', 'OnGameUnpaused'}) do\n"
        "  ui[name] = function(...) note(name, ...) end\n"
        "end\n"
        "function ui.OnSceneChanging(...) note('OnSceneChanging', ...) return redirect end\n"
        "function ui.OnTouch(points)\n"
        "  local text = {}\n"
        "  for _, p in ipairs(points) do text[#text + 1] = p.x .. '/' .. p.y end\n"
        "  note('OnTouch', table.concat(text, ' '))\n"
        "  return touchResult\n"
        "end\n";

    std::string sceneScript(const std::string& name)
    {
        return "function OnPointerPressed() note('" + name +
               ".pressed') end\n"
               "function OnPointerReleased() note('" +
               name +
               ".released') end\n"
               "function OnAltPointerPressed(b) note('" +
               name +
               ".altPressed', b) end\n"
               "function OnAltPointerReleased(b) note('" +
               name + ".altReleased', b) end\n";
    }

    struct CountingZoom : public ZoomController
    {
        using ZoomController::ZoomController;
        int touches = 0;
        void onTouch(const harray<kavtypes::Vector2>&) override { ++this->touches; }
    };

    // A game's UI that resizes before its start is done and counts what reaches its zoom controller.
    class TestUI : public UI
    {
    public:
        TestUI()
        {
            auto counting = std::make_unique<CountingZoom>(*this);
            this->zoom = counting.get();
            this->zoomController = std::move(counting);
        }
        void load() override
        {
            UI::load();
            this->OnWindowSizeChanged(100.0f, 80.0f);
            this->OnWindowSizeChanged(120.0f, 90.0f);
            this->rootAfterEarlyResize = this->rootObject->getSize();
        }
        CountingZoom* zoom;
        kavtypes::Vector2 rootAfterEarlyResize;
    };

    UI* makeTestUI()
    {
        return new TestUI();
    }
} // namespace

// A game with a scene c1.a that fills the window and every hook defined.
class UIHooks : public harness::SessionTest
{
protected:
    TestUI* ui = nullptr;
    std::string startJournal;

    void SetUp() override
    {
        folder.config("scene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", hooks);
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", sceneScript("a"));
        folder.put("data/chapters/c1/scenes/b.scene", sceneScript("b"));
        folder.put("data/chapters/c1/scenes/c.scene", sceneScript("c"));
        ASSERT_NO_FATAL_FAILURE(startSession(&makeTestUI));
        ui = static_cast<TestUI*>(UI::getInstance());
        engine->frame();
        // The scene's root takes the pointer only where it has something to show.
        Session::getActiveScene()->getRootObject()->setImageByName("0xFFFFFF");
        engine->frame();
        startJournal = journal();
        clear();
    }
    void clear() { LuaInterface::execute("journal = {}"); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    // Moves the pointer there first, so that the UI tree knows what lies under it.
    void at(float x, float y)
    {
        tesra::window->queueMouseEvent(tesra::Window::MOUSE_MOVE, x, y, 0);
        tesra::window->checkEvents();
    }
    bool overlayShown() { return ui->isErrorOverlayShown(); }
    void dismissOverlay() { ui->onErrorContinue(nullptr); }
};

TEST_F(UIHooks, EveryHookGetsItsNameAndTypedArguments)
{
    at(80, 60);
    clear();
    ui->OnPointerPressed(80, 60, 1);
    ui->OnPointerReleased(80, 60, 1);
    EXPECT_EQ(journal(), "OnPointerPressed() a.pressed() OnPointerReleased() a.released()");

    clear();
    ui->OnKeyDown(65);
    ui->OnKeyUp(65);
    ui->OnPointerCanceled(4);
    ui->OnTouch({kavtypes::Vector2(1, 2), kavtypes::Vector2(3.5f, 4)});
    EXPECT_EQ(journal(), "OnKeyDown(65:number) OnKeyUp(65:number) OnPointerCanceled(4:number) "
                         "OnTouch(1/2 3.5/4:string)");

    clear();
    EXPECT_TRUE(ui->OnInputModeChanged(1));
    EXPECT_EQ(Session::getConfigValue("target"), "tablet");
    EXPECT_TRUE(ui->OnInputModeChanged(0));
    EXPECT_EQ(Session::getConfigValue("target"), "pc");
    EXPECT_TRUE(ui->OnInputModeChanged(2));
    EXPECT_TRUE(ui->OnInputModeChanged(7));
    ui->OnWindowSizeChanged(320, 240.5f);
    // The touch above is still down: losing the focus lifts it.
    ui->OnFocusChanged(false);
    ui->OnFocusChanged(true);
    EXPECT_FALSE(ui->OnWindowClose(true));
    EXPECT_EQ(journal(), "OnInputModeChanged(touch:string) OnInputModeChanged(mouse:string) "
                         "OnInputModeChanged(controller:string) OnWindowSizeChanged(320:number,240.5:number) "
                         "OnTouch(:string) OnFocusChanged(false:boolean) OnFocusChanged(true:boolean) "
                         "OnWindowClose()");
    EXPECT_TRUE(inOrder(engine->logText(), {"ui: ERROR: Trying to set non-supported input mode!"}));

    // Data with quotes and backslashes stays data.
    clear();
    ui->OnBeginLoading("it's");
    ui->OnUpdateLoading(0.25f);
    ui->OnFinishLoading("back\\slash");
    ui->OnAchievementUnlocked("'); os.exit(3) --");
    ui->OnSceneTransitionBegan("c1.b", "fade", 0.5f);
    ui->OnSceneTransitionEnded();
    EXPECT_EQ(journal(),
              "OnBeginLoading(it's:string) OnUpdateLoading(0.25:number) "
              "OnFinishLoading(back\\slash:string) OnAchievementUnlocked('); os.exit(3) --:string) "
              "OnSceneTransitionBegan(c1.b:string,fade:string,0.5:number) OnSceneTransitionEnded()");
    EXPECT_FALSE(overlayShown());

    clear();
    Session::setPaused(true);
    Session::setPaused(false);
    Session::getActiveScene()->reset();
    EXPECT_EQ(journal(), "OnGamePaused() OnGameUnpaused() OnSceneResetting() OnSceneActivating(c1.a:string) "
                         "OnSceneActivated(c1.a:string) OnSceneReset()");
}

TEST_F(UIHooks, ASceneChangeCanBeRedirectedAndTellsBothNames)
{
    LuaInterface::execute("redirect = 'c1.b'");
    Session::changeScene("c1.c", 0.0f, "");
    engine->frame();
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "c1.b");
    EXPECT_TRUE(
        inOrder(journal(), {"OnSceneChanging(c1.c:string,c1.a:string)", "OnSceneActivating(c1.b:string)",
                            "OnSceneActivated(c1.b:string)", "OnSceneChanged(c1.b:string,c1.a:string)"}))
        << journal();
    EXPECT_EQ(ui->getPreviousScene(), "c1.a");
}

TEST_F(UIHooks, AnyButtonButTheFirstStopsAtTheScene)
{
    at(80, 60);
    clear();
    EXPECT_FALSE(ui->OnPointerPressed(80, 60, 3));
    ui->OnPointerReleased(80, 60, 3);
    EXPECT_EQ(journal(),
              "OnAltPointerPressed(3:number) a.altPressed(3:number) OnAltPointerReleased(3:number) "
              "a.altReleased(3:number)");
}

TEST_F(UIHooks, AHeldItemIsDroppedDeselectedOrReportedAsAFailedUse)
{
    at(80, 60);
    // The second button only lets go of the item.
    ui->selectItem("key");
    clear();
    ui->OnPointerPressed(80, 60, 2);
    EXPECT_TRUE(ui->OnPointerReleased(80, 60, 2));
    EXPECT_EQ(ui->getSelectedItem(), "");
    EXPECT_EQ(journal().find("OnUseItemFail"), std::string::npos) << journal();

    // Dropped on the scene where nothing takes it: one failure hook, then the hand is empty.
    ui->selectItem("key");
    clear();
    ui->OnPointerPressed(80, 60, 1);
    ui->OnPointerReleased(80, 60, 1);
    EXPECT_EQ(ui->getSelectedItem(), "");
    EXPECT_EQ(journal(), "OnPointerPressed() a.pressed() OnPointerReleased() a.released() "
                         "OnUseItemFail(key:string)")
        << journal();

    // A handler that uses the item keeps the failure hook away.
    LuaInterface::registerFunction(
        [](lua_State*) -> int
        {
            UI::getInstance()->selectItem("");
            return 0;
        },
        "test.useItem");
    LuaInterface::execute("function ui.OnPointerReleased() note('OnPointerReleased') test.useItem() end");
    ui->selectItem("it's");
    clear();
    ui->OnPointerPressed(80, 60, 1);
    ui->OnPointerReleased(80, 60, 1);
    EXPECT_EQ(journal().find("OnUseItemFail"), std::string::npos) << journal();

    // Dropped on a UI object outside the scene that no item receiver holds: deselected, no hook.
    tesraui::ImageBox* panel = new tesraui::ImageBox("panel", kavtypes::Rectangle(0, 0, 40, 40));
    ui->getDataset()->registerObjects(panel);
    panel->setImageByName("0xFF0000");
    panel->setZOrder(10);
    ui->getRootObject()->addChild(panel);
    engine->frame();
    at(10, 10);
    ui->selectItem("key");
    clear();
    ui->OnPointerPressed(10, 10, 1);
    EXPECT_TRUE(ui->OnPointerReleased(10, 10, 1));
    EXPECT_EQ(ui->getSelectedItem(), "");
    EXPECT_EQ(journal().find("OnUseItemFail"), std::string::npos) << journal();
}

TEST_F(UIHooks, ResizesBeforeTheStartResizeTheRootAndCallTheHookOnceAtItsEnd)
{
    EXPECT_EQ(ui->rootAfterEarlyResize, kavtypes::Vector2(120, 90));
    // One deferred call, with the window's size, after the start's loading ended.
    EXPECT_TRUE(
        inOrder(startJournal, {"OnFinishLoading(ui:string)", "OnWindowSizeChanged(160:number,120:number)"}))
        << startJournal;
    EXPECT_EQ(startJournal.find("OnWindowSizeChanged"), startJournal.rfind("OnWindowSizeChanged"))
        << startJournal;
}

TEST_F(UIHooks, TheTouchHookCanStopTheZoomController)
{
    ui->OnTouch({kavtypes::Vector2(1, 1), kavtypes::Vector2(2, 2)});
    EXPECT_EQ(ui->zoom->touches, 1);
    LuaInterface::execute("touchResult = false");
    ui->OnTouch({kavtypes::Vector2(1, 1)});
    EXPECT_EQ(ui->zoom->touches, 1);
    LuaInterface::execute("touchResult = 0");
    ui->OnTouch({kavtypes::Vector2(1, 1)});
    EXPECT_EQ(ui->zoom->touches, 1);
    LuaInterface::execute("touchResult = true");
    ui->OnTouch({kavtypes::Vector2(1, 1)});
    EXPECT_EQ(ui->zoom->touches, 2);
}

TEST_F(UIHooks, AnInvalidIdiomOverrideIsReportedOnceAndRemoved)
{
    EXPECT_EQ(ui->getUIIdiom(), UI::IDIOM_PC);
    LuaInterface::execute("function ui.getUIIdiomOverride() return 'tablet' end");
    engine->frame();
    EXPECT_EQ(ui->getUIIdiom(), UI::IDIOM_TABLET);
    LuaInterface::execute("function ui.getUIIdiomOverride() return 'tv' end");
    engine->frame();
    EXPECT_EQ(ui->getUIIdiom(), UI::IDIOM_PC);
    EXPECT_TRUE(overlayShown());
    EXPECT_EQ(engine->lua("ui.getUIIdiomOverride"), "nil");
    EXPECT_TRUE(
        inOrder(engine->logText(),
                {"scripting: Scripting Error: ui.getUIIdiomOverride() returned invalid value 'tv', valid "
                 "values are 'pc', 'tablet' or 'mobile'."}));
    dismissOverlay();
    LuaInterface::execute("function ui.getUIIdiomOverride() end");
    engine->frame();
    EXPECT_EQ(ui->getUIIdiom(), UI::IDIOM_PC);
    EXPECT_TRUE(inOrder(engine->logText(), {"ui.getUIIdiomOverride() must return 1 string value."}));
    dismissOverlay();
    Session::setConfigValue("target", "");
    engine->frame();
    EXPECT_EQ(ui->getUIIdiom(), UI::IDIOM_MOBILE);
}

TEST_F(UIHooks, OneLoadingHookAloneRunsNeither)
{
    LuaInterface::execute("ui.OnFinishLoading = nil");
    clear();
    ui->OnBeginLoading("c1");
    ui->OnFinishLoading("c1");
    EXPECT_EQ(journal(), "");
    EXPECT_FALSE(ui->isLoading());
}

TEST_F(UIHooks, WhileLoadingInputIsDropped)
{
    ui->OnBeginLoading("c1");
    clear();
    EXPECT_FALSE(ui->OnPointerPressed(80, 60, 1));
    EXPECT_FALSE(ui->OnKeyDown(65));
    ui->OnTouch({kavtypes::Vector2(1, 1)});
    EXPECT_EQ(journal(), "");
    ui->OnFinishLoading("c1");
    EXPECT_TRUE(ui->OnKeyDown(65));
}

TEST_F(UIHooks, ADeveloperProfileNameInAnyCaseTurnsDebugModeOn)
{
    EXPECT_FALSE(ui->isDebugModeEnabled());
    Profile::changeProfile(Profile::create("Torvin_DEVS"));
    EXPECT_TRUE(ui->isDebugModeEnabled());
    Profile::changeProfile(Profile::create("Anna"));
    EXPECT_FALSE(ui->isDebugModeEnabled());
    Profile::changeProfile(Profile::create("VumoTester"));
    EXPECT_TRUE(ui->isDebugModeEnabled());
}

namespace
{
    // Profiles made in two places taken in turn, as an allocator may hand out a freed profile's place to the
    // next profile but one.
    struct PlacedProfile : public DummyProfile
    {
        explicit PlacedProfile(const hstring& name) : name(name) {}
        hstring getName() override { return this->name; }
        static void* operator new(size_t size);
        static void operator delete(void*) {}
        hstring name;
    };
    alignas(std::max_align_t) unsigned char places[2][sizeof(PlacedProfile)];
    int nextPlace = 0;
    void* PlacedProfile::operator new(size_t)
    {
        return places[nextPlace++ % 2];
    }
} // namespace

TEST_F(UIHooks, DebugModeFollowsADeveloperProfileAtTheAddressOfAnother)
{
    Session::setProfile(std::unique_ptr<Profile>(new PlacedProfile("alpha")));
    EXPECT_FALSE(ui->isDebugModeEnabled());
    Session::setProfile(std::unique_ptr<Profile>(new PlacedProfile("beta")));
    Session::setProfile(std::unique_ptr<Profile>(new PlacedProfile("VumoTester")));
    ASSERT_EQ(dynamic_cast<void*>(Session::getProfile()), (void*)places[0]);
    EXPECT_TRUE(ui->isDebugModeEnabled());
    Session::setProfile(std::unique_ptr<Profile>(new DummyProfile()));
}

// Without the hooks: the warnings the player's log gets, and the defaults.
class UIWithoutHooks : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset/>");
        engine.reset(new Engine(folder));
        engine->start();
    }
    int logCount(const std::string& text)
    {
        int count = 0;
        for (const std::string& line : Engine::log())
        {
            count += line.find(text) != std::string::npos;
        }
        return count;
    }
};

TEST_F(UIWithoutHooks, MissingHooksAreSkippedOrReported)
{
    UI* ui = UI::getInstance();
    EXPECT_FALSE(ui->OnInputModeChanged(1));
    EXPECT_TRUE(inOrder(engine->logText(),
                        {"ui: Input mode changed to 'touch'. Warning: Lua handler function not defined!"}));
    ui->OnAchievementUnlocked("x");
    EXPECT_EQ(logCount("ui: WARNING: Unlocked an achievement but unable to notify UI since lua function "
                       "ui.OnAchievementUnlocked() is not defined"),
              1);
    ui->OnWindowSizeChanged(320, 240);
    ui->OnWindowSizeChanged(320, 240);
    EXPECT_EQ(logCount("vumo: Ignoring ui.onWindowSizeChanged call, function not defined"), 1);
    // The window is 160 by 120: the root is scaled to it.
    EXPECT_EQ(ui->getRootObject()->getScale(), kavtypes::Vector2(160.0f / ui->getRootObject()->getWidth(),
                                                                 120.0f / ui->getRootObject()->getHeight()));
    EXPECT_TRUE(ui->OnWindowClose(true));
    EXPECT_EQ(ui->OnSceneChanging("c1.a"), "");
    EXPECT_FALSE(ui->isErrorOverlayShown());
}

TEST_F(UIWithoutHooks, FocusLossAndClosingSaveTheProfileAndAFailedSaveOnlyShowsTheOverlay)
{
    UI* ui = UI::getInstance();
    harness::createGameVariable("score", "0");
    VariableDictionary& variables = VariableDictionary::getGlobal();
    Profile::changeProfile(Profile::create("Anna"));
    const std::string diff = folder.userFile("EngineTest", "Anna/vars.diff");

    variables.get("score").setValue("5", true);
    ui->OnFocusChanged(false);
    ui->OnFocusChanged(true);
    EXPECT_NE(harness::readFile(diff).find("score: 5\n"), std::string::npos);

    {
        // A full disk: the save fails, the player sees why and plays on.
        const harness::FileFault full("write", diff, ENOSPC);
        variables.get("score").setValue("6", true);
        ui->OnFocusChanged(false);
        EXPECT_TRUE(ui->isErrorOverlayShown());
        EXPECT_EQ(logCount("Unable to save the profile: "), 2);
        EXPECT_EQ(harness::readFile(diff).find("score: 6\n"), std::string::npos);
        engine->frame();
        ui->onErrorContinue(nullptr);
    }

    // Closing without a close hook lets the game end, whose end saves, with the last frame's change.
    variables.get("score").setValue("7", true);
    EXPECT_TRUE(ui->OnWindowClose(true));
    engine->frame();
    variables.get("score").setValue("8", true);
    engine->stop();
    EXPECT_NE(harness::readFile(diff).find("score: 8\n"), std::string::npos);
}

TEST_F(UIHooks, AScriptedCursorIsBuiltForItsModeAndFollowsThePointer)
{
    LuaInterface::execute(
        "cursorMode = 'hand'\n"
        "function ui.getCursorMode() return cursorMode end\n"
        "function ui.createCursor(mode, cursor) note('create', mode, object.getProperty(cursor, 'name')) "
        "end\n"
        "function ui.destroyCursor(cursor) note('destroy', object.getProperty(cursor, 'name')) end\n");
    at(30, 40);
    engine->frame();
    ASSERT_NE(ui->getCursorObject(), nullptr);
    EXPECT_EQ(ui->getCursorMode(), "hand");
    EXPECT_EQ(ui->getCursorObject()->getZOrder(), 100000);
    EXPECT_TRUE(ui->getCursorObject()->isClickThrough());
    EXPECT_EQ(ui->getCursorObject()->getPosition(), kavtypes::Vector2(30, 40));
    engine->frame();
    LuaInterface::execute("cursorMode = 'talk'");
    engine->frame();
    // The hook left the old cursor standing: it is destroyed anyway.
    EXPECT_TRUE(inOrder(journal(), {"create(hand:string,vumo_cursor:string)", "destroy(vumo_cursor:string)",
                                    "create(talk:string,vumo_cursor:string)"}))
        << journal();
    EXPECT_EQ(journal().find("create", journal().find("talk") + 1), std::string::npos) << journal();

    // While it is the cursor it is the UI's: a script that destroys it gets an error and the cursor stays.
    const std::string refused = engine->luaOrError("object.destroy(object.getObject('ui.vumo_cursor'))");
    EXPECT_NE(
        refused.find("object.destroy: object 'ui.vumo_cursor' belongs to the engine (held by the UI as its "
                     "cursor) and cannot be destroyed"),
        std::string::npos)
        << refused;
    ASSERT_NE(ui->getCursorObject(), nullptr);
    engine->frame();
    // The hook that hears of its end may destroy it itself; the next mode builds a new one.
    LuaInterface::execute(
        "function ui.destroyCursor(cursor) note('destroy', object.getProperty(cursor, 'name')) "
        "object.destroy(cursor) end\n"
        "cursorMode = 'look'");
    engine->frame();
    ASSERT_NE(ui->getCursorObject(), nullptr);
    EXPECT_EQ(ui->getCursorMode(), "look");
    EXPECT_EQ(engine->lua("object.exists('ui.vumo_cursor')"), "true");
    EXPECT_FALSE(ui->isErrorOverlayShown()) << engine->logText();

    LuaInterface::execute("ui.createCursor = nil; cursorMode = 'wait'");
    engine->frame();
    EXPECT_EQ(ui->getCursorObject(), nullptr);
    EXPECT_TRUE(inOrder(engine->logText(),
                        {"Unable to create wait cursor UI, function ui.createCursor() doesn't exist."}));

    // A system cursor that does not exist is reported; no name hides the window's cursor.
    ui->onErrorContinue(nullptr);
    LuaInterface::execute("function ui.getCursorMode() return '', 'arrow' end");
    engine->frame();
    EXPECT_TRUE(inOrder(engine->logText(), {"Unable to set system cursor 'arrow', cursor not found."}));
    EXPECT_TRUE(tesra::window->isCursorVisible());
    LuaInterface::execute("function ui.getCursorMode() return '' end");
    engine->frame();
    EXPECT_TRUE(tesra::window->isCursorVisible());
}

TEST_F(UIHooks, AUiTableReplacedByANumberIsAScriptErrorWhereverAHookIsLookedUp)
{
    LuaInterface::execute("saved_ui = ui; ui = 5");
    // Every door that asks for a hook: the frame (the idiom, the cursor, the autosave's permission), input,
    // focus (which saves the profile), a scene change, closing.
    engine->frame();
    engine->frame();
    EXPECT_TRUE(overlayShown());
    EXPECT_NE(engine->logCount("Hook 'ui.getUIIdiomOverride' cannot be looked up"), 0u) << engine->logText();
    dismissOverlay();
    at(80, 60);
    ui->OnPointerPressed(80, 60, 1);
    ui->OnPointerReleased(80, 60, 1);
    ui->OnKeyDown(65);
    ui->OnTouch({kavtypes::Vector2(1, 1)});
    ui->OnInputModeChanged(0);
    ui->OnFocusChanged(false);
    ui->OnFocusChanged(true);
    Profile::changeProfile(Profile::create("Anna"));
    Session::getProfile()->saveToFile();
    EXPECT_NE(engine->logCount("Hook 'ui.canSaveGame' cannot be looked up"), 0u) << engine->logText();
    Session::changeScene("c1.b", 0.0f, "");
    engine->frame();
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "c1.b");
    EXPECT_TRUE(ui->OnWindowClose(false));
    EXPECT_NE(engine->logCount("Hook 'ui.OnSceneChanging' cannot be looked up"), 0u) << engine->logText();

    // The table back, the hooks run again.
    LuaInterface::execute("ui = saved_ui");
    dismissOverlay();
    engine->frame();
    clear();
    ui->OnKeyDown(65);
    EXPECT_EQ(journal(), "OnKeyDown(65:number)");
    EXPECT_FALSE(overlayShown());
}
