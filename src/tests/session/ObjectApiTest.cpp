#include <filesystem>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "lua/Calls.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    std::vector<std::string> propertiesSet;

    // Notes every property it is given, and refuses "refused".
    class Recorder : public tesraui::Object
    {
    public:
        Recorder(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}
        static tesraui::Object* create(const hstring& name, kavtypes::Rectangle rect)
        {
            return new Recorder(name, rect);
        }
        hstring getClassName() const override { return "Recorder"; }
        bool setProperty(const hstring& name, const hstring& value) override
        {
            propertiesSet.push_back(name + "=" + value);
            return name != "refused" && (tesraui::Object::setProperty(name, value) || name.startsWith("p"));
        }
    };
} // namespace

// The scene ch1.a with a picture of the demo, "panel", as a texture of its chapter, and a UI object "badge".
class ObjectApi : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts",
                   "<Dataset><Object type='ImageBox' name='badge' rect='0,0,10,10'/></Dataset>");
        folder.putJournal();
        std::filesystem::create_directories(folder.path + "/data/gfx");
        std::filesystem::copy(harness::anyPicture(), folder.path + "/data/gfx/panel.png");
        folder.put("data/chapters/ch1/ch1.datadef",
                   "<Dataset><Texture filename='../../gfx/panel'><Image name='full' rect='0,0,64,64'/>"
                   "<Image name='corner' rect='0,0,8,8'/></Texture></Dataset>");
        folder.put("data/chapters/ch1/scenes/a.scene", "where = 'scene a'\n");
        engine.reset(new Engine(folder));
        tesraui::registerObjectFactory("Recorder", &Recorder::create);
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
        propertiesSet.clear();
    }
    std::string lua(const std::string& expression) { return engine->luaOrError(expression); }
    std::string failure(const std::string& code) { return engine->failure(code); }
    tesraui::Dataset* chapter() { return Session::getActiveScene()->getRootObject()->getDataset(); }
};

TEST_F(ObjectApi, CreateNamesSizesAndOrdersItsParameters)
{
    // The rectangle starts at -1 everywhere; the name is made from the type.
    LuaInterface::execute("box = object.create('ImageBox', '', nil, {x = 10})");
    EXPECT_EQ(lua("box.x .. ' ' .. box.y .. ' ' .. box.w .. ' ' .. box.h"), "10 -1 -1 -1");
    tesraui::Object* box = chapter()->getObject(lua("box.name"));
    EXPECT_EQ(box->getParent(), (tesraui::Object*)Session::getActiveScene()->getRootObject());
    EXPECT_EQ(lua("box.type"), "ImageBox");
    EXPECT_NE(lua("box.name"), "");

    // Parameters in ascending name order, after the rectangle.
    LuaInterface::execute(
        "rec = object.create('Recorder', 'rec', box, {pz = 1, pa = 'a', w = '5', pm = true})");
    EXPECT_EQ(propertiesSet, (std::vector<std::string>{"pa=a", "pm=true", "pz=1"}));
    EXPECT_EQ(lua("rec.w .. ' ' .. rec.parent.name"), "5 " + lua("box.name"));

    // A refused property takes the new object away again.
    EXPECT_EQ(failure("object.create('Recorder', 'bad', nil, {pa = 1, refused = 2.5})"),
              "Invalid object property: refused( 2.5 )");
    EXPECT_FALSE(chapter()->hasObject("bad"));
    EXPECT_EQ(failure("object.create('NoSuchKind', 'x', nil, {})"),
              "object.create(): unable to create object of type 'NoSuchKind', type not found.");
    Session::getActiveScene()->deactivate(false);
    EXPECT_EQ(failure("object.create('ImageBox', 'x', nil, {})"),
              "Unable to attach ImageBox object to Scene, no active scene set!");
}

TEST_F(ObjectApi, IndexingPrefersFunctionsAndChecksValues)
{
    LuaInterface::execute("o = object.create('ImageBox', 'o', nil, {x = 1, y = 2, w = 3, h = 4})");
    EXPECT_EQ(lua("o.scale == object.scale, object.getProperty(o, 'scale')"), "true");
    EXPECT_EQ(lua("object.getProperty(o, 'scale')"), "1.000000,1.000000");
    LuaInterface::execute("o.x = o.x + 1 o.visible = false o.alpha = 128");
    EXPECT_EQ(lua("o.x .. ' ' .. tostring(o.visible) .. ' ' .. o.alpha"), "2 false 128");
    EXPECT_EQ(failure("o.x = 0/0"),
              "setObjectProperty failed setting property 'x' for object 'ch1.o', NaN/INF value "
              "passed.");
    EXPECT_EQ(failure("o.x = math.huge"),
              "setObjectProperty failed setting property 'x' for object 'ch1.o', NaN/INF "
              "value passed.");
    EXPECT_EQ(failure("o.nothing = 1"),
              "setObjectProperty failed, property 'nothing' doesn't exist in object ch1.o");
    EXPECT_EQ(lua("o.nothing"), "nil");
    EXPECT_EQ(lua("object.getProperties(o)[1]"), "rect");
    EXPECT_EQ(lua("#object.getProperties(o) < #object.getProperties(o) + 1"), "true");
    EXPECT_EQ(
        lua("(function() for _, n in ipairs(object.getProperties(o)) do if n == 'position' or n == 'scale' "
            "then return n end end return 'no vec2' end)()"),
        "no vec2");
    EXPECT_EQ(lua("o.derived_x .. ' ' .. o.derived_w"), "2 3");
    LuaInterface::execute("c = object.create('ImageBox', 'c', o, {x = 5, y = 5, w = 1, h = 1})");
    EXPECT_EQ(lua("c.derived_x .. ' ' .. tostring(object.isAncestor(o, c)) .. ' ' .. "
                  "tostring(object.isAncestor(c, o)) .. ' ' .. #object.children(o) .. ' ' .. "
                  "object.children(o)[1].name"),
              "7 true false 1 c");
    EXPECT_EQ(lua("object.getChildUnderPoint(o, 0.1, 0.1)"), "nil");
    EXPECT_EQ(lua("object.___serialize(o).name .. ' ' .. object.___serialize(o).x"), "ch1.o 2.000000");
}

TEST_F(ObjectApi, ExistsAndEvents)
{
    LuaInterface::execute("object.create('ImageBox', 'door', nil, {})");
    EXPECT_EQ(lua("object.exists('ch1.door'), object.exists('door'), object.exists('ch1.none'), "
                  "object.exists(object.getObject('door'))"),
              "true");
    EXPECT_EQ(lua("tostring(object.exists('ch1.door')) .. tostring(object.exists('door')) .. "
                  "tostring(object.exists('ch1.none')) .. tostring(object.exists(object.getObject('door')))"),
              "truetruefalsetrue");
    EXPECT_EQ(failure("object.exists({})"),
              "object.exists(): can't verify object existance, argument given as table, "
              "but table is not a valid object table.");
    EXPECT_EQ(failure("object.exists(1)"),
              "Wrong argument given to object.exists(), string or object table expected, "
              "got number");

    // Code on "Click" by default or on a named event; functions with their arguments; UI objects run in ui.
    LuaInterface::execute(
        "where = 'globals'\n"
        "object.assignEvent('door', 'note(where)')\n"
        "object.assignEvent('door', 'Open', 'note(\"open \" .. where)')\n"
        "object.assignEvent('ui.badge', 'Click', 'seen = true note(\"badge \" .. where)')\n"
        "object.assignEvent('door', 'Knock', function(a, b) note(a .. b) end, 'kn', 'ock')\n");
    tesraui::Object* door = chapter()->getObject("door");
    door->triggerEvent("Click", 0u, "");
    door->triggerEvent("Open", 0u, "");
    door->triggerEvent("Knock", 0u, "");
    LuaInterface::execute("object.triggerEvent('ui.badge', 'Click')");
    tesraui::processEvents();
    EXPECT_EQ(lua("table.concat(journal, ', ')"), "scene a, open scene a, knock, badge globals");
    EXPECT_EQ(lua("rawget(ui, 'seen')"), "true");
    EXPECT_EQ(failure("object.assignEvent('door')"),
              "object.assignEvent() expecting at least 2 arguments, got 1");
    EXPECT_EQ(failure("object.assignEvent('door', 'Click', {})"),
              "object.assignEvent() expects either code as a string or a function with arguments, got table");

    // No scene: bare names cannot be checked.
    Scene* active = Session::getActiveScene();
    Session::setActiveScene(nullptr);
    EXPECT_EQ(failure("object.exists('door')"), "Unable to verify existance of scene object 'door', chapter "
                                                "dataset not initialised. Did you forget to "
                                                "add a dataset prefix to the object name argument?");
    Session::setActiveScene(active);
}

TEST_F(ObjectApi, AnimationsReachTheirTargets)
{
    LuaInterface::execute("o = object.create('ImageBox', 'o', nil, {x = 0, y = 0, w = 10, h = 10})\n"
                          "object.moveX(o, 100, 2)\n"
                          "object.scale(o, 2, 3, 2)\n"
                          "object.fade(o, 0, 2, 0.5)\n"
                          "object.resize(o, 20, 30, 2, 0.5)");
    EXPECT_EQ(lua("tostring(object.isAnimated(o))"), "true");
    for (int i = 0; i < 20; ++i)
    {
        UI::getInstance()->update(0.1f);
    }
    EXPECT_EQ(
        lua("o.x .. ' ' .. o.scale_x .. ' ' .. o.scale_y .. ' ' .. o.alpha .. ' ' .. o.w .. ' ' .. o.h"),
        "100 2 3 0 20 30");
    EXPECT_EQ(lua("tostring(object.isAnimated(o))"), "false");
}

TEST_F(ObjectApi, ACustomAnimatorCallsItsScenesFunctionAsTheScriptLeftIt)
{
    LuaInterface::execute("function ch1.a.drive(name, t) note(name) return 7 end\n"
                          "o = object.create('ImageBox', 'o', nil, {x = 0, y = 0, w = 10, h = 10})\n"
                          "object.create('MoverX', 'm', o, {custom_func = 'drive', periods = -1})");
    UI::getInstance()->update(0.1f);
    EXPECT_EQ(lua("o.x .. ' ' .. journal[#journal]"), "7 ch1.m");
    LuaInterface::execute("function ch1.a.drive(name, t) return 8 end");
    UI::getInstance()->update(0.1f);
    EXPECT_EQ(lua("o.x"), "8");
    LuaInterface::execute("ch1.a.drive = nil; function drive() return 9 end");
    UI::getInstance()->update(0.1f);
    EXPECT_EQ(lua("o.x"), "9");
}

TEST_F(ObjectApi, ImagesTexturesAndReferences)
{
    // The file is the chapter's own texture "panel", not loaded again.
    const hstring texture = lua("image.createTexture('ch1', '../../gfx/panel.png')");
    EXPECT_EQ(texture, "panel");
    EXPECT_EQ(lua("tostring(image.textureExists('ch1', '../../gfx/panel.png'))"), "true");
    EXPECT_EQ(failure("image.createTexture('ch1', 'missing.png')"),
              "Unable to create texture, 'missing.png' not found");
    EXPECT_EQ(lua("image.create('ch1', " + LuaInterface::literal(texture) + ", 'piece', 1, 2, 3, 4)"),
              "piece");
    EXPECT_EQ(lua("image.getProperty('ch1.piece', 'rect')"), "1.000000,2.000000,3.000000,4.000000");
    EXPECT_EQ(lua("image.create({type = 'CompositeImage', dataset = 'ch1', name = 'both', w = 16, h = 8, "
                  "references = {{image = 'ch1.piece', x = 0, y = 0, w = 8, h = 8}, "
                  "{image = 'panel/corner', x = 8, y = 0, w = 8, h = 8}}})"),
              "both");
    EXPECT_EQ(
        lua("(function() local r = image.getProperty('both', 'references') return #r .. ' ' .. r[1].name .. "
            "' ' .. r[2].name .. ' ' .. r[2].x .. ' ' .. r[2].w end)()"),
        "2 ch1.piece ch1.panel/corner 8 8");
    EXPECT_EQ(lua("tostring(image.exists('ch1', 'both')) .. tostring(image.exists('ch1', 'none'))"),
              "truefalse");
    EXPECT_EQ(failure("image.getProperty('ch1.piece', 'references')"),
              "Unable to get 'references' property on image 'ch1.piece', image not a CompositeImage");
    EXPECT_EQ(failure("image.setProperty('ch1.piece', 'references', {})"),
              "Unable to set 'references' property on image 'ch1.piece', image not a CompositeImage");
    EXPECT_EQ(failure("image.getProperty('ch1.piece', 'bogus')"),
              "Image 'ch1.piece' has no property named: bogus");
    EXPECT_EQ(failure("image.create({dataset = 'ch1'})"), "No key in Lua table: name");
    EXPECT_EQ(failure("image.create()"), "image.create expects at least 1 argument");
    EXPECT_EQ(failure("image.getProperty('nowhere.piece', 'rect')"),
              "Failed fetching image 'nowhere.piece', dataset 'nowhere' not found!");

    // Nothing is destroyed while an object, an image or a composite still uses it.
    LuaInterface::execute("object.create('ImageBox', 'shows', nil, {image = 'ch1.both'})");
    EXPECT_EQ(failure("image.destroy('ch1', 'both')"),
              "Error destroying image 'ch1.both', another object is using it: ch1.shows");
    EXPECT_EQ(failure("image.destroy('ch1', 'piece')"),
              "Error destroying image 'ch1.piece', another object is using it: ch1.both");
    EXPECT_EQ(failure("image.destroyTexture('ch1', " + LuaInterface::literal(texture) + ")"),
              "Error destroying texture 'data/gfx/panel.png', another image is using it: ch1.panel/corner");
    LuaInterface::execute(
        "object.destroy('shows') image.destroy('ch1', 'both') image.destroy('ch1', 'piece')");
    EXPECT_EQ(lua("tostring(image.exists('ch1', 'both')) .. tostring(image.exists('ch1', 'piece'))"),
              "falsefalse");
    UI::getInstance()->update(0.1f);
    UI::getInstance()->draw();
}
