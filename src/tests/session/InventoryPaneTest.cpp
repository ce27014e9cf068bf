#include <cmath>
#include <filesystem>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ScrollArea.h>

#include "EngineHarness.h"
#include "Inventory.h"
#include "ItemPictures.h"
#include "Variables.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// A 640 by 480 window whose UI holds the pane "pane" (500 by 100 at the top left) and the item pictures
// a to g; the item hooks write a journal.
class InventoryPanes : public harness::GameTest
{
protected:
    void start(const std::string& objects = "")
    {
        folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 640\n"
                                   "height: 480\naudio_mute: 1\n");
        const std::string images = harness::putItemPictures(folder);
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/InventoryPane.png");
        folder.put("data/ui/ui.dts", "<Dataset><Texture filename='items'>" + images +
                                         "</Texture><Texture filename='InventoryPane'>"
                                         "<Image name='use_item_icon' rect='0,0,8,8'/>"
                                         "<Image name='combine_item_icon' rect='0,0,8,8'/></Texture>"
                                         "<Object type='InventoryPane' name='pane' rect='0,0,500,100'/>" +
                                         objects + "</Dataset>");
        folder.putJournal("function inv_use_item_a() note('used a') end\n"
                          "function inv_combine_a_and_b() note('a+b') end\n"
                          "function ui.OnUseItemFail(i) note('fail ' .. i) end\n");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(UI::getInstance(), nullptr) << engine->logText();
        pane = dynamic_cast<InventoryPane*>(UI::getUIDataset()->getObject("pane"));
        ASSERT_NE(pane, nullptr);
    }
    InventoryPane* pane = nullptr;
    InventoryPane* other(const char* name)
    {
        return dynamic_cast<InventoryPane*>(UI::getUIDataset()->getObject(name));
    }
    void setItems(const hstring& value) { VariableDictionary::getGlobal().get("items").set(value); }
    std::string journal()
    {
        const std::string text = engine->lua("table.concat(journal, '; ')");
        LuaInterface::execute("journal = {}");
        return text;
    }
    void frames(int count, float timeDelta = 0.05f)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(timeDelta);
        }
    }
    void click(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        frames(1);
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        frames(2);
    }
    std::string countLabel(const hstring& item)
    {
        tesraui::Object* label =
            UI::getUIDataset()->tryGetObject(pane->getProperty("itemObject:" + item) + "_cnt");
        return label != nullptr ? std::string(dynamic_cast<tesraui::Label*>(label)->getText()) : "none";
    }
    std::string held() { return UI::getInstance()->getSelectedItem(); }
};

TEST_F(InventoryPanes, CellsFillWholePagesCentredInThePane)
{
    start("<Object type='InventoryPane' name='p450' rect='0,200,450,100'/>"
          "<Object type='InventoryPane' name='p490' rect='0,300,490,100'/>"
          "<Object type='InventoryPane' name='flat' rect='0,400,300,0'/>"
          "<Object type='InventoryPane' name='narrow' rect='600,0,30,100'/>");
    struct Case
    {
        const char* name;
        float cell, page, x;
    };
    for (const Case& c : {Case{"pane", 100, 500, 0}, Case{"p450", 100, 400, 25}, Case{"p490", 100, 500, -5},
                          Case{"flat", 0, 0, 150}, Case{"narrow", 100, 0, 15}})
    {
        InventoryPane* p = other(c.name);
        EXPECT_EQ(p->getCellSize(), c.cell) << c.name;
        EXPECT_EQ(p->getPageWidth(), c.page) << c.name;
        EXPECT_EQ(p->getItemContainer()->getX(), c.x) << c.name;
        EXPECT_EQ(p->getItemContainer()->getWidth(), c.page) << c.name;
    }
    setItems("a,b,c,d,e,f");
    frames(2);
    EXPECT_EQ(pane->getProperty("numPages"), "2");
    EXPECT_EQ(pane->getProperty("itemPage:f"), "1");
    EXPECT_EQ(pane->getProperty("itemPage:g"), "-1");
    // Only the active pane follows the items; a resize lays another one out again.
    InventoryPane* p450 = other("p450");
    EXPECT_EQ(p450->getProperty("itemObject:a"), "");
    p450->setSize(450, 100);
    EXPECT_EQ(p450->getScrollArea()->getWidth(), 800.0f);
    EXPECT_EQ(p450->getProperty("numPages"), "2");
    // Not even one cell: no cells and no pages, and nothing is divided by zero.
    for (const char* name : {"flat", "narrow"})
    {
        InventoryPane* p = other(name);
        p->setSize(p->getWidth(), p->getHeight());
        p->setProperty("currentPage", "1");
        frames(1);
        EXPECT_EQ(p->getProperty("itemObject:a"), "") << name;
        EXPECT_EQ(p->getProperty("numPages"), "0") << name;
        EXPECT_EQ(p->getProperty("currentPage"), "0") << name;
        EXPECT_EQ(p->getProperty("itemPage:a"), "-1") << name;
        EXPECT_TRUE(std::isfinite(p->getScrollArea()->getX())) << name;
        EXPECT_EQ(p->getScrollArea()->getWidth(), 0.0f) << name;
    }
}

TEST_F(InventoryPanes, CountLabelsShowCopiesAndTheScriptCount)
{
    start();
    LuaInterface::execute("function item_c_count() return 5 end function item_d_count() return 5 end "
                          "function item_e_count() error('no count') end");
    setItems("a,b,a,c,a,c,d,e");
    EXPECT_EQ(countLabel("a"), "3");
    EXPECT_EQ(countLabel("b"), "none");
    EXPECT_EQ(countLabel("c"), "2/5");
    EXPECT_EQ(countLabel("d"), "1/5");
    EXPECT_EQ(countLabel("e"), "none");
    EXPECT_NE(engine->logText().find("Error executing item_e_count(): "), std::string::npos);
    tesraui::Object* label = UI::getUIDataset()->getObject(pane->getProperty("itemObject:a") + "_cnt");
    EXPECT_NEAR(label->getY(), 60.0f, 0.001f);
    EXPECT_NEAR(label->getHeight(), 40.0f, 0.001f);
    EXPECT_EQ(label->getWidth(), 100.0f);
    EXPECT_TRUE(label->isClickThrough());
    // Cells in the order of the first copies, one cell wide each.
    EXPECT_EQ(UI::getUIDataset()->getObject(pane->getProperty("itemObject:c"))->getX(), 200.0f);
}

// A count function whose error quotes a long text, asked again at every rebuild: one line of a few hundred
// bytes, the repeats counted.
TEST_F(InventoryPanes, ACountErrorIsLoggedCutAndOnce)
{
    start();
    LuaInterface::execute("function item_e_count() error(string.rep('x', 100000)) end");
    engine->log().clear();
    for (const char* items : {"e", "e,a", "e", "e,b", "e"})
    {
        setItems(items);
    }
    size_t bytes = 0;
    for (const std::string& line : engine->log())
    {
        bytes += line.size();
    }
    EXPECT_LT(bytes, 2000u) << engine->logText().substr(0, 2000);
    EXPECT_EQ(engine->logCount("ERROR: Error executing item_e_count(): "), 1u)
        << engine->logText().substr(0, 2000);
    EXPECT_EQ(engine->logCount(" bytes cut> ... "), 1u);
}

TEST_F(InventoryPanes, AClickUsesCombinesOrTakesTheItem)
{
    start();
    setItems("a,b");
    frames(1);
    click(50, 50);
    EXPECT_EQ(journal(), "used a");
    EXPECT_EQ(held(), "");

    UI::getInstance()->selectItem("a");
    click(150, 50);
    EXPECT_EQ(journal(), "a+b");
    EXPECT_EQ(held(), "");

    // Without a combination the held item fails on the other cell.
    setItems("a,b,c");
    UI::getInstance()->selectItem("c");
    click(50, 50);
    EXPECT_EQ(journal(), "fail c");
    EXPECT_EQ(held(), "");

    // With combination off a press on b takes it in place of a.
    pane->setProperty("allowItemCombination", "0");
    UI::getInstance()->selectItem("a");
    engine->mouse(tesra::Window::MOUSE_MOVE, 150, 50);
    engine->mouse(tesra::Window::MOUSE_DOWN, 150, 50);
    frames(10);
    EXPECT_EQ(held(), "b");
    engine->mouse(tesra::Window::MOUSE_UP, 150, 50);
    frames(2);
    EXPECT_EQ(journal(), "");
}

TEST_F(InventoryPanes, APressHeldForTheDelayStartsADrag)
{
    start();
    setItems("a,b");
    frames(1);
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
    engine->mouse(tesra::Window::MOUSE_DOWN, 50, 50);
    frames(1, 0.01f);
    frames(3, 0.1f);
    EXPECT_EQ(pane->getProperty("dragAndDropActive"), "0");
    EXPECT_EQ(held(), "");
    frames(1, 0.1f);
    EXPECT_EQ(pane->getProperty("dragAndDropActive"), "1");
    // The press reaches the cell, whose handler runs with the next frame's events.
    frames(1, 0.01f);
    EXPECT_EQ(held(), "a");
    engine->mouse(tesra::Window::MOUSE_UP, 50, 50);
    frames(2);
    EXPECT_EQ(pane->getProperty("dragAndDropActive"), "0");
    EXPECT_EQ(journal(), "");
}

TEST_F(InventoryPanes, PropertiesKeepTheirFormatsAndRanges)
{
    start();
    EXPECT_EQ(pane->getProperty("countLabelRect"), "0.000000,0.600000,1.000000,0.400000");
    EXPECT_EQ(
        harness::Lines({pane->getProperty("scrollarea"), pane->getProperty("itemContainer"),
                        pane->getProperty("selector"), pane->getProperty("selected_selector")}),
        harness::Lines({"pane/scrollarea", "pane/container", "pane/selector", "pane/selected_selector"}));
    try
    {
        pane->setProperty("countLabelRect", "1,2,3");
        ADD_FAILURE() << "nothing thrown";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_EQ(
            std::string(e.getMessage()),
            "[ObjectInventoryPane:870] InventoryPane: invalid countLabelRect property format, expecting "
            "'%f,%f,%f,%f', got: 1,2,3");
    }
    pane->setProperty("countLabelRect", "0.5,0.25,0.5,0.75");
    EXPECT_EQ(pane->getProperty("countLabelRect"), "0.500000,0.250000,0.500000,0.750000");
    EXPECT_TRUE(pane->setProperty("dragAndDropPanningTreshold", "1.5"));
    EXPECT_EQ(pane->getProperty("dragAndDropPanningTreshold").toFloat(), 0.1f);
    pane->setProperty("dragAndDropPanningTreshold", "0.2");
    EXPECT_EQ(pane->getProperty("dragAndDropPanningTreshold").toFloat(), 0.2f);
    EXPECT_EQ(pane->getProperty("dragAndDropPanningTresholdBottom").toFloat(), 0.2f);
    pane->setProperty("dragAndDropPanningTresholdLeft", "0.6");
    EXPECT_EQ(pane->getProperty("dragAndDropPanningTreshold").toFloat(), 0.3f);
    EXPECT_EQ(pane->getProperty("dragAndDropActive"), "0");
    EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "0");
    // Dataset XML sets them too.
    EXPECT_EQ(engine->lua("object.getProperty and 'ok' or 'ok'"), "ok");
}

TEST_F(InventoryPanes, AnAddedItemShowsItsCellAndPageAtOnce)
{
    start("<Object type='InventoryPane' name='small' rect='0,300,150,50'/>");
    setItems("a,b,c,d,e");
    frames(1);
    EXPECT_EQ(pane->getProperty("numPages"), "1");
    LuaInterface::execute("inventory.addItem('f')");
    EXPECT_NE(pane->getProperty("itemObject:f"), "");
    EXPECT_EQ(pane->getProperty("numPages"), "2");
    EXPECT_TRUE(pane->getScrollArea()->isScrolling());
    frames(40);
    EXPECT_EQ(pane->getProperty("currentPage"), "1");
    pane->setProperty("currentPage", "0");
    frames(40);
    EXPECT_EQ(pane->getProperty("currentPage"), "0");
    // With three pages, page 1 lies in the middle.
    setItems("a,b,c,d,e,f,g");
    InventoryPane* small = other("small");
    small->setSize(150, 50);
    frames(1);
    small->setProperty("currentPage", "1");
    frames(60);
    EXPECT_EQ(small->getProperty("numPages"), "3");
    EXPECT_EQ(small->getScrollArea()->getX(), -150.0f);
    small->setProperty("currentPage", "2");
    frames(60);
    EXPECT_EQ(small->getScrollArea()->getX(), -300.0f);
    // Out of range: nothing moves.
    pane->setProperty("currentPage", "2");
    EXPECT_FALSE(pane->getScrollArea()->isScrolling());
}

TEST_F(InventoryPanes, DestroyingAnotherPaneLeavesTheActiveOneFollowingTheItems)
{
    start("<Object type='InventoryPane' name='second' rect='0,200,500,100'/>");
    EXPECT_EQ(InventoryPane::getActive(), pane);
    UI::getUIDataset()->destroyObject("second");
    EXPECT_EQ(InventoryPane::getActive(), pane);
    setItems("a,g");
    EXPECT_NE(pane->getProperty("itemObject:g"), "");
    EXPECT_EQ(pane->getProperty("itemObject:b"), "");
}

TEST_F(InventoryPanes, BulletsAndArrowsFollowThePages)
{
    start("<Object type='Container' name='bullets' rect='0,150,200,20'>"
          "<Object type='ImageButton' name='bullets/bullet0' rect='0,0,20,20' image='0x00FF00' "
          "pushed_image='0x0000FF'/>"
          "<Object type='ImageButton' name='bullets/bullet1' rect='20,0,20,20' image='0x00FF00'/>"
          "<Object type='ImageButton' name='bullets/bullet2' rect='40,0,20,20' image='0x00FF00'/>"
          "<Object type='ImageButton' name='bullets/left' rect='100,0,20,20' image='0xFF0000'/>"
          "<Object type='ImageButton' name='bullets/right' rect='140,0,20,20' image='0xFF0000'/>"
          "</Object>");
    tesraui::Dataset* ui = UI::getUIDataset();
    auto bullet = [&](int i)
    { return dynamic_cast<tesraui::ImageButton*>(ui->getObject("bullets/bullet" + hstring(i))); };
    auto alpha = [&](const char* name) { return (int)ui->getObject(hstring("bullets/") + name)->getAlpha(); };
    pane->setProperty("bullet_pane", "bullets");
    EXPECT_EQ(pane->getProperty("bullet_pane"), "bullets");
    // One page counts as none.
    setItems("a,b");
    frames(1);
    EXPECT_FALSE(bullet(0)->isVisible());
    EXPECT_EQ(alpha("left"), 0);
    EXPECT_EQ(alpha("right"), 0);

    // One item added shows its page.
    setItems("a,b,c,d,e");
    frames(1);
    setItems("a,b,c,d,e,f");
    frames(40);
    EXPECT_EQ(pane->getProperty("currentPage"), "1");
    pane->setProperty("currentPage", "0");
    frames(40);
    EXPECT_EQ(pane->getProperty("currentPage"), "0");
    EXPECT_TRUE(bullet(0)->isVisible());
    EXPECT_TRUE(bullet(1)->isVisible());
    EXPECT_FALSE(bullet(2)->isVisible());
    EXPECT_EQ(std::string(bullet(0)->getImageName()), "ui.0x00FF00");
    EXPECT_EQ(std::string(bullet(1)->getImageName()), "ui.0x0000FF");
    EXPECT_EQ(std::string(bullet(1)->getPushedImageName()), "ui.0x00FF00");
    EXPECT_EQ(alpha("left"), 90);
    EXPECT_EQ(alpha("right"), 255);
    // The shown bullets' width, centred under the container.
    EXPECT_EQ(ui->getObject("bullets")->getWidth(), 40.0f);
    EXPECT_EQ(ui->getObject("bullets")->getX(), 230.0f);

    // Clicked through the window, the second bullet goes to its page.
    ui->getObject("bullets")->setX(0);
    pane->setProperty("bulletPaneOffset", "-230");
    frames(1);
    click(30, 160);
    frames(40);
    EXPECT_EQ(pane->getProperty("currentPage"), "1");
    EXPECT_EQ(std::string(bullet(1)->getImageName()), "ui.0x00FF00");
    EXPECT_EQ(alpha("left"), 255);
    EXPECT_EQ(alpha("right"), 90);
    // The left arrow moves one cell back.
    click(110, 160);
    frames(40);
    EXPECT_EQ(pane->getScrollArea()->getX(), -400.0f);
}

TEST_F(InventoryPanes, TheRolloverLabelNamesTheItemUnderThePointer)
{
    folder.put("data/ui/texts/ui.txt",
               "obj_a\n{\nApple\n}\nobj_b\n{\nBasket\n}\nUSE_A_WITH_B\n{\nPut %s in %s\n}\n");
    start("<Object type='Label' name='rollover' rect='0,250,200,30'/>");
    tesraui::Label* label = dynamic_cast<tesraui::Label*>(UI::getUIDataset()->getObject("rollover"));
    label->setAlpha(0);
    pane->setProperty("rollover_label", "rollover");
    setItems("a,b");
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
    frames(1, 0.1f);
    EXPECT_EQ(std::string(label->getText()), "Apple");
    EXPECT_EQ((int)label->getAlpha(), 204);
    frames(1, 0.1f);
    EXPECT_EQ((int)label->getAlpha(), 255);
    UI::getInstance()->selectItem("b");
    frames(1, 0.1f);
    EXPECT_EQ(std::string(label->getText()), "Put Apple in Basket");
    // Away from the cells the text stays and the label fades at 512 a second.
    engine->mouse(tesra::Window::MOUSE_MOVE, 600, 300);
    frames(1, 0.1f);
    EXPECT_EQ((int)label->getAlpha(), 203);
    EXPECT_EQ(std::string(label->getText()), "Put Apple in Basket");
}

TEST_F(InventoryPanes, AnItemWithoutItsTextIsShownAsMissingAndLoggedOnce)
{
    folder.put("data/ui/texts/ui.txt", "obj_a\n{\nApple\n}\n");
    start("<Object type='Label' name='rollover' rect='0,250,200,30'/>");
    tesraui::Label* label = dynamic_cast<tesraui::Label*>(UI::getUIDataset()->getObject("rollover"));
    pane->setProperty("rollover_label", "rollover");
    setItems("a,b");
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
    frames(3, 0.1f);
    EXPECT_EQ(std::string(label->getText()), "Apple");
    // Back and forth over the cell without a text: on screen each frame, in the log once.
    for (int i = 0; i < 3; ++i)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, 150, 50);
        frames(2, 0.1f);
        EXPECT_EQ(std::string(label->getText()), "ERROR: Text 'obj_b' not found!");
        engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
        frames(2, 0.1f);
    }
    EXPECT_EQ(engine->logCount("the rollover label's text 'obj_b' is missing"), 1u);
    EXPECT_EQ(engine->logCount("'obj_a' is missing"), 0u);
}

TEST_F(InventoryPanes, AnIconOverTheCellShowsWhatAClickWouldDo)
{
    start();
    tesraui::ImageBox* icon = dynamic_cast<tesraui::ImageBox*>(UI::getUIDataset()->getObject("pane/icon"));
    ASSERT_NE(icon, nullptr);
    setItems("a,b");
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
    frames(1);
    EXPECT_TRUE(icon->isVisible());
    EXPECT_NE(std::string(icon->getImageName()).find("use_item_icon"), std::string::npos);
    EXPECT_EQ(icon->getScaleX(), 1.1f);
    EXPECT_EQ(icon->getX(), 0.0f);
    // b has no use.
    engine->mouse(tesra::Window::MOUSE_MOVE, 150, 50);
    frames(1);
    EXPECT_FALSE(icon->isVisible());
    UI::getInstance()->selectItem("a");
    frames(1);
    EXPECT_TRUE(icon->isVisible());
    EXPECT_NE(std::string(icon->getImageName()).find("combine_item_icon"), std::string::npos);
    EXPECT_EQ(icon->getX(), 100.0f);
    pane->setProperty("allowItemUseButton", "0");
    UI::getInstance()->selectItem("");
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
    frames(1);
    EXPECT_FALSE(icon->isVisible());
}

TEST_F(InventoryPanes, ANewPaneAfterTheActiveOneTakesOverWithOneRebuildPerChange)
{
    start();
    UI::getUIDataset()->destroyObject("pane");
    EXPECT_EQ(InventoryPane::getActive(), nullptr);
    setItems("a");
    InventoryPane* next = new InventoryPane("next", kavtypes::Rectangle(0, 0, 500, 100));
    UI::getUIDataset()->registerObjects(next);
    UI::getInstance()->getRootObject()->addChild(next);
    EXPECT_EQ(InventoryPane::getActive(), next);
    const hstring first = next->getProperty("itemObject:a");
    setItems("a,b");
    const hstring second = next->getProperty("itemObject:a");
    // Cells are numbered as they are made: the change made two cells, once.
    EXPECT_EQ(second.subString(9).toInt(), first.subString(9).toInt() + 1);
    EXPECT_NE(next->getProperty("itemObject:b"), "");
}

// A script may destroy the objects a pane names, and the pane itself before them.
TEST_F(InventoryPanes, ObjectsThePaneNamesMayGoBeforeItAndItBeforeThem)
{
    auto bullets = [](const std::string& name)
    {
        return "<Object type='Container' name='" + name + "' rect='0,150,200,20'>" +
               "<Object type='ImageButton' name='" + name + "/bullet0' rect='0,0,20,20' image='0x00FF00'/>" +
               "<Object type='ImageButton' name='" + name + "/bullet1' rect='20,0,20,20' image='0x00FF00'/>" +
               "<Object type='ImageButton' name='" + name + "/left' rect='100,0,20,20' image='0xFF0000'/>" +
               "</Object>";
    };
    start("<Object type='Label' name='rollover' rect='0,250,200,30'/>" + bullets("first") +
          bullets("second"));
    pane->setProperty("rollover_label", "rollover");
    pane->setProperty("bullet_pane", "first");
    setItems("a,b,c,d,e,f");
    engine->mouse(tesra::Window::MOUSE_MOVE, 50, 50);
    frames(2);
    LuaInterface::execute("object.destroy('ui.rollover'); object.destroy('ui.first')");
    EXPECT_EQ(pane->getProperty("rollover_label"), "");
    EXPECT_EQ(pane->getProperty("bullet_pane"), "");
    setItems("a,b,c,d,e,f,g");
    frames(3);
    engine->mouse(tesra::Window::MOUSE_MOVE, 150, 50);
    frames(3);

    // Bullets and arrows that outlive their pane do nothing when clicked.
    pane->setProperty("bullet_pane", "second");
    frames(1);
    LuaInterface::execute("object.destroy('ui.pane')");
    click(10, 160);
    click(110, 160);
    EXPECT_EQ(harness::Engine::errorLines(), 0) << engine->logText();
}

// What a pane made for itself goes only with it: a script that asks gets an error and loses nothing.
TEST_F(InventoryPanes, ItsOwnPartsGoOnlyWithThePane)
{
    start("<Object type='Container' name='holder' rect='0,300,100,100'/>");
    setItems("a,b");
    frames(1);
    const std::string cell = pane->getProperty("itemObject:a");
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"object.destroy('ui.pane/container')",
         "object.destroy: object 'ui.pane/container' is a part of 'ui.pane' and goes only with it"},
        {"object.destroy('ui." + cell + "')",
         "object.destroy: object 'ui." + cell + "' is a part of 'ui.pane' and goes only with it"},
        {"object.destroy('ui." + cell + "_info')",
         "object.destroy: object 'ui." + cell + "_info' is a part of 'ui.pane' and goes only with it"},
        {"object.destroyChildren('ui.pane')",
         "object.destroyChildren: object 'ui.pane/container' is a part of 'ui.pane' and goes only with it"},
        {"object.destroyChildren('ui.pane/scrollarea')",
         "object.destroyChildren: object 'ui.pane/selected_selector' is a part of 'ui.pane' and goes only "
         "with it"},
    };
    for (const auto& [code, message] : refused)
    {
        const std::string error = engine->luaOrError(code);
        EXPECT_NE(error.find(message), std::string::npos) << code << ": " << error;
    }
    setItems("a,b,c");
    frames(2);
    EXPECT_EQ(pane->getProperty("itemObject:c").size() > 0, true);
    // A script's own object under a part goes as any other, and the pane with everything it made.
    EXPECT_EQ(engine->luaOrError("object.create('Container', 'mine', 'ui.pane/container', {}) ~= nil"),
              "true");
    EXPECT_EQ(engine->luaOrError("object.destroy('ui.mine')"), "<none>");
    EXPECT_EQ(engine->luaOrError("object.destroy('ui.pane')"), "<none>");
    EXPECT_EQ(engine->lua("object.exists('ui.pane/container')"), "false");
    frames(2);
}

TEST_F(InventoryPanes, ADestructorHungUnderAPartLeavesItAndSaysSo)
{
    start();
    setItems("a,b");
    frames(1);
    EXPECT_EQ(engine->luaOrError(
                  "object.create('ObjectDestructor', 'timer', 'ui.pane/container', {delay = 0}) ~= nil"),
              "true");
    frames(3);
    EXPECT_EQ(engine->lua("object.exists('ui.pane/container')"), "true");
    EXPECT_NE(
        engine->logText().find("ObjectDestructor: object 'ui.pane/container' is a part of 'ui.pane' and "
                               "goes only with it, its deletion is not queued."),
        std::string::npos)
        << engine->logText();
    setItems("a,b,c");
    frames(2);
}
