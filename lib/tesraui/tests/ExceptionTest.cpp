#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/exception.h>

using namespace tesraui;

TEST(UiExceptions, messagesKeepTheirExactTexts)
{
    Dataset dataset("", "menu");
    EXPECT_EQ(_GenericException("plain", "src/tesraui", 4).getMessage(), "[tesraui:4] plain");
    EXPECT_EQ(_ObjectExistsException("tex", "a.dts", "src/Dataset", 1).getMessage(),
              "[Dataset:1] Object already exists: tex in a.dts");
    EXPECT_EQ(_ObjectHasParentException("c", "p", "src/objects/Object", 2).getMessage(),
              "[Object:2] Cannot attach object 'c' to object 'p', object already attached to another parent");
    EXPECT_EQ(_ObjectNotChildException("c", "p", "src/objects/Object", 3).getMessage(),
              "[Object:3] Cannot detach object 'c' from object 'p', object is not a child");
    EXPECT_EQ(_ObjectWithoutParentException("c", "src/objects/Object", 4).getMessage(),
              "[Object:4] Cannot detach object 'c', object has no parent");
    EXPECT_EQ(_ObjectFactoryExistsException("Label", "src/tesraui", 5).getMessage(),
              "[tesraui:5] Object factory named 'Label' already exists");
    EXPECT_EQ(_ObjectFactoryNotExistsException("Label", "src/tesraui", 6).getMessage(),
              "[tesraui:6] Object factory named 'Label' doesn't exists");
    EXPECT_EQ(_AnimatorFactoryExistsException("MoverX", "src/tesraui", 7).getMessage(),
              "[tesraui:7] Animator factory named 'MoverX' already exists");
    EXPECT_EQ(_ResourceExistsException("b", "Image", &dataset, "src/Dataset", 8).getMessage(),
              "[Dataset:8] Image already exists: b in dataset menu");
    EXPECT_EQ(_ResourceNotExistsException("b", "Texture", &dataset, "src/Dataset", 9).getMessage(),
              "[Dataset:9] Texture doesn't exist: 'b' in dataset 'menu'");
    EXPECT_EQ(_InvalidObjectTypeCast("cast", "src/Dataset", 10).getMessage(), "[Dataset:10] cast");
}

TEST(UiExceptions, treeMisuseThrowsAndChangesNothing)
{
    Object parent("p", kavtypes::Rectangle(0, 0, 10, 10));
    Object other("q", kavtypes::Rectangle(0, 0, 10, 10));
    Object child("c", kavtypes::Rectangle(0, 0, 10, 10));
    parent.addChild(&child);
    EXPECT_THROW(other.addChild(&child), _ObjectHasParentException);
    EXPECT_EQ(child.getParent(), &parent);
    EXPECT_TRUE(other.getChildren().empty());
    try
    {
        other.removeChild(&child);
        FAIL();
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_TRUE(
            e.getMessage().endsWith("Cannot detach object 'c' from object 'q', object is not a child"));
    }
    EXPECT_THROW(other.detach(), _ObjectWithoutParentException);
    EXPECT_EQ(parent.getChildren().size(), 1);
    // No object becomes its own ancestor.
    EXPECT_THROW(parent.addChild(&parent), _GenericException);
    EXPECT_THROW(child.addChild(&parent), _GenericException);
    EXPECT_EQ(parent.getParent(), nullptr);
    EXPECT_TRUE(child.getChildren().empty());
    try
    {
        Dataset dataset("", "d");
        dataset.getObject("missing");
        FAIL();
    }
    catch (const _GenericException& e)
    {
        EXPECT_TRUE(e.getMessage().endsWith("Object doesn't exist: 'missing' in dataset 'd'"));
    }
}
