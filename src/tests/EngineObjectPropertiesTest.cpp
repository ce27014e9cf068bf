#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <quortypes/exception.h>
#include <tesraui/Container.h>
#include <tesraui/ImageBox.h>

#include "objects/ActionMapObject.h"
#include "objects/DelayedCall.h"
#include "objects/DraggableContainer.h"
#include "objects/HiddenObject.h"
#include "objects/LineObject.h"
#include "objects/LoopSound.h"
#include "objects/ObjectDestructor.h"
#include "objects/PausableObject.h"
#include "objects/SceneSwitchDestructor.h"
#include "objects/VumoViewportObject.h"

using namespace vumo;

namespace
{
    using Make = std::function<tesraui::Object*()>;

    template <class T> Make make()
    {
        return [] { return new T("o", kavtypes::Rectangle(0, 0, 10, 20)); };
    }

    // A class, its base, and the names it adds in front of the base's.
    struct Kind
    {
        const char* className;
        Make object;
        Make base;
        std::vector<const char*> own;
    };

    const std::vector<Kind>& kinds()
    {
        static const std::vector<Kind> result = {
            {"DelayedCall", make<DelayedCall>(), make<tesraui::Object>(), {"delay"}},
            {"ObjectDestructor", make<ObjectDestructor>(), make<tesraui::Object>(), {"delay"}},
            {"SceneSwitchDestructor", make<SceneSwitchDestructor>(), make<tesraui::Object>(), {"chapter"}},
            {"DraggableContainer",
             make<DraggableContainer>(),
             make<tesraui::Container>(),
             {"draggable", "new_x", "new_y"}},
            {"HiddenObject", make<HiddenObject>(), make<tesraui::ImageBox>(), {"item", "var", "value"}},
            {"LineObject", make<LineObject>(), make<tesraui::Object>(), {"points", "render_op"}},
            {"LoopSound",
             make<LoopSound>(),
             make<tesraui::Object>(),
             {"sound", "fadeTime", "fadeInTime", "fadeOutTime", "pausable", "gain"}},
            {"VumoViewportObject",
             make<VumoViewportObject>(),
             make<PausableObject>(),
             {"viewport_x", "viewport_y", "viewport_w", "viewport_h", "viewport", "debug"}},
            {"ActionMap",
             make<ActionMapObject>(),
             make<tesraui::Object>(),
             {"color:%", "raw_color:%", "color_rect:%", "center:%", "color_rect", "environment", "colors",
              "file", "shape", "color", "select_mode"}},
        };
        return result;
    }
} // namespace

TEST(EngineObjectProperties, OwnNamesComeFirstThenTheBasesUnchanged)
{
    for (const Kind& kind : kinds())
    {
        std::unique_ptr<tesraui::Object> object(kind.object());
        std::unique_ptr<tesraui::Object> base(kind.base());
        harray<PropertyInfo> described = object->getPropertyDescriptions();
        harray<PropertyInfo> inherited = base->getPropertyDescriptions();
        ASSERT_EQ(described.size(), (int)kind.own.size() + inherited.size()) << kind.className;
        for (int i = 0; i < (int)kind.own.size(); ++i)
        {
            EXPECT_EQ(described[i].name, kind.own[i]) << kind.className;
        }
        for (int i = 0; i < inherited.size(); ++i)
        {
            EXPECT_EQ(described[(int)kind.own.size() + i], inherited[i]) << kind.className;
        }
        // Names the class does not hold reach the base in both directions.
        EXPECT_TRUE(object->setProperty("x", "7")) << kind.className;
        base->setProperty("x", "7");
        EXPECT_EQ(object->getProperty("x"), base->getProperty("x")) << kind.className;
        EXPECT_FALSE(object->setProperty("no_such_property", "1")) << kind.className;
    }
}

TEST(EngineObjectProperties, WritableNamesReadBackWhatWasSet)
{
    struct Case
    {
        Make object;
        const char* name;
        const char* value;
        const char* read;
    };
    const std::vector<Case> cases = {
        {make<DelayedCall>(), "delay", "2.5", "2.500000"},
        {make<ObjectDestructor>(), "delay", "-1", "-1.000000"},
        {make<SceneSwitchDestructor>(), "chapter", "intro", "intro"},
        {make<DraggableContainer>(), "draggable", "0", "0"},
        {make<HiddenObject>(), "var", "found_key", "found_key"},
        {make<HiddenObject>(), "value", "3", "3"},
        {make<LoopSound>(), "fadeTime", "2", "2.000000"},
        {make<LoopSound>(), "gain", "0.5", "0.500000"},
        {make<LoopSound>(), "pausable", "1", "1"},
        {make<VumoViewportObject>(), "debug", "1", "1"},
        {make<ActionMapObject>(), "environment", "night", "night"},
        {make<ActionMapObject>(), "shape", "ellipse", "ellipse"},
        {make<ActionMapObject>(), "select_mode", "1", "1"},
        {make<ActionMapObject>(), "color", "00ff80", "00FF80"},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<tesraui::Object> object(c.object());
        EXPECT_TRUE(object->setProperty(c.name, c.value)) << c.name;
        EXPECT_EQ(object->getProperty(c.name), c.read) << object->getClassName() << " " << c.name;
    }
}

TEST(EngineObjectProperties, ReadOnlyNamesAreNotTakenBySetting)
{
    DraggableContainer container("c", kavtypes::Rectangle(0, 0, 10, 10));
    EXPECT_FALSE(container.setProperty("new_x", "5"));
    EXPECT_EQ(container.getProperty("new_x"), "0.000000");
    // Served to scripts without being listed.
    LoopSound loop("l", kavtypes::Rectangle(0, 0, 1, 1));
    EXPECT_EQ(loop.getProperty("category"), "");
    EXPECT_FALSE(loop.setProperty("category", "music"));
    ActionMapObject map("m", kavtypes::Rectangle(0, 0, 10, 20));
    EXPECT_FALSE(map.setProperty("colors", "FF0000"));
}

TEST(EngineObjectProperties, ActionMapPatternsWithoutAMap)
{
    ActionMapObject map("m", kavtypes::Rectangle(0, 0, 10, 20));
    map.setProperty("color", "FF0000");
    EXPECT_EQ(map.getProperty("colors"), "FF0000");
    EXPECT_EQ(map.getProperty("color_rect"), "0,0,10,20");
    EXPECT_EQ(map.getProperty("color_rect:00FF00"), "0,0,10,20");
    // The listed pattern names are read as patterns: "%" is no point.
    EXPECT_EQ(map.getProperty("color:%"), "00000000");
    EXPECT_EQ(map.getProperty("raw_color:1,x"), "00000000");
    EXPECT_TRUE(map.setProperty("center:FF0000", "3,4"));
    EXPECT_EQ(map.getProperty("center:FF0000"), "3,4");
    EXPECT_THROW(map.setProperty("center:FF0000", "3"), quortypes::exception);
    EXPECT_THROW(map.setProperty("shape", "star"), quortypes::exception);
}
