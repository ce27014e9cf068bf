#include <gtest/gtest.h>

#include <tesraui/CallbackObject.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;
using kavtypes::Vector2;
using uitest::Recorder;

namespace
{
    harray<hstring> fired;

    // The input slots of a journal, without the notifications.
    harray<hstring> slots(const harray<hstring>& journal)
    {
        harray<hstring> result;
        for (const hstring& entry : journal)
        {
            char first = entry[entry.find(':') + 1];
            if (first >= 'a' && first <= 'z')
            {
                result.push_back(entry);
            }
        }
        return result;
    }

    void recordEvent(EventArgs* args)
    {
        fired.push_back(args->object->getName() + ":" + formatString("%u", args->keyCode));
    }

    // A root with three overlapping quads a (z 0), b (z 1), c (z 2), each with "MouseDown" and "Click".
    struct Stack
    {
        harray<hstring> journal;
        Dataset dataset{"", "stack"};
        Recorder* root = new Recorder("root", Rectangle(0, 0, 200, 200), &journal);
        Recorder* quads[3] = {new Recorder("a", Rectangle(0, 0, 100, 100), &journal),
                              new Recorder("b", Rectangle(20, 20, 100, 100), &journal),
                              new Recorder("c", Rectangle(40, 40, 100, 100), &journal)};

        Stack()
        {
            fired.clear();
            for (int i = 0; i < 3; ++i)
            {
                quads[i]->setZOrder(i);
                quads[i]->registerEvent("MouseDown", &recordEvent);
                quads[i]->registerEvent("Click", &recordEvent);
                root->addChild(quads[i]);
            }
            dataset.registerObjects(root);
        }
    };
} // namespace

TEST(Dispatch, pressGoesToTheTopmostQuadAndReleaseCancelsTheOthers)
{
    Stack s;
    setCursorPosition(Vector2(50, 50));
    EXPECT_TRUE(s.root->onMouseDown(1));
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:down", "c:down"}));
    s.dataset.processEvents();
    EXPECT_EQ(fired, harray<hstring>({"c:1"}));

    s.journal.clear();
    fired.clear();
    EXPECT_TRUE(s.root->onMouseUp(1));
    // b and a were never offered the release; they are cancelled, then the root forgets its own press.
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:up", "c:up", "b:cancel", "a:cancel", "root:cancel"}));
    s.dataset.processEvents();
    EXPECT_EQ(fired, harray<hstring>({"c:1"}));

    // Over a only: c and b refuse, a takes it, the refusers are cancelled; a click-through quad hears
    // nothing.
    s.quads[1]->setClickThrough(true);
    setCursorPosition(Vector2(5, 5));
    s.journal.clear();
    fired.clear();
    EXPECT_TRUE(s.root->onMouseUp(1));
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:up", "c:up", "a:up", "c:cancel", "root:cancel"}));
    s.dataset.processEvents();
    EXPECT_EQ(fired, harray<hstring>({"a:1"}));

    // Nobody takes it: nothing is cancelled and the root handles the release itself.
    setCursorPosition(Vector2(190, 190));
    s.journal.clear();
    EXPECT_TRUE(s.root->onMouseUp(1));
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:up", "c:up", "a:up"}));
}

TEST(Dispatch, clickThroughStillHearsMovesKeysAndScrolls)
{
    Stack s;
    s.quads[2]->setClickThrough(true);
    setCursorPosition(Vector2(50, 50));
    s.root->onMouseDown(1);
    s.root->onMouseMove();
    s.root->onKeyDown(13);
    s.root->onMouseScroll(0, 1);
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:down", "b:down", "root:move", "c:move", "b:move",
                                                 "a:move", "root:key", "c:key", "b:key", "a:key",
                                                 "root:scroll", "c:scroll", "b:scroll", "a:scroll"}));
    EXPECT_EQ(s.root->getChildUnderPoint(50, 50), s.quads[1]);
    s.quads[1]->setEnabled(false);
    EXPECT_EQ(s.root->getChildUnderPoint(50, 50), s.quads[1]);
}

TEST(Dispatch, refusedObjectsPassNothingDown)
{
    Stack s;
    setCursorPosition(Vector2(50, 50));
    s.root->setEnabled(false);
    EXPECT_FALSE(s.root->onMouseDown(1));
    EXPECT_FALSE(s.root->onKeyDown(1));
    // Handed the press directly, a quad below a disabled ancestor refuses it as well.
    EXPECT_FALSE(s.quads[2]->onMouseDown(1));
    EXPECT_FALSE(s.quads[2]->onMouseMove());
    EXPECT_TRUE(s.quads[2]->onMouseCancel(1));
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:down", "root:key", "c:down", "c:move", "c:cancel"}));
    s.journal.clear();
    s.root->setEnabled(true);
    s.quads[2]->setAlpha(0);
    s.quads[1]->setVisible(false);
    EXPECT_TRUE(s.root->onMouseDown(1));
    s.dataset.processEvents();
    EXPECT_EQ(fired, harray<hstring>({"a:1"}));
    EXPECT_EQ(slots(s.journal), harray<hstring>({"root:down", "a:down"}));
}

TEST(Dispatch, pressRemovesTheFocus)
{
    Stack s;
    s.quads[0]->setFocused(true);
    EXPECT_TRUE(s.quads[0]->isFocused());
    setCursorPosition(Vector2(250, 250));
    EXPECT_FALSE(s.root->onMouseDown(1));
    EXPECT_EQ(s.dataset.getFocusedObject(), nullptr);
}

TEST(Dispatch, hitTestsInvertTheTransformChain)
{
    Object square("square", Rectangle(0, 0, 10, 10));
    square.setAngle(90);
    square.setScale(2, 1);
    // Worked by hand: local (9, 5) lands on screen (5, -3); screen (5, 12) maps back to local (1.5, 5).
    EXPECT_NEAR(square.getDerivedPoint(Vector2(9, 5)).x, 5, 1e-4);
    EXPECT_NEAR(square.getDerivedPoint(Vector2(9, 5)).y, -3, 1e-4);
    EXPECT_TRUE(square.isPointInside(Vector2(5, -3)));
    EXPECT_TRUE(square.isPointInside(Vector2(5, 12)));
    EXPECT_FALSE(square.isPointInside(Vector2(12, 5)));

    Object parent("parent", Rectangle(30, 40, 80, 60));
    Object child("child", Rectangle(10, 5, 50, 20));
    parent.setAngle(15);
    parent.setScale(1.5f, 0.75f);
    child.setAngle(-40);
    child.setScale(2, 0.5f);
    child.setCenter(5, 15);
    parent.addChild(&child);
    for (Vector2 inside : {Vector2(0.5f, 0.5f), Vector2(49.5f, 19.5f), Vector2(25, 10), Vector2(1, 19)})
    {
        Vector2 screen = child.getDerivedPoint(inside);
        EXPECT_TRUE(child.isPointInside(screen)) << inside.x << "," << inside.y;
        Vector2 back = child.transformToLocalSpace(screen);
        EXPECT_NEAR(back.x, inside.x, 1e-3);
        EXPECT_NEAR(back.y, inside.y, 1e-3);
    }
    for (Vector2 outside : {Vector2(-0.5f, 10), Vector2(50.5f, 10), Vector2(25, -0.5f), Vector2(25, 20.5f)})
    {
        EXPECT_FALSE(child.isPointInside(child.getDerivedPoint(outside))) << outside.x << "," << outside.y;
    }
    child.setScaleX(0.00005f);
    EXPECT_FALSE(child.isPointInside(child.getDerivedPoint(Vector2(0.5f, 10))));

    Object box("box", Rectangle(0, 0, 100, 50));
    EXPECT_TRUE(box.isPointInside(Vector2(0, 0)));
    EXPECT_TRUE(box.isPointInside(Vector2(99.9f, 49.9f)));
    EXPECT_FALSE(box.isPointInside(Vector2(100, 25)));
    Object frame("frame", Rectangle(0, 0, 50, 50));
    Object clipped("clipped", Rectangle(0, 0, 100, 100));
    clipped.setClip(true);
    frame.addChild(&clipped);
    EXPECT_FALSE(clipped.isPointInside(Vector2(60, 10)));
    EXPECT_TRUE(clipped.isPointInside(Vector2(40, 10)));
}

namespace
{
    // Deletes another object (or itself) from inside an input handler, then refuses the event.
    class Destroyer : public Object
    {
    public:
        Destroyer(const hstring& name, Rectangle rect, harray<hstring>* journal)
            : Object(name, rect), journal(journal)
        {
        }
        Object* victim = nullptr;
        bool viaDataset = true;
        harray<hstring>* journal;
        bool onMouseDown(unsigned int key) override
        {
            if (Object::onMouseDown(key))
            {
                return true;
            }
            this->journal->push_back(this->name + ":down");
            if (this->victim != nullptr)
            {
                Object* target = this->victim;
                this->victim = nullptr;
                if (this->viaDataset)
                {
                    target->getDataset()->destroyObject(target);
                }
                else
                {
                    delete target;
                }
            }
            return false;
        }
        bool onMouseUp(unsigned int key) override { return this->onMouseDown(key); }
    };
} // namespace

TEST(Dispatch, handlersMayDeleteSiblingsParentsAndThemselves)
{
    harray<hstring> journal;
    Dataset dataset("", "d");
    Object* root = new Object("root", Rectangle(0, 0, 100, 100));
    Destroyer* low = new Destroyer("low", Rectangle(0, 0, 100, 100), &journal);
    Destroyer* mid = new Destroyer("mid", Rectangle(0, 0, 100, 100), &journal);
    Destroyer* top = new Destroyer("top", Rectangle(0, 0, 100, 100), &journal);
    root->addChild(low);
    root->addChild(mid);
    root->addChild(top);
    dataset.registerObjects(root);
    setCursorPosition(Vector2(10, 10));

    top->victim = mid; // the next sibling in the walk
    EXPECT_FALSE(root->onMouseDown(1));
    EXPECT_EQ(slots(journal), harray<hstring>({"top:down", "low:down"}));
    EXPECT_FALSE(dataset.hasObject("mid"));

    journal.clear();
    top->victim = top; // itself, deleted directly
    top->viaDataset = false;
    EXPECT_FALSE(root->onMouseUp(1));
    EXPECT_EQ(slots(journal), harray<hstring>({"top:down", "low:down"}));
    EXPECT_EQ(root->getChildren().size(), 1);

    // A grandchild deleting its own parent ends the parent's walk; the press counts as taken.
    Destroyer* inner = new Destroyer("inner", Rectangle(0, 0, 10, 10), &journal);
    Destroyer* spare = new Destroyer("spare", Rectangle(0, 0, 10, 10), &journal);
    low->addChildAndRegister(spare);
    low->addChildAndRegister(inner);
    inner->victim = low;
    journal.clear();
    EXPECT_TRUE(root->onMouseDown(1));
    EXPECT_EQ(slots(journal), harray<hstring>({"inner:down"}));
    EXPECT_TRUE(root->getChildren().empty());
    EXPECT_FALSE(dataset.hasObject("inner") || dataset.hasObject("spare") || dataset.hasObject("low"));

    // Updates may delete as well.
    CallbackObject* ticking = new CallbackObject("ticking", Rectangle(0, 0, 1, 1));
    root->addChildAndRegister(ticking);
    static Dataset* target = nullptr;
    target = &dataset;
    ticking->setUpdateCallback([](float) { target->destroyObject("root"); });
    dataset.getObject("root")->update(0.1f);
    EXPECT_FALSE(dataset.hasObject("root"));
}
