#include <cmath>

#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;
using uitest::Recorder;

static harray<hstring> names(const harray<Object*>& objects)
{
    harray<hstring> result;
    for (Object* object : objects)
    {
        result.push_back(object->getName());
    }
    return result;
}

TEST(ObjectTree, centreAndStableZOrder)
{
    EXPECT_EQ(Object("a", Rectangle(0, 0, 100, 50)).getCenter(), kavtypes::Vector2(50, 25));
    EXPECT_EQ(Object("b", Rectangle(0, 0, -1, -1)).getCenter(), kavtypes::Vector2(0, 0));

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
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"a", "c", "b"}));
    a.setZOrder(7);
    EXPECT_EQ(names(root.getChildren()), harray<hstring>({"c", "b", "a"}));
    EXPECT_EQ(journal, harray<hstring>({"a:AttachToObject", "b:AttachToObject", "c:AttachToObject"}));

    journal.clear();
    root.removeChild(&b);
    EXPECT_EQ(journal, harray<hstring>({"b:DetachFromObject"}));
    EXPECT_EQ(b.getParent(), nullptr);
    a.addChild(&b);
    EXPECT_TRUE(b.isDescendantOf(&root));
    EXPECT_FALSE(b.isDescendantOf(nullptr));
    EXPECT_FALSE(root.isDescendantOf(&b));
    EXPECT_EQ(names(root.getDescendants()), harray<hstring>({"c", "a", "b"}));
    root.removeChildren(true);
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_TRUE(a.getChildren().empty());
    EXPECT_EQ(a.getParent(), nullptr);
    EXPECT_EQ(b.getParent(), nullptr);
}

TEST(ObjectTree, anchorsFollowTheParentsSize)
{
    harray<hstring> journal;
    Object parent("p", Rectangle(0, 0, 200, 100));
    Recorder left("left", Rectangle(10, 10, 50, 20), &journal);
    Recorder right("right", Rectangle(10, 10, 50, 20), &journal);
    Recorder none("none", Rectangle(10, 10, 50, 20), &journal);
    Recorder both("both", Rectangle(10, 10, 50, 20), &journal);
    right.setAnchors(false, true, true, false);
    none.setAnchors(false, false, true, false);
    both.setAnchors(true, true, true, false);
    for (Object* child : {(Object*)&left, (Object*)&right, (Object*)&none, (Object*)&both})
    {
        parent.addChild(child);
    }
    journal.clear();
    parent.setWidth(300);
    EXPECT_EQ(parent.getWidth(), 300);
    EXPECT_EQ(left.getRect(), Rectangle(10, 10, 50, 20));
    EXPECT_EQ(right.getRect(), Rectangle(110, 10, 50, 20));
    EXPECT_EQ(none.getRect(), Rectangle(60, 10, 50, 20));
    EXPECT_EQ(both.getRect(), Rectangle(10, 10, 150, 20));
    EXPECT_FLOAT_EQ(both.getCenterX(), 75);
    EXPECT_EQ(journal, harray<hstring>({"both:Resized"}));

    parent.setWidth(300.005f);
    EXPECT_EQ(right.getRect(), Rectangle(110, 10, 50, 20));
    EXPECT_EQ(both.getRect(), Rectangle(10, 10, 150, 20));

    // Height: bottom-anchored moves by the whole change, unanchored by half.
    right.setAnchors(true, false, false, true);
    none.setAnchors(true, false, false, false);
    parent.setHeight(140);
    EXPECT_EQ(right.getY(), 50);
    EXPECT_EQ(none.getY(), 30);
    EXPECT_EQ(left.getY(), 10);

    // Retained aspect: the height follows the width, centred vertically when top and bottom agree.
    Object frame("frame", Rectangle(0, 0, 200, 200));
    Object keeper("keeper", Rectangle(0, 100, 100, 50));
    keeper.setAnchors(true, true, false, false);
    keeper.setRetainAnchorAspect(true);
    frame.addChild(&keeper);
    frame.setWidth(300);
    EXPECT_EQ(keeper.getRect(), Rectangle(0, 75, 200, 100));
    EXPECT_EQ(keeper.getCenter(), kavtypes::Vector2(100, 50));
}

TEST(ObjectTree, anchorLayoutOfAChildWithoutWidthStaysFinite)
{
    Object frame("frame", Rectangle(0, 0, 200, 200));
    Object flat("flat", Rectangle(0, 0, 0, 40));
    flat.setAnchors(true, true, true, true);
    flat.setRetainAnchorAspect(true);
    frame.addChild(&flat);
    frame.setWidth(300);
    EXPECT_EQ(flat.getRect(), Rectangle(0, 0, 100, 40));
    Object thin("thin", Rectangle(0, 0, 40, 0));
    thin.setAnchors(true, true, true, true);
    thin.setRetainAnchorAspect(true);
    frame.addChild(&thin);
    frame.setHeight(300);
    EXPECT_EQ(thin.getRect(), Rectangle(0, 0, 40, 100));
    EXPECT_FALSE(std::isnan(thin.getCenterX()) || std::isnan(flat.getCenterY()));
}

TEST(ObjectTree, derivedAlphaColourVisibilityAndEnabled)
{
    Object grandparent("g", Rectangle(0, 0, 10, 10));
    Object parent("p", Rectangle(0, 0, 10, 10));
    Object child("c", Rectangle(0, 0, 10, 10));
    grandparent.addChild(&parent);
    parent.addChild(&child);
    parent.setColor(tesra::Color(10, 20, 30, 128));
    child.setColor(tesra::Color(40, 50, 60, 255));
    EXPECT_EQ(child.getDerivedAlpha(), 128);
    EXPECT_EQ(child.getDerivedColor(), tesra::Color(40, 50, 60, 128));
    EXPECT_EQ(child.getDerivedAlpha(&child), 255);
    EXPECT_EQ(child.getDerivedAlpha(&parent), 255);
    grandparent.setAlpha(128);
    EXPECT_EQ(child.getDerivedAlpha(), 64);
    EXPECT_EQ(child.getDerivedAlpha(&grandparent), 128);
    child.setInheritAlpha(false);
    EXPECT_EQ(child.getDerivedAlpha(), 255);
    EXPECT_EQ(child.getDerivedColor().a, 255);

    EXPECT_TRUE(child.isDerivedVisible());
    parent.setAlpha(0);
    EXPECT_FALSE(child.isDerivedVisible());
    parent.setAlpha(128);
    grandparent.setVisible(false);
    EXPECT_FALSE(child.isDerivedVisible());

    EXPECT_EQ(child.getDisabledAlphaFactor(), 1.0f);
    grandparent.setEnabled(false);
    EXPECT_FALSE(child.isDerivedEnabled());
    EXPECT_TRUE(child.isEnabled());
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
    EXPECT_EQ(object.getProperty("visible"), "1");
    EXPECT_EQ(object.getProperty("color"), "FFFFFFFF");
    EXPECT_EQ(object.getProperty("rect"), "12.500000,0.000000,100.000000,50.000000");
    EXPECT_EQ(object.getProperty("unknown"), "");
    EXPECT_FALSE(object.setProperty("unknown", "1"));
    EXPECT_TRUE(object.setProperty("alpha", "300"));
    EXPECT_EQ(object.getAlpha(), 44);
    EXPECT_EQ(object.getProperty("alpha"), "44");
    EXPECT_TRUE(object.setProperty("color", "0a0B0c"));
    EXPECT_EQ(object.getProperty("color"), "0A0B0CFF");
    EXPECT_TRUE(object.setProperty("size", " 30 , 40 "));
    EXPECT_EQ(object.getProperty("size"), "30.000000,40.000000");
    EXPECT_THROW(object.setProperty("rect", "1,2,3"), quortypes::exception);
    EXPECT_EQ(object.getProperty("size"), "30.000000,40.000000");
    EXPECT_TRUE(object.setProperty("zorder", "abc"));
    EXPECT_EQ(object.getZOrder(), 0);
    EXPECT_TRUE(object.setProperty("enabled", "FALSE"));
    EXPECT_FALSE(object.isEnabled());
    EXPECT_FALSE(object.setProperty("name", "x"));
    EXPECT_EQ(object.getName(), "obj");
    EXPECT_EQ(object.getProperty("full_name"), "obj");

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
    EXPECT_TRUE(object.isAnchorLeft() && object.isAnchorBottom());
    EXPECT_FALSE(object.isAnchorRight() || object.isAnchorTop());
    EXPECT_FALSE(object.setProperty("anchors", "left,middle,,centre"));
    EXPECT_TRUE(object.isAnchorLeft());
    EXPECT_FALSE(object.isAnchorRight() || object.isAnchorTop() || object.isAnchorBottom());
    EXPECT_TRUE(log.contains("'anchors=' does not support values 'middle,centre'."));
    EXPECT_EQ(object.getProperty("anchors"), "");
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
    parent->addChild(child);
    delete parent;
    EXPECT_EQ(child->getParent(), nullptr);
    delete child;

    // The same through a dataset: its map, its focus and the cursor caches above forget the object too.
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
    EXPECT_TRUE(top->getChildren().empty());
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
    Object parent("lonely", Rectangle(0, 0, 10, 10));
    Object child("child", Rectangle(0, 0, 10, 10));
    parent.addChild(&child);
    int runs = 0;
    static int* counter = nullptr;
    counter = &runs;
    parent.registerEvent("Click", [](EventArgs*) { ++*counter; });
    EXPECT_FALSE(parent.triggerEvent("Click", 1u));
    EXPECT_FALSE(parent.triggerEvent("Unknown", 1u));
    parent.setFocused(true);
    EXPECT_FALSE(parent.isFocused());
    parent.destroyChildren();
    EXPECT_EQ(parent.getChildren().size(), 1);
    Object other("other", Rectangle(0, 0, 10, 10));
    parent.addChildAndRegister(&other);
    EXPECT_EQ(other.getParent(), nullptr);
    parent.removeChildAndUnregister(&child);
    EXPECT_EQ(child.getParent(), &parent);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(log.contains("Object 'lonely' belongs to no dataset, cannot trigger event 'Click'."));
    EXPECT_TRUE(log.contains("Object 'lonely' belongs to no dataset, cannot take the focus."));
    EXPECT_TRUE(log.contains("Object 'lonely' belongs to no dataset, cannot destroy its children."));
    EXPECT_EQ(log.lines.size(), 5);
}
