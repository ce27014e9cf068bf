#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "objects/DraggableContainer.h"
#include "objects/LineObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    template <class F> std::string thrown(F f)
    {
        try
        {
            f();
        }
        catch (const quortypes::exception& e)
        {
            const std::string message = e.getMessage();
            return message.substr(message.find("] ") + 2);
        }
        return "nothing thrown";
    }
} // namespace

TEST(LineObjectValues, PointsAndRenderOperation)
{
    LineObject line("line", kavtypes::Rectangle(0, 0, 10, 10));
    EXPECT_EQ(line.getProperty("points"), "");
    EXPECT_EQ(line.getProperty("render_op"), "line_list");
    // A part without "," is skipped.
    line.setProperty("points", "1,2;3.5,-4;nothing;;5,6");
    EXPECT_EQ(line.getProperty("points"), "1.000000,2.000000;3.500000,-4.000000;5.000000,6.000000");
    line.setProperty("render_op", "line_strip");
    EXPECT_EQ(line.getProperty("render_op"), "line_strip");
    EXPECT_EQ(thrown([&] { line.setProperty("render_op", "lines"); }),
              "LineObject: invalid render op 'lines'");
    EXPECT_EQ(line.getProperty("render_op"), "line_strip");
    EXPECT_EQ(line.getPropertyDescriptions()[0].name, "points");
    EXPECT_EQ(line.getClassName(), "LineObject");
}

// A UI dataset of the test's objects over an empty start, with a journal for the scripts.
class UIObjects : public harness::GameTest
{
protected:
    void start(const std::string& objects)
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset>" + objects + "</Dataset>");
        folder.putJournal();
        engine.reset(new Engine(folder));
        engine->start();
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    // Red at the pixel or a row next to it: rasterisers differ on which row a line between two takes.
    bool red(int x, int y)
    {
        for (int row = y - 1; row <= y + 1; ++row)
        {
            if (engine->pixel(x, row) == std::vector<int>{255, 0, 0, 255})
            {
                return true;
            }
        }
        return false;
    }
};

TEST_F(UIObjects, LinesDrawAsStripOrListInTheirOwnAlpha)
{
    // The parent is nearly transparent; the lines are drawn at full strength all the same.
    start("<Object type='ImageBox' name='dim' rect='0,0,160,120' image='0x000000' alpha='20' zorder='50'>"
          "<Object type='LineObject' name='strip' rect='0,0,80,120' color='FF0000' render_op='line_strip'"
          " points='10.5,10.5;70.5,10.5;70.5,100.5'/>"
          "<Object type='LineObject' name='list' rect='80,0,80,120' color='FF0000'"
          " points='10.5,10.5;70.5,10.5;70.5,100.5'/></Object>");
    engine->frame(0.016f);
    EXPECT_TRUE(red(40, 10));
    EXPECT_TRUE(red(70, 60));
    EXPECT_TRUE(red(120, 10));
    EXPECT_FALSE(red(150, 60));
    EXPECT_FALSE(red(40, 60));
}

class Dragging : public UIObjects
{
protected:
    DraggableContainer* drag = nullptr;
    void SetUp() override
    {
        start("<Object type='DraggableContainer' name='drag' rect='20,20,60,60' zorder='50'>"
              "<Object type='ImageBox' name='piece' rect='0,0,20,20' image='0x00FF00'/></Object>");
        drag = dynamic_cast<DraggableContainer*>(UI::getUIDataset()->getObject("drag"));
        ASSERT_NE(drag, nullptr);
        LuaInterface::execute("object.assignEvent('ui.drag', 'BeginDrag', 'note(\"begin\")')\n"
                              "object.assignEvent('ui.drag', 'EndDrag', 'note(\"end\")')");
        engine->frame();
    }
    // Through the window's queue, as the platform delivers input, so that the cursor follows.
    void input(tesra::Window::MouseEventType type, float x, float y)
    {
        tesra::window->queueMouseEvent(type, x, y, 1);
        tesra::window->checkEvents();
    }
    void press(float x, float y)
    {
        input(tesra::Window::MOUSE_MOVE, x, y);
        input(tesra::Window::MOUSE_DOWN, x, y);
        engine->frame();
    }
    void moveTo(float x, float y)
    {
        input(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame();
    }
    void release(float x, float y)
    {
        input(tesra::Window::MOUSE_UP, x, y);
        engine->frame();
        engine->frame();
    }
    std::string position()
    {
        return engine->lua("object.getObject('ui.drag').x .. ',' .. object.getObject('ui.drag').y");
    }
};

TEST_F(Dragging, PressOnAChildMovesTheContainerWithThePointer)
{
    EXPECT_EQ(drag->getClassName(), "Container");
    press(30, 30);
    moveTo(80, 30);
    EXPECT_EQ(position(), "70,20");
    release(80, 30);
    EXPECT_EQ(journal(), "begin end");
    moveTo(100, 50);
    EXPECT_EQ(position(), "70,20");
}

TEST_F(Dragging, PressesOutsideOrOnAnEmptyPartNeverDrag)
{
    press(5, 5);
    moveTo(30, 30);
    moveTo(60, 30);
    release(60, 30);
    // Inside the container's rectangle, but where no child is.
    press(70, 70);
    moveTo(90, 90);
    release(90, 90);
    EXPECT_EQ(position(), "20,20");
    EXPECT_EQ(journal(), "");
}

TEST_F(Dragging, PausingOrLockingEndsTheDrag)
{
    press(30, 30);
    moveTo(40, 30);
    Session::setPaused(true);
    moveTo(60, 30);
    EXPECT_EQ(position(), "30,20");
    EXPECT_FALSE(drag->isDragging());
    Session::setPaused(false);
    input(tesra::Window::MOUSE_UP, 60, 30);
    engine->frame();
    press(40, 30);
    Session::lockScene();
    moveTo(70, 30);
    Session::unlockScene();
    EXPECT_FALSE(drag->isDragging());
    engine->frame();
    EXPECT_EQ(journal(), "begin end begin end");
}

TEST_F(Dragging, AnUpdatePositionHandlerTakesOverTheMove)
{
    LuaInterface::execute(
        "object.assignEvent('ui.drag', 'UpdatePosition', 'note(\"wants \" .. "
        "object.getObject(\"ui.drag\").new_x .. \",\" .. object.getObject(\"ui.drag\").new_y)')");
    press(30, 30);
    moveTo(80, 45);
    engine->frame();
    EXPECT_EQ(position(), "20,20");
    EXPECT_EQ(engine->lua("object.getObject('ui.drag').new_x"), "70");
    EXPECT_EQ(engine->lua("object.getObject('ui.drag').new_y"), "35");
    EXPECT_EQ(journal().substr(0, 17), "begin wants 70,35");
    // Not draggable any more: the drag ends at once.
    LuaInterface::execute("object.getObject('ui.drag').draggable = false");
    EXPECT_FALSE(drag->isDragging());
    EXPECT_EQ(engine->lua("tostring(object.getObject('ui.drag').draggable)"), "false");
}
