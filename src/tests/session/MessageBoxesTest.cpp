#include <climits>
#include <functional>
#include <string>
#include <utility>

#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>
#include <tesraui/TextImageButton.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "lua/Host.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    const char* const script = "journal = {}\n"
                               "function note(x) journal[#journal + 1] = tostring(x) end\n"
                               "function ui.OnGamePaused() note('paused') end\n"
                               "function ui.OnGameUnpaused() note('unpaused') end\n";
} // namespace

// An 800 by 600 window with a scene; boxes are asked for through the script table.
class MessageBoxes : public harness::GameTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.put("cfg/vumo.cfg", "title: EngineTest\ntarget: pc\nwidth: 800\nheight: 600\naudio_mute: 1\n"
                                   "scene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", script);
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "");
        folder.put("data/chapters/c1/scenes/b.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ui = UI::getInstance();
        engine->frame();
        clear();
    }
    void clear() { LuaInterface::execute("journal = {}"); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    std::string lua(const std::string& expression) { return engine->lua(expression); }
    void run(const std::string& code) { LuaInterface::execute(code); }
    std::string shown() { return lua("ui.getActiveMessageBoxType()"); }
    tesraui::Object* part(const hstring& suffix)
    {
        return ui->getDataset()->tryGetObject(ui->getShownBox()->boxObject->getName() + suffix);
    }
    tesraui::Object* buttonOf(const hstring& parameter)
    {
        for (const auto& pair : ui->getDataset()->getObjects())
        {
            if (pair.first.startsWith("msgbox_" + parameter) && ui->getShownBox() != nullptr &&
                pair.second->isDescendantOf(ui->getShownBox()->boxObject))
            {
                return pair.second;
            }
        }
        return nullptr;
    }
    void click(tesraui::Object* object)
    {
        const kavtypes::Rectangle rect = object->getBoundingRect();
        const float x = rect.x + rect.w / 2;
        const float y = rect.y + rect.h / 2;
        for (auto type : {tesra::Window::MOUSE_MOVE, tesra::Window::MOUSE_DOWN, tesra::Window::MOUSE_UP})
        {
            tesra::window->queueMouseEvent(type, x, y, 1);
            tesra::window->checkEvents();
        }
        engine->frame();
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.1f);
        }
    }
};

TEST_F(MessageBoxes, HigherPrioritiesFirstAndEqualOnesInTheirOrder)
{
    EXPECT_EQ(lua("ui.messageBox{type = 'p0', priority = 0}"), "true");
    run("ui.messageBox{type = 'p5a', priority = 5}; ui.messageBox{type = 'p5b', priority = '5'}");
    run("ui.messageBox{type = 'p1', priority = 1}");
    EXPECT_EQ(shown(), "nil");
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('')"), "4");
    std::string order;
    for (int i = 0; i < 4; ++i)
    {
        engine->frame();
        EXPECT_EQ(lua("ui.isMessageBoxActive()"), "true");
        EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('')"), std::to_string(4 - i));
        EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes(ui.getActiveMessageBoxType())"), "1");
        order += shown() + " ";
        run("ui.cancelActiveMessageBox()");
    }
    EXPECT_EQ(order, "p5a p5b p1 p0 ");
    // One pause for the whole run.
    EXPECT_EQ(journal(), "paused unpaused");
    EXPECT_EQ(shown(), "nil");
    EXPECT_EQ(lua("ui.messageBox{type = 'again'}"), "true");
}

TEST_F(MessageBoxes, AHigherBoxPushesTheShownOneBackWhichKeepsItsFunction)
{
    run("calls = 0\n"
        "ui.messageBox{type = 'low', priority = 1, text = '{%s} {low}',\n"
        "  go_button = function() calls = calls + 1; activeInCall = ui.isMessageBoxActive() end}");
    engine->frame();
    EXPECT_EQ(shown(), "low");
    // Only a strictly higher priority takes the place of the shown box.
    run("ui.messageBox{type = 'same', priority = 1}");
    EXPECT_EQ(shown(), "low");
    run("ui.clearQueuedMessageBoxes(); ui.messageBox{type = 'low', priority = 1, text = '{%s} {low}',\n"
        "  go_button = function() calls = calls + 1; activeInCall = ui.isMessageBoxActive() end}");
    engine->frame();
    EXPECT_EQ(lua("ui.messageBox{type = 'high', priority = 10}"), "false");
    // Replaced at once; the higher one comes with the next frame.
    EXPECT_EQ(shown(), "nil");
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('')"), "2");
    engine->frame();
    EXPECT_EQ(shown(), "high");
    click(buttonOf("ok_button"));
    engine->frame();
    ASSERT_EQ(shown(), "low");
    ASSERT_NE(buttonOf("go_button"), nullptr);
    EXPECT_EQ(static_cast<tesraui::TextImageButton*>(buttonOf("go_button"))->getText(), "go");
    click(buttonOf("go_button"));
    EXPECT_EQ(lua("calls"), "1");
    EXPECT_EQ(lua("activeInCall"), "false");
    EXPECT_EQ(journal(), "paused unpaused paused unpaused");
}

TEST_F(MessageBoxes, NoneDuringATransitionUnlessPausedAndTheGamesOwnPauseStays)
{
    Session::changeScene("c1.b", 1.0f, "fade");
    ASSERT_TRUE(Session::isTransitionRunning());
    run("ui.messageBox{type = 'wait'}");
    engine->frame(0.1f);
    EXPECT_EQ(shown(), "nil");
    Session::setPaused(true);
    engine->frame(0.1f);
    EXPECT_EQ(shown(), "wait");
    run("ui.cancelActiveMessageBox()");
    EXPECT_TRUE(Session::isPaused());
    EXPECT_EQ(journal(), "paused");
}

TEST_F(MessageBoxes, ATextOnlyBoxGetsTheDefaultLayoutAndAnOkButtonThatClosesIt)
{
    run("ui.messageBox{type = 'info', text = '{%s} {Hello}', ok_button = 'okActive = "
        "ui.isMessageBoxActive()'}");
    engine->frame();
    ASSERT_TRUE(ui->isMessageBoxActive());
    tesraui::Object* box = ui->getShownBox()->boxObject;
    EXPECT_EQ(box->getRect(), kavtypes::Rectangle(0, 0, 800, 600));
    EXPECT_EQ(box->getZOrder(), 1000);
    EXPECT_EQ(part("/wnd_bg")->getRect(), kavtypes::Rectangle(200, 150, 400, 300));
    EXPECT_EQ(part("/wnd")->getRect(), kavtypes::Rectangle(3.5f, 3.5f, 393, 293));
    EXPECT_EQ(part("/label")->getRect(), kavtypes::Rectangle(7, 7, 379, 223));
    tesraui::Object* ok = buttonOf("ok_button");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->getParent(), part("/wnd"));
    const kavtypes::Rectangle rect = ok->getRect();
    EXPECT_NEAR(rect.x, 25.95f, 0.001f);
    EXPECT_NEAR(rect.y, 240.5f, 0.001f);
    EXPECT_NEAR(rect.w, 341.1f, 0.001f);
    EXPECT_NEAR(rect.h, 42.0f, 0.001f);
    EXPECT_EQ(static_cast<tesraui::TextImageButton*>(ok)->getText(), "ok");
    const hstring name = box->getName();
    click(ok);
    // The button's code runs in the UI's environment, after the box is gone.
    EXPECT_EQ(lua("ui.okActive"), "false");
    EXPECT_FALSE(ui->isMessageBoxActive());
    EXPECT_FALSE(Session::isPaused());
    // The box fades out behind a click blocker and is gone a second later.
    EXPECT_TRUE(ui->getDataset()->hasObject(name + "/click_blocker"));
    frames(12);
    EXPECT_FALSE(ui->getDataset()->hasObject(name));
}

TEST_F(MessageBoxes, MissingTextAndButtonsGetTheirFixedReplacements)
{
    run("ui.messageBox{type = 'bare'}");
    engine->frame();
    EXPECT_EQ(static_cast<tesraui::Label*>(part("/label"))->getTextKey(),
              "{%s} {ERROR: MessageBox text not defined!}");
    EXPECT_NE(buttonOf("ok_button"), nullptr);
}

TEST_F(MessageBoxes, NoLuaValueOutlivesItsBox)
{
    run("weak = setmetatable({}, {__mode = 'v'})\n"
        "local f = function() end\n"
        "weak[1] = f\n"
        "ui.messageBox{type = 'w', priority = 1, text = '{%s} {x}', ok_button = f, data = {}}\n"
        "weak[2] = f\n"
        "f = nil");
    engine->frame();
    // Pushed back once by a higher box: the copy holds references of its own.
    run("ui.messageBox{type = 'top', priority = 2}");
    engine->frame();
    click(buttonOf("ok_button"));
    engine->frame();
    ASSERT_EQ(shown(), "w");
    run("collectgarbage('collect')");
    EXPECT_EQ(lua("weak[1] ~= nil"), "true");
    click(buttonOf("ok_button"));
    frames(12);
    run("collectgarbage('collect')");
    EXPECT_EQ(lua("weak[1] == nil and weak[2] == nil"), "true");
}

TEST_F(MessageBoxes, AScriptStringThatLooksLikeAReferenceStaysAString)
{
    run("keep = function() end\n"
        "ui.messageBox{type = 's', text = '$lua_ref:1', ok_button = '$lua_ref:2'}");
    EXPECT_FALSE(ui->getQueue()[0]->isReference("text"));
    EXPECT_EQ(UIMessageBoxManager::formatParams(*ui->getQueue()[0]),
              "ok_button: $lua_ref:2, text: $lua_ref:1");
    engine->frame();
    run("ui.clearQueuedMessageBoxes(); collectgarbage('collect')");
    EXPECT_EQ(lua("type(keep)"), "function");
}

TEST_F(MessageBoxes, ClearingEndsTheRunSoTheNextBoxPausesAgain)
{
    run("ui.messageBox{type = 'a'}; ui.messageBox{type = 'b'}");
    engine->frame();
    EXPECT_TRUE(Session::isPaused());
    run("ui.clearQueuedMessageBoxes()");
    EXPECT_FALSE(Session::isPaused());
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('')"), "0");
    run("ui.messageBox{type = 'c'}");
    engine->frame();
    EXPECT_EQ(shown(), "c");
    EXPECT_TRUE(Session::isPaused());
    EXPECT_EQ(journal(), "paused unpaused paused");
    // Without a run, clearing leaves the game's own pause alone.
    run("ui.cancelActiveMessageBox()");
    Session::setPaused(true);
    run("ui.clearQueuedMessageBoxes()");
    EXPECT_TRUE(Session::isPaused());
}

TEST_F(MessageBoxes, AScriptedBuilderGetsTheBoxAndItsParameters)
{
    run("function ui.createMessageBox(box, params)\n"
        "  seen = type(params.go_button) .. ' ' .. params.text .. ' ' .. params.count\n"
        "  object.assignEvent(object.create('TextImageButton', 'mine', box, {x = 0, y = 0, w = 10, h = 10}), "
        "'Click', 'built "
        "= true')\n"
        "end\n"
        "ui.messageBox{type = 'own', text = 'hi', count = 3, go_button = function() end}");
    engine->frame();
    EXPECT_EQ(lua("seen"), "function hi 3");
    EXPECT_FALSE(ui->isErrorOverlayShown());
}

TEST_F(MessageBoxes, ABuilderThatFailsOrMakesNothingLeavesTheDefaultLayout)
{
    run("function ui.createMessageBox(box, params) error('no boxes') end\n"
        "ui.messageBox{type = 'broken', text = 'hi', fn = print}");
    engine->frame();
    ASSERT_TRUE(ui->isMessageBoxActive());
    EXPECT_TRUE(ui->isErrorOverlayShown());
    EXPECT_TRUE(
        inOrder(engine->logText(), {"no boxes", "MessageBox: callback = ui.createMessageBox, params = fn: "
                                                "<function>, ok_button: , text: hi"}));
    ASSERT_NE(buttonOf("ok_button"), nullptr);
    EXPECT_NE(
        static_cast<tesraui::Label*>(part("/label"))->getTextKey().find("Unable to create Message Box!"),
        std::string::npos);
    ui->onErrorContinue(nullptr);
    click(buttonOf("ok_button"));
    EXPECT_FALSE(ui->isMessageBoxActive());
    EXPECT_FALSE(Session::isPaused());

    run("function ui.createMessageBox(box, params) end\n"
        "ui.messageBox{type = 'empty', text = 'hi'}");
    engine->frame();
    EXPECT_EQ(
        static_cast<tesraui::Label*>(part("/label"))->getTextKey(),
        "{%s} {ERROR: Unable to create Message Box!\ncreateMessageBox() exists but it didn't create any "
        "objects.\n\nParams:\nok_button: , text: hi}");
    EXPECT_FALSE(ui->isErrorOverlayShown());
}

// The box is the engine's from the moment it is made: the builder's destroy of it fails as any failing
// builder does, and the box stands with the plain layout, which closes it.
TEST_F(MessageBoxes, ABuilderThatDestroysItsBoxFailsAndTheBoxStillCloses)
{
    run("function ui.createMessageBox(box, params) object.destroy(box) end\n"
        "ui.messageBox{type = 'kept', text = 'hi'}");
    engine->frame();
    ASSERT_TRUE(ui->isMessageBoxActive());
    EXPECT_TRUE(ui->isErrorOverlayShown());
    EXPECT_TRUE(inOrder(engine->logText(), {"object.destroy: object 'ui.vumo_messagebox",
                                            "' belongs to the engine (held by the UI's message boxes)"}));
    EXPECT_TRUE(Session::isPaused());
    ui->onErrorContinue(nullptr);
    click(buttonOf("ok_button"));
    EXPECT_FALSE(ui->isMessageBoxActive());
    EXPECT_FALSE(Session::isPaused());
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('')"), "0");
}

TEST_F(MessageBoxes, ButtonCodeThatFailsShowsTheOverlay)
{
    // Code without a scene, as a box's button runs it.
    LuaInterface::getHost().executeInUI("error('button broke')");
    EXPECT_TRUE(ui->isErrorOverlayShown());
    EXPECT_TRUE(inOrder(engine->logText(), {"scripting: Scripting Error: ", "button broke"}));
}

// Screens the game or a library hangs on the root object at any z-order, one of them an empty container
// that only catches the pointer: the box is drawn over them and takes the clicks there, and the pointer
// stays over the box.
TEST_F(MessageBoxes, ABoxOverScreensAtAnyZOrderTakesItsClicksUnderThePointer)
{
    run("function ui.getCursorMode() return 'arrow' end\n"
        "function ui.createCursor(mode, cursor)\n"
        "  object.create('ImageBox', '', cursor, {x = 0, y = 0, w = 8, h = 8, image = '0xFF0000'})\n"
        "end");
    tesraui::Container* blocker = new tesraui::Container("screen_blocker", ui->getRootObject()->getRect());
    ui->getRootObject()->addChildAndRegister(blocker);
    blocker->setZOrder(100000);
    engine->frame();
    ASSERT_NE(ui->getCursorObject(), nullptr);
    EXPECT_GT(ui->getCursorObject()->getZOrder(), 100000) << "the pointer draws over the screen";
    run("answered = 0\nui.messageBox{type = 'ask', text = '{%s} {Go?}', yes_button = 'answered = answered + "
        "1'}");
    engine->frame();
    ASSERT_TRUE(ui->isMessageBoxActive());
    tesraui::Object* box = ui->getShownBox()->boxObject;
    EXPECT_GT(box->getZOrder(), 100000);
    // A screen put up while the box is shown goes under it by the next frame.
    tesraui::ImageBox* late = new tesraui::ImageBox("late_screen", ui->getRootObject()->getRect());
    ui->getRootObject()->addChildAndRegister(late);
    late->setImageByName("0x00FF00");
    late->setZOrder(box->getZOrder() + 5);
    engine->frame();
    EXPECT_GT(box->getZOrder(), late->getZOrder());
    ASSERT_NE(ui->getCursorObject(), nullptr);
    EXPECT_GT(ui->getCursorObject()->getZOrder(), box->getZOrder()) << "the pointer draws over the box";
    click(buttonOf("yes_button"));
    // The button's code runs in the UI's environment.
    EXPECT_EQ(lua("ui.answered"), "1");
    EXPECT_FALSE(ui->isMessageBoxActive());
    // Without screens above them, and once the answered box has faded, the engine's layers keep their
    // places.
    delete late;
    delete blocker;
    frames(12);
    run("ui.messageBox{type = 'again'}");
    engine->frame();
    ASSERT_TRUE(ui->isMessageBoxActive());
    EXPECT_EQ(ui->getShownBox()->boxObject->getZOrder(), 1000);
    EXPECT_EQ(ui->getCursorObject()->getZOrder(), 100000);
}

// Under a game screen at the greatest z-order, "highest + 1" overflowed: a sanitizer abort, or in a release
// build a box under the scene that no click could answer. The box and the pointer take that z-order and go
// after the screens that hold it, also ones raised to it or made while the box is shown.
TEST_F(MessageBoxes, OverAScreenAtTheGreatestZOrderTheBoxAndThePointerGoAfterIt)
{
    run("function ui.getCursorMode() return 'arrow' end\n"
        "function ui.createCursor(mode, cursor)\n"
        "  object.create('ImageBox', '', cursor, {x = 0, y = 0, w = 8, h = 8, image = '0xFF0000'})\n"
        "end\n"
        "object.create('ImageBox', 'top_screen', 'ui.root', {x = 0, y = 0, w = 800, h = 600, zorder = "
        "2147483647, image = '0x00FF00'})\n"
        "object.create('ImageBox', 'later_screen', 'ui.root', {x = 0, y = 0, w = 800, h = 600, image = "
        "'0x0000FF'})");
    engine->frame();
    run("answered = 0\nui.messageBox{type = 'ask', text = '{%s} {Go?}', yes_button = 'answered = answered + "
        "1'}");
    engine->frame();
    ASSERT_TRUE(ui->isMessageBoxActive());
    tesraui::Object* box = ui->getShownBox()->boxObject;
    // The children of the root at the greatest z-order, in drawing order.
    const auto order = [this, box]
    {
        std::string names;
        for (tesraui::Object* child : ui->getRootObject()->getChildren())
        {
            if (child->getZOrder() == INT_MAX)
            {
                names += (child == box                     ? "box"
                          : child == ui->getCursorObject() ? "pointer"
                                                           : child->getName());
                names += " ";
            }
        }
        return names;
    };
    EXPECT_EQ(order(), "top_screen box pointer ");
    // One raised to it, and one hung at it after the box and the pointer.
    run("object.setProperty('ui.later_screen', 'zorder', 2147483647)");
    tesraui::Container* hung = new tesraui::Container("hung_screen", ui->getRootObject()->getRect());
    hung->setZOrder(INT_MAX);
    ui->getRootObject()->addChildAndRegister(hung);
    EXPECT_EQ(order(), "later_screen top_screen box pointer hung_screen ");
    engine->frame();
    EXPECT_EQ(order(), "later_screen top_screen hung_screen box pointer ");
    EXPECT_EQ(box, ui->getShownBox()->boxObject);
    click(buttonOf("yes_button"));
    EXPECT_EQ(lua("ui.answered"), "1");
    EXPECT_FALSE(ui->isMessageBoxActive());
}

// The unpause that ends a run runs ui.OnGameUnpaused; a box that hook queues starts a run of its own, which
// pauses the game behind it again, however the run before it ended.
TEST_F(MessageBoxes, ABoxTheUnpauseQueuesPausesTheGameAgain)
{
    run("function ui.OnGameUnpaused()\n"
        "  note('unpaused')\n"
        "  if queueOnce then queueOnce = false; ui.messageBox{type = 'after', text = '{%s} {after}'} end\n"
        "end");
    const std::pair<const char*, std::function<void()>> ends[] = {
        {"its button", [this] { click(buttonOf("ok_button")); }},
        {"ui.cancelActiveMessageBox", [this] { run("ui.cancelActiveMessageBox()"); }},
        {"ui.clearQueuedMessageBoxes", [this] { run("ui.clearQueuedMessageBoxes()"); }},
        // Refused, the builder's destroy leaves the plain box and the overlay.
        {"a builder that destroys its box",
         [this]
         {
             ui->onErrorContinue(nullptr);
             click(buttonOf("ok_button"));
         }},
    };
    std::string seen;
    for (const auto& [how, end] : ends)
    {
        const bool builder = std::string(how).find("builder") != std::string::npos;
        run(builder ? "function ui.createMessageBox(box, params)\n"
                      "  if params.text == '{%s} {first}' then object.destroy(box) end\n"
                      "end"
                    : "ui.createMessageBox = nil");
        clear();
        run("queueOnce = true; ui.messageBox{type = 'first', text = '{%s} {first}'}");
        engine->frame();
        end();
        if (ui->isErrorOverlayShown())
        {
            ui->onErrorContinue(nullptr);
        }
        engine->frame();
        seen += std::string(how) + ": " + shown() +
                (Session::isPaused() ? " over a paused game, " : " over a running game, ") + journal() + "\n";
        run("ui.cancelActiveMessageBox()");
    }
    EXPECT_EQ(seen, "its button: after over a paused game, paused unpaused paused\n"
                    "ui.cancelActiveMessageBox: after over a paused game, paused unpaused paused\n"
                    "ui.clearQueuedMessageBoxes: after over a paused game, paused unpaused paused\n"
                    "a builder that destroys its box: after over a paused game, paused unpaused paused\n");
    EXPECT_FALSE(Session::isPaused());
}
