#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <tesraui/Animator.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "../AmpFiles.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Session.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // The scenes c1.a (active) and c1.b, the action map c1.m, and an image box "ui.o" at x 5 with z-order 3
    // on the UI's root; scripts report a refusal through attempt(f, ...).
    class ScriptNumbers : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            folder.config("scene: c1.a\n");
            folder.put("data/ui/ui.dts",
                       "<Dataset><Object type='ImageBox' name='o' rect='5,0,10,10' zorder='3'/></Dataset>");
            folder.put("data/lib/ui.lua",
                       "function attempt(f, ...) local ok, e = pcall(f, ...) return ok and 'ok' or e end\n");
            folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
            folder.put("data/chapters/c1/scenes/a.scene", "");
            folder.put("data/chapters/c1/scenes/b.scene", "");
            folder.put("data/chapters/c1/action_maps/m.amp", ampfiles::file(4, 4, {}));
            engine.reset(new Engine(folder));
            engine->start();
            engine->frame();
            LuaInterface::execute("o = object.getObject('ui.o')");
        }
        std::string lua(const std::string& expression) { return engine->lua(expression); }
    };

    ::testing::AssertionResult ends(const std::string& text, const std::string& end)
    {
        if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "'" << text << "' does not end with '" << end << "'";
    }

    const std::string floatCannot = " is not a number a float can hold.";
    const std::string intCannot = " is not a whole number an int can hold.";
} // namespace

// A number a float or an int cannot hold was kept as infinity or as its first digits (zorder 1e308 read 1);
// on the UI's root an infinite x reached the clip rectangle's cast to int.
TEST_F(ScriptNumbers, AValueAPropertyCannotHoldIsRefusedNamingItAndChangesNothing)
{
    const std::string set = "setObjectProperty failed setting property ";
    const std::pair<std::string, std::string> refused[] = {
        {"object.setProperty, 'ui.o', 'x', 1e308", set + "'x' for object 'ui.o', x '1e+308'" + floatCannot},
        {"object.setProperty, 'ui.root', 'x', 1e308",
         set + "'x' for object 'ui.root', x '1e+308'" + floatCannot},
        {"object.setProperty, 'ui.o', 'w', '1e308'", set + "'w' for object 'ui.o', w '1e308'" + floatCannot},
        {"object.setProperty, 'ui.o', 'angle', 'nan'",
         set + "'angle' for object 'ui.o', angle 'nan'" + floatCannot},
        {"object.setProperty, 'ui.o', 'scale_x', 'inf'",
         set + "'scale_x' for object 'ui.o', scale_x 'inf'" + floatCannot},
        {"object.setProperty, 'ui.o', 'position', '1e39, 0'",
         set + "'position' for object 'ui.o', position '1e39'" + floatCannot},
        {"object.setProperty, 'ui.o', 'rect', '0,0,-inf,1'",
         set + "'rect' for object 'ui.o', rect '-inf'" + floatCannot},
        {"object.setProperty, 'ui.o', 'zorder', 1e308",
         set + "'zorder' for object 'ui.o', zorder '1e+308'" + intCannot},
        {"object.setProperty, 'ui.o', 'focus_index', '-2147483649'",
         set + "'focus_index' for object 'ui.o', focus_index '-2147483649'" + intCannot},
        {"object.setProperty, 'ui.o', 'zorder', 2.5",
         set + "'zorder' for object 'ui.o', zorder '2.5'" + intCannot},
        {"object.setProperty, 'ui.o', 'zorder', '1e3'",
         set + "'zorder' for object 'ui.o', zorder '1e3'" + intCannot},
        {"object.setProperty, 'ui.o', 'alpha', 1e10",
         set + "'alpha' for object 'ui.o', alpha '10000000000' is not a number an int can hold."},
        {"object.create, 'ImageBox', 'made', 'ui.root', {x = 1e308}",
         "object.create(): property 'x' of object 'made' refused, x '1e+308'" + floatCannot},
        {"object.create, 'ImageBox', 'made', 'ui.root', {zorder = math.huge}",
         "object.create(): property 'zorder' of object 'made' refused, zorder 'inf'" + intCannot},
        // What a video's clock holds: a looping video at 1e30 or behind a sound 3e38 ahead never ended a
        // frame.
        {"object.create, 'VideoObject', 'made', 'ui.root', {speed = 1e30}",
         "object.create(): property 'speed' of object 'made' refused, speed '1e+30' is not a number from "
         "-1000 "
         "to 1000."},
        {"object.create, 'VideoObject', 'made', 'ui.root', {sync_offset = -3e38}",
         "object.create(): property 'sync_offset' of object 'made' refused, sync_offset '-3e+38' is not a "
         "number "
         "from -1000 to 1000."},
    };
    for (const auto& [call, message] : refused)
    {
        EXPECT_TRUE(ends(lua("attempt(" + call + ")"), message)) << call;
    }
    EXPECT_EQ(lua("o.x .. ' ' .. o.w .. ' ' .. o.angle .. ' ' .. o.scale_x .. ' ' .. o.zorder .. ' ' .. "
                  "o.focus_index .. ' ' .. o.alpha .. ' ' .. object.getProperty('ui.root', 'x')"),
              "5 10 0 1 3 -1 255 0");
    EXPECT_EQ(lua("tostring(object.exists('ui.made'))"), "false");
    engine->frame();

    // What the types hold passes as before: a byte keeps its low 8 bits and drops its fraction, text after
    // the number is left.
    const std::pair<std::string, std::string> taken[] = {
        {"'zorder', '-2147483648'", "zorder -2147483648"},
        {"'zorder', 2147483647", "zorder 2147483647"},
        {"'alpha', 300", "alpha 44"},
        {"'alpha', 127.5", "alpha 127"},
        {"'x', '12.5'", "x 12.5"},
        {"'w', 3e38", "w 3.0000000054978e+38"},
        {"'focus_index', '7 '", "focus_index 7"},
        {"'zorder', 'front'", "zorder 0"},
    };
    for (const auto& [arguments, result] : taken)
    {
        const std::string name = result.substr(0, result.find(' '));
        EXPECT_EQ(lua("attempt(object.setProperty, o, " + arguments + ") .. ' ' .. '" + name +
                      "' .. ' ' .. o." + name),
                  "ok " + result);
    }
}

// object.fade cast a target that is not a number to a byte; the other animations took infinities.
TEST_F(ScriptNumbers, AnimationsRefuseTargetsAFloatCannotHold)
{
    const std::pair<std::string, std::string> refused[] = {
        {"object.fade, 'ui.o', 0/0, 1", "object.fade failed, NaN value passed as argument 2."},
        {"object.fade, 'ui.o', 0, 1, 1e39", "object.fade failed, NaN/INF value passed as argument 4."},
        {"object.moveX, 'ui.o', 1e308, 1", "object.moveX failed, NaN/INF value passed as argument 2."},
        {"object.rotate, 'ui.o', 0/0, 1", "object.rotate failed, NaN/INF value passed as argument 2."},
        {"object.resize, 'ui.o', 10, 1e39, 1", "object.resize failed, NaN/INF value passed as argument 3."},
        {"object.scale, 'ui.o', 1, 1, 1, 0/0", "object.scale failed, NaN/INF value passed as argument 5."},
    };
    for (const auto& [call, message] : refused)
    {
        EXPECT_TRUE(ends(lua("attempt(" + call + ")"), message)) << call;
    }
    EXPECT_EQ(lua("tostring(object.isAnimated('ui.o'))"), "false");
    // A target past either end of an alpha is that end.
    EXPECT_EQ(lua("attempt(object.fade, 'ui.o', 0, 1e9) .. attempt(object.fade, 'ui.o', -math.huge, 1e9)"),
              "okok");
    engine->frame();
    EXPECT_EQ(lua("o.alpha .. ' ' .. o.x"), "0 5");
}

// A composite that reached itself again overflowed the stack in its first draw, as did a chain of 200,000
// composites, each drawing the next. Either is refused naming both images, however the chain is made: each
// new composite drawing the last, or each composite given the next.
TEST_F(ScriptNumbers, ACompositeThatWouldDrawItselfOrNestTooDeepIsRefusedNamingIt)
{
    engine->lua("image.create({dataset = 'ui', name = 'loop', type = 'CompositeImage', w = 50, h = 50}) and "
                "image.create({dataset = 'ui', name = 'other', type = 'CompositeImage', w = 50, h = 50}) and "
                "image.create({dataset = 'ui', name = 'red', type = 'CompositeImage', w = 1, h = 1})");
    const std::string refusal = "Unable to set 'references' property on image 'ui.loop', a reference to ";
    const std::pair<std::string, std::string> cases[] = {
        {"image.setProperty('ui.other', 'references', {{image = 'ui.red', x = 0, y = 0, w = 5, h = 5}})",
         "ok"},
        {"image.setProperty('ui.loop', 'references', {{image = 'ui.other', x = 0, y = 0, w = 50, h = 50}})",
         "ok"},
        {"image.setProperty('ui.loop', 'references', {{image = 'ui.red'}, {image = 'ui.loop', w = 50, h = "
         "50}})",
         refusal + "'ui.loop' would draw the image inside itself"},
        {"image.setProperty('ui.other', 'references', {{image = 'ui.loop', x = 0, y = 0, w = 50, h = 50}})",
         "Unable to set 'references' property on image 'ui.other', a reference to 'ui.loop' would draw the "
         "image "
         "inside itself"},
        {"image.setProperty('ui.loop', 'x', 1e308)",
         "Unable to set property 'x' of image 'ui.loop', x '1e+308'" + floatCannot},
        {"image.create({dataset = 'ui', name = 'far', type = 'CompositeImage', w = 1e39, h = 1})",
         "image.create failed, NaN/INF value passed in the rectangle of image 'far'."},
        {"for i = 1, 100 do image.create({dataset = 'ui', name = 'up' .. i, type = 'CompositeImage', "
         "w = 1, h = 1}) if i > 1 then image.setProperty('ui.up' .. i, 'references', "
         "{{image = 'ui.up' .. (i - 1), w = 1, h = 1}}) end end",
         "Unable to set 'references' property on image 'ui.up65', a reference to 'ui.up64' would nest "
         "composite images deeper than 64"},
        {"for i = 1, 100 do image.create({dataset = 'ui', name = 'down' .. i, type = 'CompositeImage', "
         "w = 1, h = 1}) end for i = 1, 99 do image.setProperty('ui.down' .. i, 'references', "
         "{{image = 'ui.down' .. (i + 1), w = 1, h = 1}}) end",
         "Unable to set 'references' property on image 'ui.down64', a reference to 'ui.down65' would nest "
         "composite images deeper than 64"},
    };
    for (const auto& [code, result] : cases)
    {
        EXPECT_TRUE(ends(lua("attempt(function() " + code + " end)"), result)) << code;
    }
    // A refused list changes nothing; the composites draw.
    EXPECT_EQ(lua("#image.getProperty('ui.loop', 'references') .. image.getProperty('ui.loop', "
                  "'references')[1].name .. #image.getProperty('ui.other', 'references')"),
              "1ui.other1");
    engine->lua(
        "object.create('ImageBox', 'shows', 'ui.root', {x = 0, y = 0, w = 50, h = 50, image = "
        "'ui.loop'}) and object.create('ImageBox', 'deepest', 'ui.root', {x = 0, y = 0, w = 50, h = 50, "
        "image = 'ui.up64'}) and true");
    EXPECT_EQ(lua("#image.getProperty('ui.up65', 'references') .. ' ' .. #image.getProperty('ui.down64', "
                  "'references')"),
              "0 0");
    engine->frame();
    EXPECT_EQ(lua("tostring(image.exists('ui', 'far'))"), "false");
}

// With the viewport scaled to nothing along x, the cursor's x in the scene was 0/0.
TEST_F(ScriptNumbers, TheCursorOverAViewportScaledToNothingIsItsCentreOnThatAxis)
{
    engine->mouse(tesra::Window::MOUSE_MOVE, 40, 30);
    const std::string before = lua("select(2, vumo.getCursorPos())");
    // The viewport scales about its centre: put at 40 units, it draws as before while its scale is 1.
    engine->lua("object.setProperty(vumo.viewport, 'center_x', 40) or object.setProperty(vumo.viewport, "
                "'scale_x', 0) or true");
    std::vector<std::string> seen;
    for (const float x : {10.0f, 40.0f, 150.0f})
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, 30);
        seen.push_back(lua("(function() local x, y = vumo.getCursorPos() return x .. ' ' .. y end)()"));
    }
    // The whole axis shrank to the viewport's centre; y is untouched.
    const std::string expected = "40 " + before;
    EXPECT_EQ(seen, std::vector<std::string>({expected, expected, expected}));
    EXPECT_EQ(
        lua("(function() local x, y = util.transformPoint(10, 30, 'ui.root', vumo.viewport) return x .. ' ' "
            ".. y end)()"),
        "40 30");
}

// These arguments reached the engine unchecked: a NaN delay or speed was dropped with a warning and the
// script went on as if it had worked, NaN offsets and points went into the text renderer, the cursor and
// the answers (vumo.getCursorPos read nan), a switch's time of NaN reached the queued code as a Lua name
// and one of 1e308 started a fade that never reached its middle.
TEST_F(ScriptNumbers, ScriptArgumentsWithoutMeaningAreRefusedNamingTheFunctionAndTheArgument)
{
    const std::string nan = " failed, NaN value passed as argument ";
    const std::string nonFinite = " failed, NaN/INF value passed as argument ";
    const std::pair<std::string, std::string> refused[] = {
        {"scene.delayedCall, function() journal = 1 end, 0/0", "scene.delayedCall" + nan + "2."},
        {"vumo.delayedCall, 'journal = 1', 0/0", "vumo.delayedCall" + nan + "2."},
        {"font.getTextHeight, 'debug', 'Hello', 0/0", "font.getTextHeight" + nan + "3."},
        {"font.setBorderOffset, 0/0", "font.setBorderOffset" + nonFinite + "1."},
        {"font.setShadowOffset, 1, 1e308", "font.setShadowOffset" + nonFinite + "2."},
        {"font.getTextHeight, 'debug:1e308', 'Hello', 10",
         "Error, font 'debug:1e308': the scale '1e308' is not a number a float can hold"},
        {"font.getTextWidth, 'debug:nan', 'Hello'",
         "Error, font 'debug:nan': the scale 'nan' is not a number a float can hold"},
        {"object.moveX, 'ui.o', 10, 0/0", "object.moveX" + nan + "3."},
        {"object.move, 'ui.o', 10, 10, 0/0", "object.move" + nan + "4."},
        {"object.fade, 'ui.o', 10, 0/0", "object.fade" + nan + "3."},
        {"object.getChildUnderPoint, 'ui.root', 0/0, 0", "object.getChildUnderPoint" + nonFinite + "2."},
        {"object.getChildUnderPoint, 'ui.root', 0, -math.huge",
         "object.getChildUnderPoint" + nonFinite + "3."},
        {"scene.switch, {scene = 'c1.b', time = 1e308, effect = 'fade'}",
         "scene.switch: time '1e+308' is not a number a float can hold"},
        {"scene.switch, {scene = 'c1.b', time = math.huge, effect = 'fade'}",
         "scene.switch: time 'inf' is not a number a float can hold"},
        {"scene.switch, {scene = 'c1.b', time = '1e39', effect = 'none'}",
         "scene.switch: time '1e39' is not a number a float can hold"},
        {"scene._queued_switchScene, 'c1.b', 0/0, 'fade'", "scene._queued_switchScene" + nonFinite + "2."},
        {"scene.ActionMap, 'm', {x = 1e308}", "ActionMap(): x '1e+308' is not a number a float can hold"},
        {"scene.ActionMap, 'm', {h = 0/0}", "is not a number a float can hold"},
        {"scene.getActionMapColorAt, 0, 0/0", "scene.getActionMapColorAt" + nonFinite + "2."},
        {"sound.play, 'none', 0/0", "sound.play" + nonFinite + "2."},
        {"sound.play, 'none', math.huge, true", "sound.play" + nonFinite + "2."},
        {"sound.stop, 'none', 1e308", "sound.stop" + nonFinite + "2."},
        {"sys.setTextureIdleUnloadTime, 0/0", "sys.setTextureIdleUnloadTime" + nan + "1."},
        {"util.rand, 0/0", "util.rand" + nonFinite + "1."},
        {"util.rand, 0, 1e308", "util.rand" + nonFinite + "2."},
        {"util.transformPoint, 1, math.huge, 'ui.o', 'ui.root'", "util.transformPoint" + nonFinite + "2."},
        {"vumo.updateLoadingScreen, 0/0", "vumo.updateLoadingScreen" + nonFinite + "1."},
        {"ui.setCursorPos, 0/0, 1", "ui.setCursorPos" + nonFinite + "1."},
    };
    for (const auto& [call, message] : refused)
    {
        EXPECT_TRUE(ends(lua("attempt(" + call + ")"), message)) << call;
    }
    for (int i = 0; i < 5; ++i)
    {
        engine->frame();
    }
    // Nothing of them took: no call waits or ran, nothing moves, the scene and the cursor stayed.
    EXPECT_EQ(lua("tostring(journal)"), "nil");
    EXPECT_EQ(lua("tostring(object.isAnimated('ui.o')) .. ' ' .. o.x .. ' ' .. o.alpha"), "false 5 255");
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "c1.a");
    EXPECT_EQ(lua("(function() local x, y = vumo.getCursorPos() return tostring(x == x and y == y) end)()"),
              "true");
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();

    // Where an infinity or a number past either end has a plain meaning, it keeps it: a delay that never
    // runs out, a speed that lands at once, a width that never wraps; negative numbers stay valid.
    const std::pair<std::string, std::string> taken[] = {
        {"scene.delayedCall(function() journal = 'ran' end, math.huge) return 'ok'", "ok"},
        {"object.moveX('ui.o', 40, math.huge) return 'ok'", "ok"},
        {"return font.getTextHeight('debug', 'Hello', math.huge) == font.getTextHeight('debug', 'Hello', "
         "1e6)",
         "true"},
        {"font.setShadowOffset(-2, -2) font.setBorderOffset(-1) return 'ok'", "ok"},
        {"return font.getTextHeight('debug:2', 'Hello', 1000) > font.getTextHeight('debug', 'Hello', 1000)",
         "true"},
        {"sys.setTextureIdleUnloadTime(math.huge) return 'ok'", "ok"},
        {"local r = util.rand(-5, -4) return tostring(r >= -5 and r <= -4)", "true"},
        {"local x, y = util.transformPoint(-10, -20, 'ui.o', 'ui.root') return x .. ' ' .. y", "-5 -20"},
        {"sound.stop('none', -1) return 'ok'", "ok"},
    };
    for (const auto& [code, result] : taken)
    {
        EXPECT_EQ(
            lua("(function() local ok, r = pcall(function() " + code + " end) return tostring(r) end)()"),
            result)
            << code;
    }
    engine->frame();
    EXPECT_EQ(lua("tostring(journal) .. ' ' .. o.x .. ' ' .. tostring(object.isAnimated('ui.o'))"),
              "nil 40 false");
    // A switch's time below 0 is no fade at all.
    EXPECT_EQ(lua("attempt(scene.switch, {scene = 'c1.b', time = -1, effect = 'fade'})"), "ok");
    engine->frame();
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "c1.b");
}

// A texture's size is its pixels times its extension's scale, cast to int: a scale of 3e38 from the
// configuration or a script ended the first draw of the picture (UBSan float-cast-overflow).
TEST(TextureScales, AScaleNoFloatHoldsIsRefusedAndAHugeOneDrawsAll)
{
    harness::GameFolder folder;
    folder.config("scene: c1.a\ntexture_extensions: .png:inf,.jpg\n");
    folder.put("data/ui/ui.dts",
               "<Dataset><Texture filename='pic'/>"
               "<Object type='ImageBox' name='shows' rect='0,0,50,50' image='pic'/></Dataset>");
    std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/pic.png");
    folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
    folder.put("data/chapters/c1/scenes/a.scene", "");
    Engine engine(folder);
    engine.start();
    engine.frame();
    EXPECT_EQ(engine.logCount("Configuration value texture_extensions: scale 'inf' of '.png' is not a number "
                              "a float can hold; that extension's scale is 1."),
              1u)
        << engine.logText();
    EXPECT_EQ(engine.lua("image.getProperty('ui.pic', 'w')"), "72");

    const std::pair<std::string, std::string> cases[] = {
        {".png:1e308", "sys.setTextureExtensions: scale '1e308' of '.png' is not a number a float can hold"},
        {".jpg,.png:nan", "sys.setTextureExtensions: scale 'nan' of '.png' is not a number a float can hold"},
        {".png:3e38", "ok"},
        {".png:0.5", "ok"},
    };
    for (const auto& [list, result] : cases)
    {
        EXPECT_TRUE(ends(engine.luaOrError("(function() local ok, e = pcall(sys.setTextureExtensions, '" +
                                           list + "') return ok and 'ok' or e end)()"),
                         result))
            << list;
        engine.frame();
    }
    EXPECT_EQ(engine.lua("sys.getTextureExtensions('')"), ".png:0.5");
    // The libraries keep the list past the engine's end: the next test of the process finds the usual one.
    engine.lua("sys.setTextureExtensions('.jpt,.png,.jpg') or true");
    EXPECT_EQ(Engine::errorLines(), 0) << engine.logText();
}

// A data file's rectangle is taken as written, and a script's may be any finite float: reading a
// map-less layer's rectangle or centre back as whole units cast them to int (UBSan float-cast-overflow).
TEST(DataFileNumbers, AFarRectangleReadsBackAtTheEndsOfInt)
{
    harness::GameFolder folder;
    folder.config("scene: c1.a\n");
    folder.put("data/ui/ui.dts",
               "<Dataset>\n"
               "<Object type='ActionMap' name='far' rect='0,0,1e39,-3e38' center='3e38,-1e39' "
               "shape='rect'/>\n"
               "<Object type='ActionMap' name='lost' rect='0,0,nan,5' shape='rect'/>\n"
               "</Dataset>");
    folder.put("data/lib/ui.lua", "function attempt(f) local ok, r = pcall(f) return ok and r or r end\n");
    folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
    folder.put("data/chapters/c1/scenes/a.scene", "");
    Engine engine(folder);
    engine.start();
    engine.frame();
    const std::pair<std::string, std::string> cases[] = {
        {"object.getProperty('ui.far', 'color_rect')", "0,0,2147483647,-2147483648"},
        {"object.getProperty('ui.far', 'center:FFFFFF')", "2147483647,-2147483648"},
        {"object.getProperty('ui.lost', 'color_rect')", "0,0,0,5"},
        {"attempt(function() local o = object.create('ActionMap', 'made', 'ui.root', {w = 3e38, h = 1}) "
         "return object.getProperty(o, 'color_rect') end)",
         "0,0,2147483647,1"},
    };
    for (const auto& [code, result] : cases)
    {
        EXPECT_EQ(engine.lua(code), result) << code;
    }
    engine.frame();
    EXPECT_EQ(Engine::errorLines(), 0) << engine.logText();
}

namespace
{
    bool holdsNumbers(const PropertyInfo& info)
    {
        return info.type == PropertyInfo::INT || info.type == PropertyInfo::FLOAT ||
               info.type == PropertyInfo::UCHAR || info.type == PropertyInfo::RECT ||
               info.type == PropertyInfo::GVEC2;
    }

    // The text a data file would write: every part of a rectangle or vector far at once.
    hstring farText(const PropertyInfo& info, const hstring& number)
    {
        return info.type == PropertyInfo::RECT    ? "0,0," + number + "," + number
               : info.type == PropertyInfo::GVEC2 ? number + "," + number
                                                  : number;
    }

    // Reads every property that needs no argument, as a script or a debug tool would.
    void readAll(tesraui::Object* object, const harray<PropertyInfo>& infos)
    {
        for (const PropertyInfo& info : infos)
        {
            if (!info.name.contains("%"))
            {
                object->getProperty(info.name);
            }
        }
    }
} // namespace

// A data file sets properties from its text as the types read it, without the script's check: each number
// property of every object and animator kind, set to numbers no float or int holds, is updated, drawn and
// read back for a few frames.
TEST(DataFileNumbers, EveryKindRunsWithFarNumbersInEachNumberProperty)
{
    harness::GameFolder folder;
    folder.emptyGame();
    Engine engine(folder);
    engine.start();
    engine.frame();
    tesraui::Container* root = UI::getInstance()->getRootObject();
    tesraui::Dataset* dataset = root->getDataset();
    const char* const numbers[] = {"1e308", "3e38",       "-3e38",       "nan",
                                   "-inf",  "2147483647", "-2147483648", "2e9"};
    int made = 0;
    // For each far number, one batch: an object made for each number property of the kind, given that
    // number, run for a few frames and let go of; `makeOne` makes it and names what it placed on the root.
    auto sweep = [&](const hstring& type, const harray<PropertyInfo>& infos,
                     const std::function<hstring(const PropertyInfo&, const char*)>& makeOne)
    {
        for (const char* number : numbers)
        {
            SCOPED_TRACE(std::string(type.c_str()) + " " + number);
            harray<hstring> names;
            for (const PropertyInfo& info : infos)
            {
                if (holdsNumbers(info))
                {
                    names.push_back(makeOne(info, number));
                }
            }
            for (int i = 0; i < 3; ++i)
            {
                engine.frame();
            }
            for (const hstring& name : names)
            {
                if (tesraui::Object* object = dataset->tryGetObject(name))
                {
                    dataset->destroyObject(object);
                }
            }
            engine.frame();
        }
    };
    auto place = [&](tesraui::Object* object)
    {
        dataset->registerObjects(object);
        root->addChild(object);
    };
    int kinds = 0;
    for (const hstring& type : tesraui::getObjectTypeNames())
    {
        if (type == "VumoViewport")
        {
            continue;
        }
        ++kinds;
        std::unique_ptr<tesraui::Object> sample(
            tesraui::createObject(type, "sample", kavtypes::Rectangle(0, 0, 50, 50)));
        const harray<PropertyInfo> infos = sample->getPropertyDescriptions();
        sweep(type, infos,
              [&](const PropertyInfo& info, const char* number)
              {
                  tesraui::Object* object =
                      tesraui::createObject(type, "far" + hstring(made++), kavtypes::Rectangle(0, 0, 50, 50));
                  place(object);
                  try
                  {
                      // Something to draw where the kind shows a picture or text.
                      for (const PropertyInfo& other : infos)
                      {
                          if (other.name == "image" || other.name == "text")
                          {
                              object->setProperty(other.name,
                                                  other.name == "image" ? "0xFF0000" : "Far, far away");
                          }
                      }
                      object->setProperty(info.name, farText(info, number));
                      readAll(object, infos);
                  }
                  catch (const quortypes::exception&)
                  {
                      // Refused, as a looping sound's gain is: the data file's load would fail there.
                  }
                  return object->getName();
              });
    }
    for (const hstring& type : tesraui::getAnimatorTypeNames())
    {
        ++kinds;
        std::unique_ptr<tesraui::Animator> sample(tesraui::createAnimator(type, "sample"));
        const harray<PropertyInfo> infos = sample->getPropertyDescriptions();
        sweep(type, infos,
              [&](const PropertyInfo& info, const char* number)
              {
                  tesraui::Object* host = tesraui::createObject("ImageBox", "host" + hstring(made++),
                                                                kavtypes::Rectangle(0, 0, 50, 50));
                  place(host);
                  host->setProperty("image", "0xFF0000");
                  tesraui::Animator* animator = tesraui::createAnimator(type, "far" + hstring(made++));
                  dataset->registerObjects(animator);
                  host->addChild(animator);
                  animator->setProperty(info.name, farText(info, number));
                  readAll(animator, infos);
                  return host->getName();
              });
    }
    // Pictures and text the kinds lack are logged as errors; what counts is that every frame ran.
    EXPECT_GT(kinds, 40);
    EXPECT_EQ(engine.lua("tostring(object.exists('ui.root'))"), "true");
}

// A looping sound's fade time of infinity from a data file never ended its fade-out: the sound played on
// after its scene had gone. Refused as its gain is; the data file's load names the file and the line.
TEST(DataFileNumbers, ALoopSoundRefusesAnEndlessFadeTimeNamingIt)
{
    harness::GameFolder folder;
    folder.emptyGame();
    Engine engine(folder);
    engine.start();
    const struct
    {
        const char* property;
        const char* value;
        std::string result;
    } rows[] = {
        {"fadeOutTime", "inf", "LoopSound 'l': fadeOutTime 'inf' is not a number a float can hold"},
        {"fadeInTime", "-1e39", "LoopSound 'l': fadeInTime '-1e39' is not a number a float can hold"},
        {"fadeTime", "1e308", "LoopSound 'l': fadeTime '1e308' is not a number a float can hold"},
        {"fadeTime", "2", "taken"},
        {"fadeOutTime", "-1", "taken"},
        {"fadeInTime", "3e38", "taken"},
    };
    for (const auto& row : rows)
    {
        std::unique_ptr<tesraui::Object> loop(
            tesraui::createObject("LoopSound", "l", kavtypes::Rectangle(0, 0, 1, 1)));
        const hstring before = loop->getProperty("fadeTime");
        std::string got = "taken";
        try
        {
            loop->setProperty(row.property, row.value);
        }
        catch (const quortypes::exception& e)
        {
            got = e.getMessage();
            EXPECT_EQ(loop->getProperty("fadeTime"), before) << row.property << " " << row.value;
        }
        EXPECT_TRUE(ends(got, row.result)) << row.property << " " << row.value;
    }

    folder.put("data/loops.dts",
               "<Dataset>\n<Object type='LoopSound' name='l' rect='0,0,1,1' fadeOutTime='inf'/>\n</Dataset>");
    tesraui::Dataset dataset("data/loops.dts", "loops");
    std::string failure = "loaded";
    try
    {
        dataset.load();
    }
    catch (const quortypes::exception& e)
    {
        failure = e.getMessage();
    }
    EXPECT_TRUE(ends(failure, "LoopSound 'l': fadeOutTime 'inf' is not a number a float can hold, in file "
                              "data/loops.dts, line 2"));
}
