#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include <orvalo/UpsellScreen.h>
#include <tesra/Window.h>
#include <yim/yim.h>

#include <tesrauilua/Literal.h>

#include "../../lib/tesravideo/tests/VideoWriter.h"
#include "EngineHarness.h"
#include "Match3Scene.h"
#include "Session.h"
#include "SessionState.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "lua/LuaInterface.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// Every hook and script callback the engine calls, each made to do something destructive the moment it is
// called: destroy what it was called for, its parent, whole trees and every picture of the chapter, change,
// remove, reset or save profiles, switch or reset the scene, end the program or raise. The game must run on
// or end cleanly, with no sanitizer report, and each profile's files must hold only its own data. The hooks
// are the headings of docs/hooks.md, so that a hook documented later is in the matrix at once (and fails
// until it has a way to be called here); the other ways into a script are named below.
namespace
{
    std::string docsDir()
    {
        return std::string(VUMO_SOURCE_DIR) + "/docs";
    }

    // "ui.OnKeyDown" and "OnUpdate" for "### ui.OnKeyDown(keyCode)" and "### OnUpdate(timeDelta)".
    std::vector<std::string> documentedHooks()
    {
        std::vector<std::string> names;
        std::istringstream page(harness::readFile(docsDir() + "/hooks.md"));
        for (std::string line; std::getline(page, line);)
        {
            const size_t open = line.find('(');
            if (line.rfind("### ", 0) != 0 || open == std::string::npos || open == 4)
            {
                continue;
            }
            const std::string name = line.substr(4, open - 4);
            if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_.") ==
                std::string::npos)
            {
                names.push_back(name);
            }
        }
        return names;
    }

    // What the engine calls besides the hooks of docs/hooks.md: the inventory's item functions, event
    // handlers (of a click and of other input), delayed calls, message boxes' buttons, the dialog's reply
    // code, the duel's end, animators' functions (in a frame and in the loading screen's update of the UI),
    // finalizers, a debug hook, and hooks called while another runs (the nests below).
    const std::vector<std::string> callbacks = {
        "item_<item>_count",
        "item_<item>_count in a profile load",
        "inv_use_item_<item>",
        "inv_combine_<a>_and_<b>",
        "event Click",
        "event MouseDown",
        "event MouseUp",
        "event MouseScroll",
        "event Submit",
        "scene.delayedCall",
        "vumo.delayedCall",
        "message box button",
        "message box button of code",
        "plain message box button",
        "message box button after a box of higher priority",
        "sys.messageBox button",
        "dialog reply",
        "event PlaybackDone",
        "OnLost",
        "OnSolved",
        "custom animator",
        "the loading screen's update",
        "__gc finalizer",
        "__gc finalizer at close",
        "debug.sethook hook",
        // The store's Unlock, in the game's own UI, where the promotion's screens stand.
        "chapter.onBuy",
    };

    // The ways whose call comes only when the Lua state closes, after the game has stopped.
    const std::set<std::string> calledAtClose = {"__gc finalizer at close"};

    // A hook called while another runs: the outer one's Lua makes the engine call the inner one, which acts;
    // then the outer one returns to the engine code that called it.
    struct Nest
    {
        const char* inner;
        const char* outer;
        const char* call;
    };
    const std::vector<Nest> nests = {
        {"ui.OnItemAdded", "OnUpdate", "inventory.addItem('gem')"},
        {"ui.OnGamePaused", "ui.OnKeyDown", "vumo.pause() vumo.unpause()"},
        {"ui.OnAchievementUnlocked", "custom animator", "profile.unlockAchievement('rich')"},
        {"ui.OnUpdateLoading", "event Click", "vumo.updateLoadingScreen(0.7)"},
    };

    std::string nestName(const Nest& nest)
    {
        return std::string(nest.inner) + " inside " + nest.outer;
    }

    // Each action is Lua run inside the hook; `self` is the object the hook was called for, or the game's
    // bag on the UI when there is none.
    const std::vector<std::pair<std::string, std::string>> actions = {
        {"destroy self", "object.destroy(self)"},
        {"destroy parent", "object.destroy(object.getParent(self))"},
        {"destroy the scene root's children", "object.destroyChildren(matrix.sceneRoot())"},
        {"destroy ui.root's children", "object.destroyChildren(ui.root_object)"},
        {"destroy the chapters' images and textures", "matrix.destroyPictures()"},
        {"profile.change", "profile.change(matrix.otherProfile())"},
        {"profile.remove", "profile.remove(matrix.otherProfile())"},
        {"profile.sync", "profile.sync()"},
        {"profile.save", "profile.save()"},
        {"profile.reset", "profile.reset()"},
        {"vars.revertToProfile", "vars.revertToProfile()"},
        {"profile.unlockAchievement", "profile.unlockAchievement('rich')"},
        {"scene.switch to another chapter", "scene.switch('ch2.x')"},
        {"scene.switch at once", "scene.switch({scene = 'ch1.b', time = 0, effect = 'none'})"},
        {"scene.reset", "scene.reset()"},
        // What scene.switch and scene.reset queue, called at once: inside a hook they queue in their turn.
        {"scene._queued_switchScene to another chapter",
         "scene._queued_switchScene(matrix.otherChapterScene(), 0, 'none')"},
        {"scene._queued_reset", "scene._queued_reset(matrix.activeScene())"},
        {"vumo.endProgram", "vumo.endProgram()"},
        {"error", "error('raised on purpose')"},
        {"ui.clearQueuedMessageBoxes", "ui.clearQueuedMessageBoxes()"},
        {"destroy the shown box's object", "matrix.destroyShownBox()"},
        {"destroy the promotion screens", "matrix.destroyPromotionScreens()"},
        {"make objects named like the engine's", "matrix.takeEngineNames()"},
    };

    // Actions on what only the game's own UI shows: tried by the hooks that run in it alone.
    const std::set<std::string> shellActions = {"destroy the promotion screens"};

    // The game: a UI with a bag in a container, two chapters with a picture each, profiles Alpha (marker
    // 111) and Beta (marker 222, holding the key), and every hook and callback reporting to `matrix.hit`.
    const char* const matrixScript = R"(
vars.create('marker', 0)
vars.create('inn_templar_count', 0)
matrix = {calls = 0, done = false, log = {}, seen = {}}
function matrix.sceneRoot()
  local chapter = _G[scene.getChapterName()]
  return chapter[scene.getName()].root_object
end
function matrix.otherProfile()
  return profile.getName() == 'Alpha' and 'Beta' or 'Alpha'
end
-- The active scene's full name, and a scene of another chapter than the active one's (ch1.a before any).
function matrix.activeScene()
  local ok, name = pcall(function() return scene.getChapterName() .. '.' .. scene.getName() end)
  return ok and name or 'ch1.a'
end
function matrix.otherChapterScene()
  return matrix.activeScene():find('^ch2%.') and 'ch1.a' or 'ch2.x'
end
-- The full name of the first object below root whose own name starts with the prefix.
function matrix.find(root, prefix)
  for _, child in ipairs(object.children(root)) do
    if child.__name:match('[^.]*$'):sub(1, #prefix) == prefix then return child.__name end
    local found = matrix.find(child, prefix)
    if found then return found end
  end
end
-- The scenes' picture boxes first, so that nothing holds the pictures when they go.
function matrix.destroyPictures()
  for _, box in ipairs({'ch1.pica', 'ch1.seconda', 'ch1.picb', 'ch1.secondb', 'ch2.picx', 'ch2.secondx', 'ui.banner'}) do
    if object.exists(box) then pcall(object.destroy, box) end
  end
  for _, dataset in ipairs({'ch1', 'ch2', 'ui'}) do
    for _, texture in ipairs({'pic', 'pic2'}) do
      for _, name in ipairs({'full', 'part'}) do
        if image.exists(dataset, texture .. '/' .. name) then image.destroy(dataset, texture .. '/' .. name) end
      end
      if image.textureExists(dataset, texture) then image.destroyTexture(dataset, texture) end
    end
  end
end
-- The shown box's object; with none shown, a box is asked for and its object destroyed once it shows.
function matrix.destroyShownBox()
  local box = matrix.find(ui.root_object, 'vumo_messagebox')
  if box then return object.destroy(box) end
  matrix.destroyBoxWhenShown = true
  ui.messageBox({type = 'matrix', text = '{%s} {Box}'})
end
-- The promotion library's screens, by name as any object and then through the library, which makes the
-- more-games screen first when it can.
function matrix.destroyPromotionScreens()
  if orvalo and not object.exists('ui.orvalo_mgs') then orvalo.createMoreGamesScreen(ui.root_object) end
  for _, name in ipairs({'ui.orvalo_mgs', 'ui.orvalo_mgs_container', 'upsell.orvalo_us'}) do
    if object.exists(name) then pcall(object.destroy, name) end
  end
  if orvalo and object.exists('ui.orvalo_mgs') then orvalo.destroyMoreGamesScreen() end
end
-- Names the engine gives objects of its own, taken first by the game: the pointer, the fade, the error
-- overlay, the console, the next boxes and their parts, the scenes' roots and the duel's tiles.
function matrix.takeEngineNames()
  local function take(name, parent)
    if not object.exists(name) then
      pcall(object.create, 'Container', name:match('^[^.]*%.(.*)$'), parent, {x = 0, y = 0, w = 1, h = 1})
    end
  end
  for _, short in ipairs({'vumo_cursor', 'vumo_fade_transition_overlay', 'vumo_ui_error_bg', 'vumo_debug_console',
                         'debugui_window'}) do
    take('ui.' .. short, 'ui.root')
  end
  for n = 1, 4 do
    take('ui.vumo_messagebox' .. n, 'ui.root')
    take('ui.vumo_messagebox' .. n .. '/wnd_bg', 'ui.root')
  end
  local ok, root = pcall(matrix.sceneRoot)
  if not ok or not root then return end
  local chapter = scene.getChapterName()
  for _, short in ipairs({'a', 'b', 'x', 'board'}) do
    take(chapter .. '.' .. chapter .. '.' .. short .. '_sceneRootObject', root)
  end
  for c = 0, 4 do
    for r = 0, 4 do take(chapter .. '.0x_' .. c .. '_' .. r, root) end
  end
end
-- Calls that come too early to hurt: the loading hook and the UI's update while a chapter loads act once
-- most of the chapter is there.
local loadingEarly = function(progress) return progress < 0.6 or progress >= 1 end
local notYet = {
  ['ui.OnUpdateLoading'] = loadingEarly,
  ["the loading screen's update"] = loadingEarly,
}
-- The outer hook of a nest makes the engine call the inner one, which then stands for the hook of this run.
local function nested(name)
  if name == MATRIX_NEST.outer and not matrix.nestDone then
    matrix.nestDone = true
    matrix.inOuter = true
    local ok, message = pcall(loadstring(MATRIX_NEST.call))
    matrix.inOuter = false
    matrix.log[#matrix.log + 1] = 'outer: ' .. tostring(ok) .. ' ' .. tostring(message)
    return nil
  end
  return (name == MATRIX_NEST.inner and matrix.inOuter) and MATRIX_HOOK or nil
end
-- The hook of this run does the action of this run, once; every hook counts its calls. The first call
-- leaves a file, which outlasts the Lua state (a finalizer runs at its close).
function matrix.hit(name, self, ...)
  matrix.seen[name] = (matrix.seen[name] or 0) + 1
  if MATRIX_NEST then name = nested(name) end
  if name ~= MATRIX_HOOK then return end
  matrix.calls = matrix.calls + 1
  if matrix.calls == 1 then
    local called = io.open('matrix-called', 'w')
    called:write(name)
    called:close()
  end
  if matrix.done or (notYet[name] and notYet[name](...)) then return end
  matrix.done = true
  self = self or 'ui.bag'
  local act = loadstring('local self = ...; ' .. MATRIX_ACTION)
  if MATRIX_ACTION:find('^error') then
    return act(self)
  end
  local ok, message = pcall(act, self)
  matrix.log[#matrix.log + 1] = tostring(ok) .. ' ' .. tostring(message)
end
local returns = {
  getUIIdiomOverride = function() return 'pc' end,
  canSaveGame = function() return 1 end,
  displayDialog = function() return 0.1 end,
  getCursorMode = function() return matrix.cursorMode end,
}
local objects = {
  createCursor = function(mode, cursor) return cursor end,
  destroyCursor = function(cursor) return cursor end,
  createMessageBox = function(box) return box end,
}
-- A chapter's loading progress, from its report to the end of the frame.
local notes = {
  OnUpdateLoading = function(progress) matrix.progress = progress end,
  update = function()
    matrix.progress = nil
    if matrix.destroyBoxWhenShown and ui.isMessageBoxActive() then
      matrix.destroyBoxWhenShown = nil
      pcall(matrix.destroyShownBox)
    end
  end,
}
for _, name in ipairs(MATRIX_UI_HOOKS) do
  ui[name] = function(...)
    if notes[name] then notes[name](...) end
    local self = objects[name] and objects[name](...) or nil
    matrix.hit('ui.' .. name, self, ...)
    if returns[name] then return returns[name](...) end
  end
end
function ui.displayDialogReplies(replies)
  matrix.hit('ui.displayDialogReplies')
  if dialog.isActive() and dialog.getNumReplies() > 0 then dialog.chooseReply(0) end
end
function ui.createMessageBox(box, params)
  matrix.hit('ui.createMessageBox', box)
  matrix.boxes = (matrix.boxes or 0) + 1
  local button = object.create('TextImageButton', 'matrix_ok' .. matrix.boxes, box,
                               {x = 0, y = 0, w = 40, h = 20, image = '0x305070'})
  object.assignEvent(button, 'Click', params.ok_button or function() end)
end
function item_gem_count() matrix.hit('item_<item>_count', 'ui.bag') return 1 end
function item_key_count() matrix.hit('item_<item>_count in a profile load', 'ui.bag') return 1 end
function inv_use_item_gem() matrix.hit('inv_use_item_<item>', 'ui.bag') end
function inv_combine_ruby_and_gem() matrix.hit('inv_combine_<a>_and_<b>', 'ui.bag') end
function inv_combine_gem_and_ruby() matrix.hit('inv_combine_<a>_and_<b>', 'ui.bag') end
-- An animator of the UI's: the UI's update while a chapter loads reaches it too.
function matrixLoadingScreen(animator)
  if matrix.progress then matrix.hit("the loading screen's update", animator, matrix.progress) end
  return 0
end
function ui.init()
  profile.change('Alpha')
  object.create('Container', 'hud', ui.root_object, {x = 0, y = 60, w = 160, h = 60, zorder = 50})
  object.create('InventoryPane', 'bag', 'ui.hud', {x = 0, y = 0, w = 160, h = 40})
  object.create('ImageBox', 'banner', 'ui.hud', {x = 0, y = 40, w = 40, h = 20, image = 'ui.pic/full'})
  if MATRIX_HOOK == 'ui.init' then matrix.hit('ui.init') end
end
)";

    // The scene script after a line `local name = '<chapter>.<scene>'`.
    const char* const sceneScript = R"(
local env = getfenv(1)
for _, hook in ipairs({'OnActivate', 'OnDeactivate', 'OnUpdate', 'OnPointerPressed', 'OnPointerReleased',
                       'OnAltPointerPressed', 'OnAltPointerReleased', 'OnPointerCanceled'}) do
  env[hook] = function()
    matrix.hit(hook, name == 'ch1.a' and 'ch1.panel' or nil)
  end
end
function matrixAnimate(animator)
  matrix.hit('custom animator', animator)
  return 0
end
-- Every scene shows its chapter's picture, so that a switch loads it; the first keeps two objects across
-- a reset and takes clicks.
local chapter, short = name:match('^(.-)%.(.*)$')
local panel = 'panel' .. (short == 'a' and '' or short)
object.create('Container', panel, root_object, {x = 0, y = 0, w = 160, h = 60})
object.create('ImageBox', 'pic' .. short, chapter .. '.' .. panel,
              {x = 0, y = 0, w = 160, h = 60, image = chapter .. '.pic/full'})
object.create('ImageBox', 'second' .. short, chapter .. '.' .. panel,
              {x = 0, y = 0, w = 20, h = 20, image = chapter .. '.pic2/part'})
if name == 'ch1.a' then
  object.create('Container', 'box__retain', root_object, {x = 0, y = 0, w = 10, h = 10})
  object.create('InventoryPane', 'bag__retain', root_object, {x = 0, y = 100, w = 60, h = 20})
  object.assignEvent('ch1.pica', 'Click', function() matrix.hit('event Click', 'ch1.pica') end)
end
)";

    // Two textures of two pictures each.
    const char* const chapterDataset =
        "<Dataset><Texture filename='pic'><Image name='full' rect='0,0,72,72'/><Image name='part' "
        "rect='0,0,8,8'/>"
        "</Texture><Texture filename='pic2'><Image name='full' rect='0,0,72,72'/>"
        "<Image name='part' rect='0,0,8,8'/></Texture></Dataset>";

    // The store's hooks need the player's own UI and its promotion data.
    bool inGameShell(const std::string& hook)
    {
        return hook == "chapter.onBuy" || hook == "chapter.onRestore";
    }

    struct Game;
    typedef std::function<void(Game&)> Trigger;

    struct Game
    {
        GameFolder folder;
        std::unique_ptr<Engine> engine;
        UI* ui() { return UI::getInstance(); }
        // What the trigger's own code raised: an action in the hook may make it fail, which is the game's.
        std::vector<std::string> errors;
        void lua(const std::string& code)
        {
            try
            {
                LuaInterface::execute(code.c_str());
            }
            catch (const quortypes::exception& e)
            {
                this->errors.push_back(code + ": " + std::string(e.getMessage()));
            }
        }
        std::string value(const std::string& expression) { return this->engine->lua(expression); }
        // The hook of the run has been called: its first call leaves a file.
        bool called() const { return std::filesystem::exists(this->folder.path + "/matrix-called"); }
        std::string raised() const
        {
            std::string text;
            for (const std::string& error : this->errors)
            {
                text += "\n" + error;
            }
            return text;
        }
        void frames(int count, float time = 0.05f)
        {
            for (int i = 0; i < count; ++i)
            {
                this->engine->frame(time);
            }
        }
        void click(float x, float y, int button = 1)
        {
            this->engine->mouse(tesra::Window::MOUSE_MOVE, x, y, 0);
            this->engine->frame();
            this->engine->mouse(tesra::Window::MOUSE_DOWN, x, y, button);
            this->engine->frame();
            this->engine->mouse(tesra::Window::MOUSE_UP, x, y, button);
            this->engine->frame();
        }
        void key(int code)
        {
            tesra::window->queueKeyEvent(tesra::Window::KEY_DOWN, code, 0);
            tesra::window->checkEvents();
            tesra::window->queueKeyEvent(tesra::Window::KEY_UP, code, 0);
            tesra::window->checkEvents();
        }
        void wheel(float x, float y)
        {
            this->engine->mouse(tesra::Window::MOUSE_MOVE, x, y, 0);
            this->engine->frame();
            this->engine->mouse(tesra::Window::MOUSE_SCROLL, 0, -1, 0);
        }
        // A click at the middle of the object a Lua expression names.
        void clickOn(const std::string& object)
        {
            std::istringstream rect(
                this->value("table.concat({object.getBoundingRect(" + object + ")}, ' ')"));
            float x = 0, y = 0, w = 0, h = 0;
            rect >> x >> y >> w >> h;
            this->click(x + w / 2, y + h / 2);
        }
        bool waitUntil(const std::function<bool()>& there)
        {
            return this->engine->waitUntil(there, 0.05f, 20);
        }
        // The same until the Lua condition holds.
        bool waitFor(const std::string& condition)
        {
            return this->waitUntil(
                [this, &condition]
                {
                    try
                    {
                        return this->value("(" + condition + ") and 1 or 0") == "1";
                    }
                    catch (const quortypes::exception&)
                    {
                        return false;
                    }
                });
        }
    };

    // Events of a scene's object that input other than a click raises: the object is made over the panel and
    // the input reaches it through the window.
    struct InputEvent
    {
        const char* type;
        const char* event;
        void (*input)(Game&);
    };
    const std::vector<InputEvent> inputEvents = {
        {"ImageButton", "MouseDown", [](Game& run) { run.click(80, 30); }},
        {"ImageButton", "MouseUp", [](Game& run) { run.click(80, 30); }},
        {"CallbackObject", "MouseScroll", [](Game& run) { run.wheel(80, 30); }},
        {"EditBox", "Submit", [](Game& run) { run.key(13); }},
    };

    void writeGame(GameFolder& folder, const std::vector<std::string>& uiHooks, const std::string& hook,
                   const std::string& action)
    {
        folder.config(std::string("scene: ch1.a\n") + (hook == "ui.debugPrint" ? "debug_mode: 1\n" : ""));
        std::string list = "MATRIX_UI_HOOKS = {";
        for (const std::string& name : uiHooks)
        {
            list += "'" + name.substr(3) + "', ";
        }
        list += "}\n";
        std::string nest = "MATRIX_NEST = nil\n";
        for (const Nest& candidate : nests)
        {
            if (nestName(candidate) == hook)
            {
                nest = std::string("MATRIX_NEST = {inner = '") + candidate.inner + "', outer = '" +
                       candidate.outer + "', call = " + tesrauilua::literal(candidate.call, '\'') + "}\n";
            }
        }
        folder.put("data/lib/arm.lua", "MATRIX_HOOK = " + tesrauilua::literal(hook.c_str(), '\'') +
                                           "\nMATRIX_ACTION = " + tesrauilua::literal(action.c_str(), '\'') +
                                           "\n" + list + nest);
        folder.put("data/lib/matrix.lua", matrixScript);
        folder.put("cfg/achievements.cfg", "rich\n");
        for (const std::string& chapter :
             {std::string("ui"), std::string("chapters/ch1"), std::string("chapters/ch2")})
        {
            std::filesystem::create_directories(folder.path + "/data/" + chapter);
            std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/" + chapter + "/pic.png");
            std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/" + chapter + "/pic2.png");
        }
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/items.png");
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/InventoryPane.png");
        folder.put("data/ui/ui.dts",
                   "<Dataset><Texture filename='pic'><Image name='full' rect='0,0,72,72'/>"
                   "<Image name='part' rect='0,0,8,8'/></Texture>"
                   "<Texture filename='items'><Image name='key' rect='0,0,30,30'/>"
                   "<Image name='gem' rect='30,30,30,30'/>"
                   "<Image name='ruby' rect='0,30,30,30'/></Texture>"
                   "<Texture filename='InventoryPane'><Image name='use_item_icon' rect='0,0,8,8'/>"
                   "<Image name='combine_item_icon' rect='0,0,8,8'/></Texture></Dataset>");
        folder.put("data/chapters/ch1/ch1.datadef", chapterDataset);
        folder.put("data/chapters/ch2/ch2.datadef", chapterDataset);
        for (const char* scene : {"ch1.a", "ch1.b", "ch2.x"})
        {
            const std::string name(scene);
            folder.put("data/chapters/" + name.substr(0, 3) + "/scenes/" + name.substr(4) + ".scene",
                       "local name = '" + name + "'\n" + sceneScript);
        }
        folder.put("data/chapters/ch1/dialogs/talk.dlg",
                   "function main()\n"
                   "  if said then dialog.stop() return end\n"
                   "  if asked then said = true dialog.sequence{'Keeper:Hello.'} return end\n"
                   "  dialog.reply('Ask', 'asked = true matrix.hit(\\'dialog reply\\')')\n"
                   "end\n");
        static const std::string clip = []
        {
            VideoPlan plan;
            plan.frames = 6;
            return videotest::encodeVideo(plan);
        }();
        folder.put("data/chapters/ch1/video/clip.ogv", clip);
        if (inGameShell(hook))
        {
            std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                                  std::filesystem::copy_options::recursive);
            folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
            folder.put("data/chapters/menu/scenes/MainMenu.scene", "");
            folder.put("data/chapters/menu/lib/store.lua",
                       "function menu.onBuy() matrix.hit('chapter.onBuy') end\n"
                       "function menu.onRestore() matrix.hit('chapter.onRestore') end\n");
        }
        folder.put("data/chapters/duel/duel.datadef", "<Dataset/>");
        folder.put(
            "data/chapters/duel/scenes/board.match3.scene",
            "function OnLost() matrix.hit('OnLost', root_object) end\n"
            "function OnSolved() matrix.hit('OnSolved', root_object) end\n"
            "_match3_image_base = '0x' _match3_x = 0 _match3_y = 0 _match3_columns = 5 _match3_rows = 5\n"
            "_match3_width = 16 _match3_height = 16 _match3_image_width = 14 _match3_image_height = 14\n"
            "_match3_positive = 'FF0000,00FF00' _match3_neutral = '0000FF' _match3_negative = 'FFFF00'\n"
            "_match3_time = 1 _match3_positive_effect = 100 _match3_negative_effect = 10\n"
            "_match3_health_points = 0 _match3_horizontal_bars = 0\n");
        const std::string title = "EngineTest";
        folder.put("xdg/Torvin Games/" + title + "/Alpha/vars.diff",
                   "crc: ignore\nmarker: 111\nprofile_dir: Alpha\nprofile_name: Alpha\n");
        folder.put("xdg/Torvin Games/" + title + "/Beta/vars.diff",
                   "crc: ignore\nitems: key\nmarker: 222\nprofile_dir: Beta\nprofile_name: Beta\n");
    }

    // How each hook comes to be called, from the settled scene ch1.a with Alpha active.
    std::map<std::string, Trigger> triggers()
    {
        std::map<std::string, Trigger> t;
        auto none = [](Game&) {};
        auto frames = [](Game& run) { run.frames(1); };
        auto switchInChapter = [](Game& run) { run.lua("scene.switch('ch1.b')"); };
        auto switchChapter = [](Game& run)
        { run.lua("scene.switch({scene = 'ch2.x', time = 0, effect = 'none'})"); };
        auto reset = [](Game& run) { run.lua("scene.reset()"); };
        auto click = [](Game& run) { run.click(80, 30); };
        auto altClick = [](Game& run) { run.click(80, 30, 3); };
        auto dialog = [](Game& run) { run.lua("dialog.start('talk')"); };
        auto addGem = [](Game& run) { run.lua("inventory.addItem('gem')"); };
        auto pauseAndGoOn = [](Game& run) { run.lua("vumo.pause() vumo.unpause()"); };
        t["ui.setup"] = none;
        t["ui.init"] = none;
        t["ui.update"] = frames;
        t["ui.OnPointerPressed"] = click;
        t["ui.OnPointerReleased"] = click;
        t["ui.OnAltPointerPressed"] = altClick;
        t["ui.OnAltPointerReleased"] = altClick;
        t["ui.OnPointerCanceled"] = [](Game& run)
        {
            run.engine->mouse(tesra::Window::MOUSE_DOWN, 80, 30, 1);
            run.ui()->OnPointerCanceled(1);
        };
        t["ui.OnKeyDown"] = [](Game& run) { run.key(65); };
        t["ui.OnKeyUp"] = [](Game& run) { run.key(65); };
        t["ui.OnTouch"] = [](Game& run) { run.ui()->OnTouch({kavtypes::Vector2(80, 30)}); };
        t["ui.OnInputModeChanged"] = [](Game& run) { run.ui()->OnInputModeChanged(1); };
        t["ui.OnWindowSizeChanged"] = [](Game& run) { run.ui()->OnWindowSizeChanged(320, 240); };
        t["ui.OnWindowClose"] = [](Game& run) { run.ui()->OnWindowClose(true); };
        t["ui.OnFocusChanged"] = [](Game& run)
        {
            run.ui()->OnFocusChanged(false);
            run.ui()->OnFocusChanged(true);
        };
        t["ui.OnBeginLoading"] = switchChapter;
        t["ui.OnUpdateLoading"] = switchChapter;
        t["ui.OnFinishLoading"] = switchChapter;
        t["ui.OnAchievementUnlocked"] = [](Game& run) { run.lua("profile.unlockAchievement('rich')"); };
        t["ui.OnUseItemFail"] = [](Game& run)
        {
            run.lua("ui.selectItem('gem')");
            run.click(80, 30);
        };
        t["ui.OnItemAdded"] = addGem;
        t["ui.OnItemRemoved"] = [](Game& run)
        {
            run.lua("inventory.addItem('gem')");
            run.lua("inventory.removeItem('gem')");
        };
        t["ui.OnSceneTransitionBegan"] = switchInChapter;
        t["ui.OnSceneChanging"] = switchInChapter;
        t["ui.OnSceneActivating"] = switchInChapter;
        t["ui.OnSceneActivated"] = switchInChapter;
        t["ui.OnSceneChanged"] = switchInChapter;
        t["ui.OnSceneTransitionEnded"] = switchInChapter;
        t["ui.OnSceneResetting"] = reset;
        t["ui.OnSceneReset"] = reset;
        t["ui.OnGamePaused"] = pauseAndGoOn;
        t["ui.OnGameUnpaused"] = pauseAndGoOn;
        t["ui.OnLocalizationChanged"] = [](Game& run) { run.lua("vumo.setLocalization('de')"); };
        t["ui.getUIIdiomOverride"] = frames;
        t["ui.getCursorMode"] = frames;
        t["ui.createCursor"] = [](Game& run) { run.lua("matrix.cursorMode = 'hand'"); };
        t["ui.destroyCursor"] = [](Game& run)
        {
            run.lua("matrix.cursorMode = 'hand'");
            EXPECT_TRUE(run.waitFor("matrix.seen['ui.createCursor']")) << "the cursor was made";
            run.lua("matrix.cursorMode = 'arrow'");
        };
        t["ui.updateCursorPosition"] = [](Game& run)
        {
            run.engine->mouse(tesra::Window::MOUSE_MOVE, 10, 10, 0);
            run.engine->mouse(tesra::Window::MOUSE_MOVE, 20, 20, 0);
        };
        t["ui.canSaveGame"] = [](Game& run) { run.lua("profile.save()"); };
        t["ui.createMessageBox"] = [](Game& run)
        { run.lua("ui.messageBox({type = 't', text = '{%s} {Hi}'})"); };
        t["ui.startDialog"] = dialog;
        t["ui.displayDialogReplies"] = dialog;
        t["ui.displayDialog"] = dialog;
        t["ui.endDialog"] = dialog;
        t["ui.debugPrint"] = [](Game& run)
        {
            run.key(0x75); // F6 names the scene
        };
        t["OnActivate"] = switchInChapter;
        t["OnDeactivate"] = switchInChapter;
        t["OnUpdate"] = frames;
        t["OnPointerPressed"] = click;
        t["OnPointerReleased"] = click;
        t["OnAltPointerPressed"] = altClick;
        t["OnAltPointerReleased"] = altClick;
        t["OnPointerCanceled"] = t["ui.OnPointerCanceled"];
        t["item_<item>_count"] = addGem;
        t["item_<item>_count in a profile load"] = [](Game& run) { run.lua("profile.change('Beta')"); };
        // The bag asks an item's count when it makes the item's cell.
        const std::string gemShown = "matrix.seen['item_<item>_count']";
        t["inv_use_item_<item>"] = [gemShown](Game& run)
        {
            run.lua("inventory.addItem('gem')");
            EXPECT_TRUE(run.waitFor(gemShown)) << "the bag shows the gem";
            // The bag's first cell.
            run.click(20, 80);
        };
        t["inv_combine_<a>_and_<b>"] = [gemShown](Game& run)
        {
            run.lua("inventory.addItem('gem') inventory.addItem('ruby')");
            EXPECT_TRUE(run.waitFor(gemShown)) << "the bag shows the gem";
            run.lua("ui.selectItem('ruby')");
            run.click(20, 80);
        };
        t["event Click"] = click;
        for (const InputEvent& input : inputEvents)
        {
            const std::string way = std::string("event ") + input.event;
            t[way] = [input, way](Game& run)
            {
                run.lua(std::string("object.assignEvent(object.create('") + input.type +
                        "', 'matrix_input', 'ch1.panel', {x = 0, y = 0, w = 160, h = 60}), '" + input.event +
                        "', function() matrix.hit('" + way + "', 'ch1.matrix_input') end)");
                input.input(run);
            };
        }
        t["scene.delayedCall"] = [](Game& run)
        { run.lua("scene.delayedCall(function() matrix.hit('scene.delayedCall', 'ch1.panel') end, 0)"); };
        t["vumo.delayedCall"] = [](Game& run)
        { run.lua("vumo.delayedCall(function() matrix.hit('vumo.delayedCall') end, 0)"); };
        t["message box button"] = [](Game& run)
        {
            run.lua("ui.messageBox({type = 't', text = '{%s} {Hi}', ok_button = function() "
                    "matrix.hit('message box button') end})");
            EXPECT_TRUE(run.waitFor("object.exists('ui.matrix_ok1')")) << "the box shows";
            run.lua("object.triggerEvent('ui.matrix_ok1', 'Click')");
        };
        t["message box button of code"] = [](Game& run)
        {
            run.lua(
                "ui.messageBox({type = 't', text = '{%s} {Hi}', ok_button = \"matrix.hit('message box button "
                "of code')\"})");
            EXPECT_TRUE(run.waitFor("object.exists('ui.matrix_ok1')")) << "the box shows";
            run.clickOn("'ui.matrix_ok1'");
        };
        t["plain message box button"] = [](Game& run)
        {
            run.lua("ui.createMessageBox = nil ui.messageBox({type = 't', text = '{%s} {Hi}', yes_button = "
                    "function() end, no_button = \"matrix.hit('plain message box button')\"})");
            const std::string button = "matrix.find(ui.root_object, 'msgbox_no')";
            EXPECT_TRUE(run.waitFor(button)) << "the box shows";
            run.clickOn(button);
        };
        // The first box goes back to the queue while the second shows, and is made again after it.
        t["message box button after a box of higher priority"] = [](Game& run)
        {
            run.lua("ui.messageBox({type = 'low', text = '{%s} {Hi}', ok_button = function() "
                    "matrix.hit('message box button after a box of higher priority') end})");
            EXPECT_TRUE(run.waitFor("matrix.boxes == 1")) << "the first box shows";
            run.lua("ui.messageBox({type = 'high', text = '{%s} {Now}', priority = 5})");
            EXPECT_TRUE(run.waitFor("matrix.boxes == 2")) << "the second box shows";
            run.clickOn("'ui.matrix_ok2'");
            EXPECT_TRUE(run.waitFor("matrix.boxes == 3")) << "the first box shows again";
            run.clickOn("'ui.matrix_ok3'");
        };
        t["sys.messageBox button"] = [](Game& run)
        { run.lua("sys.messageBox('Matrix', 'Hi', {ok = \"matrix.hit('sys.messageBox button')\"})"); };
        t["dialog reply"] = dialog;
        t["event PlaybackDone"] = [](Game& run)
        {
            run.lua("local clip = object.create('VideoObject', 'clip', 'ch1.panel', {x = 0, y = 0, w = 40, h "
                    "= 30, "
                    "video = 'clip', loop = 0}) "
                    "object.assignEvent(clip, 'PlaybackDone', function() matrix.hit('event PlaybackDone', "
                    "'ch1.clip') end)");
        };
        auto store = [](Game& run, tesraui::Object* (*button)())
        {
            Session::changeScene("menu.StoreMenu", 0.0f, "");
            ASSERT_TRUE(run.waitUntil([button] { return button() != nullptr; }))
                << "the store shows its buttons";
            button()->triggerEvent("Click", 0u);
        };
        t["chapter.onBuy"] = [store](Game& run) { store(run, &orvalo::getUpsellUnlockButton); };
        t["chapter.onRestore"] = [store](Game& run) { store(run, &orvalo::getUpsellRestoreButton); };
        auto duel = [](Game& run)
        {
            Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
            run.lua("scene.switch({scene = 'duel.board', time = 0, effect = 'none'})");
        };
        t["OnLost"] = duel;
        t["OnSolved"] = [duel](Game& run)
        {
            duel(run);
            ASSERT_TRUE(run.engine->settleAt("duel.board")) << "the duel starts";
            auto* board = dynamic_cast<Match3Scene*>(Session::getActiveScene());
            ASSERT_NE(board, nullptr) << "the duel is the active scene";
            board->solve();
        };
        t["custom animator"] = [](Game& run)
        {
            run.lua("object.create('MoverX', 'matrix_mover', 'ch1.panel', {custom_func = 'matrixAnimate', "
                    "periods = -1})");
        };
        t["the loading screen's update"] = [switchChapter](Game& run)
        {
            run.lua(
                "object.create('MoverX', 'matrix_loader', 'ui.hud', {custom_func = 'matrixLoadingScreen', "
                "periods = -1})");
            switchChapter(run);
        };
        // Collected while the game runs, once the engine lets go of it: then each allocation of Lua collects
        // everything until the finalizer has run.
        t["__gc finalizer"] = [](Game& run)
        {
            run.lua("local garbage = newproxy(true) getmetatable(garbage).__gc = function() "
                    "collectgarbage('setpause', 200) collectgarbage('setstepmul', 200) "
                    "matrix.hit('__gc finalizer') end "
                    "vumo.delayedCall(function() end, 0, garbage) "
                    "collectgarbage('setpause', 0) collectgarbage('setstepmul', 1000000) "
                    "collectgarbage('collect')");
        };
        t["__gc finalizer at close"] = [](Game& run)
        {
            run.lua("matrix.kept = newproxy(true) getmetatable(matrix.kept).__gc = function() "
                    "matrix.hit('__gc finalizer at close') end");
        };
        // Called every 100 instructions of whatever Lua runs next.
        t["debug.sethook hook"] = [](Game& run)
        { run.lua("debug.sethook(function() matrix.hit('debug.sethook hook') end, '', 100)"); };
        for (const Nest& nest : nests)
        {
            t[nestName(nest)] = t.at(nest.outer);
        }
        return t;
    }

    std::vector<std::string> everyHook()
    {
        std::vector<std::string> names = documentedHooks();
        names.insert(names.end(), callbacks.begin(), callbacks.end());
        for (const Nest& nest : nests)
        {
            names.push_back(nestName(nest));
        }
        return names;
    }

    std::string testName(const ::testing::TestParamInfo<std::string>& info)
    {
        std::string name;
        for (char c : info.param)
        {
            name += std::isalnum((unsigned char)c) ? c : '_';
        }
        return name;
    }
} // namespace

class HookMatrix : public ::testing::TestWithParam<std::string>
{
protected:
    // The profile's saved variables, or "" when it is gone.
    static std::string savedVariables(const Game& run, const std::string& profile)
    {
        return harness::readFile(run.folder.userFile("EngineTest", profile + "/vars.diff"));
    }
};

TEST_P(HookMatrix, DestructiveActionsInTheHookLeaveTheGameWholeAndTheProfilesTheirOwn)
{
    const std::string hook = GetParam();
    const std::map<std::string, Trigger> ways = triggers();
    auto way = ways.find(hook);
    ASSERT_NE(way, ways.end()) << "no way to call " << hook
                               << " in the hook matrix: add one to triggers() in " << __FILE__;
    std::vector<std::string> uiHooks;
    for (const std::string& name : documentedHooks())
    {
        if (name.rfind("ui.", 0) == 0 && name != "ui.setup" && name != "ui.init")
        {
            uiHooks.push_back(name);
        }
    }
    for (const auto& [actionName, action] : actions)
    {
        if (shellActions.count(actionName) > 0 && !inGameShell(hook))
        {
            continue;
        }
        SCOPED_TRACE(hook + " does " + actionName);
        Game run;
        writeGame(run.folder, uiHooks, hook, action);
        // The setup hook has nothing of the game yet to act on but what it makes.
        if (hook == "ui.setup")
        {
            run.folder.put("data/lib/matrix_setup.lua", "function ui.setup() matrix.hit('ui.setup') end\n");
        }
        run.engine.reset(new Engine(run.folder));
        if (inGameShell(hook))
        {
            run.folder.put("cfg/vumo.cfg",
                           harness::readFile(run.folder.path + "/cfg/vumo.cfg") +
                               "orvalo_id: demo_game\nupsell: data/orvalo/system/upsell/upsell.dts\n");
            run.engine->start(&createGameUI);
        }
        else
        {
            run.engine->start();
        }
        // The duel plays its sounds through an audio manager even with the game's audio muted.
        const bool ownAudio = yim::manager == nullptr;
        if (ownAudio)
        {
            yim::init(yim::SystemType::AS_DISABLED, 0);
        }
        run.engine->settleAt("");
        way->second(run);
        const bool atClose = calledAtClose.count(hook) > 0;
        // Waited for by the file the first call leaves, so that no Lua of ours runs meanwhile (the collector
        // would run a finalizer in it).
        EXPECT_TRUE(atClose || run.waitUntil([&run] { return run.called(); }))
            << hook << " was not called by its way in the matrix; the way raised:" << run.raised();
        // The game runs on for three seconds of its time: fades, boxes and deletions run their course.
        run.frames(60);
        run.engine->stop();
        run.engine.reset();
        if (ownAudio && yim::manager != nullptr)
        {
            yim::destroy();
        }
        harness::forgetSession();
        EXPECT_TRUE(!atClose || run.called())
            << hook << " was not called by its way in the matrix; the way raised:" << run.raised();
        const std::string alpha = savedVariables(run, "Alpha");
        const std::string beta = savedVariables(run, "Beta");
        EXPECT_EQ(alpha.find("marker: 222"), std::string::npos) << alpha;
        EXPECT_EQ(alpha.find("profile_dir: Beta"), std::string::npos) << alpha;
        EXPECT_EQ(alpha.find("items: key"), std::string::npos) << alpha;
        EXPECT_EQ(beta.find("marker: 111"), std::string::npos) << beta;
        EXPECT_EQ(beta.find("profile_dir: Alpha"), std::string::npos) << beta;
    }
}

INSTANTIATE_TEST_SUITE_P(Hooks, HookMatrix, ::testing::ValuesIn(everyHook()), testName);
