#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellImageSlider.h>
#include <orvalo/UpsellImageSliderStatic.h>
#include <orvalo/UpsellScreen.h>
#include <orvalo/UpsellTextSlider.h>
#include <quortypes_testing/PropertyJournal.h>

using kavtypes::Rectangle;
using Journal = quortypes_testing::PropertyJournal;
using Lines = Journal::Lines;

// The screens and sliders list their own properties after the UI object's, read back what was set and
// leave every other name to the UI object; the journals are their own scripts (see PropertyJournal).
namespace
{
    struct Case
    {
        const char* kind;
        std::function<tesraui::Object*()> make;
        Lines own;
        Lines journal;
    };

    const Lines fallThrough = {"x=3: taken, reads '3.000000'", "no_such -> ''",
                               "no_such=1: refused, reads ''"};

    template <class T> std::function<tesraui::Object*()> make()
    {
        return [] { return new T("o", Rectangle(0, 0, 10, 10)); };
    }
} // namespace

TEST(PropertyTables, ScreensAndSlidersAfterTheObjectsOwn)
{
    const Lines object = Journal::described(tesraui::Object("o", Rectangle(0, 0, 1, 1)));
    const Lines imageSliderRows = {"image_name_prefix:STRING", "display_time:FLOAT", "move_time:FLOAT"};
    const std::vector<Case> cases = {
        {"MoreGamesScreen",
         make<orvalo::MoreGamesScreen>(),
         {"appear_speed:FLOAT"},
         {"appear_speed -> '3.000000'", "appear_speed=2.5: taken, reads '2.500000'"}},
        {"UpsellScreen",
         make<orvalo::UpsellScreen>(),
         {"contact_time_out:FLOAT"},
         {"contact_time_out -> '60.000000'", "contact_time_out=12.5: taken, reads '12.500000'"}},
        {"UpsellTextSlider",
         make<orvalo::UpsellTextSlider>(),
         {"text_key_prefix:STRING", "font:STRING", "display_time:FLOAT", "move_time:FLOAT",
          "move_range:FLOAT"},
         {"text_key_prefix -> ''", "font -> ''", "display_time -> '3.000000'", "move_time -> '0.500000'",
          "move_range -> '50.000000'", "text_key_prefix=orvalo.tip_: taken, reads 'orvalo.tip_'",
          "font=f: taken, reads 'f'", "display_time=3: taken, reads '3.000000'",
          "move_time=0.5: taken, reads '0.500000'", "move_range=-20: taken, reads '-20.000000'"}},
        {"UpsellImageSlider",
         make<orvalo::UpsellImageSlider>(),
         Journal::joined(
             {imageSliderRows, {"image_animation_amplitude:FLOAT", "image_animation_speed:FLOAT"}}),
         {"image_name_prefix -> ''", "display_time -> '3.000000'", "move_time -> '0.500000'",
          "image_animation_amplitude -> '3.000000'", "image_animation_speed -> '1.000000'",
          "image_name_prefix=img_: taken, reads 'img_'", "display_time=2: taken, reads '2.000000'",
          "move_time=1: taken, reads '1.000000'", "image_animation_amplitude=5: taken, reads '5.000000'",
          "image_animation_speed=1.5: taken, reads '1.500000'"}},
        {"UpsellImageSliderStatic",
         make<orvalo::UpsellImageSliderStatic>(),
         Journal::joined({imageSliderRows,
                          {"image_indicator_active:STRING", "image_indicator_inactive:STRING",
                           "image_indicator_offset:FLOAT"}}),
         {"image_name_prefix -> ''", "display_time -> '5.000000'", "move_time -> '5.000000'",
          "image_indicator_active -> ''", "image_indicator_inactive -> ''",
          "image_indicator_offset -> '8.000000'", "image_name_prefix=pic_: taken, reads 'pic_'",
          "display_time=4: taken, reads '4.000000'", "move_time=6: taken, reads '6.000000'",
          "image_indicator_active=on: taken, reads 'on'", "image_indicator_inactive=off: taken, reads 'off'",
          "image_indicator_offset=12: taken, reads '12.000000'"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.kind);
        std::unique_ptr<tesraui::Object> made(c.make());
        EXPECT_EQ(Journal::described(*made), Journal::joined({object, c.own}));
        const Lines journal = Journal::joined({c.journal, fallThrough});
        EXPECT_EQ(Journal::replay(*made, journal), journal);
    }
}
