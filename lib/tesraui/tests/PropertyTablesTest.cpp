#include <tesraui/Animators.h>
#include <tesraui/Container.h>
#include <tesraui/EditBox.h>
#include <tesraui/Image.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ProgressBar.h>
#include <tesraui/ProgressCircle.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/TextImageButton.h>
#include <tesraui/TiledImage.h>
#include <tesraui/ToggleButton.h>
#include <quortypes_testing/PropertyJournal.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using Journal = quortypes_testing::PropertyJournal;
using Lines = Journal::Lines;

// Each class's listed properties with their types and order, the texts its values read back as, what it
// does with refused values and where the names it does not hold go: data files and scripts rely on all of
// it. The journals are their own scripts: each line not indented is a step that is run again.
namespace
{
    const Lines objectRows = {"rect:RECT",
                              "position:GVEC2",
                              "size:GVEC2",
                              "x:FLOAT",
                              "y:FLOAT",
                              "w:FLOAT",
                              "h:FLOAT",
                              "visible:BOOL",
                              "zorder:INT",
                              "enabled:BOOL",
                              "click_through:BOOL",
                              "inherit_alpha:BOOL",
                              "red:UCHAR",
                              "green:UCHAR",
                              "blue:UCHAR",
                              "alpha:UCHAR",
                              "color:COLOR",
                              "angle:FLOAT",
                              "scale:GVEC2",
                              "scale_x:FLOAT",
                              "scale_y:FLOAT",
                              "center:GVEC2",
                              "center_x:FLOAT",
                              "center_y:FLOAT",
                              "anchor_left:BOOL",
                              "anchor_right:BOOL",
                              "anchor_top:BOOL",
                              "anchor_bottom:BOOL",
                              "retain_anchor_aspect:BOOL",
                              "clip:BOOL",
                              "use_disabled_alpha:BOOL",
                              "focus_index:INT",
                              "name:STRING",
                              "full_name:STRING"};
    const Lines imageBoxRows = Journal::joined({objectRows, {"image:STRING"}});
    const Lines imageButtonRows = Journal::joined(
        {imageBoxRows, {"pushed_image:STRING", "hover_image:STRING", "disabled_image:STRING"}});
    // The text block's, after its owner's.
    const Lines textRows = {"font:STRING",          "text:STRING",           "text_key:STRING",
                            "horz_formatting:ENUM", "vert_formatting:ENUM",  "text_color:COLOR",
                            "effect:ENUM",          "text_offset:GVEC2",     "text_offset_x:FLOAT",
                            "text_offset_y:FLOAT",  "background_color:COLOR"};
    const Lines labelRows = Journal::joined({objectRows, textRows});
    // The progress block's, after the image box's.
    const Lines progressRows =
        Journal::joined({imageBoxRows, {"progress_image:STRING", "mask_image:STRING", "progress:FLOAT"}});
    const Lines animatorRows = Journal::joined(
        {objectRows,
         {"function:ENUM", "func:ENUM", "timer:FLOAT", "delay:FLOAT", "periods:FLOAT", "amplitude:FLOAT",
          "peak_to_peak:FLOAT", "speed:FLOAT", "offset:FLOAT", "acceleration:FLOAT", "discrete_step:INT",
          "reset:BOOL", "inherit_value:BOOL", "target:FLOAT", "time:FLOAT"}});
    const Lines imageRows = {"rect:RECT",       "position:GVEC2",
                             "size:GVEC2",      "x:FLOAT",
                             "y:FLOAT",         "w:FLOAT",
                             "h:FLOAT",         "color:COLOR",
                             "rotated:BOOL",    "invert_x:BOOL",
                             "invert_y:BOOL",   "blend_mode:ENUM",
                             "color_mode:ENUM", "color_mode_factor:FLOAT",
                             "texture:STRING",  "dataset:STRING"};

    template <class T> void check(T& subject, const Lines& described, const Lines& journal)
    {
        EXPECT_EQ(Journal::described(subject), described);
        EXPECT_EQ(Journal::replay(subject, journal), journal);
    }

    // The library over a fake window, and an empty dataset whose objects find its "null" image by name.
    class PropertyTables : public testing::Test
    {
    protected:
        uitest::UiLibrary library;
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Container* root = nullptr;

        void SetUp() override
        {
            this->dataset.reset(new tesraui::Dataset("", "props"));
            this->dataset->load();
            this->root = new tesraui::Container("root", Rectangle(0, 0, 100, 100));
            this->dataset->registerObjects(this->root);
        }

        void TearDown() override { this->dataset.reset(); }

        template <class T> T& add(T* object)
        {
            this->root->addChildAndRegister(object);
            return *object;
        }
    };
} // namespace

TEST_F(PropertyTables, ObjectReadsSetsRefusesAndThrows)
{
    check(this->add(new tesraui::Object("o", Rectangle(0, 0, 10, 20))), objectRows,
          {R"(rect -> '0.000000,0.000000,10.000000,20.000000')",
           R"(position -> '0.000000,0.000000')",
           R"(size -> '10.000000,20.000000')",
           R"(x -> '0.000000')",
           R"(y -> '0.000000')",
           R"(w -> '10.000000')",
           R"(h -> '20.000000')",
           R"(visible -> '1')",
           R"(zorder -> '0')",
           R"(enabled -> '1')",
           R"(click_through -> '0')",
           R"(inherit_alpha -> '1')",
           R"(red -> '255')",
           R"(green -> '255')",
           R"(blue -> '255')",
           R"(alpha -> '255')",
           R"(color -> 'FFFFFFFF')",
           R"(angle -> '0.000000')",
           R"(scale -> '1.000000,1.000000')",
           R"(scale_x -> '1.000000')",
           R"(scale_y -> '1.000000')",
           R"(center -> '5.000000,10.000000')",
           R"(center_x -> '5.000000')",
           R"(center_y -> '10.000000')",
           R"(anchor_left -> '1')",
           R"(anchor_right -> '0')",
           R"(anchor_top -> '1')",
           R"(anchor_bottom -> '0')",
           R"(retain_anchor_aspect -> '0')",
           R"(clip -> '0')",
           R"(use_disabled_alpha -> '1')",
           R"(focus_index -> '-1')",
           R"(name -> 'o')",
           R"(full_name -> 'props.o')",
           R"(anchors -> '')",
           R"(rect=1,2,3,4: taken, reads '1.000000,2.000000,3.000000,4.000000')",
           R"(position=5,6: taken, reads '5.000000,6.000000')",
           R"(size=7,8: taken, reads '7.000000,8.000000')",
           R"(x=1.5: taken, reads '1.500000')",
           R"(y=2.5: taken, reads '2.500000')",
           R"(w=30: taken, reads '30.000000')",
           R"(h=40: taken, reads '40.000000')",
           R"(visible=0: taken, reads '0')",
           R"(zorder=3: taken, reads '3')",
           R"(enabled=0: taken, reads '0')",
           R"(click_through=1: taken, reads '1')",
           R"(inherit_alpha=0: taken, reads '0')",
           R"(red=300: taken, reads '44')",
           R"(green=7: taken, reads '7')",
           R"(blue=-1: taken, reads '255')",
           R"(alpha=128: taken, reads '128')",
           R"(color=11223344: taken, reads '11223344')",
           R"(color=8090A0: taken, reads '8090A0FF')",
           R"(angle=45: taken, reads '45.000000')",
           R"(scale=2,3: taken, reads '2.000000,3.000000')",
           R"(scale_x=0.5: taken, reads '0.500000')",
           R"(scale_y=4: taken, reads '4.000000')",
           R"(center=1,2: taken, reads '1.000000,2.000000')",
           R"(center_x=3: taken, reads '3.000000')",
           R"(center_y=4: taken, reads '4.000000')",
           R"(anchor_left=0: taken, reads '0')",
           R"(anchor_right=1: taken, reads '1')",
           R"(anchor_top=0: taken, reads '0')",
           R"(anchor_bottom=0: taken, reads '0')",
           R"(retain_anchor_aspect=1: taken, reads '1')",
           R"(anchors=left, Top: taken, reads '')",
           R"(anchor_left -> '1')",
           R"(anchor_right -> '0')",
           R"(anchor_top -> '1')",
           R"(anchor_bottom -> '0')",
           R"(anchors=right,middle: refused, reads '')",
           R"(  tesraui: WARNING: 'anchors=' does not support values 'middle'.)",
           R"(anchor_left -> '0')",
           R"(anchor_right -> '1')",
           R"(clip=1: taken, reads '1')",
           R"(use_disabled_alpha=0: taken, reads '0')",
           R"(focus_index=2: taken, reads '2')",
           R"(name=other: refused, reads 'o')",
           R"(full_name=x: refused, reads 'props.o')",
           R"(no_such -> '')",
           R"(no_such=1: refused, reads '')",
           R"(rect=1: throws 'Cannot convert string '1' to kavtypes::Rectangle.')"});
}

TEST_F(PropertyTables, ImagesWithDeprecatedNamesAndUnknownModes)
{
    tesraui::Image image(nullptr, "img", Rectangle(1, 2, 3, 4));
    {
        SCOPED_TRACE("Image");
        check(image, imageRows,
              {R"(rect -> '1.000000,2.000000,3.000000,4.000000')",
               R"(position -> '1.000000,2.000000')",
               R"(size -> '3.000000,4.000000')",
               R"(x -> '1.000000')",
               R"(y -> '2.000000')",
               R"(w -> '3.000000')",
               R"(h -> '4.000000')",
               R"(color -> 'FFFFFFFF')",
               R"(rotated -> '0')",
               R"(invert_x -> '0')",
               R"(invert_y -> '0')",
               R"(blend_mode -> 'default')",
               R"(color_mode -> 'default')",
               R"(color_mode_factor -> '1.000000')",
               R"(texture -> '')",
               R"(dataset -> '')",
               R"(vertical -> '0')",
               R"(  tesraui: WARNING: 'vertical' is deprecated. Use 'rotated' instead.)",
               R"(invertx -> '0')",
               R"(  tesraui: WARNING: 'invertx' is deprecated. Use 'invert_x' instead.)",
               R"(inverty -> '0')",
               R"(  tesraui: WARNING: 'inverty' is deprecated. Use 'invert_y' instead.)",
               R"(rect=5,6,7,8: taken, reads '5.000000,6.000000,7.000000,8.000000')",
               R"(position=1,1: taken, reads '1.000000,1.000000')",
               R"(size=2,3: taken, reads '2.000000,3.000000')",
               R"(x=9: taken, reads '9.000000')",
               R"(y=10: taken, reads '10.000000')",
               R"(w=11: taken, reads '11.000000')",
               R"(h=12: taken, reads '12.000000')",
               R"(color=10203040: taken, reads '10203040')",
               R"(rotated=1: taken, reads '1')",
               R"(vertical=0: taken, reads '0')",
               R"(  tesraui: WARNING: 'vertical=' is deprecated. Use 'rotated=' instead.)",
               R"(  tesraui: WARNING: 'vertical' is deprecated. Use 'rotated' instead.)",
               R"(invert_x=1: taken, reads '1')",
               R"(invertx=0: taken, reads '0')",
               R"(  tesraui: WARNING: 'invertx=' is deprecated. Use 'invert_x=' instead.)",
               R"(  tesraui: WARNING: 'invertx' is deprecated. Use 'invert_x' instead.)",
               R"(invert_y=1: taken, reads '1')",
               R"(inverty=0: taken, reads '0')",
               R"(  tesraui: WARNING: 'inverty=' is deprecated. Use 'invert_y=' instead.)",
               R"(  tesraui: WARNING: 'inverty' is deprecated. Use 'invert_y' instead.)",
               R"(blend_mode=add: taken, reads 'add')",
               R"(blend_mode=screen: taken, reads 'add')",
               R"(  tesraui: WARNING: Value 'screen' does not exist for property 'blend_mode' in 'img'!)",
               R"(color_mode=lerp: taken, reads 'lerp')",
               R"(color_mode=add: taken, reads 'lerp')",
               R"(  tesraui: WARNING: Value 'add' does not exist for property 'color_mode' in 'img'!)",
               R"(color_mode_factor=0.5: taken, reads '0.500000')",
               R"(texture=t: refused, reads '')",
               R"(dataset=d: refused, reads '')",
               R"(no_such -> '')",
               R"(no_such=1: refused, reads '')",
               R"(size=1: throws 'Cannot convert string '1' to kavtypes::Vector2.')"});
    }
    tesraui::TiledImage tiled(nullptr, "tiled", Rectangle(0, 0, 8, 8), 2, 3);
    {
        SCOPED_TRACE("TiledImage");
        check(tiled,
              Journal::joined({imageRows,
                               {"tile:GVEC2", "scroll:GVEC2", "tile_w:FLOAT", "tile_h:FLOAT",
                                "scroll_x:FLOAT", "scroll_y:FLOAT"}}),
              {R"(tile -> '2.000000,3.000000')", R"(scroll -> '0.000000,0.000000')",
               R"(tile_w -> '2.000000')", R"(tile_h -> '3.000000')", R"(scroll_x -> '0.000000')",
               R"(scroll_y -> '0.000000')", R"(tile=4,5: taken, reads '4.000000,5.000000')",
               R"(tile_w=6: taken, reads '6.000000')", R"(tile_h=7: taken, reads '7.000000')",
               R"(scroll=1,2: taken, reads '1.000000,2.000000')", R"(scroll_x=3: taken, reads '3.000000')",
               R"(scroll_y=-4: taken, reads '-4.000000')", R"(tile -> '6.000000,7.000000')",
               R"(x=3: taken, reads '3.000000')", R"(rotated=1: taken, reads '1')", R"(no_such -> '')",
               R"(no_such=1: refused, reads '')"});
    }
}

TEST_F(PropertyTables, ImageBoxesAndButtonsThroughBothBases)
{
    {
        SCOPED_TRACE("ImageBox");
        check(this->add(new tesraui::ImageBox("box", Rectangle(0, 0, 10, 10))), imageBoxRows,
              {R"(image -> '')", R"(image=null: taken, reads 'props.null')",
               R"(image=missing: throws 'Image doesn't exist: 'missing' in dataset 'props'')",
               R"(x=3: taken, reads '3.000000')", R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
    {
        SCOPED_TRACE("ImageButton");
        check(this->add(new tesraui::ImageButton("button", Rectangle(0, 0, 10, 10))), imageButtonRows,
              {R"(pushed_image -> '')", R"(hover_image -> '')", R"(disabled_image -> '')",
               R"(pushed_image=null: taken, reads 'props.null')",
               R"(hover_image=null: taken, reads 'props.null')",
               R"(disabled_image=null: taken, reads 'props.null')",
               R"(hover_image=missing: throws 'Image doesn't exist: 'missing' in dataset 'props'')",
               R"(image=null: taken, reads 'props.null')", R"(x=3: taken, reads '3.000000')",
               R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
    {
        SCOPED_TRACE("TextImageButton");
        check(
            this->add(new tesraui::TextImageButton("text_button", Rectangle(0, 0, 10, 10))),
            Journal::joined(
                {imageButtonRows,
                 textRows,
                 {"hover_text_color:COLOR", "pushed_text_color:COLOR", "disabled_text_color:COLOR"}}),
            {R"(hover_text_color -> '7F7F7FFF')", R"(pushed_text_color -> '33333333')",
             R"(disabled_text_color -> '7F7F7FFF')", R"(hover_text_color=102030: taken, reads '102030FF')",
             R"(pushed_text_color=40506070: taken, reads '40506070')",
             R"(disabled_text_color=FFFFFF80: taken, reads 'FFFFFF80')",
             R"(hover_text_color=purple: throws 'Color format must be either 0xRRGGBBAA or 0xRRGGBB (with or without 0x prefix)')",
             R"(text -> 'TextImageButton: text_button')", R"(text=Go: taken, reads 'Go')",
             R"(font=f: taken, reads 'f')", R"(hover_image=null: taken, reads 'props.null')",
             R"(effect=glow: refused, reads 'none')",
             R"(  tesraui: WARNING: 'effect=' does not support value 'glow'.)",
             R"(x=3: taken, reads '3.000000')", R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
}

TEST_F(PropertyTables, LabelsAndEditBoxesWithRefusedWords)
{
    {
        SCOPED_TRACE("Label");
        check(this->add(new tesraui::Label("label", Rectangle(0, 0, 10, 10))), labelRows,
              {R"(font -> '')",
               R"(text -> 'Label: label')",
               R"(text_key -> '')",
               R"(horz_formatting -> 'center_wrapped')",
               R"(vert_formatting -> 'center')",
               R"(text_color -> 'FFFFFFFF')",
               R"(effect -> 'none')",
               R"(text_offset -> '0.000000,0.000000')",
               R"(text_offset_x -> '0.000000')",
               R"(text_offset_y -> '0.000000')",
               R"(background_color -> '00000000')",
               R"(font=f: taken, reads 'f')",
               R"(text=Hello: taken, reads 'Hello')",
               R"(text_key=missing: taken, reads 'missing')",
               R"(  tesraui: WARNING: Text key 'missing' does not exist!)",
               R"(horz_formatting=left: taken, reads 'left')",
               R"(horz_formatting=justified: taken, reads 'justified')",
               R"(horz_formatting=top: refused, reads 'justified')",
               R"(  tesraui: WARNING: 'horz_formatting=' does not support value 'top'.)",
               R"(vert_formatting=bottom: taken, reads 'bottom')",
               R"(vert_formatting=left: refused, reads 'bottom')",
               R"(  tesraui: WARNING: 'vert_formatting=' does not support value 'left'.)",
               R"(text_color=11223344: taken, reads '11223344')",
               R"(background_color=556677: taken, reads '556677FF')",
               R"(effect=shadow: taken, reads 'shadow')",
               R"(effect=border:FF0000: taken, reads 'border:FF0000FF')",
               R"(effect=: taken, reads 'none')",
               R"(effect=glow: refused, reads 'none')",
               R"(  tesraui: WARNING: 'effect=' does not support value 'glow'.)",
               R"(effect=shadow:nope: refused, reads 'shadow')",
               R"(  tesraui: WARNING: 'effect=' is using invalid color modifier 'nope'.)",
               R"(effect -> 'shadow')",
               R"(text_offset=1,2: taken, reads '1.000000,2.000000')",
               R"(text_offset_x=3: taken, reads '3.000000')",
               R"(text_offset_y=4: taken, reads '4.000000')",
               R"(text_offset=1: throws 'Cannot convert string '1' to kavtypes::Vector2.')",
               R"(x=3: taken, reads '3.000000')",
               R"(no_such -> '')",
               R"(no_such=1: refused, reads '')"});
    }
    {
        SCOPED_TRACE("EditBox");
        check(this->add(new tesraui::EditBox("edit", Rectangle(0, 0, 10, 10))),
              Journal::joined(
                  {labelRows,
                   {"max_length:INT", "password_char:CHAR", "filter:STRING", "empty_text:STRING",
                    "empty_text_key:STRING", "cursor_index:INT", "multi_line:BOOL", "space_hack:BOOL"}}),
              {R"(max_length -> '0')",
               R"(password_char -> '')",
               R"(filter -> '')",
               R"(empty_text -> '')",
               R"(empty_text_key -> '')",
               R"(cursor_index -> '0')",
               R"(multi_line -> '0')",
               R"(space_hack -> '0')",
               R"(text=abcdef: taken, reads 'abcdef')",
               R"(max_length=3: taken, reads '3')",
               R"(text -> 'abc')",
               R"(password_char=*x: taken, reads '*')",
               R"(password_char=: taken, reads '')",
               R"(filter=abc: taken, reads 'abc')",
               R"(empty_text=type here: taken, reads 'type here')",
               R"(empty_text_key=missing: taken, reads 'missing')",
               R"(  tesraui: WARNING: Text key 'missing' does not exist!)",
               R"(cursor_index=2: taken, reads '2')",
               R"(cursor_index=99: taken, reads '3')",
               R"(multi_line=1: taken, reads '1')",
               R"(space_hack=1: taken, reads '1')",
               R"(horz_formatting=right: taken, reads 'right')",
               R"(x=3: taken, reads '3.000000')",
               R"(no_such -> '')",
               R"(no_such=1: refused, reads '')"});
    }
}

TEST_F(PropertyTables, ProgressThroughBothBasesWithAndWithoutADataset)
{
    {
        SCOPED_TRACE("ProgressBar");
        check(this->add(new tesraui::ProgressBar("bar", Rectangle(0, 0, 10, 10))),
              Journal::joined({progressRows, {"stretching:BOOL", "direction:ENUM"}}),
              {R"(progress_image -> '')", R"(mask_image -> '')", R"(progress -> '1.000000')",
               R"(stretching -> '0')", R"(direction -> 'right')",
               R"(progress_image=null: taken, reads 'props.null')",
               R"(mask_image=null: taken, reads 'props.null')", R"(progress=0.25: taken, reads '0.250000')",
               R"(progress_image=missing: throws 'Image doesn't exist: 'missing' in dataset 'props'')",
               R"(stretching=1: taken, reads '1')", R"(direction=down: taken, reads 'down')",
               R"(direction=sideways: refused, reads 'down')",
               R"(  tesraui: WARNING: 'direction=' does not support value 'sideways'.)",
               R"(image=null: taken, reads 'props.null')", R"(x=3: taken, reads '3.000000')",
               R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
    {
        SCOPED_TRACE("ProgressCircle");
        check(this->add(new tesraui::ProgressCircle("circle", Rectangle(0, 0, 10, 10))),
              Journal::joined({progressRows, {"direction:ENUM"}}),
              {R"(progress_image -> '')", R"(mask_image -> '')", R"(progress -> '1.000000')",
               R"(direction -> 'clockwise')",
               R"(direction=counterclockwise180: taken, reads 'counterclockwise180')",
               R"(direction=down: refused, reads 'counterclockwise180')",
               R"(  tesraui: WARNING: 'direction=' does not support value 'down'.)",
               R"(mask_image=null: taken, reads 'props.null')", R"(progress=2: taken, reads '2.000000')",
               R"(x=3: taken, reads '3.000000')", R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
    // Outside a dataset there are no images to name.
    tesraui::ProgressBar alone("alone", Rectangle(0, 0, 10, 10));
    {
        SCOPED_TRACE("ProgressBar outside a dataset");
        check(alone, Journal::joined({progressRows, {"stretching:BOOL", "direction:ENUM"}}),
              {R"(progress_image=p: taken, reads '')",
               R"(  tesraui: WARNING: Object 'alone' belongs to no dataset, cannot set image 'p'.)",
               R"(mask_image=m: taken, reads '')",
               R"(  tesraui: WARNING: Object 'alone' belongs to no dataset, cannot set image 'm'.)",
               R"(progress=0.5: taken, reads '0.500000')",
               R"(image=null: throws 'Image doesn't exist: 'null' in dataset ''')",
               R"(  tesraui: WARNING: Object 'alone' belongs to no dataset, cannot set an image by name.)"});
    }
}

TEST_F(PropertyTables, ScrollAreasAndBars)
{
    {
        SCOPED_TRACE("ScrollArea");
        check(this->add(new tesraui::ScrollArea("area", Rectangle(0, 0, 10, 10))),
              Journal::joined({objectRows,
                               {"allow_drag:BOOL", "inertia:FLOAT", "drag_threshold:FLOAT",
                                "drag_max_speed:FLOAT", "swap_scroll_wheels:BOOL"}}),
              {R"(allow_drag -> '0')", R"(inertia -> '2000.000000')", R"(drag_threshold -> '16.000000')",
               R"(drag_max_speed -> '0.000000')", R"(swap_scroll_wheels -> '0')",
               R"(allow_drag=0: taken, reads '0')", R"(inertia=500: taken, reads '500.000000')",
               R"(drag_threshold=4.5: taken, reads '4.500000')",
               R"(drag_max_speed=100: taken, reads '100.000000')",
               R"(swap_scroll_wheels=1: taken, reads '1')", R"(x=3: taken, reads '3.000000')",
               R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
    {
        SCOPED_TRACE("ScrollBarH");
        check(this->add(new tesraui::ScrollBarH("bar", Rectangle(0, 0, 10, 10))),
              Journal::joined({objectRows,
                               {"skin:STRING", "grid_size:FLOAT", "use_fading:BOOL", "height_hide:BOOL",
                                "use_stretched_slider:BOOL"}}),
              {R"(skin -> '')", R"(grid_size -> '0.000000')", R"(use_fading -> '1')", R"(height_hide -> '1')",
               R"(use_stretched_slider -> '1')", R"(grid_size=16: taken, reads '16.000000')",
               R"(use_fading=0: taken, reads '0')", R"(height_hide=0: taken, reads '0')",
               R"(use_stretched_slider=0: taken, reads '0')",
               R"(skin=missing: throws 'Image doesn't exist: 'missing/h_background' in dataset 'props'')",
               R"(x=3: taken, reads '3.000000')", R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    }
}

TEST_F(PropertyTables, AnimatorsWithWriteOnlyTimeAndUnknownFunctions)
{
    {
        SCOPED_TRACE("MoverX");
        check(this->add(new tesraui::Animators::MoverX("mover")), animatorRows,
              {R"(function -> 'linear')",
               R"(func -> 'linear')",
               R"(timer -> '0.000000')",
               R"(delay -> '0.000000')",
               R"(periods -> '1.000000')",
               R"(amplitude -> '0.500000')",
               R"(peak_to_peak -> '1.000000')",
               R"(speed -> '1.000000')",
               R"(offset -> '0.000000')",
               R"(acceleration -> '0.000000')",
               R"(discrete_step -> '0')",
               R"(reset -> '0')",
               R"(inherit_value -> '0')",
               R"(target -> '0.000000')",
               R"(time -> '')",
               R"(function=sine: taken, reads 'sine')",
               R"(func=hover: taken, reads 'hover')",
               R"(function=bogus: taken, reads 'hover')",
               R"(function=custom: taken, reads 'custom')",
               R"(func=linear: taken, reads 'linear')",
               R"(timer=1.5: taken, reads '1.500000')",
               R"(delay=2: taken, reads '2.000000')",
               R"(periods=3: taken, reads '3.000000')",
               R"(amplitude=4: taken, reads '4.000000')",
               R"(peak_to_peak=3: taken, reads '3.000000')",
               R"(amplitude -> '1.500000')",
               R"(speed=5: taken, reads '5.000000')",
               R"(offset=6: taken, reads '6.000000')",
               R"(acceleration=7: taken, reads '7.000000')",
               R"(discrete_step=8: taken, reads '8')",
               R"(reset=1: taken, reads '1')",
               R"(inherit_value=0: taken, reads '0')",
               R"(target=9: taken, reads '9.000000')",
               R"(inherit_value -> '1')",
               R"(time=4: taken, reads '')",
               R"(speed -> '0.250000')",
               R"(time=0: taken, reads '')",
               R"(  tesraui: WARNING: Cannot set "time" to 0 or less.)",
               R"(speed -> '0.250000')",
               R"(x=3: taken, reads '3.000000')",
               R"(no_such -> '')",
               R"(no_such=1: refused, reads '')"});
    }
    {
        SCOPED_TRACE("FrameAnimation");
        check(this->add(new tesraui::Animators::FrameAnimation("frames")),
              Journal::joined({animatorRows, {"base_name:STRING", "first_frame:INT", "frame_count:INT"}}),
              {R"(base_name -> '')", R"(first_frame -> '0')", R"(frame_count -> '0')",
               R"(base_name=walk_: taken, reads 'walk_')", R"(first_frame=2: taken, reads '2')",
               R"(frame_count=5: taken, reads '5')", R"(inherit_value=1: taken, reads '0')",
               R"(  tesraui: WARNING: Animators::FrameAnimation does not support 'inherit_value'!)",
               R"(speed=3: taken, reads '3.000000')", R"(x=3: taken, reads '3.000000')", R"(no_such -> '')",
               R"(no_such=1: refused, reads '')"});
    }
}

TEST_F(PropertyTables, ToggleButtonsWithAndWithoutADataset)
{
    const Lines toggleRows =
        Journal::joined({imageButtonRows,
                         {"toggled_image:STRING", "toggled_hover_image:STRING", "toggled_pushed_image:STRING",
                          "toggled_disabled_image:STRING"}});
    check(this->add(new tesraui::ToggleButton("toggle", Rectangle(0, 0, 10, 10))), toggleRows,
          {R"(toggled_image -> '')", R"(toggled_hover_image -> '')", R"(toggled_pushed_image -> '')",
           R"(toggled_disabled_image -> '')", R"(toggled_image=null: taken, reads 'props.null')",
           R"(toggled_hover_image=null: taken, reads 'props.null')",
           R"(toggled_pushed_image=null: taken, reads 'props.null')",
           R"(toggled_disabled_image=null: taken, reads 'props.null')",
           R"(toggled_image=missing: throws 'Image doesn't exist: 'missing' in dataset 'props'')",
           R"(toggled_pushed_image=null: taken, reads 'props.null')",
           R"(hover_image=null: taken, reads 'props.null')", R"(x=3: taken, reads '3.000000')",
           R"(no_such -> '')", R"(no_such=1: refused, reads '')"});
    tesraui::ToggleButton alone("alone", Rectangle(0, 0, 10, 10));
    check(alone, toggleRows,
          {R"(toggled_image=p: taken, reads '')",
           R"(  tesraui: WARNING: Object 'alone' belongs to no dataset, cannot set image 'p'.)",
           R"(toggled_image -> '')"});
}
