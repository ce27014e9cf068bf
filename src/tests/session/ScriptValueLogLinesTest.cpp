#include <filesystem>
#include <string>

#include "EngineHarness.h"

using namespace vumo;

// Engine lines that quote what a script gave (a value, a name, a text) quote a few hundred bytes of it,
// and a label whose text does not fit says so once, not in every frame it is drawn.
class ScriptValueLogLines : public harness::GameTest
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(folder.path + "/data/ui/fonts");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   folder.path + "/data/ui/fonts/Sans.ttf");
        startOnScript("values.lua", "big = string.rep('x', 1000000)\n");
        LuaInterface::execute("font.create('Sans', 'Sans.ttf', 20, 1)");
        harness::createGameVariable("door_open", "0");
        engine->frame();
        engine->log().clear();
    }
    size_t logBytes() const
    {
        size_t bytes = 0;
        for (const std::string& line : engine->log())
        {
            bytes += line.size();
        }
        return bytes;
    }
};

TEST_F(ScriptValueLogLines, AScriptsValueIsQuotedByItsEnds)
{
    struct Case
    {
        const char* name;
        const char* script;
        const char* quoting; // what the line holds before the quoted value
    };
    const Case cases[] = {
        {"variable trace", "vars.door_open = big", "$door_open: 'xxx"},
        {"font name", "font.create(big, 'Sans.ttf', 20, 1)", "Registering font: xxx"},
        {"unmatched closing tags", "font.getTextWidth('Sans', 'a' .. string.rep('[/b]', 20000))",
         "Closing tag that was not opened ('[/b]' in 'a[/b]"},
        // Bytes that are no UTF-8 character were kept whole: the cut moved back to their start.
        {"a closing tag and continuation bytes",
         "font.getTextWidth('Sans', '[/b]' .. string.rep('\\128', 1000000))",
         "Closing tag that was not opened ('[/b]' in '[/b]\x80\x80"},
        {"an error of continuation bytes",
         "vumo.delayedCall(function() error('broken ' .. string.rep('\\128', 1000000)) end, 0)",
         "broken \x80\x80"},
    };
    for (const Case& c : cases)
    {
        engine->log().clear();
        LuaInterface::execute("ok, message = pcall(function() " + hstring(c.script) + " end)");
        // What a delayed call does shows in the frames after it.
        engine->frame();
        engine->frame();
        EXPECT_LT(logBytes(), 2000u) << c.name << ": " << engine->logText().substr(0, 2000);
        EXPECT_EQ(engine->logCount(c.quoting), 1u) << c.name << ": " << engine->logText().substr(0, 2000);
        EXPECT_EQ(engine->logCount(" bytes cut> ... "), 1u) << c.name;
        EXPECT_EQ(engine->lua("tostring(ok)"), "true")
            << c.name << ": " << engine->lua("tostring(message)").substr(0, 300);
    }
}

TEST_F(ScriptValueLogLines, ALabelWhoseTextDoesNotFitSaysSoOncePerText)
{
    // Its colour changes in every frame (a pulsing label), so its text is laid out again each time.
    LuaInterface::execute("label = object.create('Label', 'narrow', ui.root_object, {font = 'Sans', text = "
                          "'abc', x = 0, y = 0, w = 2, h = 40})");
    const auto frames = [this]
    {
        for (int i = 0; i < 10; ++i)
        {
            LuaInterface::execute("label.text_color = string.format('%02X0000FF', " + hstring(i * 20) + ")");
            engine->frame();
        }
    };
    frames();
    EXPECT_EQ(engine->logCount("String does not fit in rect: abc"), 1u) << engine->logText();
    // Long enough to be quoted by its ends; each frame lays all of it out again.
    LuaInterface::execute("label.text = string.sub(big, 1, 20000)");
    frames();
    EXPECT_EQ(engine->logCount("String does not fit in rect: xxx"), 1u);
    EXPECT_LT(logBytes(), 2000u);
    // Another label of another size says it of its own.
    LuaInterface::execute("object.create('Label', 'narrower', ui.root_object, {font = 'Sans', text = 'abc', "
                          "x = 0, y = 0, w = 1, h = 40})");
    frames();
    EXPECT_EQ(engine->logCount("String does not fit in rect: abc"), 2u) << engine->logText();
}
