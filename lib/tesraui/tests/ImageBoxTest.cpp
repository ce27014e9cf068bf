#include <gtest/gtest.h>

#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

using kavtypes::Rectangle;
using tesraui::ImageBox;

namespace
{
    harray<hstring>& clicks()
    {
        static harray<hstring> list;
        return list;
    }

    void recordClick(tesraui::EventArgs* args)
    {
        clicks().push_back(args->object->getName() + formatString(" %u", args->keyCode));
    }
} // namespace

TEST(ImageBoxes, ImagesByNameAndSize)
{
    tesraui::Dataset dataset("", "boxes");
    dataset.load();
    tesraui::CompositeImage* image = new tesraui::CompositeImage("pic", kavtypes::Vector2(64, 32));
    dataset.registerImage(image);
    ImageBox* box = new ImageBox("box", Rectangle(5, 5, -1, 50));
    dataset.registerObjects(box);
    EXPECT_EQ(box->getImageName(), "");
    box->_draw(); // takes the null image, keeps its name
    EXPECT_EQ(box->getImage(), dataset.getImage("null"));
    EXPECT_EQ(box->getImageName(), "");
    box->setImage(nullptr);
    EXPECT_EQ(box->getProperty("image"), "null");

    EXPECT_TRUE(box->setProperty("image", "pic"));
    EXPECT_EQ(box->getRect(), Rectangle(5, 5, 64, 50));
    EXPECT_EQ(box->getCenter(), kavtypes::Vector2(32, 25));
    EXPECT_EQ(box->getImageName(), "boxes.pic");
    EXPECT_FALSE(box->setImageByNameIfChanged("boxes.pic"));
    EXPECT_TRUE(box->setImageByNameIfChanged("pic"));
    EXPECT_THROW(box->setProperty("image", "missing"), tesraui::_ResourceNotExistsException);
    EXPECT_EQ(box->getImages(), harray<tesraui::Image*>({image}));
    // "UpdateImage" looks the image up again; a box that never named one has nothing to look up.
    ImageBox* bare = new ImageBox("bare", Rectangle(0, 0, 1, 1));
    dataset.registerObjects(bare);
    EXPECT_NO_THROW(dataset.notifyEvent("UpdateImage", nullptr));
    EXPECT_EQ(bare->getImage(), nullptr);
    EXPECT_EQ(box->getImage(), image);

    // A release over the box reports a click, wherever the press began.
    box->registerEvent("Click", &recordClick);
    tesraui::setCursorPosition(kavtypes::Vector2(10, 10));
    EXPECT_TRUE(box->onMouseUp(1));
    tesraui::setCursorPosition(kavtypes::Vector2(100, 100));
    EXPECT_FALSE(box->onMouseUp(1));
    EXPECT_FALSE(box->onMouseDown(1));
    dataset.processEvents();
    EXPECT_EQ(clicks(), harray<hstring>({"box 1"}));
}
