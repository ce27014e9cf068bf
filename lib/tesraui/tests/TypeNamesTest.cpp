#include <algorithm>

#include "UiTestSupport.h"

using kavtypes::Rectangle;

namespace
{
    bool has(const harray<hstring>& names, const hstring& name)
    {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
} // namespace

// The reference of the scripts' object types is built from these lists: a registered kind must show, a
// removed one must go, and objects and animators must not mix.
TEST(TypeNames, FollowTheFactoriesInNameOrder)
{
    uitest::FakeWindow window;
    uitest::LogCapture log;
    tesraui::init();
    tesraui::registerObjectFactory("Aardvark", [](const hstring& name, Rectangle rect)
                                   { return new tesraui::Object(name, rect); });
    const harray<hstring> objects = tesraui::getObjectTypeNames();
    EXPECT_TRUE(has(objects, "Aardvark"));
    EXPECT_TRUE(has(objects, "ImageBox"));
    EXPECT_FALSE(has(objects, "MoverX"));
    EXPECT_TRUE(std::is_sorted(objects.begin(), objects.end()));
    const harray<hstring> animators = tesraui::getAnimatorTypeNames();
    EXPECT_TRUE(has(animators, "MoverX"));
    EXPECT_FALSE(has(animators, "ImageBox"));
    tesraui::unregisterObjectFactory("Aardvark");
    EXPECT_FALSE(has(tesraui::getObjectTypeNames(), "Aardvark"));
    tesraui::destroy();
}
