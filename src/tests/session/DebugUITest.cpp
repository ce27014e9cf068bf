#include <thread>

#include <fintu/Renderer.h>
#include <quortypes/Log.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>
#include <tesraui/tesraui.h>

#include "ActionMapTestGame.h"
#include "ConsoleInput.h"
#include "EngineHarness.h"
#include "SessionFixture.h"
#include "Inventory.h"
#include "Scene.h"
#include "SessionState.h"
#include "Variables.h"
#include "ui/DebugConsoleLog.h"
#include "ui/DebugCursor.h"
#include "ui/DebugUI.h"
#include "objects/LineObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    const char* const hooks = "journal = {}\n"
                              "function ui.OnKeyUp(k) journal[#journal + 1] = 'up' .. k end\n"
                              "function ui.OnTouch(points)\n"
                              "  local text = {}\n"
                              "  for _, p in ipairs(points) do text[#text + 1] = p.x .. '/' .. p.y end\n"
                              "  journal[#journal + 1] = 'touch(' .. table.concat(text, ' ') .. ')'\n"
                              "end\n";
} // namespace

// A 160 x 120 game with scene c1.a; debug mode on unless a test says otherwise.
class DebugTools : public harness::SessionTest
{
protected:
    UI* ui = nullptr;
    DebugUI* debug = nullptr;
    // The UI dataset; one with items draws them from "data/ui/items.png".
    std::string uiDataset = "<Dataset/>";

    void start(const std::string& extra = "debug_mode: 1\ndeveloper_mode: 1\n")
    {
        folder.config("scene: c1.a\n" + extra);
        std::filesystem::create_directories(folder.path + "/data/ui");
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/items.png");
        folder.put("data/ui/ui.dts", uiDataset);
        folder.put("data/lib/ui.lua", hooks);
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "");
        folder.put("data/chapters/c1/scenes/b.scene", "");
        ASSERT_NO_FATAL_FAILURE(startSession());
        ui = UI::getInstance();
        debug = ui->getDebugUI();
        engine->frame();
        engine->frame();
    }
    void key(int code)
    {
        ui->OnKeyDown(code);
        ui->OnKeyUp(code);
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    void clear() { LuaInterface::execute("journal = {}"); }
    void submit(const hstring& line) { harness::submitToConsole(*engine, debug, line); }
    std::string consoleText() { return std::string(debug->getConsoleLines().joined("\n").c_str()); }
};

TEST_F(DebugTools, WithoutDebugModeKeysReachTheGameAndNothingChanges)
{
    start("");
    const hstring title = tesra::window->getTitle();
    for (int code : {32, 9, 112, 18, 113, 116})
    {
        EXPECT_TRUE(ui->OnKeyDown(code)) << code;
        EXPECT_TRUE(ui->OnKeyUp(code)) << code;
    }
    ui->OnKeyDown(32);
    EXPECT_FLOAT_EQ(debug->getSpeedMultiplier(), 1.0f);
    ui->OnKeyDown(18);
    EXPECT_FALSE(debug->isAltPressed());
    EXPECT_FALSE(debug->isConsoleOpen());
    EXPECT_FALSE(DebugUI::isActionMapDebugEnabled());
    for (int i = 0; i < 20; ++i)
    {
        engine->frame(0.05f);
    }
    EXPECT_EQ(tesra::window->getTitle(), title);
    EXPECT_EQ(debug->getDebugCursorMode(), "");
    EXPECT_EQ(journal(), "up32 up9 up112 up18 up113 up116");
}

TEST_F(DebugTools, SpaceSpeedsTheGameUpCtrlSlowsItAndReleaseRestoresItAtOnce)
{
    start();
    ui->OnKeyDown(32);
    EXPECT_FLOAT_EQ(debug->getSpeedMultiplier(), 5.0f);
    EXPECT_FLOAT_EQ(debug->update(0.01f), 0.05f);
    ui->OnKeyDown(17);
    EXPECT_FLOAT_EQ(debug->getSpeedMultiplier(), 0.2f);
    ui->OnKeyUp(17);
    ui->OnKeyUp(32);
    EXPECT_FLOAT_EQ(debug->getSpeedMultiplier(), 1.0f);
    // An animation of the scene runs five times faster while Space is held.
    tesraui::Object* root = Session::getActiveScene()->getRootObject();
    root->moveX(100.0f, 10.0f);
    ui->OnKeyDown(32);
    engine->frame(0.02f);
    ui->OnKeyUp(32);
    EXPECT_NEAR(root->getX(), 100.0f, 0.01f);
    // Losing the focus lets go of every key: the very next frame runs at 1 x.
    ui->OnKeyDown(17);
    ui->OnKeyDown(32);
    ASSERT_FLOAT_EQ(debug->getSpeedMultiplier(), 0.2f);
    tesra::window->handleFocusChangeEvent(false);
    EXPECT_FLOAT_EQ(debug->update(0.01f), 0.01f);
    EXPECT_FALSE(debug->isSpacePressed());
    EXPECT_FALSE(debug->isCtrlPressed());
    tesra::window->handleFocusChangeEvent(true);
    ui->OnKeyDown(32);
    ASSERT_FLOAT_EQ(debug->getSpeedMultiplier(), 5.0f);
    // Even when the focus is back before the next frame.
    tesra::window->handleFocusChangeEvent(false);
    tesra::window->handleFocusChangeEvent(true);
    EXPECT_FLOAT_EQ(debug->getSpeedMultiplier(), 1.0f);
    EXPECT_FLOAT_EQ(debug->update(0.01f), 0.01f);
}

TEST_F(DebugTools, TheConsoleRunsLinesOnceShowsResultsAndErrorsAsWrittenAndKeepsTheGameOut)
{
    start();
    std::string history;
    for (int i = 0; i < 150; ++i)
    {
        history += "line" + std::to_string(i) + "\n";
    }
    std::filesystem::create_directories(folder.userFile("EngineTest", ""));
    folder.put(folder.userFile("EngineTest", "console.txt").substr(folder.path.size() + 1), history);
    key(9);
    ASSERT_TRUE(debug->isConsoleOpen());
    ASSERT_EQ(debug->getHistory().size(), 100);
    EXPECT_EQ(debug->getHistory()[0], "line50");
    const std::string kept = harness::readFile(folder.userFile("EngineTest", "console.txt"));
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 100);

    submit("1+1");
    EXPECT_NE(consoleText().find("[c:CCFF00][b]>>> 1+1[/b][/c]\n[c:FFFF00]2[/c]"), std::string::npos)
        << consoleText();
    submit("error(\"[x]\")");
    EXPECT_NE(consoleText().find(">>> error(\"<x>\")"), std::string::npos) << consoleText();
    EXPECT_NE(consoleText().find("[c:FF3F00][b]"), std::string::npos);
    EXPECT_NE(consoleText().find("<console>:1: <x>"), std::string::npos) << consoleText();
    EXPECT_FALSE(ui->isErrorOverlayShown());
    // The log has it too, for after the console has closed; the console does not show it a second time.
    EXPECT_NE(engine->logText().find("console: ERROR: 'error(\"[x]\")': <console>:1: <x>"), std::string::npos)
        << engine->logText();
    engine->frame();
    EXPECT_EQ(consoleText().find("]console]"), std::string::npos) << consoleText();
    // A statement failing while it runs runs once.
    submit("runs = (runs or 0) + 1; error('boom')");
    EXPECT_EQ(engine->lua("c1.a.runs or runs"), "1");
    submit("'[b]'");
    EXPECT_NE(consoleText().find("[c:FFFF00][]b][/c]"), std::string::npos) << consoleText();
    EXPECT_EQ(debug->getHistory().back(), "'[b]'");

    // A line logged on another thread shows up with its tag as written.
    std::thread([] { quortypes::Log::write("worker", "from [a] thread"); }).join();
    engine->frame();
    EXPECT_NE(consoleText().find("[]worker] from []a] thread"), std::string::npos) << consoleText();

    // F1 and Q reach neither the tree nor the hooks, and do not quit.
    clear();
    for (int code : {112, 81})
    {
        EXPECT_FALSE(ui->OnKeyDown(code));
        EXPECT_FALSE(ui->OnKeyUp(code));
    }
    EXPECT_TRUE(ui->OnKeyUp(13));
    EXPECT_FALSE(debug->isPanelVisible());
    EXPECT_TRUE(tesra::window->isRunning());
    EXPECT_EQ(journal(), "up13");

    key(9);
    for (int i = 0; i < 6; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_FALSE(debug->isConsoleOpen());
}

TEST_F(DebugTools, SlotsSaveNextToOtherFilesAndARefusedSlotChangesNothing)
{
    start();
    folder.put("abcde03.vars", "keep");
    folder.put("a.vars", "keep");
    folder.put("_slot03_c1.b.vars", "old");
    VariableDictionary::getGlobal().setLocked(false);
    VariableDictionary::getGlobal().create("score", "1");
    VariableDictionary::getGlobal().captureDefaults();
    VariableDictionary::getGlobal().setLocked(true);
    VariableDictionary::getGlobal()["score"].set("7");
    ASSERT_TRUE(debug->saveSlot(3));
    EXPECT_TRUE(std::filesystem::exists(folder.path + "/abcde03.vars"));
    EXPECT_TRUE(std::filesystem::exists(folder.path + "/a.vars"));
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/_slot03_c1.b.vars"));
    EXPECT_EQ(DebugUI::findSlotFile(3), "_slot03_c1.a.vars");
    EXPECT_TRUE(inOrder(engine->logText(), {"Slot 03 saved!"}));

    VariableDictionary::getGlobal()["score"].set("9");
    ASSERT_TRUE(debug->loadSlot(3));
    EXPECT_EQ(VariableDictionary::getGlobal()["score"].value(), "7");

    VariableDictionary::getGlobal()["score"].set("9");
    const std::string saved = harness::readFile(folder.path + "/_slot03_c1.a.vars");
    folder.put("_slot03_c1.a.vars", saved + "score: 100\n");
    EXPECT_FALSE(debug->loadSlot(3));
    EXPECT_EQ(VariableDictionary::getGlobal()["score"].value(), "9");
    EXPECT_FALSE(debug->loadSlot(4));
}

TEST_F(DebugTools, AltTurnsThePointerIntoMirroredTouchesAndReleaseEndsThem)
{
    start();
    ui->OnKeyDown(18);
    engine->frame();
    ASSERT_EQ(ui->getCursorMode(), "vumo_debug_multitouch_cursor");
    ASSERT_NE(MultiTouchDebugCursor::getInstance(), nullptr);
    clear();
    engine->mouse(tesra::Window::MOUSE_MOVE, 40, 30, 0);
    engine->mouse(tesra::Window::MOUSE_DOWN, 40, 30);
    EXPECT_EQ(journal(), "touch(40/30 120/90)");
    clear();
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 30, 0);
    EXPECT_EQ(journal(), "touch(50/30 110/90)");
    clear();
    engine->mouse(tesra::Window::MOUSE_UP, 50, 30);
    EXPECT_EQ(journal(), "touch()");
    // With Ctrl the centre is a third touch; letting Alt go mid-press ends the touch.
    ui->OnKeyDown(17);
    clear();
    engine->mouse(tesra::Window::MOUSE_DOWN, 50, 30);
    EXPECT_EQ(journal(), "touch(50/30 110/90 80/60)");
    clear();
    ui->OnKeyUp(18);
    engine->frame();
    EXPECT_EQ(journal(), "up18 touch()");
    EXPECT_EQ(MultiTouchDebugCursor::getInstance(), nullptr);
    engine->mouse(tesra::Window::MOUSE_UP, 50, 30);
}

TEST_F(DebugTools, FunctionKeysTitleAndFrameCounter)
{
    start("debug_mode: 1\nfps_counter: 1\n");
    key(116);
    EXPECT_TRUE(DebugUI::isActionMapDebugEnabled());
    key(116);
    EXPECT_FALSE(DebugUI::isActionMapDebugEnabled());
    const bool outlines = tesraui::isDebugEnabled();
    key(113);
    EXPECT_NE(tesraui::isDebugEnabled(), outlines);
    key(113);
    key(117);
    EXPECT_TRUE(inOrder(engine->logText(), {"DebugUI: Active Scene: c1.a"}));
    LuaInterface::execute("function ui.debugPrint(text) journal[#journal + 1] = text end");
    clear();
    key(117);
    EXPECT_EQ(journal(), "Active Scene: [c:FFCC00]c1.a[/c] up117");
    LuaInterface::execute("c1.a.mark = 1");
    key(119);
    // The reset waits for the next frame's start, as a script's does.
    EXPECT_EQ(engine->lua("c1.a.mark"), "1");
    engine->frame(0.05f);
    EXPECT_EQ(engine->lua("c1.a.mark"), "nil");

    Session::lockScene();
    Session::setPaused(true);
    for (int i = 0; i < 5; ++i)
    {
        engine->frame(0.05f);
    }
    const std::string title = tesra::window->getTitle().c_str();
    EXPECT_NE(title.find("Engine Test - c1.a"), std::string::npos) << title;
    EXPECT_NE(title.find(" x "), std::string::npos) << title;
    EXPECT_NE(title.find(" - SCENE LOCKED - PAUSED"), std::string::npos) << title;
    Session::setPaused(false);
    Session::unlockScene();

    // The counter's yellow shows somewhere in the top left corner.
    bool yellow = false;
    for (int y = 0; y < 20 && !yellow; ++y)
    {
        for (int x = 0; x < 30 && !yellow; ++x)
        {
            const std::vector<int> p = engine->pixel(x, y);
            yellow = (p[0] > 200 && p[1] > 150 && p[1] < 230 && p[2] < 60);
        }
    }
    EXPECT_TRUE(yellow);
}

TEST_F(DebugTools, PanelVariableButtonsCountAndResetTheScene)
{
    start();
    harness::createGameVariable("score", "1");
    DebugUI::registerVar("score");
    DebugUI::registerVar("score");
    EXPECT_EQ(DebugUI::getVarNames().size(), 1);
    key(112);
    ASSERT_TRUE(debug->isPanelVisible());
    tesraui::Object* button = UI::getUIDataset()->tryGetObject("debugui_var_button_0");
    ASSERT_NE(button, nullptr);
    EXPECT_NE(UI::getUIDataset()->tryGetObject("debugui_slot_03"), nullptr);
    LuaInterface::execute("c1.a.mark = 1");
    button->triggerEvent("Click", 1);
    engine->frame();
    EXPECT_EQ(VariableDictionary::getGlobal()["score"].value(), "2");
    EXPECT_EQ(engine->lua("c1.a.mark"), "nil");
    ui->OnKeyDown(17);
    button = UI::getUIDataset()->tryGetObject("debugui_var_button_0");
    if (button != nullptr)
    {
        button->triggerEvent("Click", 1);
        engine->frame();
        EXPECT_EQ(VariableDictionary::getGlobal()["score"].value(), "1");
    }
    ui->OnKeyUp(17);
    key(112);
    EXPECT_FALSE(debug->isPanelVisible());
}

TEST_F(DebugTools, LinesPileUpToABoundWhileNoConsoleShowsThem)
{
    start();
    for (int i = 0; i < 1500; ++i)
    {
        quortypes::Log::write("flood", "line " + hstring(i));
    }
    engine->frame();
    ASSERT_EQ(debug->getPendingLines().size(), 1000);
    EXPECT_NE(std::string(debug->getPendingLines().back().c_str()).find("line 1499"), std::string::npos);
    // Warnings and debug lines stay out of the console.
    quortypes::Log::warn("flood", "careful");
    engine->frame();
    EXPECT_EQ(std::string(debug->getPendingLines().back().c_str()).find("careful"), std::string::npos);
}

namespace
{
    // The red, green and blue of every pixel of the rectangle in the last frame.
    std::vector<int> shot(const kavtypes::Rectangle& rect)
    {
        std::unique_ptr<tesra::Image> image(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        std::vector<int> result;
        for (int y = (int)rect.y; y < (int)(rect.y + rect.h); ++y)
        {
            for (int x = (int)rect.x; x < (int)(rect.x + rect.w); ++x)
            {
                const unsigned char* p = image->data.get() + (y * image->width + x) * 4;
                result.insert(result.end(), {p[0], p[1], p[2]});
            }
        }
        return result;
    }

    int differences(const std::vector<int>& a, const std::vector<int>& b)
    {
        int count = 0;
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        {
            count += (std::abs(a[i] - b[i]) > 2 ? 1 : 0);
        }
        return count + (int)std::max(a.size(), b.size()) - (int)std::min(a.size(), b.size());
    }
} // namespace

TEST_F(DebugTools, TheLogShowsItsLastThousandLinesWhereTheWholeTextWouldShowThem)
{
    start("debug_mode: 1\nwidth: 480\nheight: 360\n");
    key(9);
    ASSERT_TRUE(debug->isConsoleOpen());
    for (int i = 0; i < 1100; ++i)
    {
        quortypes::Log::write("flood", "line " + hstring(i));
    }
    engine->frame();
    submit("'[b]' .. string.rep('wrapping words ', 12)");
    submit("'one\\ntwo\\n'");
    submit("''");
    submit("error('[x]')");
    quortypes::Log::write("tag", "[a] the last line");
    engine->frame();
    tesraui::Dataset* dataset = UI::getUIDataset();
    DebugConsoleLog* view =
        dynamic_cast<DebugConsoleLog*>(dataset->tryGetObject(hstring(DebugUI::consoleName) + "/log"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(debug->getConsoleLines().size(), 1000);
    EXPECT_EQ(view->getLineCount(), 1000);
    EXPECT_EQ(view->getProperty("text"), debug->getConsoleLines().joined("\n"));
    EXPECT_NE(consoleText().find("line 1099"), std::string::npos);
    EXPECT_EQ(consoleText().find("line 100\n"), std::string::npos) << "the oldest lines are gone";

    // The scroll bar keeps out of the comparison; it moves on its own.
    tesraui::Object* area = view->getParent();
    kavtypes::Rectangle window = area->getParent()->getBoundingRect();
    window.w -= 8.0f;
    std::vector<int> atEnd = shot(window);
    area->setY(0.0f);
    engine->frame();
    std::vector<int> atStart = shot(window);
    EXPECT_GT(differences(atEnd, atStart), 0);

    // The same lines joined in one plain label in the view's place.
    tesraui::Label* whole = new tesraui::Label("whole", view->getRect());
    whole->setFont(view->getFont());
    whole->setHorzFormatting(fintu::LEFT_WRAPPED);
    whole->setVertFormatting(fintu::BOTTOM);
    whole->setText(debug->getConsoleLines().joined("\n"));
    dataset->registerObjects(whole);
    area->addChild(whole);
    view->setVisible(false);
    engine->frame();
    EXPECT_EQ(differences(shot(window), atStart), 0);
    area->setY(area->getParent()->getHeight() - area->getHeight());
    engine->frame();
    EXPECT_EQ(differences(shot(window), atEnd), 0);
}

TEST_F(DebugTools, PanelItemButtonsAddRemoveAndWithShiftAddACopy)
{
    uiDataset =
        "<Dataset><Texture filename=\"items\"><Image name=\"key\" rect=\"0,0,8,8\"/></Texture></Dataset>";
    start();
    DebugUI::registerItem("key");
    DebugUI::registerItem("key");
    key(112);
    ASSERT_TRUE(debug->isPanelVisible());
    tesraui::Object* button = UI::getUIDataset()->tryGetObject("debugui_inv_button_0");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(UI::getUIDataset()->tryGetObject("debugui_inv_button_1"), nullptr);
    EXPECT_EQ(button->getProperty("text"), "[item] key");
    auto items = [] { return std::string(VariableDictionary::getGlobal()["items"].value().c_str()); };
    LuaInterface::execute("c1.a.mark = 1");
    engine->clickObject(button);
    engine->frame();
    EXPECT_EQ(items(), "key");
    EXPECT_EQ(engine->lua("c1.a.mark"), "nil") << "the scene was reset";
    LuaInterface::execute("c1.a.mark = 1");
    engine->clickObject(button);
    engine->frame();
    EXPECT_EQ(items(), "");
    EXPECT_EQ(engine->lua("c1.a.mark"), "nil");
    engine->clickObject(button);
    engine->frame();
    ui->OnKeyDown(16);
    engine->clickObject(button);
    engine->frame();
    ui->OnKeyUp(16);
    EXPECT_EQ(items(), "key,key");
    // Another button than the primary one neither adds nor removes.
    const kavtypes::Rectangle rect = button->getBoundingRect();
    engine->mouse(tesra::Window::MOUSE_DOWN, rect.x + rect.w / 2, rect.y + rect.h / 2, 3);
    engine->mouse(tesra::Window::MOUSE_UP, rect.x + rect.w / 2, rect.y + rect.h / 2, 3);
    engine->frame();
    EXPECT_EQ(items(), "key,key");
}

TEST_F(DebugTools, ASlotLoadRestoresTheVariablesAndGoesBackToTheSavedScene)
{
    start();
    VariableDictionary::getGlobal().setLocked(false);
    VariableDictionary::getGlobal().create("score", "1");
    VariableDictionary::getGlobal().captureDefaults();
    VariableDictionary::getGlobal().setLocked(true);
    VariableDictionary::getGlobal()["score"].set("7");
    key(112);
    ASSERT_TRUE(debug->isPanelVisible());
    tesraui::Dataset* dataset = UI::getUIDataset();
    EXPECT_EQ(dataset->tryGetObject("debugui_slot_02")->getProperty("text"), "slot_02 empty");
    engine->clickObject(dataset->tryGetObject("debugui_slot_save_02"));
    engine->frame();
    EXPECT_TRUE(std::filesystem::exists(folder.path + "/_slot02_c1.a.vars"));
    EXPECT_EQ(dataset->tryGetObject("debugui_slot_02")->getProperty("text"), "c1.a");

    Session::changeScene("c1.b", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("c1.b"));
    VariableDictionary::getGlobal()["score"].set("9");
    engine->clickObject(dataset->tryGetObject("debugui_slot_load_02"));
    ASSERT_TRUE(engine->settleAt("c1.a"));
    EXPECT_EQ(VariableDictionary::getGlobal()["score"].value(), "7");
    EXPECT_TRUE(inOrder(engine->logText(), {"Slot 02 saved!", "Slot 02 loaded!"}));
}

TEST_F(DebugTools, TheArrowCursorShowsWhileTheScriptingErrorOverlayIsUp)
{
    start();
    engine->mouse(tesra::Window::MOUSE_MOVE, 40, 30, 0);
    engine->frame();
    EXPECT_EQ(ui->getCursorMode(), "");
    ui->showErrorOverlay("broken");
    engine->frame();
    ASSERT_EQ(ui->getCursorMode(), "vumo_debug_cursor");
    tesraui::Container* cursor = ui->getCursorObject();
    ASSERT_NE(cursor, nullptr);
    ASSERT_EQ(cursor->getChildren().size(), 1);
    LineObject* arrow = dynamic_cast<LineObject*>(cursor->getChildren()[0]);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->getPoints().size(), 4);
    EXPECT_EQ(arrow->getRenderOperation(), tesra::RenderOperation::LINE_STRIP);
    EXPECT_FLOAT_EQ(cursor->getX(), 40.0f);
    EXPECT_FLOAT_EQ(cursor->getY(), 30.0f);
    ui->onErrorContinue(nullptr);
    engine->frame();
    EXPECT_EQ(ui->getCursorMode(), "");
    EXPECT_EQ(ui->getCursorObject(), nullptr);
}

// The hall of the action-map game in debug mode.
class DebugActionMaps : public harness::GameTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        actionmaptest::makeGame(folder, "debug_mode: 1\n");
        engine.reset(new Engine(folder));
        VariableDictionary::getGlobal() = VariableDictionary();
        engine->start();
        engine->frame();
        ui = UI::getInstance();
        ASSERT_NE(actionmaptest::findLayer(), nullptr);
    }
    void TearDown() override { DebugUI::setActionMapDebugEnabled(false); }
    void key(int code)
    {
        ui->OnKeyDown(code);
        ui->OnKeyUp(code);
    }
    std::string journal()
    {
        const std::string text = engine->lua("table.concat(uiJournal, ',')");
        LuaInterface::execute("uiJournal = {}");
        return text;
    }
    // A press and release, then frames enough that the next click is no double click.
    void click(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y, 0);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        for (int i = 0; i < 6; ++i)
        {
            engine->frame(0.1f);
        }
    }
    std::string ampPath() const { return folder.path + "/data/chapters/room/action_maps/hall.amp"; }
    // The centre of the region of that colour (0xRRGGBB) as the file holds it.
    std::pair<int, int> savedCentre(uint32_t rgb)
    {
        const ActionMap::Contents contents =
            ActionMap::parse(hstring(harness::readFile(ampPath())), hstring(ampPath()));
        for (const ActionMapRegion& region : contents.regions)
        {
            if (region.color == rgb << 8)
            {
                return {region.centerX, region.centerY};
            }
        }
        return {-1, -1};
    }
};

TEST_F(DebugActionMaps, CtrlCCopiesTheRegionColourUnderTheCursor)
{
    engine->mouse(tesra::Window::MOUSE_MOVE, 100, 100, 0);
    engine->frame();
    key(67);
    EXPECT_EQ(engine->logText().find("to system clipboard"), std::string::npos) << "C alone copies nothing";
    ui->OnKeyDown(17);
    key(67);
    EXPECT_TRUE(inOrder(engine->logText(), {"DebugUI: Copied _FF0000 to system clipboard."}))
        << engine->logText();
    LuaInterface::execute("function ui.debugPrint(text) note(text) end");
    journal();
    engine->mouse(tesra::Window::MOUSE_MOVE, 500, 200, 0);
    key(67);
    EXPECT_EQ(journal(), "Copied [c:FFCC00]_00FF00[/c] to system clipboard.");
    // Between the regions there is no colour.
    engine->mouse(tesra::Window::MOUSE_MOVE, 320, 320, 0);
    key(67);
    EXPECT_EQ(journal(), "Copied [c:FFCC00]_000000[/c] to system clipboard.");
    ui->OnKeyUp(17);
}

TEST_F(DebugActionMaps, CtrlReleaseWithTheMapShownMovesTheRegionCentreIntoTheFile)
{
    ASSERT_EQ(savedCentre(0xFF0000), std::make_pair(6, 6));
    // Without the map shown a Ctrl click is a click.
    ui->OnKeyDown(17);
    click(112, 212);
    EXPECT_EQ(journal(), "red");
    EXPECT_EQ(savedCentre(0xFF0000), std::make_pair(6, 6));

    key(116);
    ASSERT_TRUE(DebugUI::isActionMapDebugEnabled());
    click(112, 212);
    EXPECT_EQ(journal(), "") << "the release is the debug tools'";
    EXPECT_EQ(savedCentre(0xFF0000), std::make_pair(4, 8));
    EXPECT_EQ(savedCentre(0x00FF00), std::make_pair(18, 6)) << "other regions stay";
    // Over no region the release is an ordinary one.
    click(320, 320);
    EXPECT_EQ(savedCentre(0xFF0000), std::make_pair(4, 8));
    ui->OnKeyUp(17);
    // The layer goes on taking clicks.
    click(450, 150);
    EXPECT_EQ(journal(), "green");
}
