#include <climits>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;
using uitest::names;
using uitest::Recorder;

TEST(ObjectTree, stableZOrderAttachAndDetach)
{
    harray<hstring> journal;
    Object root("root", Rectangle(0, 0, 100, 100));
    Recorder a("a", Rectangle(), &journal), b("b", Rectangle(), &journal), c("c", Rectangle(), &journal);
    a.setZOrder(5);
    c.setZOrder(5);
    root.addChild(&a);
    root.addChild(&b);
    root.addChild(&c);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"b", "a", "c"}));
    a.setZOrder(5);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"b", "a", "c"}));
    b.setZOrder(6);
    a.setZOrder(7);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"c", "b", "a"}));
    root.removeChild(&b);
    EXPECT_EQ(journal, harray<hstring>({"a:AttachToObject", "b:AttachToObject", "c:AttachToObject",
                                        "b:DetachFromObject"}));
    a.addChild(&b);
    EXPECT_EQ(names(root.getDescendants()), harray<hstring>({"c", "a", "b"}));
    root.removeChildren(true);
    EXPECT_TRUE(a.getChildren().empty());
    EXPECT_EQ(b.getParent(), nullptr);

    // Newcomers go after every sibling of the same z-order, before the higher ones.
    Object d("d", Rectangle()), e("e", Rectangle()), f("f", Rectangle()), g("g", Rectangle());
    d.setZOrder(6);
    e.setZOrder(5);
    f.setZOrder(6);
    g.setZOrder(-1);
    for (Object* child : {(Object*)&a, (Object*)&c, &d, &e, &f, &g})
    {
        root.addChild(child);
    }
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"g", "c", "e", "d", "f", "a"}));
}

// The engine's layers over game objects at the greatest z-order: no z-order is above it, so the layer goes
// after its equals, with no notification.
TEST(ObjectTree, aZOrderOverEqualsGoesAfterTheSiblingsOfTheSameZOrder)
{
    harray<hstring> journal;
    Object root("root", Rectangle(0, 0, 100, 100));
    Recorder a("a", Rectangle(), nullptr), b("b", Rectangle(), nullptr), c("c", Rectangle(), nullptr);
    Recorder layer("layer", Rectangle(), &journal);
    a.setZOrder(INT_MAX);
    b.setZOrder(INT_MAX);
    for (Object* child : {(Object*)&layer, (Object*)&a, (Object*)&b})
    {
        root.addChild(child);
    }
    journal.clear();
    layer.setZOrderOverEquals(INT_MAX);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"a", "b", "layer"}));
    // Raised again after another one came after it.
    c.setZOrder(INT_MAX);
    root.addChild(&c);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"a", "b", "layer", "c"}));
    layer.setZOrderOverEquals(INT_MAX);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"a", "b", "c", "layer"}));
    // Lower, it goes after its equals there and before the higher ones.
    b.setZOrder(3);
    layer.setZOrderOverEquals(3);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"b", "layer", "a", "c"}));
    EXPECT_TRUE(journal.empty());
    root.removeChildren(false);
    // Without a parent it is the z-order only.
    layer.setZOrderOverEquals(8);
    EXPECT_EQ(layer.getZOrder(), 8);
}

TEST(ObjectTree, anchorsFollowTheParentsSize)
{
    harray<hstring> journal;
    Object parent("p", Rectangle(0, 0, 200, 100));
    // Anchored left, right, neither (moves by half) and both (grows); all at the top.
    const std::pair<bool, bool> anchors[] = {{true, false}, {false, true}, {false, false}, {true, true}};
    const float widenedX[] = {10, 110, 60, 10}, widenedW[] = {50, 50, 50, 150};
    std::unique_ptr<Recorder> kids[4];
    for (int i = 0; i < 4; ++i)
    {
        kids[i].reset(new Recorder(formatString("k%d", i), Rectangle(10, 10, 50, 20), &journal));
        kids[i]->setAnchors(anchors[i].first, anchors[i].second, true, false);
        parent.addChild(kids[i].get());
    }
    journal.clear();
    for (float width : {300.0f, 300.005f}) // the second change is too small to move anything
    {
        parent.setWidth(width);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(kids[i]->getRect(), Rectangle(widenedX[i], 10, widenedW[i], 20)) << i;
    }
    EXPECT_EQ(journal, harray<hstring>({"k3:Resized"}));
    kids[1]->setAnchors(true, false, false, true);
    parent.setHeight(140);
    EXPECT_EQ(kids[1]->getY(), 50);

    // Retained aspect: the height follows the width, centred vertically when top and bottom agree.
    Object frame("frame", Rectangle(0, 0, 200, 200)), keeper("keeper", Rectangle(0, 100, 100, 50));
    // Without width or height the layout stays finite: the aspect term of a zero side is 0.
    Object flat("flat", Rectangle(0, 0, 0, 40)), thin("thin", Rectangle(0, 0, 40, 0));
    keeper.setAnchors(true, true, false, false);
    for (Object* child : {&keeper, &flat, &thin})
        child->setRetainAnchorAspect(true);
    flat.setAnchors(true, true, true, true);
    thin.setAnchors(true, true, true, true);
    frame.addChild(&keeper);
    frame.addChild(&flat);
    frame.setWidth(300);
    EXPECT_EQ(keeper.getRect(), Rectangle(0, 75, 200, 100));
    EXPECT_EQ(flat.getRect(), Rectangle(0, 0, 100, 40));
    frame.removeChildren();
    frame.addChild(&thin);
    frame.setHeight(300);
    EXPECT_EQ(thin.getRect(), Rectangle(0, 0, 40, 100));
}

TEST(ObjectTree, derivedAlphaColourVisibilityEnabledAndTransform)
{
    Object grandparent("g", Rectangle(0, 0, 10, 10)), parent("p", Rectangle(0, 0, 10, 10)),
        child("c", Rectangle(0, 0, 10, 10));
    grandparent.addChild(&parent);
    parent.addChild(&child);
    parent.setColor(tesra::Color(10, 20, 30, 128));
    child.setColor(tesra::Color(40, 50, 60, 255));
    grandparent.setAlpha(128);
    EXPECT_EQ(child.getDerivedColor(), tesra::Color(40, 50, 60, 64));
    EXPECT_EQ(child.getDerivedAlpha(&grandparent), 128);
    child.setInheritAlpha(false);
    EXPECT_EQ(child.getDerivedAlpha(), 255);
    child.setInheritAlpha(true);
    // An opaque parent passes on the alpha above it, unless it keeps its own.
    parent.setAlpha(255);
    EXPECT_EQ(child.getDerivedColor(), tesra::Color(40, 50, 60, 128));
    parent.setInheritAlpha(false);
    EXPECT_EQ(child.getDerivedColor(), tesra::Color(40, 50, 60, 255));
    parent.setInheritAlpha(true);
    grandparent.setAlpha(255);
    EXPECT_EQ(child.getDerivedColor(), tesra::Color(40, 50, 60, 255));
    parent.setAlpha(128);

    parent.setAlpha(0);
    EXPECT_FALSE(child.isDerivedVisible());
    parent.setAlpha(128);
    grandparent.setVisible(false);
    EXPECT_FALSE(child.isDerivedVisible());
    grandparent.setEnabled(false);
    EXPECT_FALSE(child.isDerivedEnabled());
    EXPECT_EQ(child.getDisabledAlphaFactor(), 0.5f);
    child.setUseDisabledAlpha(false);
    EXPECT_EQ(child.getDisabledAlphaFactor(), 1.0f);

    parent.setAngle(30);
    child.setAngle(15);
    parent.setScale(2, 3);
    child.setScale(0.5f, 2);
    EXPECT_FLOAT_EQ(child.getDerivedAngle(), 45);
    EXPECT_FLOAT_EQ(child.getDerivedAngle(&parent), 15);
    EXPECT_EQ(child.getDerivedScale(), kavtypes::Vector2(1, 6));
}

TEST(ObjectTree, propertiesRoundTripAsText)
{
    Object object("obj", Rectangle(0, 0, 100, 50));
    object.setX(12.5f);
    EXPECT_EQ(object.getProperty("x"), "12.500000");
    EXPECT_EQ(object.getProperty("color"), "FFFFFFFF");
    EXPECT_EQ(object.getProperty("rect"), "12.500000,0.000000,100.000000,50.000000");
    EXPECT_FALSE(object.setProperty("unknown", "1"));
    EXPECT_TRUE(object.setProperty("alpha", "300"));
    EXPECT_EQ(object.getProperty("alpha"), "44");
    EXPECT_TRUE(object.setProperty("color", "0a0B0c"));
    EXPECT_EQ(object.getProperty("color"), "0A0B0CFF");
    EXPECT_TRUE(object.setProperty("size", " 30 , 40 "));
    EXPECT_THROW(object.setProperty("rect", "1,2,3"), quortypes::exception);
    EXPECT_EQ(object.getProperty("size"), "30.000000,40.000000");
    EXPECT_TRUE(object.setProperty("zorder", "abc"));
    EXPECT_EQ(object.getZOrder(), 0);
    EXPECT_FALSE(object.setProperty("name", "x"));

    harray<PropertyInfo> table = object.getPropertyDescriptions();
    ASSERT_EQ(table.size(), 34);
    EXPECT_EQ(table.front(), PropertyInfo("rect", 7));
    EXPECT_EQ(table[16], PropertyInfo("color", 9));
    EXPECT_EQ(table.back(), PropertyInfo("full_name", 5));
    for (const PropertyInfo& info : table)
    {
        if (info.name != "name" && info.name != "full_name")
        {
            hstring text = object.getProperty(info.name);
            EXPECT_TRUE(object.setProperty(info.name, text)) << info.name;
            EXPECT_EQ(object.getProperty(info.name), text) << info.name;
        }
    }

    uitest::LogCapture log;
    EXPECT_TRUE(object.setProperty("anchors", "Left, BOTTOM"));
    EXPECT_TRUE(object.isAnchorLeft() && object.isAnchorBottom() && !object.isAnchorTop());
    EXPECT_FALSE(object.setProperty("anchors", "left,middle,,centre"));
    EXPECT_TRUE(object.isAnchorLeft() && !object.isAnchorBottom());
    EXPECT_EQ(log.take(), uitest::Lines{"WARNING: 'anchors=' does not support values 'middle,centre'."});
}

TEST(ObjectTree, misuseThrowsItsTextAndChangesNothing)
{
    Dataset dataset("", "menu");
    Object parent("p", Rectangle(0, 0, 10, 10)), other("q", Rectangle(0, 0, 10, 10)),
        child("c", Rectangle(0, 0, 10, 10));
    parent.addChild(&child);
    using uitest::thrownText;
    EXPECT_EQ(thrownText<_ObjectHasParentException>([&] { other.addChild(&child); }),
              "Cannot attach object 'c' to object 'q', object already attached to another parent");
    EXPECT_EQ(thrownText<_ObjectNotChildException>([&] { other.removeChild(&child); }),
              "Cannot detach object 'c' from object 'q', object is not a child");
    EXPECT_EQ(thrownText<_ObjectWithoutParentException>([&] { other.detach(); }),
              "Cannot detach object 'q', object has no parent");
    // No object becomes its own ancestor.
    EXPECT_THROW(parent.addChild(&parent), _GenericException);
    EXPECT_THROW(child.addChild(&parent), _GenericException);
    EXPECT_EQ(parent.getParent(), nullptr);
    EXPECT_TRUE(child.getChildren().empty() && other.getChildren().empty());
    EXPECT_EQ(child.getParent(), &parent);
    EXPECT_EQ(thrownText<_GenericException>([&] { dataset.getObject("missing"); }),
              "Object doesn't exist: 'missing' in dataset 'menu'");
}

TEST(ObjectTree, deletingAnObjectDirectlyUnlinksItQuietly)
{
    harray<hstring> journal;
    Object* parent = new Recorder("p", Rectangle(0, 0, 10, 10), &journal);
    Object* middle = new Recorder("m", Rectangle(0, 0, 10, 10), &journal);
    Object* child = new Recorder("c", Rectangle(0, 0, 10, 10), &journal);
    parent->addChild(middle);
    middle->addChild(child);
    journal.clear();
    delete middle;
    EXPECT_TRUE(parent->getChildren().empty());
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_TRUE(journal.empty());
    delete parent;
    delete child;

    // Through a dataset: its map, its focus and the cursor caches above forget the object too.
    Dataset dataset("", "d");
    Object* root = new Object("root", Rectangle(0, 0, 10, 10));
    Object* top = new Object("top", Rectangle(0, 0, 10, 10));
    Object* leaf = new Object("leaf", Rectangle(0, 0, 10, 10));
    root->addChild(top);
    top->addChild(leaf);
    dataset.registerObjects(root);
    leaf->setFocused(true);
    setCursorPosition(kavtypes::Vector2(5, 5));
    EXPECT_EQ(root->getChildUnderCursor(), leaf);
    delete leaf;
    EXPECT_EQ(root->getChildUnderCursor(), top);
    EXPECT_FALSE(dataset.hasObject("leaf"));
    EXPECT_EQ(dataset.getFocusedObject(), nullptr);
    // Children removed wholesale leave no cached pointer behind in the ancestors either.
    Object* loose = new Object("loose", Rectangle(0, 0, 10, 10));
    top->addChild(loose);
    root->clearChildUnderCursor();
    EXPECT_EQ(root->getChildUnderCursor(), loose);
    top->removeChildren();
    delete loose;
    EXPECT_EQ(root->getChildUnderCursor(), top);
}

TEST(ObjectTree, datasetOperationsWithoutADatasetWarnAndDoNothing)
{
    uitest::LogCapture log;
    Object parent("lonely", Rectangle(0, 0, 10, 10)), child("child", Rectangle(0, 0, 10, 10)),
        other("other", Rectangle(0, 0, 10, 10));
    parent.addChild(&child);
    parent.registerEvent("Click", [](EventArgs*) { FAIL(); });
    EXPECT_FALSE(parent.triggerEvent("Click", 1u));
    parent.setFocused(true);
    EXPECT_FALSE(parent.isFocused());
    parent.destroyChildren();
    parent.addChildAndRegister(&other);
    parent.removeChildAndUnregister(&child);
    EXPECT_EQ(other.getParent(), nullptr);
    EXPECT_EQ(child.getParent(), &parent);
    uitest::Lines expected;
    for (const char* what : {"trigger event 'Click'", "take the focus", "destroy its children",
                             "add and register child 'other'", "remove and unregister child 'child'"})
        expected.push_back(std::string("WARNING: Object 'lonely' belongs to no dataset, cannot ") + what +
                           ".");
    EXPECT_EQ(log.take(), expected);
}
