#include <tesraui/CallbackObject.h>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;
using kavtypes::Vector2;
using uitest::names;
using uitest::Recorder;

namespace
{
    typedef harray<hstring> Journal;
    Journal journal;

    // A root with three overlapping quads a (z 0), b (z 1), c (z 2), each with "MouseDown" and "Click";
    // the journal keeps the quads' input slots and their events ("c:event").
    struct Stack
    {
        Dataset dataset{"", "stack"};
        Recorder* root = new Recorder("root", Rectangle(0, 0, 200, 200), nullptr);
        Recorder* quads[3] = {new Recorder("a", Rectangle(0, 0, 100, 100), &journal),
                              new Recorder("b", Rectangle(20, 20, 100, 100), &journal),
                              new Recorder("c", Rectangle(40, 40, 100, 100), &journal)};

        Stack()
        {
            for (int i = 0; i < 3; ++i)
            {
                quads[i]->setZOrder(i);
                for (const char* event : {"MouseDown", "Click"})
                    quads[i]->registerEvent(event, [](EventArgs* e)
                                            { journal.push_back(e->object->getName() + ":event"); });
                root->addChild(quads[i]);
            }
            dataset.registerObjects(root);
            journal.clear();
            setCursorPosition(Vector2(50, 50));
        }
        Journal take()
        {
            dataset.processEvents();
            return std::exchange(journal, Journal());
        }
    };
} // namespace

TEST(Dispatch, pressGoesToTheTopmostQuadAndReleaseCancelsTheOthers)
{
    Stack s;
    EXPECT_TRUE(s.root->onMouseDown(1));
    EXPECT_EQ(s.take(), Journal({"c:down", "c:event"}));
    // b and a were never offered the release; they are cancelled.
    EXPECT_TRUE(s.root->onMouseUp(1));
    EXPECT_EQ(s.take(), Journal({"c:up", "b:cancel", "a:cancel", "c:event"}));
    // Over a only: c refuses, click-through b hears nothing, a takes it; c is cancelled.
    s.quads[1]->setClickThrough(true);
    setCursorPosition(Vector2(5, 5));
    EXPECT_TRUE(s.root->onMouseUp(1));
    EXPECT_EQ(s.take(), Journal({"c:up", "a:up", "c:cancel", "a:event"}));
    // Nobody takes it: nothing is cancelled.
    setCursorPosition(Vector2(190, 190));
    EXPECT_TRUE(s.root->onMouseUp(1));
    EXPECT_EQ(s.take(), Journal({"c:up", "a:up"}));
}

TEST(Dispatch, clickThroughStillHearsMovesKeysAndScrolls)
{
    Stack s;
    s.quads[2]->setClickThrough(true);
    s.root->onMouseDown(1);
    s.root->onMouseMove();
    s.root->onKeyDown(13);
    s.root->onMouseScroll(0, 1);
    EXPECT_EQ(s.take(), Journal({"b:down", "c:move", "b:move", "a:move", "c:key", "b:key", "a:key",
                                 "c:scroll", "b:scroll", "a:scroll", "b:event"}));
    EXPECT_EQ(s.root->getChildUnderPoint(50, 50), s.quads[1]);
}

TEST(Dispatch, refusedObjectsPassNothingDown)
{
    Stack s;
    s.root->setEnabled(false);
    EXPECT_FALSE(s.root->onMouseDown(1) || s.root->onKeyDown(1));
    // Handed the press directly, a quad below a disabled ancestor refuses it as well.
    EXPECT_FALSE(s.quads[2]->onMouseDown(1) || s.quads[2]->onMouseMove());
    EXPECT_EQ(s.take(), Journal({"c:down", "c:move"}));
    s.root->setEnabled(true);
    s.quads[2]->setAlpha(0);
    s.quads[1]->setVisible(false);
    s.root->onMouseDown(1);
    EXPECT_EQ(s.take(), Journal({"a:down", "a:event"}));
    // A press that nobody takes removes the focus.
    s.quads[0]->setFocused(true);
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
    EXPECT_TRUE(square.isPointInside(Vector2(5, 12)));
    EXPECT_FALSE(square.isPointInside(Vector2(12, 5)));
    // Through a chain, every point maps back, inside or out.

    Object parent("parent", Rectangle(30, 40, 80, 60)), child("child", Rectangle(10, 5, 50, 20));
    parent.setAngle(15);
    parent.setScale(1.5f, 0.75f);
    child.setAngle(-40);
    child.setScale(2, 0.5f);
    child.setCenter(5, 15);
    parent.addChild(&child);
    for (Vector2 local : {Vector2(0.5f, 0.5f), Vector2(49.5f, 19.5f), Vector2(1, 19), Vector2(-0.5f, 10),
                          Vector2(50.5f, 10), Vector2(25, -0.5f), Vector2(25, 20.5f)})
    {
        Vector2 screen = child.getDerivedPoint(local);
        EXPECT_EQ(child.isPointInside(screen), local.x > 0 && local.x < 50 && local.y > 0 && local.y < 20);
        EXPECT_LT((child.transformToLocalSpace(screen) - local).length(), 1e-3);
    }

    // A clipping child is hit only inside its parent.
    Object frame("frame", Rectangle(0, 0, 50, 50)), clipped("clipped", Rectangle(0, 0, 100, 100));
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
        explicit Destroyer(const hstring& name) : Object(name, Rectangle(0, 0, 100, 100)) {}
        Object* victim = nullptr;
        bool viaDataset = true;
        bool onMouseDown(unsigned int key) override
        {
            if (Object::onMouseDown(key))
                return true;
            journal.push_back(this->name);
            if (Object* target = std::exchange(this->victim, nullptr))
            {
                if (this->viaDataset)
                    target->getDataset()->destroyObject(target);
                else
                    delete target;
            }
            return false;
        }
    };
} // namespace

TEST(Dispatch, handlersMayDeleteSiblingsParentsAndThemselves)
{
    journal.clear();
    Dataset dataset("", "d");
    Object* root = new Object("root", Rectangle(0, 0, 100, 100));
    Destroyer* low = new Destroyer("low");
    Destroyer* mid = new Destroyer("mid");
    Destroyer* top = new Destroyer("top");
    for (Object* child : {low, mid, top})
        root->addChild(child);
    dataset.registerObjects(root);
    setCursorPosition(Vector2(10, 10));

    top->victim = mid; // the next sibling in the walk
    EXPECT_FALSE(root->onMouseDown(1));
    top->victim = top; // itself, deleted directly
    top->viaDataset = false;
    EXPECT_FALSE(root->onMouseDown(1));
    EXPECT_EQ(journal, harray<hstring>({"top", "low", "top", "low"}));
    EXPECT_EQ(names(root->getChildren()), harray<hstring>{"low"});
    EXPECT_FALSE(dataset.hasObject("mid"));

    // A grandchild deleting its own parent ends the parent's walk; the press counts as taken.
    Destroyer* inner = new Destroyer("inner");
    low->addChildAndRegister(new Destroyer("spare"));
    low->addChildAndRegister(inner);
    inner->victim = low;
    journal.clear();
    EXPECT_TRUE(root->onMouseDown(1));
    EXPECT_EQ(journal, harray<hstring>({"inner"}));
    EXPECT_TRUE(root->getChildren().empty());
    EXPECT_FALSE(dataset.hasObject("spare"));

    // Updates may delete as well.
    CallbackObject* ticking = new CallbackObject("ticking", Rectangle(0, 0, 1, 1));
    root->addChildAndRegister(ticking);
    static Dataset* target;
    target = &dataset;
    ticking->setUpdateCallback([](float) { target->destroyObject("root"); });
    root->update(0.1f);
    EXPECT_FALSE(dataset.hasObject("root"));
}
