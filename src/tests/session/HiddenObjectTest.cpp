#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>

#include "ActionMapTestGame.h"
#include "ui/DebugUI.h"
#include "Variables.h"
#include "objects/HiddenObject.h"
#include "objects/ItemReceiver.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    int& foundEvents()
    {
        static int count = 0;
        return count;
    }

    void countFound(tesraui::EventArgs*)
    {
        ++foundEvents();
    }
} // namespace

// Hidden objects in the hall of the action map game; the UI hooks and scene resets write into uiJournal.
class HiddenObjects : public harness::GameTest
{
protected:
    void SetUp() override
    {
        actionmaptest::makeGame(folder);
        engine.reset(new Engine(folder));
        engine->start();
        engine->frame();
        HiddenObject::setHitFactor(1.0f);
        foundEvents() = 0;
        // The argument of every scene reset the frame runs.
        engine->lua("(function() local reset = scene._queued_reset; "
                    "scene._queued_reset = function(name) note('reset ' .. name); reset(name) end end)()");
    }
    // A 40 x 40 hidden object at 100, 100, made by its factory for the idiom named by "target".
    HiddenObject* make(const hstring& name, const hstring& target = "pc", float x = 100.0f)
    {
        if (Session::getConfigValue("target") != target)
        {
            Session::setConfigValue("target", target);
            // The UI works the idiom out once a frame: the new target counts from the next one.
            engine->frame();
        }
        HiddenObject* object = dynamic_cast<HiddenObject*>(
            tesraui::createObject("HiddenObject", name, kavtypes::Rectangle(x, 100, 40, 40)));
        Session::getActiveScene()->attachObject(object);
        object->registerEvent("Found", &countFound);
        object->setProperty("var", "found_" + name);
        object->setProperty("value", "1");
        return object;
    }
    void mouse(tesra::Window::MouseEventType type, float x, float y, int button = 1)
    {
        actionmaptest::mouse(type, x, y, button);
    }
    void click(float x, float y, int button = 1)
    {
        mouse(tesra::Window::MOUSE_DOWN, x, y, button);
        mouse(tesra::Window::MOUSE_UP, x, y, button);
    }
    std::string journal()
    {
        std::string text = engine->lua("table.concat(uiJournal, ',')");
        engine->lua("(function() uiJournal = {} end)()");
        return text;
    }
    hstring var(const hstring& name)
    {
        VariableDictionary& vars = VariableDictionary::getGlobal();
        return vars.exists(name) ? vars.get(name).value() : hstring("<none>");
    }
};

TEST_F(HiddenObjects, HitAreasGrowOnTouchDevices)
{
    struct Case
    {
        const char* target;
        float factor;
        float farthestHit; // x of the farthest point to the left that still finds it
    } cases[] = {{"pc", 1.0f, 100.0f}, {"tablet", 1.5f, 90.0f}, {"mobile", 2.0f, 80.0f}};
    for (const Case& c : cases)
    {
        HiddenObject* object = make("key", c.target);
        EXPECT_EQ(HiddenObject::getHitFactor(), c.factor) << c.target;
        EXPECT_TRUE(object->isPointInside(kavtypes::Vector2(c.farthestHit + 1.0f, 120))) << c.target;
        EXPECT_FALSE(object->isPointInside(kavtypes::Vector2(c.farthestHit - 1.0f, 120))) << c.target;
        EXPECT_TRUE(object->isPointInside(kavtypes::Vector2(120, 240.0f - c.farthestHit - 1.0f))) << c.target;
        Session::getActiveChapter()->destroyObject(object);
    }
    // Finding it at the edge of the enlarged area.
    HiddenObject* object = make("key", "mobile");
    (void)object;
    click(82, 120);
    EXPECT_EQ(var("found_key"), "1");
}

TEST_F(HiddenObjects, FoundOnceSetsItsVariableAndResetsTheScene)
{
    HiddenObject* object = make("key");
    click(120, 120);
    EXPECT_EQ(var("found_key"), "1");
    click(120, 120); // already found: nothing more
    EXPECT_EQ(object->getProperty("value"), "1");
    engine->frame();
    EXPECT_EQ(foundEvents(), 1);
    // The reset names the scene in full; the scene's script ran again and made its layer anew.
    EXPECT_EQ(journal(), "reset room.hall,resetting");
    EXPECT_NE(actionmaptest::findLayer(), nullptr);
    EXPECT_NE(engine->logText().find("$found_key: '1'"), std::string::npos);
}

TEST_F(HiddenObjects, TwoFoundInOneFrameQueueOneReset)
{
    make("key");
    make("coin", "pc", 200.0f);
    click(120, 120);
    click(220, 120);
    engine->frame();
    EXPECT_EQ(foundEvents(), 2);
    EXPECT_EQ(var("found_key"), "1");
    EXPECT_EQ(var("found_coin"), "1");
    EXPECT_EQ(journal(), "reset room.hall,resetting");
}

TEST_F(HiddenObjects, AHeldItemIsDroppedAndTheObjectStaysUnfound)
{
    make("key");
    UI::getInstance()->selectItem("o'clock");
    click(120, 120);
    EXPECT_EQ(UI::getInstance()->getSelectedItem(), "");
    engine->frame();
    EXPECT_EQ(journal(), "fail o'clock");
    EXPECT_EQ(var("found_key"), "<none>");
    EXPECT_EQ(foundEvents(), 0);
}

TEST_F(HiddenObjects, OnlyAPressThatBeganOnItWithTheFirstButtonFindsIt)
{
    HiddenObject* object = make("key");
    mouse(tesra::Window::MOUSE_DOWN, 700, 120);
    mouse(tesra::Window::MOUSE_MOVE, 120, 120);
    EXPECT_FALSE(object->isPointInside(kavtypes::Vector2(120, 120)))
        << "no hover while dragging from elsewhere";
    mouse(tesra::Window::MOUSE_UP, 120, 120);
    click(120, 120, 2);
    engine->frame();
    EXPECT_EQ(var("found_key"), "<none>");
    EXPECT_EQ(foundEvents(), 0);
    EXPECT_TRUE(object->isPointInside(kavtypes::Vector2(120, 120)));
}

TEST_F(HiddenObjects, AnEmptyVariableNameSetsNothingButStillFinds)
{
    HiddenObject* object = make("key");
    object->setProperty("var", "");
    click(120, 120);
    EXPECT_FALSE(VariableDictionary::getGlobal().exists(""));
    EXPECT_NE(engine->logText().find("HiddenObject 'key' has no variable to set"), std::string::npos);
    engine->frame();
    EXPECT_EQ(foundEvents(), 1);
    EXPECT_EQ(journal(), "reset room.hall,resetting");
}

// A variable the game never declared is still made and set, so the find counts, but the name is reported
// once.
TEST_F(HiddenObjects, AVariableNeverDeclaredIsReportedOnceByName)
{
    harness::createGameVariable("found_coin", "0");
    struct Case
    {
        hstring object;
        size_t warnings;
    };
    for (const Case& c : {Case{"key", 1}, Case{"coin", 0}})
    {
        // Two objects set the same variable, one after the other.
        for (const char* value : {"1", "2"})
        {
            HiddenObject* object = make(c.object + value);
            object->setProperty("var", "found_" + c.object);
            object->setProperty("value", value);
            click(120, 120);
            engine->frame();
        }
        EXPECT_EQ(var("found_" + c.object), "2") << c.object;
        const std::string name(c.object.c_str());
        EXPECT_EQ(engine->logCount("HiddenObject '" + name + "1' sets the variable 'found_" + name +
                                   "', which was never declared"),
                  c.warnings)
            << engine->logText();
        EXPECT_EQ(engine->logCount("the variable 'found_" + name + "', which was never declared"),
                  c.warnings);
    }
}

TEST_F(HiddenObjects, PropertiesClassesAndTheDebugItemList)
{
    HiddenObject* object = make("lamp");
    EXPECT_EQ(object->getClassName(), "HiddenObject");
    EXPECT_EQ(object->getProperty("item"), "lamp");
    object->setProperty("item", "oil lamp");
    EXPECT_EQ(object->getProperty("item"), "oil lamp");
    EXPECT_EQ(object->getProperty("var"), "found_lamp");
    EXPECT_EQ(object->getPropertyDescriptions()[0].name, "item");
    EXPECT_EQ(object->getPropertyDescriptions()[2].name, "value");
    const harray<hstring>& items = DebugUI::getItemNames();
    EXPECT_NE(std::find(items.begin(), items.end(), "lamp"), items.end());

    tesraui::Object* receiver =
        tesraui::createObject("ItemReceiver", "shelf", kavtypes::Rectangle(0, 0, 10, 10));
    EXPECT_EQ(receiver->getClassName(), "ItemReceiver");
    EXPECT_NE(dynamic_cast<tesraui::Container*>(receiver), nullptr);
    delete receiver;
    tesraui::Object* layer = tesraui::createObject("ActionMap", "layer", kavtypes::Rectangle(0, 0, 10, 10));
    EXPECT_EQ(layer->getClassName(), "ActionMap");
    delete layer;
}
