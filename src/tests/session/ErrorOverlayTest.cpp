#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "ui/ErrorOverlay.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

TEST(ErrorOverlayText, ATracebackIsSplitIntoErrorTraceAndContext)
{
    EXPECT_EQ(
        ErrorOverlay::formatMessage("[string]:1: bad\nstack traceback:\n\t[C]: in f\nContext: DialogItem\n"
                                    "C++ file: a.cpp"),
        "[x:1.3]<string>:1: bad[/x]\n\n[c:00FF00]STACK TRACE[/c]\n\t<C>: in f\n"
        "[c:00FF00]-----------------[/c]\n[c:FFFF00]Context:[/c] DialogItem\n[c:FFFF00]C++ file:[/c] a.cpp");
    EXPECT_EQ(ErrorOverlay::formatMessage("plain failure"), "plain failure");
    EXPECT_EQ(ErrorOverlay::formatMessage("bad\nContext: x"), "bad\n[c:FFFF00]Context:[/c] x");
    EXPECT_TRUE(ErrorOverlay::isWarning("x WARNING: y"));
    EXPECT_EQ(
        ErrorOverlay::formatMessage("WARNING: thin ice"),
        "thin ice\n[c:00FF00]-----------------[/c]\n[c:00FFFF]This is a 'Warning Error'. It's not a critical "
        "issue so it won't show up in a Release build, however you should treat it as seriously as any other "
        "error.[/c]");
}

namespace
{
    const char* const hooks = "journal = {}\n"
                              "function note(x) journal[#journal + 1] = x end\n"
                              "function ui.update(dt) note('update') end\n"
                              "function ui.OnKeyDown(k) note('key') end\n"
                              "function ui.OnPointerPressed() note('pressed') end\n"
                              "function ui.OnPointerReleased() note('released') end\n";
} // namespace

// An 800 by 600 window over a white UI, with a scene whose update writes the journal.
class ErrorOverlayShown : public harness::GameTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.put("cfg/vumo.cfg", "title: EngineTest\ntarget: pc\nwidth: 800\nheight: 600\naudio_mute: 1\n"
                                   "scene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", hooks);
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "function OnUpdate(dt) note('scene') end\n");
        engine.reset(new Engine(folder));
        engine->start();
        ui = UI::getInstance();
        tesraui::ImageBox* white = new tesraui::ImageBox("white", kavtypes::Rectangle(0, 0, 800, 600));
        ui->getDataset()->registerObjects(white);
        white->setImageByName("0xFFFFFF");
        white->setZOrder(-100);
        ui->getRootObject()->addChild(white);
        engine->frame();
        clear();
    }
    void clear() { LuaInterface::execute("journal = {}"); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    tesraui::Object* object(const hstring& name) { return ui->getDataset()->tryGetObject(name); }
    int countOverlayObjects()
    {
        int count = 0;
        for (const auto& pair : ui->getDataset()->getObjects())
        {
            count += pair.first.startsWith("vumo_ui_error_bg");
        }
        return count;
    }
    void click(const kavtypes::Rectangle& rect)
    {
        const float x = rect.x + rect.w / 2;
        const float y = rect.y + rect.h / 2;
        // Through the window's queue, as the platform delivers input, so that the cursor follows.
        for (auto type : {tesra::Window::MOUSE_MOVE, tesra::Window::MOUSE_DOWN, tesra::Window::MOUSE_UP})
        {
            tesra::window->queueMouseEvent(type, x, y, 1);
            tesra::window->checkEvents();
        }
        engine->frame();
    }
    ::testing::AssertionResult near(std::vector<int> pixel, int r, int g, int b, int tolerance = 1)
    {
        if (std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance &&
            std::abs(pixel[2] - b) <= tolerance)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << pixel[0] << "," << pixel[1] << "," << pixel[2];
    }
    // Pixels of the top 17 % that are clearly of the colour.
    int titlePixels(bool red, bool green, bool blue)
    {
        std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        int count = 0;
        for (int y = 0; y < shot->height * 17 / 100; ++y)
        {
            for (int x = 0; x < shot->width; ++x)
            {
                const unsigned char* p = shot->data.get() + (y * shot->width + x) * 4;
                count += ((p[0] > 160) == red && (p[1] > 160) == green && (p[2] > 160) == blue);
            }
        }
        return count;
    }
};

TEST_F(ErrorOverlayShown, APanelWithTitleTextAndTwoButtonsOverTheGame)
{
    ui->showErrorOverlay("Something failed");
    ASSERT_TRUE(ui->isErrorOverlayShown());
    engine->frame();
    EXPECT_TRUE(near(engine->pixel(400, 300), 80, 80, 80));
    EXPECT_GT(titlePixels(true, true, false), 20);
    EXPECT_EQ(titlePixels(false, true, true), 0);
    EXPECT_EQ(static_cast<tesraui::Label*>(object("vumo_ui_error_bg/title"))->getText(), "Scripting Error!");
    EXPECT_EQ(object("vumo_ui_error_bg/container"), nullptr);

    const kavtypes::Rectangle quit = object("vumo_ui_error_bg/quit")->getRect();
    const kavtypes::Rectangle goOn = object("vumo_ui_error_bg/continue")->getRect();
    EXPECT_FLOAT_EQ(quit.x + quit.w, 0.48f * 800);
    EXPECT_FLOAT_EQ(goOn.x, 0.52f * 800);
    EXPECT_FLOAT_EQ(quit.y, 600 - 1.5f * quit.h);
    EXPECT_EQ(quit.y, goOn.y);
    EXPECT_EQ(quit.w, goOn.w);
    EXPECT_GT(quit.w, 0.0f);
    EXPECT_LE(quit.w, 0.45f * 800);
    EXPECT_LE(quit.h, 0.17f * 600);
    const kavtypes::Rectangle label = object("vumo_ui_error_bg/label")->getRect();
    EXPECT_FLOAT_EQ(label.x, 40);
    EXPECT_FLOAT_EQ(label.y, 105);
    EXPECT_FLOAT_EQ(label.h, 0.82f * 600 - 1.5f * quit.h);
    // The buttons' half-transparent black darkens the panel.
    EXPECT_TRUE(near(engine->pixel((int)goOn.x + 2, (int)(goOn.y + goOn.h / 2)), 40, 40, 40, 2));

    // One overlay at a time: a second error is only logged.
    const int objects = countOverlayObjects();
    ui->showErrorOverlay("Second failure");
    EXPECT_EQ(countOverlayObjects(), objects);
    EXPECT_TRUE(inOrder(engine->logText(), {"scripting: Scripting Error: Something failed",
                                            "scripting: Scripting Error: Second failure"}));
}

TEST_F(ErrorOverlayShown, AWarningHasACyanTitle)
{
    ui->showErrorOverlay("WARNING: careful");
    engine->frame();
    EXPECT_EQ(static_cast<tesraui::Label*>(object("vumo_ui_error_bg/title"))->getText(), "Warning!");
    EXPECT_GT(titlePixels(false, true, true), 20);
    EXPECT_EQ(titlePixels(true, true, false), 0);
    EXPECT_TRUE(inOrder(engine->logText(), {"scripting: WARNING: careful"}));
}

TEST_F(ErrorOverlayShown, ALongTraceScrolls)
{
    std::string trace;
    for (int i = 0; i < 200; ++i)
    {
        trace += "\t[string \"x\"]:" + std::to_string(i) + ": in function 'f'\n";
    }
    ui->showErrorOverlay("deep\nstack traceback:\n" + trace + "Context: test");
    engine->frame();
    tesraui::Object* container = object("vumo_ui_error_bg/container");
    ASSERT_NE(container, nullptr);
    tesraui::Object* area = object("vumo_ui_error_bg/scrollarea");
    tesraui::Object* label = object("vumo_ui_error_bg/label");
    tesraui::Object* bar = object("vumo_ui_error_bg/scrollbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(label->getParent(), area);
    EXPECT_EQ(area->getParent(), container);
    EXPECT_EQ(label->getRect().y, 0);
    EXPECT_GT(area->getHeight(), container->getHeight());
    EXPECT_EQ(label->getHeight(), area->getHeight());
    EXPECT_EQ(bar->getRect(), kavtypes::Rectangle(container->getWidth(), 0, 8, container->getHeight()));
}

TEST_F(ErrorOverlayShown, WhileShownTheGameStandsStillUntilContinue)
{
    ui->showErrorOverlay("stop");
    engine->frame();
    engine->frame();
    const kavtypes::Rectangle goOn = object("vumo_ui_error_bg/continue")->getRect();
    ui->OnKeyDown(65);
    EXPECT_EQ(journal(), "");
    click(goOn);
    EXPECT_FALSE(ui->isErrorOverlayShown());
    EXPECT_EQ(countOverlayObjects(), 0);
    // The click went to the overlay's button only.
    EXPECT_EQ(journal().find("pressed"), std::string::npos) << journal();
    clear();
    engine->frame();
    EXPECT_EQ(journal(), "scene update");

    ui->showErrorOverlay("again");
    EXPECT_TRUE(ui->isErrorOverlayShown());
    EXPECT_NE(object("vumo_ui_error_bg/label"), nullptr);
}

TEST_F(ErrorOverlayShown, QuitGameEndsTheMainLoop)
{
    ui->showErrorOverlay("stop");
    engine->frame();
    EXPECT_TRUE(tesra::window->isRunning());
    click(object("vumo_ui_error_bg/quit")->getRect());
    EXPECT_FALSE(tesra::window->isRunning());
}

TEST_F(ErrorOverlayShown, AHookThatFailsShowsTheOverlayAndTheGameGoesOn)
{
    LuaInterface::execute("function ui.OnKeyDown(k) error('no keys today') end");
    EXPECT_TRUE(ui->OnKeyDown(65));
    EXPECT_TRUE(ui->isErrorOverlayShown());
    EXPECT_NE(static_cast<tesraui::Label*>(object("vumo_ui_error_bg/label"))->getText().find("no keys today"),
              std::string::npos);
}

TEST(ErrorOverlayAtStart, AFailingLoadingHookOfTheUIGivesTheSystemBox)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua",
               "function ui.OnBeginLoading(c) if c == 'ui' then error('no start') end end\n"
               "function ui.OnFinishLoading(c) end\n");
    Engine engine(folder);
    engine.start();
    EXPECT_TRUE(inOrder(engine.logText(), {"no start", "tesra: Message box 'Scripting Error!'"}));
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
}

TEST_F(ErrorOverlayShown, AnErrorValueHoldingANulShowsWhole)
{
    // From a hook, and from a function a delayed call runs.
    const std::pair<std::string, std::string> cases[] = {
        {"function ui.OnKeyDown(k) error('before\\0after') end", "before\\0after"},
        {"function ui.OnKeyDown(k) vumo.delayedCall(function() error('be\\0fore') end, 0) end", "be\\0fore"}};
    for (const auto& [code, shown] : cases)
    {
        LuaInterface::execute(code);
        EXPECT_TRUE(ui->OnKeyDown(65));
        for (int i = 0; i < 3 && !ui->isErrorOverlayShown(); ++i)
        {
            engine->frame();
        }
        ASSERT_TRUE(ui->isErrorOverlayShown()) << code;
        const hstring text = static_cast<tesraui::Label*>(object("vumo_ui_error_bg/label"))->getText();
        EXPECT_NE(text.find(shown), std::string::npos) << text;
        EXPECT_EQ(engine->logCount(shown), 1u) << engine->logText();
        ui->onErrorContinue(nullptr);
        engine->frame();
    }
    // What a script catches is still the value it raised.
    EXPECT_EQ(engine->lua("tostring(select(2, pcall(error, 'a\\0b')):find('a\\0b', 1, true) ~= nil)"),
              "true");
}
