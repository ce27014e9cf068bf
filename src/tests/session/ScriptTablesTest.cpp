#include <sys/stat.h>

#include "EngineHarness.h"
#include "lua/Calls.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::readFile;

namespace
{
    // The engine with a small game whose scripts keep a journal, for the cfg and sys tables.
    class ScriptTables : public ::testing::Test
    {
    protected:
        GameFolder folder;
        std::unique_ptr<Engine> engine;

        void SetUp() override
        {
            folder.config("volume: 0.5\ncfg.volume: 0.5\n[audio]\nmode: loud\n[]\n");
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/ui.lua",
                       "journal = {}\nfunction note(x) journal[#journal + 1] = x end\n"
                       "function attempt(f, ...) local ok, e = pcall(f, ...) return ok and 'ok' or e end\n");
            folder.put("data/notes/a.txt", "alpha\r\nbeta");
            std::filesystem::create_directories(folder.path + "/data/ui/fonts");
            engine.reset(new Engine(folder));
            engine->start();
        }
        std::string lua(const std::string& expression)
        {
            try
            {
                return engine->lua(expression);
            }
            catch (const quortypes::exception& e)
            {
                return "raised: " + e.getMessage();
            }
        }
        std::string journal() { return lua("table.concat(journal, ' ')"); }
    };

    ::testing::AssertionResult ends(const std::string& text, const std::string& end)
    {
        if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "'" << text << "' does not end with '" << end << "'";
    }
} // namespace

TEST_F(ScriptTables, CfgReadsNumbersStringsAndGlobalsAndGuardsUnknownKeys)
{
    EXPECT_EQ(lua("type(cfg.width) .. ' ' .. type(cfg.title) .. ' ' .. tostring(cfg.print == print)"),
              "number string true");
    EXPECT_EQ(lua("cfg.width + 1"), "161");
    EXPECT_TRUE(ends(lua("attempt(function() cfg.nothing = 1 end)"),
                     "Error setting cfg param 'nothing', param not defined in cfg file"));
    EXPECT_EQ(lua("attempt(function() cfg.rawset('nothing', 'x') end)"), "ok");
    EXPECT_EQ(lua("cfg.nothing"), "x");
    LuaInterface::execute("cfg.volume = 0.75");
    EXPECT_EQ(Session::getConfigValue("volume"), "0.75");
    LuaInterface::execute(
        "seen = {}; for k, v in pairs(getmetatable(cfg).__serialize()) do seen[#seen + 1] = k end");
    EXPECT_EQ(lua("tostring(#seen > 3)"), "true");
    EXPECT_EQ(lua("(function() for _, k in ipairs(seen) do if k:find('%.') then return k end end return "
                  "'none' end)()"),
              "none");
    EXPECT_EQ(lua("tostring(rawget(cfg, '_index'))"), "nil");

    LuaInterface::execute("cfg.save()");
    EXPECT_NE(readFile(folder.userFile("EngineTest", "vumo.cfg")).find("volume: 0.75"), std::string::npos);
}

TEST_F(ScriptTables, CfgLoadRereadsTheFilesAndAFailureChangesNothing)
{
    folder.config("volume: 0.25\ncfg.volume: 0.25\n");
    std::filesystem::remove(folder.userFile("EngineTest", "vumo.cfg"));
    LuaInterface::execute("cfg.load()");
    EXPECT_EQ(lua("tostring(cfg.volume == 0.25)"), "true");
    folder.put("cfg/vumo.cfg", "title: EngineTest\nthis line is broken\n");
    const size_t lines = Engine::log().size();
    EXPECT_NE(lua("attempt(cfg.load)"), "ok");
    EXPECT_EQ(lua("tostring(cfg.volume == 0.25)"), "true");
    EXPECT_EQ(lua("cfg.width"), "160");
    EXPECT_EQ(Engine::log().size(), lines);
}

TEST_F(ScriptTables, SysInfoAnswersEveryKeyAndIsReadOnly)
{
    for (const char* key : {"name", "osVersion", "arch", "cpuCores", "ram", "maxTextureSize", "displayDpi",
                            "locale", "appId", "inputMode"})
    {
        EXPECT_NE(lua(std::string("type(sys.info.") + key + ")"), "nil") << key;
    }
    EXPECT_EQ(lua("type(sys.info.cpuCores) .. type(sys.info.ram) .. type(sys.info.osVersion)"),
              "numbernumbernumber");
    EXPECT_EQ(lua("sys.info.platform"), "linux");
    EXPECT_EQ(lua("sys.info.inputMode"), "mouse");
    EXPECT_EQ(lua("sys.info.windowResolution.x .. 'x' .. sys.info.windowResolution.y"), "160x120");
    EXPECT_EQ(lua("type(sys.info.displayResolution.x)"), "number");
    EXPECT_TRUE(
        ends(lua("attempt(function() return sys.info.colour end)"), "Invalid sys.info param: colour"));
    EXPECT_TRUE(ends(lua("attempt(function() sys.info.ram = 1 end)"),
                     "Setting properties to sys.info is not allowed!"));
}

TEST_F(ScriptTables, SysFilesAndTextureExtensions)
{
    EXPECT_EQ(lua("sys.readFile('data/notes/a.txt')"), "alpha\r\nbeta");
    EXPECT_TRUE(ends(lua("attempt(function() sys.readFile('data/none.txt') end)"),
                     "sys.readFile(): unable to open file 'data/none.txt', file not found."));
    EXPECT_EQ(lua("table.concat(sys.listdir('data/notes'), ',')"), "a.txt");
    // A file of the system whose size reads 0 is read to its end all the same.
    EXPECT_EQ(lua("tostring(sys.readFile('/proc/self/maps'):find('\\n') ~= nil)"), "true");
    EXPECT_EQ(lua("tostring(sys.resourceExists('data/notes')) .. "
                  "tostring(sys.resourceExists('data/notes/a.txt')) .. "
                  "tostring(sys.resourceExists('data/none'))"),
              "truetruefalse");
    LuaInterface::execute("sys.setTextureExtensions('.png:0.5,.jpg')");
    EXPECT_EQ(lua("sys.getTextureExtensions('')"), ".png:0.5,.jpg");
    LuaInterface::execute("sys.setTextureIdleUnloadTime(12)");
    EXPECT_EQ(Engine::log().back(), "scripting: Setting idle texture unload time to: 12.0 seconds");
}

// sys.readFile reads what a regular file holds up to a bound, from the resources or the file system: what
// never ends, what is larger and what is no file at all are refused with a script error naming the file.
TEST_F(ScriptTables, SysReadFileRefusesLargeFilesAndWhatIsNoFile)
{
    const std::string bound = std::to_string(64 << 20);
    std::filesystem::resize_file(folder.path + "/data/notes/a.txt", (64 << 20) + 1);
    ASSERT_EQ(mkfifo((folder.path + "/pipe").c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"data/notes/a.txt", "it holds more than " + bound + " bytes"},
        {folder.path + "/data/notes/a.txt", "it holds more than " + bound + " bytes"},
        {"/proc/self/pagemap", "it holds more than " + bound + " bytes"},
        {folder.path + "/pipe", "not a regular file"},
        {"/dev/zero", "not a regular file"},
    };
    for (const auto& [path, reason] : cases)
    {
        EXPECT_TRUE(ends(lua("attempt(sys.readFile, '" + path + "')"),
                         "Unable to read file '" + path + "': " + reason))
            << path;
    }
}

TEST_F(ScriptTables, MessageBoxRunsTheAnsweredButtonAndRestoresThePause)
{
    setenv("TESRA_MESSAGEBOX_ANSWER", "no", 1);
    LuaInterface::execute("sys.messageBox('T', 'Sure?', {yes = 'note(\"yes\")', no = 'note(\"no\")'}, "
                          "{yes = 'Sure', no = 'Never'})");
    EXPECT_EQ(journal(), "no");
    EXPECT_FALSE(Session::isPaused());
    Session::setPaused(true);
    setenv("TESRA_MESSAGEBOX_ANSWER", "ok", 1);
    LuaInterface::execute("sys.messageBox('T', 'Done', {ok = 'note(\"ok\")'})");
    EXPECT_EQ(journal(), "no ok");
    EXPECT_TRUE(Session::isPaused());
    Session::setPaused(false);

    const std::string configuration =
        "invalid button configuration, allowed combinations are: yes-no-cancel, "
        "yes-no, ok-cancel, ok";
    EXPECT_TRUE(ends(lua("attempt(function() sys.messageBox('T', 'x', {yes = ''}) end)"), configuration));
    EXPECT_TRUE(
        ends(lua("attempt(function() sys.messageBox('T', 'x', {ok = '', no = ''}) end)"), configuration));
    EXPECT_TRUE(ends(lua("attempt(function() sys.messageBox('T', 'x', {}) end)"), configuration));
    EXPECT_TRUE(
        ends(lua("attempt(function() sys.messageBox('T', 'x', {ok = ''}, {yes = 'Y'}) end)"),
             "sys.messageBox(): invalid button title given: 'yes', button not defined in event table."));
    EXPECT_TRUE(
        ends(lua("attempt(function() sys.messageBox('T', 'x', {ok = '', cancel = ''}, {ok = 'Y'}) end)"),
             "sys.messageBox(): event table and title table must have the same number of elements."));
    EXPECT_FALSE(Session::isPaused());
    setenv("TESRA_MESSAGEBOX_ANSWER", "ok", 1);
}

TEST_F(ScriptTables, LuaSocketEchoesOverLoopback)
{
    LuaInterface::execute("sys.initLuaSocket(); sys.initLuaSocket()");
    EXPECT_EQ(lua("tostring(package.loaded['socket.core'] == socket)"), "true");
    LuaInterface::execute(R"(
        local server = assert(socket.tcp())
        assert(server:bind('127.0.0.1', 0))
        assert(server:listen(1))
        local _, port = server:getsockname()
        local client = assert(socket.tcp())
        assert(client:connect('127.0.0.1', port))
        local peer = assert(server:accept())
        assert(client:send('hello\n'))
        local line = assert(peer:receive('*l'))
        assert(peer:send(line .. ' back\n'))
        echoed = assert(client:receive('*l'))
        client:close(); peer:close(); server:close()
    )");
    EXPECT_EQ(lua("echoed"), "hello back");
    int initialised = 0;
    for (const std::string& line : Engine::log())
    {
        initialised += line == "vumo: initializing luasocket";
    }
    EXPECT_EQ(initialised, 1);
}

TEST_F(ScriptTables, FontsAreMadeMeasuredAndDestroyed)
{
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               folder.path + "/data/ui/fonts/Sans.ttf");
    EXPECT_TRUE(ends(lua("attempt(font.create, 'Sans', 'None.ttf', 20, 1)"),
                     "Unable to create font resource 'None.ttf', file not found!"));
    LuaInterface::execute("font.create('Sans', 'Sans.ttf', 20, 1)");
    EXPECT_EQ(lua("tostring(font.exists('Sans'))"), "true");
    EXPECT_EQ(lua("tostring(font.getTextWidth('Sans', 'Hello') > 10)"), "true");
    EXPECT_EQ(lua("tostring(math.abs(font.getTextWidth('Sans:2', 'Hello') - 2 * font.getTextWidth('Sans', "
                  "'Hello')) < 1)"),
              "true");
    EXPECT_EQ(lua("tostring(font.getTextHeight('Sans', 'Hello Hello Hello', 30) > font.getTextHeight('Sans', "
                  "'Hello', 300))"),
              "true");
    EXPECT_TRUE(ends(lua("attempt(font.getTextWidth, 'None:2', 'x')"), "Error, font 'None:2' not found!"));
    LuaInterface::execute("font.destroy('Sans')");
    EXPECT_EQ(lua("tostring(font.exists('Sans'))"), "false");
}

TEST_F(ScriptTables, AFontThatCannotBeMadeIsRefusedAndNothingOfItIsKept)
{
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               folder.path + "/data/ui/fonts/Sans.ttf");
    folder.put("data/ui/fonts/notes.ttf", "these are notes, not a font");
    LuaInterface::execute("font.create('Sans', 'Sans.ttf', 20, 1)");
    const std::string width = lua("font.getTextWidth('Sans', 'Hello')");
    const std::string unreadable = "', the file could not be read as a font of that height.";
    const std::pair<std::string, std::string> cases[] = {
        {"'Notes', 'notes.ttf', 20, 1", "Unable to create font 'Notes' from 'notes.ttf" + unreadable},
        {"'Flat', 'Sans.ttf', 0, 1", "Unable to create font 'Flat' from 'Sans.ttf" + unreadable},
        {"'Tall', 'Sans.ttf', 1e9, 1", "Unable to create font 'Tall' from 'Sans.ttf" + unreadable},
        {"'Odd', 'Sans.ttf', 0/0, 1", "font.create failed, NaN/INF value passed as argument 3."},
        {"'Odd', 'Sans.ttf', 20, math.huge", "font.create failed, NaN/INF value passed as argument 4."},
        {"'Odd', 'Sans.ttf', 20, 1, 0/0", "font.create failed, NaN/INF value passed as argument 5."},
        {"'Odd', 'Sans.ttf', 20, 1, 20, -math.huge",
         "font.create failed, NaN/INF value passed as argument 6."},
        {"'Sans', 'Sans.ttf', 40, 1", "Unable to create font 'Sans', a font of that name exists."}};
    for (const auto& c : cases)
    {
        EXPECT_TRUE(ends(lua("attempt(font.create, " + c.first + ")"), c.second)) << c.first;
    }
    EXPECT_EQ(lua("tostring(font.exists('Notes') or font.exists('Flat') or font.exists('Tall') or "
                  "font.exists('Odd'))"),
              "false");
    // The font of the name is the first one still.
    EXPECT_EQ(lua("font.getTextWidth('Sans', 'Hello')"), width);
    EXPECT_TRUE(harness::inOrder(engine->logText(), {"Could not read face 0 in: data/ui/fonts/notes.ttf",
                                                     "Font 'Flat': height 0.000000 is not a size"}));
}

TEST(TextTable, TextsOfChaptersTheActiveSceneAndTheUI)
{
    GameFolder folder;
    folder.config("scene: intro.start\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/ui/texts/t.txt", "name\n{\nAnna\n}\n");
    folder.put("data/chapters/intro/intro.datadef", "<Dataset/>");
    folder.put("data/chapters/intro/scenes/start.scene", "");
    folder.put("data/chapters/intro/texts/t.txt", "title\n{\nThe Lake\n}\nend\n{\nThe End\n}\n");
    Engine engine(folder);
    engine.start();
    auto lua = [&](const std::string& expression)
    {
        try
        {
            return engine.lua(expression);
        }
        catch (const quortypes::exception& e)
        {
            return "raised: " + std::string(e.getMessage());
        }
    };
    EXPECT_EQ(lua("text.getText('intro.title')"), "The Lake");
    EXPECT_EQ(lua("text.getText('end')"), "The End");
    EXPECT_EQ(lua("text.getText('{Hello %s!}name')"), "Hello Anna!");
    EXPECT_EQ(lua("tostring(text.exists('intro.title')) .. tostring(text.exists('title')) .. "
                  "tostring(text.exists('intro.nothing'))"),
              "truetruefalse");
    EXPECT_EQ(lua("text.table('intro')['end'] .. ' ' .. text.table().title"), "The End The Lake");
    EXPECT_TRUE(
        ends(lua("select(2, pcall(text.getText, 'nowhere.title'))"), "Dataset 'nowhere' doesn't exist!"));
    EXPECT_NE(lua("select(2, pcall(text.getText))").find("text.getText"), std::string::npos);
}

TEST_F(ScriptTables, TextWithoutAnActiveSceneSaysSo)
{
    EXPECT_TRUE(ends(lua("select(2, pcall(text.getText, 'title'))"),
                     "Unable to get text key 'title', there's no active scene."));
}

TEST_F(ScriptTables, AMessageBoxThatCannotBeShownRunsNoCodeAndRestoresThePause)
{
    // Without an answer and without a display the box has nowhere to appear.
    const std::string display = getenv("DISPLAY") != nullptr ? getenv("DISPLAY") : "";
    const std::string wayland = getenv("WAYLAND_DISPLAY") != nullptr ? getenv("WAYLAND_DISPLAY") : "";
    unsetenv("TESRA_MESSAGEBOX_ANSWER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    LuaInterface::execute("sys.messageBox('T', 'Sure?', {yes = 'note(\"yes\")', no = 'note(\"no\")'})");
    setenv("TESRA_MESSAGEBOX_ANSWER", "ok", 1);
    display != "" ? setenv("DISPLAY", display.c_str(), 1) : 0;
    wayland != "" ? setenv("WAYLAND_DISPLAY", wayland.c_str(), 1) : 0;
    EXPECT_EQ(journal(), "");
    EXPECT_FALSE(Session::isPaused());
    EXPECT_TRUE(harness::inOrder(engine->logText(), {"Unable to show message box 'T'",
                                                     "sys.messageBox(): the message box could not be shown",
                                                     "Session unpaused"}));
}
