#include <map>
#include <sstream>

#include "EngineHarness.h"
#include "lua/Calls.h"

using harness::Engine;
using harness::GameFolder;

namespace
{
    // Calls every function the engine gave the scripts (behind the binding boundary) with each list of
    // arguments, in name order, and writes what each
    // call answered to the file "sweep-<moment>.txt": "name(arguments) -> ok <results>" or "-> error
    // <message>", and "done <count of functions>" last. The arguments are what the functions take: names of
    // objects, scenes, sounds and fonts, numbers, flags and tables.
    const char* const sweep = R"(
local argumentLists = {
  {}, {'a'}, {1}, {true}, {{}}, {'a', 'a'}, {'a', 1}, {1, 1}, {'a', true}, {'a', 'a', 'a'}, {'a', 1, 1},
  {1, 1, 1}, {'a', 1, 1, 1}, {1, 1, 1, 1}, {'a', 'a', 1}, {'a', {}}, {'a', 'a', {}, {}},
  {'ok', 'a', {ok = 'x = 1'}}, {'c1.a'}, {'c1.a', 1, 'fade'}, {'ui.probe'}, {'ui.probe', 'a'},
  {'ui.probe', 1, 1}, {'ui.probe', 'x', 1}, {'ui.probe', 'ui.probe'}, {'a', 'a', 1, 1, 1, 1},
  {'debug', 1, 1, 1}, {'a', 'ui.probe'}, {'Container', 'made', 'ui.probe'}, {{x = 1, y = 2}},
}
-- Calls that would reach outside the test (a browser) or change the sweep's own strings (the engine's
-- debug.setmetatable gives a string's type a metatable as Lua's does), and the test's own.
local skipped = {['sys.openUrl'] = true, ['debug.setmetatable'] = true, sweepIsEngineFunction = true}
local function isEngineFunction(f)
  return type(f) == 'function' and sweepIsEngineFunction(f)
end
local function collect(t, prefix, depth, seen, names)
  for key, value in pairs(t) do
    if type(key) == 'string' and key ~= '_G' and key ~= 'package' then
      if isEngineFunction(value) and not skipped[prefix .. key] then
        names[#names + 1] = prefix .. key
      elseif type(value) == 'table' and depth < 2 and not seen[value] then
        seen[value] = true
        collect(value, prefix .. key .. '.', depth + 1, seen, names)
      end
    end
  end
end
local function describe(list)
  local parts = {}
  for i, v in ipairs(list) do
    parts[i] = type(v) == 'table' and 'table' or tostring(v)
  end
  return table.concat(parts, ',')
end
local swept = {}
function sweep(moment)
  -- A call of the sweep (a scene switch) may deactivate the scene again: one sweep a moment.
  if swept[moment] then return end
  swept[moment] = true
  local names = {}
  collect(_G, '', 0, {[_G] = true}, names)
  table.sort(names)
  local lines = {}
  for _, name in ipairs(names) do
    local f = _G
    for part in name:gmatch('[^.]+') do f = f[part] end
    for _, list in ipairs(argumentLists) do
      local results = {pcall(f, unpack(list))}
      local text = {}
      for i = 2, #results do text[#text + 1] = tostring(results[i]) end
      lines[#lines + 1] = name .. '(' .. describe(list) .. ') -> ' .. (results[1] and 'ok ' or 'error ') ..
                          table.concat(text, ' ')
    end
  end
  for _, key in ipairs({'name', 'maxTextureSize', 'inputMode', 'windowResolution', 'displayResolution'}) do
    local ok, value = pcall(function() return sys.info[key] end)
    lines[#lines + 1] = 'sys.info.' .. key .. ' -> ' .. (ok and 'ok ' or 'error ') .. tostring(value)
  end
  lines[#lines + 1] = 'done ' .. #names
  local file = io.open('sweep-' .. moment .. '.txt', 'w')
  file:write(table.concat(lines, '\n'), '\n')
  file:close()
end
)";

    struct Moment
    {
        const char* name;
        // Where the game calls sweep(name).
        const char* file;
        const char* script;
    };

    // The sweep's lines by what they start with ("name(arguments)").
    std::map<std::string, std::string> answers(const std::string& text)
    {
        std::map<std::string, std::string> result;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line))
        {
            const size_t arrow = line.find(" -> ");
            if (arrow != std::string::npos)
            {
                result[line.substr(0, arrow)] = line.substr(arrow + 4);
            }
        }
        return result;
    }
} // namespace

// While the engine ends, scripts still run: the active scene's OnDeactivate after the profile has gone, and
// at the very end the finalizers of userdata that the state's close calls after the window, the render
// system, the audio, the fonts, the UI and every dataset have gone. Whatever a script function would reach
// then, it refuses with an error or answers plainly, and never reaches through what is gone.
TEST(ScriptsAtShutDown, EveryFunctionRefusesOrAnswersPlainlyOnceWhatItReachesIsGone)
{
    const Moment moments[] = {
        {"deactivate", "data/chapters/c1/scenes/a.scene",
         "function OnDeactivate() sweep('deactivate') end\n"},
        {"close", "data/lib/zz.lua",
         "kept = newproxy(true)\ngetmetatable(kept).__gc = function() sweep('close') end\n"},
    };
    for (const Moment& moment : moments)
    {
        SCOPED_TRACE(moment.name);
        GameFolder folder;
        folder.emptyGame();
        folder.put("data/ui/ui.dts", "<Dataset><Container name='probe' rect='0,0,10,10'/></Dataset>");
        folder.put("data/lib/sweep.lua", sweep);
        folder.put(moment.file, moment.script);
        {
            Engine engine(folder);
            engine.start();
            LuaInterface::registerFunction(
                [](lua_State* L) { return LuaInterface::push(L, LuaInterface::isRegisteredFunction(L, 1)); },
                "sweepIsEngineFunction");
            engine.frame();
            engine.stop();
        }
        tesra::setExitCode(0);
        const std::string text = harness::readFile(folder.path + "/sweep-" + moment.name + ".txt");
        ASSERT_NE(text.find("\ndone "), std::string::npos) << "the sweep ran to its end";
        EXPECT_GT(std::stoi(text.substr(text.find("\ndone ") + 6)), 200) << text;
        const std::map<std::string, std::string> answer = answers(text);
        if (std::string(moment.name) == "close")
        {
            EXPECT_EQ(answer.at("sys.isFullscreen()"), "ok false");
            EXPECT_EQ(answer.at("sys.isWindowFocused()"), "ok false");
            EXPECT_NE(answer.at("sys.setFullscreen(true)").find("error "), std::string::npos);
            EXPECT_NE(answer.at("sys.setFullscreen(true)").find("sys.setFullscreen: the window is not open"),
                      std::string::npos)
                << answer.at("sys.setFullscreen(true)");
        }
    }
}
