#include <memory>
#include <utility>

#include <tesraui/CompositeImage.h>
#include <tesraui/HeldImage.h>
#include <tesraui/Image.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::HeldImage;
using tesraui::Image;

TEST(HeldImage, EveryHolderCountsOnceAcrossCopiesMovesAndReassignments)
{
    Image first(nullptr, "first", Rectangle());
    Image second(nullptr, "second", Rectangle());
    HeldImage held(&first);
    EXPECT_EQ(first.countHolders(), 1);
    {
        HeldImage copy(held);
        HeldImage assigned;
        assigned = copy;
        EXPECT_EQ(first.countHolders(), 3);
        HeldImage moved(std::move(copy));
        EXPECT_EQ(first.countHolders(), 3);
        EXPECT_EQ(copy.get(), nullptr);
    }
    EXPECT_EQ(first.countHolders(), 1);

    // Holding the same image again, as buttons do every frame, changes nothing.
    held = &first;
    EXPECT_EQ(first.countHolders(), 1);
    held = &second;
    EXPECT_EQ(first.countHolders(), 0);
    EXPECT_EQ(second.countHolders(), 1);
    EXPECT_EQ(held->getName(), "second");
    held = nullptr;
    EXPECT_EQ(second.countHolders(), 0);
    EXPECT_EQ(held.get(), nullptr);
}

TEST(HeldImage, AnImageDeletedWhileHeldReadsAsNull)
{
    std::unique_ptr<Image> image(new Image(nullptr, "gone", Rectangle()));
    HeldImage held(image.get());
    tesraui::CompositeImage composite("composite", kavtypes::Vector2(4, 4));
    composite.addImageRef(image.get(), Rectangle(0, 0, 4, 4));
    image.reset();
    EXPECT_EQ(held.get(), nullptr);
    EXPECT_EQ(composite.getImageRefs()[0].first, nullptr);
    // Drawing passes over the reference instead of following it.
    composite.draw(Rectangle(0, 0, 8, 8), tesra::Color());
}
